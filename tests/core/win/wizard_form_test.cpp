#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/program_state.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/system_installer.hpp"
#include "core/win/wizard_form.hpp"
#include "core/wizard_design.hpp"
#include "runtime/text.hpp"
#include "tests/support/win/dialog_answer.hpp"
#include "widgets/win/graphics_startup.hpp"
#include "widgets/win/window_shadow.hpp"

namespace lumen::wizard {
namespace {

struct Wizard : ::testing::Test {
  ProgramState state;
  SystemInstaller installer{state.downloadCancelled, nullptr};
  SystemInstallDesktop desktop;
  std::unique_ptr<WizardForm> wizard;

  void SetUp() override {
    state.AppInfo.name = "StarlitPad";
    state.AppInfo.agent_app.app_name = "星光记事本";
    widgets::InitialiseWidgets(state.Widgets);
    wizard = LoadWizardWindow(state, installer.installer(), desktop);
    ASSERT_TRUE(wizard);
  }
  void TearDown() override {
    wizard.reset();
    // The last window gone, the form asked the message loop to end; the
    // next test's dialogs must not take that request for their own.
    MSG quit{};
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  forms::Form& form() { return wizard->form(); }
  HWND window() { return form().native_handle(); }
  forms::ControlRef control(std::string_view name) { return form().control(name); }
  RECT rect_in_window(std::string_view name) {
    RECT rect{};
    GetWindowRect(control(name).native_handle(), &rect);
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  bool shown(std::string_view name) { return IsWindowVisible(control(name).native_handle()) != FALSE; }
  void click(std::string_view name) { SendMessageA(control(name).native_handle(), BM_CLICK, 0, 0); }
};

TEST_F(Wizard, CreationPreparesTheWindowForTheProduct) {
  RECT rect{};
  GetWindowRect(window(), &rect);
  EXPECT_EQ(rect.right - rect.left, 600);
  EXPECT_EQ(rect.bottom - rect.top, 430);
  // Centred at its design size, then shrunk in place.
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 602) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 480) / 2);

  char title[64] = {};
  GetWindowTextA(window(), title, sizeof title);
  EXPECT_STREQ(title, "星光记事本");
  EXPECT_EQ(control(kTitleLabel).text(), "星光记事本");
  EXPECT_EQ(control(kFolderEdit).text(), "C:\\StarlitPad\\");

  EXPECT_NE(widgets::ShadowOf(window()), nullptr);
  for (std::string_view button : {kCloseButton, kMinimiseButton}) {
    HWND handle = control(button).native_handle();
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(handle, "PngControl_Type")), 3);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(handle, "PngControl_BackType")), 2);
    EXPECT_NE(GetPropA(handle, "PngControl_NormalImage"), nullptr);
    EXPECT_NE(GetPropA(handle, "PngControl_DisableImage"), nullptr);
  }
}

TEST_F(Wizard, StartsOnTheFirstPageWithTheControlsWhereTheDesignPutsThem) {
  EXPECT_TRUE(shown(kInstallButton));
  EXPECT_TRUE(shown(kFolderEdit));
  EXPECT_FALSE(shown(kProgressBar));
  EXPECT_FALSE(shown(kRunButton));
  // The licence panel waits wholly right of the 600-px window.
  EXPECT_EQ(rect_in_window(kLicencePanel).left, 608);
  EXPECT_TRUE(control(kLicenceBox).checked());
  const RECT install = rect_in_window(kInstallButton);
  EXPECT_EQ(install.left, 170);
  EXPECT_EQ(install.top, 351);
  const RECT browse = rect_in_window(kBrowseButton);
  EXPECT_EQ(browse.left, 506);
  EXPECT_EQ(browse.top, 309);
  EXPECT_EQ(GetWindowLongPtrA(control(kFolderEdit).native_handle(), GWL_STYLE) & ES_READONLY, ES_READONLY);
}

TEST_F(Wizard, LicenceBoxEnablesAndColoursTheInstallButton) {
  click(kLicenceBox);
  EXPECT_FALSE(control(kLicenceBox).checked());
  EXPECT_FALSE(IsWindowEnabled(control(kInstallButton).native_handle()));
  EXPECT_EQ(control(kInstallButton).look_back_colour(1), kInstallDisabledFace);

  click(kLicenceBox);
  EXPECT_TRUE(control(kLicenceBox).checked());
  EXPECT_TRUE(IsWindowEnabled(control(kInstallButton).native_handle()));
  EXPECT_EQ(control(kInstallButton).look_back_colour(1), kInstallEnabledFace);
}

TEST_F(Wizard, PressingTheLicenceLabelOpensThePanelOverEverythingAndBackClosesIt) {
  // A press in the label's box reaches its handler through the window.
  const LPARAM on_label = MAKELPARAM(116 + 10, 300 + 99 + 10);
  for (int time = 0; time < 2; ++time) {
    SendMessageA(window(), WM_LBUTTONDOWN, MK_LBUTTON, on_label);
    SendMessageA(window(), WM_LBUTTONUP, 0, on_label);
    EXPECT_TRUE(shown(kLicencePanel));
    const RECT panel = rect_in_window(kLicencePanel);
    EXPECT_EQ(panel.left, 0);
    EXPECT_EQ(panel.top, 0);
    // What the panel covers cannot be seen or reached.
    EXPECT_FALSE(shown(kCloseButton));
    EXPECT_FALSE(shown(kInstallButton));
    EXPECT_TRUE(shown(kBackButton));
  }
  for (int time = 0; time < 2; ++time) {
    click(kBackButton);
    EXPECT_FALSE(shown(kLicencePanel));
    EXPECT_EQ(control(kLicencePanel).bounds().left, 0);
    EXPECT_EQ(control(kLicencePanel).bounds().top, 0);
    EXPECT_TRUE(shown(kCloseButton));
    EXPECT_TRUE(shown(kInstallButton));
  }
}

