#include "runtime/file_name.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

// Names from the network: each is stored as Windows would store it, or
// refused for the reason given.
TEST(SafeFileName, KeepsTrimsOrRefusesEachName) {
  struct Case { const char* reason; std::string_view name; std::optional<Text> stored; };
  const Case cases[] = {
      {"plain", "StarlitPad", "StarlitPad"},
      {"punctuation and inner dots", "Foo Bar (64) v1..2 - beta", "Foo Bar (64) v1..2 - beta"},
      {"chinese", "星光记事本", "星光记事本"},
      {"second byte 0x5C belongs to its character", "\xD7\x5C" "abc", "\xD7\x5C" "abc"},
      {"second byte 0x7C belongs to its character", "\xB0\x7C", "\xB0\x7C"},
      {"leading space is kept", " Foo", " Foo"},
      {"device name inside a longer name", "console", "console"},
      {"trailing dots trimmed", "Loading...", "Loading"},
      {"trailing space trimmed", "Foo ", "Foo"},
      {"trailing dots and spaces trimmed", "Foo. . ", "Foo"},
      {"trimmed after a double-byte character", "星光.", "星光"},
      {"empty", "", std::nullopt},
      {"only dots", "..", std::nullopt},
      {"only a dot", ".", std::nullopt},
      {"only spaces", "   ", std::nullopt},
      {"dots and spaces", ". .", std::nullopt},
      {"backslash", "..\\..\\Start Menu\\Foo", std::nullopt},
      {"slash", "a/b", std::nullopt},
      {"drive colon", "C:Foo", std::nullopt},
      {"double quote", "Foo\")\r\nMsgBox(\"x", std::nullopt},
      {"wildcards", "Foo*?", std::nullopt},
      {"angle brackets and bar", "a<b>c|d", std::nullopt},
      {"line feed", "Foo\nBar", std::nullopt},
      {"tab", "Foo\tBar", std::nullopt},
      {"delete character", "Foo\x7F", std::nullopt},
      {"zero byte", std::string_view("Foo\0Bar", 7), std::nullopt},
      {"lead byte without its second", "Foo\xD7", std::nullopt},
      {"device", "CON", std::nullopt},
      {"device in lower case", "nul", std::nullopt},
      {"device with an extension", "aux.txt", std::nullopt},
      {"device with a space before the extension", "PRN .txt", std::nullopt},
      {"device after trimming", "con. ", std::nullopt},
      {"numbered ports", "COM1", std::nullopt},
      {"numbered ports from zero", "lpt0", std::nullopt},
      {"console input", "CONIN$", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(safe_file_name(c.name), c.stored) << c.reason;
}

}  // namespace
}  // namespace lumen
