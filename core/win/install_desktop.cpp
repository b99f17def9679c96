#include "core/win/install_desktop.hpp"

#include "desktop/win/system_shortcut_routes.hpp"
#include "runtime/win/program_end.hpp"
#include "runtime/win/shell.hpp"

namespace lumen {

MessageBoxAnswer SystemInstallDesktop::ShowMessage(std::string_view text, std::uint32_t style,
                                                   std::string_view title, HWND owner) {
  return message_box(text, style, title, owner);
}

Text SystemInstallDesktop::ChooseFolder(std::string_view title) { return browse_for_folder(title); }

void SystemInstallDesktop::StartProgram(std::string_view program_path) {
  (void)shell_execute(ShellVerb::Default, program_path);
}

void SystemInstallDesktop::EndProgram(int code, ProgramEnd how) {
  if (how == ProgramEnd::AtOnce) end_program_at_once(code);
  exit_program(code);
}

void SystemShortcutMaker::MakeAppShortcut(std::string_view app_name, std::string_view program_path,
                                          std::string_view icon_path) {
  lumen::MakeAppShortcut(app_name, program_path, icon_path);
}

}  // namespace lumen
