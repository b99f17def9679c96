#include "http/cookie_jar.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(CookieJarMerge, NewestValueWinsUnmentionedStayAndDeletedGo) {
  struct Case { const char* name; Text old_cookies; Text new_cookies; Text want; };
  const Case cases[] = {
      {"new value replaces old", "a=1; b=2", "b=3", "b=3; a=1"},
      {"nothing new", "a=1; b=2", "", "a=1; b=2"},
      {"nothing old", "", "c=5", "c=5"},
      {"both empty", "", "", ""},
      {"deleted by the response, old one not brought back", "a=1; b=2", "b=deleted", "a=1"},
      {"deleted in the old text", "a=deleted", "", ""},
      {"deleted among others", "a=1; x=deleted; b=2", "c=3", "c=3; a=1; b=2"},
      {"trailing semicolons become separators", "a=1;", "b=2;", "b=2; a=1"},
      {"first of repeated old names", "a=1; a=2", "", "a=1"},
      {"repeated new items once", "x=1", "x=1; x=1", "x=1"},
      {"repeated new names with other values both stay", "", "x=1; x=2", "x=1; x=2"},
      {"old name is trimmed", " a = 1 ", "a=2", "a=2"},
      {"names are case-sensitive", "A=1", "a=2", "a=2; A=1"},
      {"only \"; \" separates", "a=1;b=2", "b=3", "b=3; a=1;b=2"},
      {"items without '=' are named by their text", "flag; a=1", "flag", "flag; a=1"},
      {"outer spaces trimmed", "  a=1  ", "  b=2 ", "b=2; a=1"},
      {"ideographic spaces trimmed", "\xA1\xA1" "a=1" "\xA1\xA1", "", "a=1"},
      {"'=deleted' must end the item", "a=deleted2", "", "a=deleted2"},
      {"'deleted' alone is a name", "deleted", "", "deleted"},
      {"double-byte values kept", "n=\xD6\xD0", "m=\xCE\xC4", "m=\xCE\xC4; n=\xD6\xD0"},
      {"empty item between separators", "a=1; ; b=2", "", "a=1; ; b=2"},
  };
  for (const Case& c : cases) EXPECT_EQ(CookieJar::Merge(c.old_cookies, c.new_cookies), c.want) << c.name;
}

TEST(CookieJarMerge, ManyItemsStayInOrder) {
  Text old_cookies;
  Text want_tail;
  for (int i = 0; i < 500; ++i) {
    Text item = "k";
    item.append(std::to_string(i)).append("=").append(std::to_string(i));
    if (i != 0) old_cookies.append("; ");
    old_cookies.append(item);
    if (i != 7) want_tail.append("; ").append(item);
  }
  EXPECT_EQ(CookieJar::Merge(old_cookies, "k7=new"), Text("k7=new").append(want_tail));
}

TEST(CookieJarParts, NameAndDuplicateRemoval) {
  EXPECT_EQ(CookieJar::CookieName(" sid = abc "), "sid");
  EXPECT_EQ(CookieJar::CookieName("a=b=c"), "a");
  EXPECT_EQ(CookieJar::CookieName(" flag "), "flag");
  EXPECT_EQ(CookieJar::CookieName("=x"), "");

  struct Case { const char* name; Text text; Text separator; Text want; };
  const Case cases[] = {
      {"exact repeats go", "a; b; a; b; c", "; ", "a; b; c"},
      {"spaces and case make items differ", "a; A; a ", "; ", "a; A; a "},
      {"separator at the end", "a; a; ", "; ", "a"},
      {"other separator", "x,y,x", ",", "x,y"},
      {"empty", "", "; ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CookieJar::RemoveDuplicateItems(c.text, c.separator), c.want) << c.name;
}

}  // namespace
}  // namespace lumen
