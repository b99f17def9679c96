#pragma once
// What the wizard asks of the system around its window: message boxes, the
// folder chooser, starting the installed program and the end of the process;
// and the desktop shortcut the install makes. The running installer uses the
// system's; tests put their own in its place.

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "core/installer/shortcut_maker.hpp"
#include "runtime/text.hpp"
#include "runtime/win/message_box.hpp"

namespace lumen {

// How the process ends: with its finalisers (the program state's release),
// or at once, skipping them, when a job's thread that would not end in time
// might still be inside them.
enum class ProgramEnd { Orderly, AtOnce };

class InstallDesktop {
 public:
  InstallDesktop() = default;
  InstallDesktop(const InstallDesktop&) = delete;
  InstallDesktop& operator=(const InstallDesktop&) = delete;
  virtual ~InstallDesktop() = default;

  [[nodiscard]] virtual MessageBoxAnswer ShowMessage(std::string_view text, std::uint32_t style,
                                                     std::string_view title, HWND owner) = 0;
  // The folder the user chose, or the empty text when the chooser was cancelled.
  [[nodiscard]] virtual Text ChooseFolder(std::string_view title) = 0;
  // Starts the program the way opening it in the shell does; a failure is
  // not reported.
  virtual void StartProgram(std::string_view program_path) = 0;
  // Ends the process with the exit code.
  virtual void EndProgram(int code, ProgramEnd how) = 0;
};

class SystemInstallDesktop final : public InstallDesktop {
 public:
  [[nodiscard]] MessageBoxAnswer ShowMessage(std::string_view text, std::uint32_t style, std::string_view title,
                                             HWND owner) override;
  [[nodiscard]] Text ChooseFolder(std::string_view title) override;
  void StartProgram(std::string_view program_path) override;
  [[noreturn]] void EndProgram(int code, ProgramEnd how) override;
};

// The shortcut through the script host's shell object, or the generated
// script when that fails.
class SystemShortcutMaker final : public install::ShortcutMaker {
 public:
  void MakeAppShortcut(std::string_view app_name, std::string_view program_path,
                       std::string_view icon_path) override;
};

}  // namespace lumen
