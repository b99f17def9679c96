#include "desktop/shortcut_script.hpp"

#include <algorithm>

namespace lumen {
namespace {

// A script string literal ends at a double quote and its line at a line
// break; no other byte can leave the literal.
[[nodiscard]] bool stays_inside_quotes(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '"' || byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

std::optional<Text> ShortcutScriptText(std::string_view name, std::string_view icon) {
  if (!stays_inside_quotes(name) || !stays_inside_quotes(icon)) return std::nullopt;
  const Text quote = "\"";
  return "Const DESKTOP = &H10&\r\n"
         "Set objShell = CreateObject(" + quote + "Shell.Application" + quote + ")\r\n"
         "Set objFolder = objShell.NameSpace(DESKTOP)\r\n"
         "Set objFolderItem = objFolder.ParseName(" + quote + Text(name) + ".lnk" + quote + ")\r\n"
         "Set objShortcut = objFolderItem.GetLink\r\n"
         "objShortcut.SetIconLocation " + quote + Text(icon) + quote + ",0\r\n"
         "objShortcut.Save";
}

}  // namespace lumen
