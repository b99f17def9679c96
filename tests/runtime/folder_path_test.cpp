#include "runtime/folder_path.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

// 0x95 0x5C is one character of code page 936 whose second byte is the
// backslash's byte: it is part of a name, never a separator.
constexpr std::string_view kTrailIsBackslash = "\x95\x5C";

TEST(FolderPath, OnlyALastCharacterThatIsABackslashEndsTheFolder) {
  struct Case { Text path; bool ends; std::string_view without; };
  const Case cases[] = {
      {"C:\\StarlitPad\\", true, "C:\\StarlitPad"},
      {"C:\\StarlitPad\\\\", true, "C:\\StarlitPad"},
      {"C:\\StarlitPad", false, "C:\\StarlitPad"},
      {"C:\\", true, "C:"},
      {"\\", true, ""},
      {"", false, ""},
      {"C:\\" + Text(kTrailIsBackslash), false, "C:\\\x95\x5C"},
      {"C:\\" + Text(kTrailIsBackslash) + "\\", true, "C:\\\x95\x5C"},
      {"C:\\\x95", false, "C:\\\x95"},  // a character cut in half
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.path));
    EXPECT_EQ(EndsWithBackslash(c.path), c.ends);
    EXPECT_EQ(WithTrailingBackslash(c.path), c.ends ? c.path : c.path + "\\");
    EXPECT_EQ(WithoutTrailingBackslashes(c.path), c.without);
  }
}

TEST(FolderPath, TheParentIsTheFolderHoldingTheLastPart) {
  struct Case { Text path; std::string_view parent; };
  const Case cases[] = {
      {"C:\\Games\\StarlitPad\\", "C:\\Games"},
      {"C:\\Games\\StarlitPad", "C:\\Games"},
      {"C:\\Games", "C:"},
      {"C:\\", ""},
      {"C:", ""},
      {"", ""},
      // The folder "C:\<character ending in 0x5C>" has C: as its parent; a
      // byte walk would give "C:\" followed by half a character.
      {"C:\\" + Text(kTrailIsBackslash) + "\\", "C:"},
      {"C:\\" + Text(kTrailIsBackslash), "C:"},
      {"C:\\游戏\\" + Text(kTrailIsBackslash) + "\\", "C:\\游戏"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.path));
    EXPECT_EQ(ParentFolder(c.path), c.parent);
  }
}

TEST(FolderPath, APathIsInsideAFolderOnlyBelowASeparator) {
  struct Case { Text path; Text folder; bool inside; };
  const Case cases[] = {
      {"c:\\windows\\system32\\a.exe", "c:\\windows", true},
      {"c:\\windows\\a.exe", "c:\\windows\\", true},
      {"c:\\windowsapps\\a.exe", "c:\\windows", false},
      {"c:\\windows", "c:\\windows", false},
      {"c:\\windows\\", "c:\\windows", false},
      {"d:\\a.exe", "", false},
      // The folder's name ends in a lead byte whose character, in the path,
      // swallows the backslash: a different name, not a separator.
      {"c:\\\x95\x5C" "a.exe", "c:\\\x95", false},
      {"c:\\" + Text(kTrailIsBackslash) + "\\a.exe", "c:\\" + Text(kTrailIsBackslash), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.path) + " in " + testing::PrintToString(c.folder));
    EXPECT_EQ(IsInsideFolder(c.path, c.folder), c.inside);
  }
}

}  // namespace
}  // namespace lumen
