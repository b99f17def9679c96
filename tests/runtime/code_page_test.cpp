#include "runtime/code_page.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(TextFromUtf8, GivesCodePage936TextOrNothingForBytesThatAreNotUtf8) {
  struct Case { const char* name; std::string_view utf8; std::optional<Text> text; };
  const Case cases[] = {
      {"ascii", "{\"code\":1}", "{\"code\":1}"},
      {"empty", "", ""},
      {"chinese", "\xE6\x98\x9F\xE5\x85\x89\xE8\xAE\xB0\xE4\xBA\x8B\xE6\x9C\xAC",
       "\xD0\xC7\xB9\xE2\xBC\xC7\xCA\xC2\xB1\xBE"},
      {"latin letter the code page has", "caf\xC3\xA9", "caf\xA8\xA6"},
      {"check mark the code page lacks", "ok \xE2\x9C\x93!", "ok ?!"},
      {"four-byte character the code page lacks", "\xF0\x9F\x98\x80", "??"},
      {"cut sequence", "\xE6\x98", std::nullopt},
      {"lone continuation byte", "a\x80" "b", std::nullopt},
      {"overlong slash", "\xC0\xAF", std::nullopt},
      {"surrogate", "\xED\xA0\x80", std::nullopt},
      {"past U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
      {"code page 936 bytes", "\xD0\xC7\xB9\xE2", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(text_from_utf8(c.utf8), c.text) << c.name;
}

}  // namespace
}  // namespace lumen
