#include "http/download_target.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(SplitTargetPath, CutsAfterTheLastBackslash) {
  struct Case { const char* path; const char* folder; const char* name; };
  const Case cases[] = {
      {"C:\\Games\\Foo\\Foo.exe", "C:\\Games\\Foo\\", "Foo.exe"},
      {"C:\\Games\\Foo\\", "C:\\Games\\Foo\\", ""},
      {"Foo.exe", "", "Foo.exe"},
      {"", "C:\\Setup\\", ""},
      // 0x5C as the second byte of a double-byte character is no separator.
      {"C:\\\xD7\x5C\\a.exe", "C:\\\xD7\x5C\\", "a.exe"},
      {"C:\\dir\\\xD7\x5C.exe", "C:\\dir\\", "\xD7\x5C.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const DownloadTarget target = SplitTargetPath(c.path, "C:\\Setup");
    EXPECT_EQ(target.folder, c.folder);
    EXPECT_EQ(target.file_name, c.name);
  }
  const DownloadTarget target = SplitTargetPath("D:\\x\\app.exe", "C:\\Setup");
  EXPECT_EQ(target.temp_path(), "D:\\x\\app.exe.tmp");
  EXPECT_EQ(target.final_path(), "D:\\x\\app.exe");
}

TEST(QuotedNameInHeaders, IsTheFirstQuotedStringOfTheBlock) {
  struct Case { const char* headers; const char* name; };
  const Case cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=\"app.exe\"\r\n\r\n", "app.exe"},
      {"HTTP/1.1 200 OK\r\nETag: \"abc\"\r\nContent-Disposition: attachment; filename=\"app.exe\"\r\n", "abc"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n", ""},
      {"HTTP/1.1 200 OK\r\nX: \"unclosed\r\n", ""},
      {"X: \"\"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(QuotedNameInHeaders(c.headers), c.name) << c.headers;
}

// A name from the network never leads out of the target folder.
TEST(ChooseDownloadName, KeepsOnlyAPlainLastComponent) {
  struct Case { const char* server_name; const char* url; const char* name; };
  const Case cases[] = {
      {"app.exe", "http://srv/d/other.exe", "app.exe"},
      {"", "http://srv/d/app.exe", "app.exe"},
      {"", "http://srv/d/app.exe?seed=3#top", "app.exe"},
      {"..\\..\\Windows\\evil.exe", "http://srv/d/app.exe", "evil.exe"},
      {"../../evil.exe", "http://srv/d/app.exe", "evil.exe"},
      {"C:evil.exe", "http://srv/d/app.exe", "evil.exe"},
      {"..", "http://srv/d/app.exe", "app.exe"},
      {"a\\", "http://srv/d/app.exe", "app.exe"},
      {"", "http://srv/d/", ""},
      {"", "http://srv/d/..", ""},
      {"", "app.exe", "app.exe"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseDownloadName(c.server_name, c.url), c.name) << c.server_name << " " << c.url;
  }
}

}  // namespace
}  // namespace lumen
