#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "desktop/win/desktop_shortcut.hpp"
#include "desktop/win/folder_of_kind.hpp"
#include "desktop/win/script_shortcut.hpp"
#include "desktop/win/system_shortcut_routes.hpp"
#include "runtime/win/com.hpp"
#include "runtime/win/files.hpp"
#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

using test::ScratchFolder;

struct LinkInfo {
  bool loaded = false;
  std::string target;
  std::string working_folder;
  std::string icon;
  int icon_index = -1;
};

// What a link file holds, read through the shell link object.
LinkInfo read_link(const std::string& path) {
  const win::ComApartment apartment;
  win::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))) {
    return {};
  }
  const auto file = link.query<IPersistFile>();
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1));
  if (!file || FAILED(file->Load(wide.c_str(), STGM_READ))) return {};
  LinkInfo info;
  info.loaded = true;
  char text[MAX_PATH] = {};
  if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) info.target = text;
  if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) info.working_folder = text;
  if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &info.icon_index))) info.icon = text;
  return info;
}

// A name of its own per test and process, so runs never meet earlier links.
std::string unique_name(const std::string& stem) {
  return "Lumen" + stem + std::to_string(GetCurrentProcessId());
}

// The files of a folder, less the desktop entries Wine's menu builder may
// add beside links at any moment.
std::set<std::string> files_in(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA entry{};
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = entry.cFileName;
    if (!name.ends_with(".desktop")) names.insert(name);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

// The installed program: a file in a folder of the scratch folder.
struct Installed {
  ScratchFolder scratch;
  std::string folder = scratch / "App Folder\\";
  std::string program = folder + "app.exe";

  Installed() {
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(write_file(program, to_buffer("MZ")));
  }
};

// Removes the link when the test ends, whatever it asserted.
struct LinkCleanup {
  std::string path;
  ~LinkCleanup() { DeleteFileA(path.c_str()); }
};

// The shell object's route fails, as on systems without the script host.
class ForcedFallback final : public ShortcutRoutes {
 public:
  bool ThroughShellObject(std::string_view, std::string_view, std::string_view) override { return false; }
  void ThroughScript(std::string_view name, std::string_view target, std::string_view icon) override {
    system_.ThroughScript(name, target, icon);
  }

 private:
  SystemShortcutRoutes system_;
};

TEST(FolderOfKind, FindsTheTableFoldersWithABackslash) {
  const Text desktop = FolderOfKind(3);
  ASSERT_FALSE(desktop.empty());
  EXPECT_EQ(desktop.back(), '\\');
  EXPECT_EQ(FolderOfKind(), desktop);
  EXPECT_EQ(FolderOfKind(0), desktop);
  for (const int kind : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
    const Text folder = FolderOfKind(kind);
    ASSERT_FALSE(folder.empty()) << kind;
    EXPECT_EQ(folder.back(), '\\') << kind;
  }
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  EXPECT_EQ(FolderOfKind(11), temp);
  EXPECT_EQ(FolderOfKind(13), "");
  EXPECT_EQ(FolderOfKind(-1), "");
}

TEST(MakeAppShortcut, LinksTheProgramWithItsFolderAndIcon) {
  Installed app;
  const std::string name = unique_name("Shell");
  const LinkCleanup cleanup{FolderOfKind(0) + name + ".lnk"};
  // An earlier link of the same name, even a broken one, is replaced.
  ASSERT_TRUE(write_file(cleanup.path, to_buffer("not a link")));

  MakeAppShortcut(name, app.program, app.folder + "logo.ico");

  const LinkInfo link = read_link(cleanup.path);
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.target, app.program);
  EXPECT_EQ(link.working_folder, app.folder);
  EXPECT_EQ(link.icon, app.folder + "logo.ico");
  EXPECT_EQ(link.icon_index, 0);
}

TEST(CreateDesktopShortcut, NamesTheLinkOnceAndKeepsPathsStable) {
  Installed app;
  const Text desktop = FolderOfKind(0);
  const std::string name = unique_name("Named");
  const LinkCleanup cleanup{desktop + name + ".lnk"};

  const DesktopShortcut first = CreateDesktopShortcut(name, app.program);
  EXPECT_TRUE(first.saved);
  EXPECT_EQ(first.link_path, cleanup.path);
  // Without an icon the link shows the program's own first icon.
  EXPECT_EQ(read_link(cleanup.path).icon, app.program);

  // The link path given back as the name, or the name with ".lnk" in any
  // case, names the same link.
  EXPECT_EQ(CreateDesktopShortcut(first.link_path, app.program).link_path, cleanup.path);
  const DesktopShortcut upper = CreateDesktopShortcut(name + ".LNK", app.program);
  EXPECT_EQ(upper.link_path, desktop + name + ".LNK");
  EXPECT_TRUE(upper.saved);

  // A target without a folder makes no link, and the old one is gone.
  const DesktopShortcut bare = CreateDesktopShortcut(name, "app.exe");
  EXPECT_FALSE(bare.saved);
  EXPECT_FALSE(file_exists(cleanup.path));
}

