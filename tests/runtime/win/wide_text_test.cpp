#include "runtime/win/wide_text.hpp"

#include <gtest/gtest.h>

namespace lumen::win {
namespace {

using namespace std::string_view_literals;

TEST(WideText, ConvertsBetweenCodePage936AndUtf16) {
  struct Case { std::string_view narrow; std::wstring_view wide; };
  const Case cases[] = {
      {"", L""},
      {"plain ASCII 123", L"plain ASCII 123"},
      {"中文", L"\u4E2D\u6587"},
      {"\xA1\xA1", L"\u3000"},                       // ideographic space
      {"C:\\安装\\星光.exe", L"C:\\\u5B89\u88C5\\\u661F\u5149.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.narrow));
    EXPECT_EQ(widen(c.narrow), c.wide);
    EXPECT_EQ(narrow(c.wide), c.narrow);
  }
}

// A trail byte may be 0x5C, the backslash: the pair is still one character,
// never a backslash of its own.
TEST(WideText, EveryDoubleByteCharacterRoundTripsAsOneCharacter) {
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const Text pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::wstring wide = widen(pair);
      ASSERT_EQ(wide.size(), 1u) << std::hex << lead << ' ' << trail;
      EXPECT_NE(wide[0], L'\\');
      EXPECT_NE(wide[0], L'"');
      // Unassigned pairs come back as a default character; assigned ones exactly.
      if (narrow(wide) == pair) ++checked;
    }
  }
  EXPECT_GT(checked, 20000);
}

TEST(WideText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(narrow(L"a\u2400b"), "a?b");
  // One or two, depending on whether the system counts the surrogate pair.
  const Text outside_the_plane = narrow(L"\U0001F600");
  EXPECT_FALSE(outside_the_plane.empty());
  EXPECT_EQ(outside_the_plane.find_first_not_of('?'), Text::npos);
}

TEST(WideText, ComStringsKeepTheirWholeLength) {
  const Bstr converted = to_bstr("中a\0b"sv);
  ASSERT_TRUE(converted);
  EXPECT_EQ(SysStringLen(converted.get()), 4u);
  EXPECT_EQ(from_bstr(converted.get()), "中a\0b"sv);
  EXPECT_EQ(from_bstr(nullptr), "");
  const Bstr empty = to_bstr("");
  ASSERT_TRUE(empty);
  EXPECT_EQ(SysStringLen(empty.get()), 0u);
}

}  // namespace
}  // namespace lumen::win
