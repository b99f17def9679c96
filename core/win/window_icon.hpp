#pragma once
// The program's own icon on its window, where the taskbar and the window
// switcher look for it; Explorer takes the same icon from the file.

#include <windows.h>

namespace lumen::wizard {

// The icon group the installer's resource script gives the program first.
inline constexpr WORD kProgramIconId = 1;

// Gives `window` the program's icon at the system's large and small sizes.
// A program built without the icon leaves the window as it was.
void ShowProgramIcon(HWND window) noexcept;

}  // namespace lumen::wizard
