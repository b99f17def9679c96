#include "desktop/shortcut_name.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

// The routes that make links take names exactly as Windows stores them: a
// name that would be trimmed or refused is no plain name (the one name check
// has its own table of reasons).
TEST(IsPlainShortcutName, AcceptsOnlyNamesStoredAsTheyStand) {
  struct Case { const char* name; std::string_view text; bool plain; };
  const Case cases[] = {
      {"latin", "Foo", true},
      {"dots inside", "Foo..lnk", true},
      {"chinese", "星光记事本", true},
      {"second byte 0x5C", "\xD7\x5C" "abc", true},
      {"empty", "", false},
      {"parent folder", "..", false},
      {"trailing dot", "Foo.", false},
      {"trailing space", "Foo ", false},
      {"backslash", "..\\..\\Start Menu\\Foo", false},
      {"device", "CON", false},
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
