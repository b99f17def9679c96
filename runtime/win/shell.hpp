#pragma once
// The shell's folders, its folder chooser, starting documents and programs
// through it, and its link files.

#include <windows.h>

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The system's folders by the runtime's kind numbers.
enum class SpecialFolder : int {
  Documents = 1,
  Favourites = 2,
  Desktop = 3,
  Fonts = 4,
  StartMenu = 5,
  Programs = 6,
  StartUp = 7,
  ApplicationData = 8,
  Windows = 9,
  System = 10,
  Temporary = 11,
};

// The path ends in a backslash; a value outside the enumeration or a failure
// gives the empty text.
[[nodiscard]] Text special_folder(SpecialFolder kind);

// Lets the user choose a folder (or, with include_files, a file too) in the
// shell's dialog, owned by the active window; the program's other windows
// take no input meanwhile. The chosen path, or the empty text when cancelled.
[[nodiscard]] Text browse_for_folder(std::string_view title, bool include_files = false);

enum class ShellVerb { Default, Edit, Explore, Find, Open, Print };

enum class ShowCommand : int {
  Hidden = SW_HIDE,
  Normal = SW_SHOWNORMAL,
  Minimised = SW_SHOWMINIMIZED,
  Maximised = SW_SHOWMAXIMIZED,
  ShownInactive = SW_SHOWNA,
  Minimise = SW_MINIMIZE,
};

// Opens the file (a document, a folder or a program) with the verb; empty
// parameters and folder are left out. True when the shell started it.
[[nodiscard]] bool shell_execute(ShellVerb verb, std::string_view file, std::string_view parameters = {},
                                 std::string_view folder = {}, ShowCommand show = ShowCommand::Normal);

// Writes a shell link to target, shown normally; the description, arguments
// and working folder are set when not empty. ".lnk" is appended unless the
// link's name already ends in it, since a link file by any other name is no
// shortcut. True when the link was saved.
[[nodiscard]] bool create_link_file(std::string_view link_path, std::string_view target,
                                    std::string_view description = {}, std::string_view arguments = {},
                                    std::string_view working_folder = {});

}  // namespace lumen
