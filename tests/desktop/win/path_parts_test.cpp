#include "desktop/win/path_parts.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(FileNameOf, IsTheLastComponentWithOrWithoutExtension) {
  struct Case { const char* path; const char* without; const char* with; };
  const Case cases[] = {
      {"C:\\x\\readme.txt", "readme", "readme.txt"},
      {"C:\\x\\archive.tar.gz", "archive.tar", "archive.tar.gz"},
      {"C:\\Users\\u\\Desktop\\Foo.lnk", "Foo", "Foo.lnk"},
      {"C:\\x\\", "", ""},
      {"readme", "readme", "readme"},
      {"C:\\\xD7\x5C\\\xD7\x5C.exe", "\xD7\x5C", "\xD7\x5C.exe"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileNameOf(c.path), c.without);
    EXPECT_EQ(FileNameOf(c.path, true), c.with);
  }
}

TEST(ExtensionOf, StartsWithTheDot) {
  struct Case { const char* path; const char* extension; };
  const Case cases[] = {
      {"C:\\Foo\\foo.exe", ".exe"},
      {"C:\\Foo\\foo", ""},
      {"C:\\Fo.o\\foo", ""},
      {"C:\\Foo\\foo.", "."},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtensionOf(c.path), c.extension) << c.path;
}

}  // namespace
}  // namespace lumen