// The fallback route: the shell link object makes the link, and the
// generated script is run and removed. (Wine's shell folder link object
// does not take an icon, so the script's effect shows only on Windows.)
TEST(MakeAppShortcut, FallsBackToTheLinkObjectAndAScript) {
  Installed app;
  const std::string name = unique_name("Script");
  const LinkCleanup cleanup{FolderOfKind(0) + name + ".lnk"};
  ForcedFallback routes;

  MakeAppShortcut(name, app.program, app.folder + "logo.ico", routes);

  const LinkInfo link = read_link(cleanup.path);
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.target, app.program);
  EXPECT_EQ(link.working_folder, app.folder);
  EXPECT_FALSE(file_exists(FolderOfKind(11) + name + ".vbs"));
}

// The link's name on either route: the distributor's name as it stands and
// ".lnk", a name with a backslash cut to its last component without extension.
TEST(MakeAppShortcut, NamesTheLinkAfterTheNameOnEitherRoute) {
  Installed app;
  const Text desktop = FolderOfKind(0);
  const std::string stem = unique_name("Named");
  struct Case { std::string name; std::string link; };
  const Case cases[] = {
      {stem, stem + ".lnk"},
      {stem + ".", stem + "..lnk"},
      {stem + "... ", stem + "... .lnk"},
      {"Tools\\" + stem + ".exe", stem + ".lnk"},
      {"..\\..\\Startup\\" + stem, stem + ".lnk"},
      {desktop + stem + ".lnk", stem + ".lnk"},  // a link path given back
  };
  SystemShortcutRoutes system;
  ForcedFallback fallback;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LinkCleanup cleanup{desktop + c.link};
    for (ShortcutRoutes* routes : {static_cast<ShortcutRoutes*>(&system), static_cast<ShortcutRoutes*>(&fallback)}) {
      MakeAppShortcut(ShortcutNameOf(c.name), app.program, app.folder + "logo.ico", *routes);
      EXPECT_EQ(read_link(cleanup.path).target, app.program);
      EXPECT_TRUE(DeleteFileA(cleanup.path.c_str()));
    }
  }
  // The running installer's own entry cuts the name the same way.
  const LinkCleanup cleanup{desktop + stem + ".lnk"};
  MakeAppShortcut("Tools\\" + stem + ".exe", app.program, app.folder + "logo.ico");
  EXPECT_EQ(read_link(cleanup.path).target, app.program);
}

// An empty name makes the link ".lnk", whose whole name is the ending.
TEST(MakeAppShortcut, AnEmptyNameMakesTheLinkNamedLnk) {
  Installed app;
  const LinkCleanup cleanup{FolderOfKind(0) + ".lnk"};
  DeleteFileA(cleanup.path.c_str());
  MakeAppShortcut("", app.program, app.folder + "logo.ico");
  EXPECT_EQ(read_link(cleanup.path).target, app.program);
}

// A distributor's name from the network that could leave the desktop folder,
// open a device or break out of its script string makes nothing anywhere, on
// either route.
TEST(MakeAppShortcut, MakesNothingForUnsafeNamesOnTheFallbackRoute) {
  Installed app;
  const Text desktop = FolderOfKind(0);
  const Text temp = FolderOfKind(11);
  const auto parent_of = [](const Text& folder) {
    return folder.substr(0, folder.find_last_of('\\', folder.size() - 2) + 1);
  };
  const std::string stem = unique_name("Evil");
  const std::string names[] = {
      "../" + stem,
      stem + "\")\r\nCreateObject(\"WScript.Shell\").Run(\"notepad",
      stem + "\nMsgBox 1",
      "C:" + stem,
      "..",
      "CON",
      "Tools\\NUL.exe",
  };
  const auto desktop_before = files_in(desktop);
  const auto temp_before = files_in(temp);
  const auto desktop_parent_before = files_in(parent_of(desktop));
  const auto temp_parent_before = files_in(parent_of(temp));
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    ForcedFallback routes;
    MakeAppShortcut(ShortcutNameOf(name), app.program, app.folder + "logo.ico", routes);
    MakeAppShortcut(name, app.program, app.folder + "logo.ico");
    CreateShortcutByScript({.name = name, .target = app.program, .description = {}, .arguments = {},
                            .working_folder = app.folder, .icon = app.folder + "logo.ico"});
    const DesktopShortcut direct = CreateDesktopShortcut(name, app.program);
    EXPECT_FALSE(direct.saved);
    EXPECT_EQ(direct.link_path, "");
  }
  EXPECT_EQ(files_in(desktop), desktop_before);
  EXPECT_EQ(files_in(temp), temp_before);
  EXPECT_EQ(files_in(parent_of(desktop)), desktop_parent_before);
  EXPECT_EQ(files_in(parent_of(temp)), temp_parent_before);
}

}  // namespace
}  // namespace lumen
