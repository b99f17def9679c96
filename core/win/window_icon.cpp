#include "core/win/window_icon.hpp"

namespace lumen::wizard {
namespace {

// The icon is loaded shared: the system keeps one per size for the module's
// life, so the window may hold it as long as it exists and nobody destroys it.
void SetIcon(HWND window, WPARAM kind, int width_metric, int height_metric) noexcept {
  const auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId),
                                                  IMAGE_ICON, GetSystemMetrics(width_metric),
                                                  GetSystemMetrics(height_metric), LR_SHARED));
  if (icon) SendMessageW(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

void ShowProgramIcon(HWND window) noexcept {
  SetIcon(window, ICON_BIG, SM_CXICON, SM_CYICON);
  SetIcon(window, ICON_SMALL, SM_CXSMICON, SM_CYSMICON);
}

}  // namespace lumen::wizard
