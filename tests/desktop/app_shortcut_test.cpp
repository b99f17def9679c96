#include "desktop/app_shortcut.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/text.hpp"

namespace lumen {
namespace {

class RecordingRoutes final : public ShortcutRoutes {
 public:
  explicit RecordingRoutes(bool shell_object_works) : shell_object_works_(shell_object_works) {}

  bool ThroughShellObject(std::string_view name, std::string_view target, std::string_view icon) override {
    calls.push_back("shell " + Text(name) + " " + Text(target) + " " + Text(icon));
    return shell_object_works_;
  }
  void ThroughScript(std::string_view name, std::string_view target, std::string_view icon) override {
    calls.push_back("script " + Text(name) + " " + Text(target) + " " + Text(icon));
  }

  std::vector<Text> calls;

 private:
  bool shell_object_works_;
};

TEST(MakeAppShortcut, TriesTheScriptOnlyWhenTheShellObjectFails) {
  const Text shell = "shell Foo C:\\Foo\\Foo.exe C:\\Foo\\logo.ico";
  const Text script = "script Foo C:\\Foo\\Foo.exe C:\\Foo\\logo.ico";
  struct Case { bool shell_object_works; std::vector<Text> calls; };
  const Case cases[] = {{true, {shell}}, {false, {shell, script}}};
  for (const Case& c : cases) {
    RecordingRoutes routes(c.shell_object_works);
    MakeAppShortcut("Foo", "C:\\Foo\\Foo.exe", "C:\\Foo\\logo.ico", routes);
    EXPECT_EQ(routes.calls, c.calls) << c.shell_object_works;
  }
}

// A distributor's name that could leave the desktop folder, open a device or
// break out of a script string makes no shortcut by either route.
TEST(MakeAppShortcut, MakesNoShortcutForANameThatIsNoPlainShortcutName) {
  for (const char* name : {"..\\..\\Startup\\Foo", "Foo\")\r\nMsgBox(\"x", "a/b", "Foo:bar", "..", "CON", "nul.txt"}) {
    RecordingRoutes routes(false);
    MakeAppShortcut(name, "C:\\Foo\\Foo.exe", "C:\\Foo\\logo.ico", routes);
    EXPECT_TRUE(routes.calls.empty()) << name;
  }
}

// Windows keeps trailing dots and spaces that ".lnk" follows: both routes
// get the name as it stands, and the empty name its link ".lnk".
TEST(MakeAppShortcut, GivesBothRoutesTheNameAsItStands) {
  for (const char* name : {"Loading...", "Loading ", "星光记事本.", ""}) {
    RecordingRoutes routes(false);
    MakeAppShortcut(name, "C:\\Foo\\Foo.exe", "C:\\Foo\\logo.ico", routes);
    EXPECT_EQ(routes.calls, (std::vector<Text>{"shell " + Text(name) + " C:\\Foo\\Foo.exe C:\\Foo\\logo.ico",
                                               "script " + Text(name) + " C:\\Foo\\Foo.exe C:\\Foo\\logo.ico"}))
        << name;
  }
}

}  // namespace
}  // namespace lumen
