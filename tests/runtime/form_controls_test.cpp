#include <gtest/gtest.h>

#include "runtime/button_face.hpp"
#include "runtime/file_dialog_filter.hpp"

namespace lumen::forms {
namespace {

TEST(ButtonFace, PicksTheLookAndImageForEachCondition) {
  struct Case { const char* what; bool enabled, over, pressed, focused; ButtonFace want; };
  const Case cases[] = {
      {"resting", true, false, false, false, {1, FaceImage::Normal, false}},
      {"pointer over", true, true, false, false, {2, FaceImage::Over, false}},
      {"pressed", true, false, true, true, {2, FaceImage::Over, false}},
      {"focused, pointer elsewhere", true, false, false, true, {2, FaceImage::Normal, false}},
      {"disabled", false, false, false, false, {1, FaceImage::Over, true}},
      {"disabled under the pointer", false, true, false, false, {1, FaceImage::Over, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(button_face(c.enabled, c.over, c.pressed, c.focused), c.want);
  }
}

TEST(FileDialogFilter, SeparatesPiecesWithZerosAndClosesTheList) {
  using namespace std::string_literals;
  struct Case { const char* what; std::string_view designer; Text want; };
  const Case cases[] = {
      {"program files", "程序文件（*.exe）|*.exe", "程序文件（*.exe）\0*.exe\0\0"s},
      {"two filters", "a|*.a|b|*.b", "a\0*.a\0b\0*.b\0\0"s},
      // 0x83 0x7C is one character whose second byte is the separator.
      {"separator byte inside a character", "\x83\x7C|*.x", "\x83\x7C\0*.x\0\0"s},
      {"empty", "", "\0"s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(platform_filter(c.designer), c.want);
  }
}

}  // namespace
}  // namespace lumen::forms
