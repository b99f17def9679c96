#include "desktop/shortcut_settings.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(WorkingFolderOf, IsEveryPieceButTheLast) {
  struct Case { const char* target; std::optional<Text> folder; };
  const Case cases[] = {
      {"C:\\Games\\Foo\\foo.exe", "C:\\Games\\Foo\\"},
      {"C:\\app.exe", "C:\\"},
      {"C:\\a\\b\\app.exe", "C:\\a\\b\\"},
      {"\\\\server\\share\\app.exe", "\\\\server\\share\\"},
      // A second byte 0x5C does not split the folder name.
      {"C:\\\xD7\x5C\\app.exe", "C:\\\xD7\x5C\\"},
      {"app.exe", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(WorkingFolderOf(c.target), c.folder) << c.target;
}

TEST(IconLocationFor, PrefersTheGivenIcon) {
  EXPECT_EQ(IconLocationFor("C:\\Foo\\logo.ico", "C:\\Foo\\foo.exe", ".exe"), "C:\\Foo\\logo.ico");
  EXPECT_EQ(IconLocationFor(std::nullopt, "C:\\Foo\\foo.exe", ".exe"), "C:\\Foo\\foo.exe,0");
  EXPECT_EQ(IconLocationFor(std::nullopt, "C:\\Foo\\foo", ""), "SHELL32.dll,4");
}

TEST(WithIconIndex, AddsTheFirstIconUnlessAnIndexIsThere) {
  struct Case { const char* location; const char* indexed; };
  const Case cases[] = {
      {"C:\\Foo\\logo.ico", "C:\\Foo\\logo.ico,0"},
      {"C:\\Foo\\foo.exe,0", "C:\\Foo\\foo.exe,0"},
      {"SHELL32.dll,4", "SHELL32.dll,4"},
      {"C:\\Foo\\foo.dll,-101", "C:\\Foo\\foo.dll,-101"},
      {"C:\\a,b\\logo.ico", "C:\\a,b\\logo.ico,0"},
      {"C:\\Foo\\logo.ico,", "C:\\Foo\\logo.ico,,0"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithIconIndex(c.location), c.indexed) << c.location;
}

}  // namespace
}  // namespace lumen
