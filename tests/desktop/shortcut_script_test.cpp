#include "desktop/shortcut_script.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(ShortcutScriptText, SetsTheIconOfTheNamedDesktopLink) {
  const auto script = ShortcutScriptText("星光记事本", "C:\\Program Files\\Foo\\logo.ico");
  ASSERT_TRUE(script);
  EXPECT_EQ(*script,
            "Const DESKTOP = &H10&\r\n"
            "Set objShell = CreateObject(\"Shell.Application\")\r\n"
            "Set objFolder = objShell.NameSpace(DESKTOP)\r\n"
            "Set objFolderItem = objFolder.ParseName(\"星光记事本.lnk\")\r\n"
            "Set objShortcut = objFolderItem.GetLink\r\n"
            "objShortcut.SetIconLocation \"C:\\Program Files\\Foo\\logo.ico\",0\r\n"
            "objShortcut.Save");
}

// Nothing from the network can end a string and add a statement.
TEST(ShortcutScriptText, IsNotWrittenForTextsThatLeaveTheirQuotes) {
  struct Case { const char* name; const char* icon; };
  const Case cases[] = {
      {"Foo\")\r\nCreateObject(\"WScript.Shell\").Run(\"calc", "C:\\Foo\\logo.ico"},
      {"Foo\nBar", "C:\\Foo\\logo.ico"},
      {"Foo", "C:\\Foo\"\\logo.ico"},
      {"Foo", "C:\\Foo\r\\logo.ico"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortcutScriptText(c.name, c.icon), std::nullopt) << c.name << c.icon;
}

}  // namespace
}  // namespace lumen
