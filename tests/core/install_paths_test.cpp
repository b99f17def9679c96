#include "core/install_paths.hpp"

#include <gtest/gtest.h>

#include "core/install_messages.hpp"

namespace lumen {
namespace {

TEST(InstallPaths, TheChosenFolderGetsTheApplicationsOwnFolder) {
  struct Case { const char* name; std::string_view chosen; Text folder; };
  const Case cases[] = {
      {"drive root", "D:\\", "D:\\StarlitPad\\"},
      {"folder", "D:\\Games", "D:\\Games\\StarlitPad\\"},
      {"folder with its backslash", "D:\\Games\\", "D:\\Games\\StarlitPad\\"},
      {"Chinese folder name", "D:\\游戏", "D:\\游戏\\StarlitPad\\"},
      // 0x95 0x5C is one character whose second byte is a backslash's byte:
      // it ends the name, it does not end the path in a separator.
      {"double-byte character ending in 0x5C", "D:\\\x95\x5C", "D:\\\x95\x5C\\StarlitPad\\"},
      {"that character, then the separator", "D:\\\x95\x5C\\", "D:\\\x95\x5C\\StarlitPad\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(InstallFolderInside(c.chosen, "StarlitPad"), c.folder);
  }
}

TEST(InstallPaths, DefaultFolderAndProgramPathFollowTheApplicationName) {
  EXPECT_EQ(DefaultInstallFolder("StarlitPad"), "C:\\StarlitPad\\");
  EXPECT_EQ(ProgramPathIn("D:\\Games\\StarlitPad\\", "StarlitPad"), "D:\\Games\\StarlitPad\\StarlitPad.exe");
}

TEST(InstallMessages, TheRefusedFolderStandsOnItsOwnLineInFullWidthQuotes) {
  const Text text = FolderRefusedText("Q:\\StarlitPad\\");
  // Code page 936: the full-width quotation marks are A1 B0 and A1 B1.
  const Text tail = "\r\n\xA1\xB0Q:\\StarlitPad\\\xA1\xB1";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(text, "请确认所选的安装位置是否合法，程序无法在该位置安装" + tail);
}

}  // namespace
}  // namespace lumen
