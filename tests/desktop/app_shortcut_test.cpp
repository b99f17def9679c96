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

// A distributor's name that could leave the desktop folder or a script
// string makes no shortcut by either route.
TEST(MakeAppShortcut, MakesNoShortcutForANameThatIsNoPlainFileName) {
  for (const char* name : {"..\\..\\Startup\\Foo", "Foo\")\r\nMsgBox(\"x", "a/b", "Foo:bar", "..", "CON", ""}) {
    RecordingRoutes routes(false);
    MakeAppShortcut(name, "C:\\Foo\\Foo.exe", "C:\\Foo\\logo.ico", routes);
    EXPECT_TRUE(routes.calls.empty()) << name;
  }
}

// Windows would drop the trailing dots and spaces from the link's name; the
// routes get the name it keeps.
TEST(MakeAppShortcut, GivesBothRoutesTheNameWithoutTrailingDotsAndSpaces) {
  for (const char* name : {"Loading...", "Loading ", "Loading. "}) {
    RecordingRoutes routes(false);
    MakeAppShortcut(name, "C:\\Foo\\Foo.exe", "C:\\Foo\\logo.ico", routes);
    EXPECT_EQ(routes.calls, (std::vector<Text>{"shell Loading C:\\Foo\\Foo.exe C:\\Foo\\logo.ico",
                                               "script Loading C:\\Foo\\Foo.exe C:\\Foo\\logo.ico"}))
        << name;
  }
}

}  // namespace
}  // namespace lumen
