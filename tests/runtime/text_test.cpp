#include "runtime/text.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace lumen {
namespace {

// "中" (0xD6 0xD0) and "文" (0xCE 0xC4) in code page 936; 0x5C and letters
// also occur as the second byte of a character, as in "\x95\x5C" and "\xB0\x61".
constexpr std::string_view kZhong = "\xD6\xD0";
constexpr std::string_view kTrailBackslash = "\x95\x5C";
constexpr std::string_view kTrailLetter = "\xB0\x61";
constexpr std::string_view kIdeographicSpace = "\xA1\xA1";

Text cat(std::initializer_list<std::string_view> parts) {
  Text out;
  for (auto p : parts) out += p;
  return out;
}

// Every caller that looks at characters one by one walks them this way.
TEST(TextCharacters, PairsALeadByteWithWhateverFollowsIt) {
  struct Case { const char* name; Text text; std::vector<std::string_view> characters; };
  const Case cases[] = {
      {"empty", "", {}},
      {"ASCII", "a\\", {"a", "\\"}},
      {"a backslash as second byte is no backslash", cat({kTrailBackslash, "\\"}), {kTrailBackslash, "\\"}},
      {"a letter as second byte", cat({kTrailLetter, "b"}), {kTrailLetter, "b"}},
      {"a character cut in half at the end", cat({"a", kZhong.substr(0, 1)}), {"a", kZhong.substr(0, 1)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string_view> got;
    for (std::string_view character : characters_of(c.text)) got.push_back(character);
    EXPECT_EQ(got, c.characters);
    EXPECT_EQ(last_character(c.text), c.characters.empty() ? std::string_view{} : c.characters.back());
  }
  EXPECT_TRUE(is_cut_character(kZhong.substr(0, 1)));
  EXPECT_FALSE(is_cut_character(kZhong));
  EXPECT_FALSE(is_cut_character("a"));
}

TEST(TextSlices, LeftRightMidClampToTheText) {
  struct Case { const char* name; Text got; Text want; };
  const Case cases[] = {
      {"mid inside", text_mid("abc", 2, 1), "b"},
      {"mid cut at end", text_mid("abc", 3, 5), "c"},
      {"mid past end", text_mid("abc", 4, 1), ""},
      {"mid position 0", text_mid("abc", 0, 2), ""},
      {"mid zero count", text_mid("abc", 1, 0), ""},
      {"mid of empty", text_mid("", 1, 1), ""},
      {"left more than length", text_left("abc", 10), "abc"},
      {"left negative", text_left("abc", -1), ""},
      {"right two", text_right("abc", 2), "bc"},
      {"right zero", text_right("abc", 0), ""},
      {"mid counts bytes", text_mid(cat({"a", kZhong}), 2, 2), Text(kZhong)},
      {"spaces", spaces(3), "   "},
      {"no spaces", spaces(0), ""},
      {"char text", char_text('A'), "A"},
      {"char text zero", char_text(0), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(TextSlices, CharCodeIsSignedAndZeroOutside) {
  EXPECT_EQ(char_code_at("A"), 65);
  EXPECT_EQ(char_code_at(kZhong, 1), static_cast<signed char>(0xD6));
  EXPECT_EQ(char_code_at("A", 2), 0);
  EXPECT_EQ(char_code_at("", 1), 0);
}

TEST(TextSearch, FindsFirstAndLastAtCharacterBoundaries) {
  struct Case { const char* name; int got; int want; };
  const Text trail_letter = cat({kTrailLetter, "a"});
  const Text trail_backslash = cat({"C:", kTrailBackslash, "\\x"});
  const Case cases[] = {
      {"ignore case", find_text("Accept: */*", "accept:", 1, true), 1},
      {"case sensitive", find_text("Accept: */*", "accept:"), -1},
      {"from start", find_text("abcabc", "bc", 3), 5},
      {"start past end", find_text("abc", "a", 4), -1},
      {"start below one", find_text("abc", "a", -5), 1},
      {"empty sought", find_text("abc", ""), 1},
      {"empty sought, empty range", find_text("", ""), -1},
      {"not in a second byte", find_text(trail_letter, "a"), 3},
      {"not in a second byte, folded", find_text(trail_letter, "A", 1, true), 3},
      {"double-byte sought", find_text(cat({"x", kZhong}), kZhong), 2},
      {"last backslash", find_text_last("C\\a\\b", "\\"), 4},
      {"last within start-1", find_text_last("C\\a\\b", "\\", 4), 2},
      {"last, none", find_text_last("abc", "x"), -1},
      {"last skips a second byte", find_text_last(trail_backslash, "\\"), 5},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(TextCase, OnlyAsciiLettersChange) {
  const Text mixed = cat({"aB", kTrailLetter, "z"});
  EXPECT_EQ(to_upper(mixed), cat({"AB", kTrailLetter, "Z"}));
  EXPECT_EQ(to_lower(mixed), cat({"ab", kTrailLetter, "z"}));
}

TEST(TextTrim, RemovesAsciiAndIdeographicSpacesOnly) {
  EXPECT_EQ(trim_spaces(cat({kIdeographicSpace, " x ", kIdeographicSpace})), "x");
  EXPECT_EQ(trim_spaces("\tx\t"), "\tx\t");
  EXPECT_EQ(trim_spaces("   "), "");
  EXPECT_EQ(trim_spaces(""), "");
  // 0xA1 as the second byte of the last character is not half a space.
  const Text ends_in_a1 = cat({"x", "\xB0\xA1", "\xA1"});
  EXPECT_EQ(trim_spaces(ends_in_a1), ends_in_a1);
}

TEST(TextReplace, ReplacesLeftToRightWithoutRescanning) {
  struct Case { const char* name; Text got; Text want; };
  const Case cases[] = {
      {"all", replace_text("a-b-c", "-", "+"), "a+b+c"},
      {"absent", replace_text("abc", "x", "y"), "abc"},
      {"case folded by default", replace_text("aAa", "a", "b"), "bbb"},
      {"case sensitive", replace_text("aAa", "a", "b", 1, kAllOccurrences, true), "bAb"},
      {"from start", replace_text("aaa", "a", "b", 2), "abb"},
      {"count", replace_text("aaa", "a", "b", 1, 2), "bba"},
      {"no rescan", replace_text("\\\\", "\\", "\\\\"), "\\\\\\\\"},
      {"count zero", replace_text("aaa", "a", "b", 1, 0), "aaa"},
      {"start beyond", replace_text("aaa", "a", "b", 9), "aaa"},
      {"empty sought", replace_text("aaa", "", "b"), "aaa"},
      {"second byte untouched", replace_text(Text(kTrailBackslash), "\\", "/"), Text(kTrailBackslash)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(TextSplit, KeepsInnerEmptyPiecesAndDropsAnEmptyLastOne) {
  struct Case { const char* name; Array<Text> got; std::vector<Text> want; };
  const Case cases[] = {
      {"inner empty", split_text("a,,b,"), {"a", "", "b"}},
      {"empty text", split_text(""), {}},
      {"empty delimiter", split_text("a,b", ""), {"a,b"}},
      {"two-byte separator", split_text("a=1; b=2", "; "), {"a=1", "b=2"}},
      {"max pieces", split_text("a,b,c", ",", 2), {"a", "b"}},
      {"path", split_text("C:\\a\\b.exe", "\\"), {"C:", "a", "b.exe"}},
      {"second byte not a delimiter", split_text(cat({"C:\\", kTrailBackslash}), "\\"), {"C:", Text(kTrailBackslash)}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got.items(), c.want) << c.name;
}

TEST(TextCompare, IsBytewise) {
  EXPECT_EQ(text_compare("", ""), 0);
  EXPECT_LT(text_compare("A", "a"), 0);
  EXPECT_TRUE(text_starts_with("http://x", "http://"));
  EXPECT_TRUE(text_starts_with("x", ""));
  EXPECT_FALSE(text_starts_with("h", "http"));
}

TEST(TextCompare, IgnoringCaseFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(same_text_ignoring_case("ETag", "etag"));
  EXPECT_TRUE(same_text_ignoring_case("", ""));
  EXPECT_FALSE(same_text_ignoring_case("ETag", "ETags"));
  // A letter that is the second byte of a character is not folded.
  EXPECT_FALSE(same_text_ignoring_case(kTrailLetter, "\xB0\x41"));
}

}  // namespace
}  // namespace lumen
