#include "runtime/win/message_box.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/win/dialog_answer.hpp"
#include "tests/support/win/programs.hpp"

namespace lumen {
namespace {

using test::DialogDriver;

// Each button pressed gives its runtime code; No is 6 and Yes 5, not the
// Win32 values 7 and 6.
TEST(MessageBoxAnswer, ButtonsGiveTheRuntimeAnswerCodes) {
  struct Case { std::uint32_t style; int button; MessageBoxAnswer answer; int code; };
  const Case cases[] = {
      {262208, IDOK, MessageBoxAnswer::Ok, 0},
      {33, IDCANCEL, MessageBoxAnswer::Cancel, 1},
      {MB_ABORTRETRYIGNORE, IDABORT, MessageBoxAnswer::Abort, 2},
      {MB_ABORTRETRYIGNORE, IDRETRY, MessageBoxAnswer::Retry, 3},
      {MB_ABORTRETRYIGNORE, IDIGNORE, MessageBoxAnswer::Ignore, 4},
      {36, IDYES, MessageBoxAnswer::Yes, 5},
      {36, IDNO, MessageBoxAnswer::No, 6},
      {MB_CANCELTRYCONTINUE, IDTRYAGAIN, MessageBoxAnswer::Retry, 3},
      {MB_CANCELTRYCONTINUE, IDCONTINUE, MessageBoxAnswer::Ignore, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << " button " << c.button);
    MessageBoxAnswer answer{};
    {
      DialogDriver driver([&](HWND box) { test::press_message_box_button(box, c.button); });
      answer = message_box("请选择", c.style, "提示");
    }
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(static_cast<int>(answer), c.code);
  }
}

TEST(MessageBoxAnswer, ShowsItsTextUnderTheGivenOrDefaultTitle) {
  struct Case { std::optional<std::string> title; std::string shown_title; };
  const Case cases[] = {{std::nullopt, "信息："}, {"安装向导", "安装向导"}, {"", ""}};
  for (const Case& c : cases) {
    test::MessageBoxText seen;
    {
      DialogDriver driver([&](HWND box) {
        seen = test::read_message_box(box);
        test::press_message_box_button(box, IDOK);
      });
      const std::string_view text = "你真的要退出安装程序吗？\r\n第二行";
      static_cast<void>(c.title ? message_box(text, 64, *c.title) : message_box(text, 64));
    }
    EXPECT_EQ(seen.message, "你真的要退出安装程序吗？\r\n第二行");
    EXPECT_EQ(seen.title, c.shown_title);
  }
}

// Without an owner the box is task-modal: the program's windows take no input
// until it is answered. With an owner it belongs to that window.
TEST(MessageBoxAnswer, IsTaskModalOrOwnedByTheGivenWindow) {
  const test::Window window = test::plain_window();
  ASSERT_TRUE(window);

  bool enabled_meanwhile = true;
  {
    DialogDriver driver([&](HWND box) {
      enabled_meanwhile = IsWindowEnabled(window.get()) != FALSE;
      test::press_message_box_button(box, IDOK);
    });
    static_cast<void>(message_box("task-modal", 0, "t"));
  }
  EXPECT_FALSE(enabled_meanwhile);
  EXPECT_TRUE(IsWindowEnabled(window.get()));

  HWND owner = nullptr;
  {
    DialogDriver driver([&](HWND box) {
      owner = GetWindow(box, GW_OWNER);
      test::press_message_box_button(box, IDOK);
    });
    static_cast<void>(message_box("owned", 64, "t", window.get()));
  }
  EXPECT_EQ(owner, window.get());
}

// A box that cannot be shown never answers Yes or OK on the user's behalf
// where there was a choice.
TEST(MessageBoxAnswer, ABoxThatCannotBeShownDeclines) {
  const HWND gone = [] {
    test::Window window = test::plain_window();
    return window.get();
  }();
  struct Case { std::uint32_t style; MessageBoxAnswer answer; };
  const Case cases[] = {
      {MB_YESNO, MessageBoxAnswer::No},
      {MB_OKCANCEL, MessageBoxAnswer::Cancel},
      {MB_YESNOCANCEL, MessageBoxAnswer::Cancel},
      {MB_ABORTRETRYIGNORE, MessageBoxAnswer::Abort},
      {MB_OK, MessageBoxAnswer::Ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    MessageBoxAnswer answer{};
    {
      // Should a box appear after all, it is closed rather than left waiting.
      DialogDriver driver([](HWND box) { test::press_message_box_button(box, IDOK); });
      answer = message_box("unseen", c.style, "t", gone);
      EXPECT_FALSE(driver.found());
    }
    EXPECT_EQ(answer, c.answer);
  }
}

}  // namespace
}  // namespace lumen
