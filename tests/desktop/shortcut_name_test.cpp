#include "desktop/shortcut_name.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

// The distributor's name comes from the network: only names that stay a
// single file in the desktop folder make a shortcut.
TEST(IsPlainShortcutName, AcceptsOnlyNamesThatStayOneDesktopFile) {
  struct Case { const char* name; std::string_view text; bool plain; };
  const Case cases[] = {
      {"latin", "Foo", true},
      {"spaces and punctuation", "Foo Bar (64) v1.2 - beta", true},
      {"chinese", "星光记事本", true},
      // 0x5C and 0x7C as second bytes belong to their characters.
      {"second byte 0x5C", "\xD7\x5C" "abc", true},
      {"second byte 0x7C", "\xB0\x7C", true},
      {"empty", "", true},
      {"double quote", "Foo\"Bar", false},
      {"line feed", "Foo\nBar", false},
      {"carriage return", "Foo\rMsgBox 1", false},
      {"tab", "Foo\tBar", false},
      {"slash", "a/b", false},
      {"backslash", "..\\..\\Start Menu\\Foo", false},
      {"colon", "C:Foo", false},
      {"wildcards", "Foo*?", false},
      {"angle brackets and bar", "a<b>c|d", false},
      {"parent folder", "..", false},
      {"dots inside", "Foo..lnk", false},
      {"trailing dot", "Foo.", false},
      {"trailing space", "Foo ", false},
      {"lead byte without its second", "Foo\xD7", false},
      {"delete character", "Foo\x7F", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPlainShortcutName(c.text), c.plain) << c.name;
}

TEST(LinkPathFor, AppendsLnkUnlessTheNameHoldsIt) {
  struct Case { const char* name; const char* link; };
  const Case cases[] = {
      {"Foo", "C:\\Users\\u\\Desktop\\Foo.lnk"},
      {"Foo.lnk", "C:\\Users\\u\\Desktop\\Foo.lnk"},
      {"Foo.LNK", "C:\\Users\\u\\Desktop\\Foo.LNK"},
      {"My.lnker", "C:\\Users\\u\\Desktop\\My.lnker"},
      {"", "C:\\Users\\u\\Desktop\\.lnk"},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkPathFor(c.name, "C:\\Users\\u\\Desktop\\"), c.link) << c.name;
}

}  // namespace
}  // namespace lumen
