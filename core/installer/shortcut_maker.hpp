#pragma once
// How the install puts the program's shortcut on the desktop. The running
// installer uses the system's shortcut routes; tests record the calls.

#include <string_view>

namespace lumen::install {

class ShortcutMaker {
 public:
  ShortcutMaker() = default;
  ShortcutMaker(const ShortcutMaker&) = delete;
  ShortcutMaker& operator=(const ShortcutMaker&) = delete;
  virtual ~ShortcutMaker() = default;

  // The program's desktop shortcut, named after the application and showing
  // the icon file. Failures are silent: the install goes on without a link.
  virtual void MakeAppShortcut(std::string_view app_name, std::string_view program_path,
                               std::string_view icon_path) = 0;
};

}  // namespace lumen::install
