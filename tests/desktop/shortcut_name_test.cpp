#include "desktop/shortcut_name.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

// A name is taken as it stands, trailing dots and spaces included (".lnk"
// follows them); only names that would leave the desktop folder, open a
// device or break a script string are refused (the one name check has its
// own table of reasons).
TEST(IsPlainShortcutName, RefusesOnlyNamesWhoseLinkIsNoFileOnTheDesktop) {
  struct Case { const char* name; std::string_view text; bool plain; };
  const Case cases[] = {
      {"latin", "Foo", true},
      {"dots inside", "Foo..lnk", true},
      {"chinese", "星光记事本", true},
      {"second byte 0x5C", "\xD7\x5C" "abc", true},
      {"trailing dot", "星光记事本.", true},
      {"trailing dots and space", "Loading. ..", true},
      {"trailing space", "Foo ", true},
      {"spaces inside", "My App", true},
      {"empty: the link .lnk", "", true},
      {"three dots", "...", true},
      {"this folder", ".", false},
      {"parent folder", "..", false},
      {"backslash", "..\\..\\Start Menu\\Foo", false},
      {"slash", "../Foo", false},
      {"drive prefix", "C:Foo", false},
      {"stream", "Foo:bar", false},
      {"device", "CON", false},
      {"device, any case and ending", "com1.txt", false},
      {"device with trailing dot", "NUL.", false},
      {"quote", "Foo\")", false},
      {"line break", "Foo\r\nMsgBox 1", false},
      {"double-byte character cut in half", "Foo\xD0", false},
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
      {"星光记事本.", "C:\\Users\\u\\Desktop\\星光记事本..lnk"},
      {"Foo ", "C:\\Users\\u\\Desktop\\Foo .lnk"},
      {"", "C:\\Users\\u\\Desktop\\.lnk"},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkPathFor(c.name, "C:\\Users\\u\\Desktop\\"), c.link) << c.name;
}

}  // namespace
}  // namespace lumen
