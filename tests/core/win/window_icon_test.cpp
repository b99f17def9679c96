// The wizard window carries the program's icon, at the sizes the taskbar and
// the window switcher ask for. This test program is built with the
// installer's resources, as the installer is.

#include <windows.h>

#include <gtest/gtest.h>

#include "core/program_state.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/system_installer.hpp"
#include "core/win/window_icon.hpp"
#include "core/win/wizard_form.hpp"
#include "widgets/win/graphics_startup.hpp"

namespace lumen::wizard {
namespace {

// The width and height of an icon's colour image.
SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, bitmap.bmHeight};
}

TEST(WindowIcon, TheWizardShowsTheProgramsIconLargeAndSmall) {
  ProgramState state;
  state.AppInfo.name = "StarlitPad";
  state.AppInfo.agent_app.app_name = "星光记事本";
  widgets::InitialiseWidgets(state.Widgets);
  SystemInstaller installer(state.downloadCancelled, nullptr);
  SystemInstallDesktop desktop;
  auto wizard = LoadWizardWindow(state, installer.installer(), desktop);
  ASSERT_TRUE(wizard);
  const HWND window = wizard->form().native_handle();

  struct Case {
    WPARAM kind;
    int width_metric;
    int height_metric;
  };
  for (const Case c : {Case{ICON_BIG, SM_CXICON, SM_CYICON}, Case{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
    SCOPED_TRACE(c.kind == ICON_BIG ? "large" : "small");
    const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, c.kind, 0));
    ASSERT_NE(icon, nullptr);
    const SIZE size = IconSize(icon);
    EXPECT_EQ(size.cx, GetSystemMetrics(c.width_metric));
    EXPECT_EQ(size.cy, GetSystemMetrics(c.height_metric));
    // The program's own icon group, not some other icon of that size.
    EXPECT_EQ(icon, LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, size.cx,
                               size.cy, LR_SHARED));
  }

  wizard.reset();
  // The last window gone, the form asked the message loop to end.
  MSG quit{};
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace lumen::wizard
