#include <gtest/gtest.h>

#include "tests/support/win/programs.hpp"

namespace lumen {
namespace {

// The probe indexes an array below 1; the report must name the error and the
// process must end with -1 once the box is answered.
TEST(RuntimeError, ShowsTheStopBoxAndEndsWithMinusOne) {
  test::RunningProgram probe(test::built_program("fatal_probe.exe"));
  ASSERT_TRUE(probe.started());
  const auto boxes = probe.windows("#32770");
  ASSERT_EQ(boxes.size(), 1u);
  const test::MessageBoxText box = test::read_message_box(boxes[0]);
  EXPECT_EQ(box.title, "错误");
  EXPECT_EQ(box.message, "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
  EXPECT_FALSE(probe.wait(std::chrono::milliseconds(300)).has_value()) << "ended before the box was answered";
  test::press_message_box_button(boxes[0], IDOK);
  EXPECT_EQ(probe.wait(), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace lumen