TEST_F(Wizard, PagesShowOnlyTheirOwnControls) {
  struct Case { int page; std::string_view shown_control; std::string_view hidden_control; };
  const Case cases[] = {
      {kInstallingPage, kProgressBar, kInstallButton},
      {kFinishedPage, kRunButton, kProgressBar},
      {kManualInstallPage, kManualInstallButton, kRunButton},
      {kManualInstallPage, kChooseButton, kBrowseButton},
      {kChooseFolderPage, kInstallButton, kManualInstallButton},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    control(kPages).set_current_page(c.page);
    EXPECT_TRUE(shown(c.shown_control));
    EXPECT_FALSE(shown(c.hidden_control));
  }
  control(kPages).set_current_page(kInstallingPage);
  control(kProgressBar).set_progress(25);
  EXPECT_EQ(SendMessageA(control(kProgressBar).native_handle(), 0x408 /* PBM_GETPOS */, 0, 0), 25);
  control(kStatusLabel).set_text("正在下载请稍后...25%");
  EXPECT_EQ(control(kStatusLabel).text(), "正在下载请稍后...25%");
}

TEST_F(Wizard, TheTitleBarDragsTheWindowWhereNoControlTakesThePointer) {
  RECT rect{};
  GetWindowRect(window(), &rect);
  auto hit = [&](int x, int y) {
    return SendMessageA(window(), WM_NCHITTEST, 0, MAKELPARAM(rect.left + x, rect.top + y));
  };
  EXPECT_EQ(hit(300, 10), HTCAPTION);
  EXPECT_EQ(hit(20, 15), HTCAPTION);  // over the title label, which takes no pointer
  EXPECT_EQ(hit(300, 40), HTCLIENT);
  EXPECT_EQ(hit(300, 350), HTCLIENT);
}

TEST_F(Wizard, MinimiseButtonMinimisesTheWindow) {
  click(kMinimiseButton);
  EXPECT_TRUE(IsIconic(window()));
}

TEST_F(Wizard, TheFailureNoticeShowsAHandButAPressDoesNothing) {
  control(kPages).set_current_page(kManualInstallPage);
  RECT rect{};
  GetWindowRect(window(), &rect);
  const POINT on_notice{56 + 20, 300 + 88 + 16};  // window coordinates
  SetCursorPos(rect.left + on_notice.x, rect.top + on_notice.y);
  SendMessageA(window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  SetCursorPos(rect.left + 300, rect.top + 20);
  SendMessageA(window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_HAND));

  SendMessageA(window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(on_notice.x, on_notice.y));
  EXPECT_TRUE(shown(kManualInstallButton));
  EXPECT_TRUE(IsWindow(window()));
}

TEST_F(Wizard, FileDialogGivesTheChosenFileOrNothingWhenCancelled) {
  char own_path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, own_path, MAX_PATH);
  const forms::ControlRef dialog = control(kFileDialog);
  dialog.set_dialog_kind(forms::DialogKind::OpenFile);
  dialog.set_dialog_title("请选择所需程序文件");
  dialog.set_dialog_filter("程序文件（*.exe）|*.exe");
  struct Case { const char* what; std::string file; bool chosen; };
  const Case cases[] = {{"cancelled", "", false}, {"chosen", own_path, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      test::DialogDriver driver([&](HWND box) { (void)test::answer_file_dialog(box, c.file); });
      EXPECT_EQ(forms::run_file_dialog(dialog), c.chosen);
    }
    if (c.chosen) {
      EXPECT_EQ(lumen::to_lower(dialog.dialog_file_name()), lumen::to_lower(c.file));
    }
  }
}

// The window's pixels as the display shows them.
std::vector<std::uint32_t> pixels_of(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right;
  const int height = client.bottom;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

void let_messages_run() {
  MSG message{};
  for (int round = 0; round < 5; ++round) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
}

// A change repaints only what changed; what it leaves on screen is what a
// repaint of the whole window draws, on every page.
TEST_F(Wizard, PartialRepaintsLeaveWhatAWholeRepaintDraws) {
  struct Case { const char* name; int page; std::vector<std::string> labels; int bar; };
  const Case cases[] = {
      {"first page", kChooseFolderPage, {}, 0},
      {"installing, the label rewritten", kInstallingPage,
       {"正在下载请稍后...", "正在下载请稍后...1.5%", "正在下载请稍后...100%", "正在下载请稍后...45.5%"}, 45},
      {"finished page", kFinishedPage, {}, 100},
      {"manual install page", kManualInstallPage, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    control(kPages).set_current_page(c.page);
    let_messages_run();
    for (const std::string& label : c.labels) {
      control(kStatusLabel).set_text(label);
      control(kProgressBar).set_progress(c.bar);
      let_messages_run();
    }
    const std::vector<std::uint32_t> partly = pixels_of(window());
    RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    let_messages_run();
    const std::vector<std::uint32_t> wholly = pixels_of(window());
    ASSERT_EQ(partly.size(), wholly.size());
    EXPECT_TRUE(partly == wholly);
  }
}

TEST_F(Wizard, UnknownControlNamesDoNothing) {
  const forms::ControlRef nothing = control("no such control");
  EXPECT_FALSE(nothing.exists());
  nothing.set_text("x");
  nothing.set_visible(true);
  EXPECT_EQ(nothing.text(), "");
  EXPECT_EQ(nothing.native_handle(), nullptr);
}

}  // namespace
}  // namespace lumen::wizard
