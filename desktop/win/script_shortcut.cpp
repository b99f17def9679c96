#include "desktop/win/script_shortcut.hpp"

#include "desktop/shortcut_name.hpp"
#include "desktop/shortcut_script.hpp"
#include "runtime/win/files.hpp"
#include "runtime/win/shell.hpp"
#include "runtime/win/timing.hpp"

namespace lumen {
namespace {

constexpr int kPauseAfterOpenMs = 20;
// About a second of 20 ms pauses: a script file that stays locked longer
// than that is given up on, and the link keeps the target's icon.
constexpr int kOpenAttempts = 50;
// Time the script host gets to read the script before it is deleted.
constexpr int kScriptRunMs = 500;

[[nodiscard]] FileNumber open_script(std::string_view path) {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    FileNumber file = open_file(path, OpenMode::CreateWrite);
    sleep_ms(kPauseAfterOpenMs);
    if (file) return file;
  }
  return nullptr;
}

}  // namespace

void CreateShortcutByScript(const ScriptShortcut& shortcut) {
  if (!IsPlainShortcutName(shortcut.name)) return;
  const auto script = ShortcutScriptText(shortcut.name, shortcut.icon);
  const Text temp_folder = special_folder(SpecialFolder::Temporary);
  const Text desktop = special_folder(SpecialFolder::Desktop);
  if (!script || temp_folder.empty() || desktop.empty()) return;

  const Text script_path = temp_folder + Text(shortcut.name) + ".vbs";
  FileNumber file = open_script(script_path);
  if (!file) return;
  (void)create_link_file(desktop + Text(shortcut.name), shortcut.target, shortcut.description, shortcut.arguments,
                         shortcut.working_folder);
  if (!write_text(*file, *script)) return;
  close_file(file);
  (void)shell_execute(ShellVerb::Open, script_path);
  sleep_ms(kScriptRunMs);
  (void)delete_file(script_path);
}

}  // namespace lumen
