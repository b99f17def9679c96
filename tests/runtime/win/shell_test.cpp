#include "runtime/win/shell.hpp"

#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runtime/convert.hpp"
#include "runtime/win/com.hpp"
#include "runtime/win/files.hpp"
#include "runtime/win/wide_text.hpp"
#include "tests/support/win/dialog_answer.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

using test::ScratchFolder;

[[nodiscard]] bool is_folder(const Text& path) { return PathIsDirectoryA(path.c_str()) != FALSE; }

TEST(SpecialFolder, KnownKindsGiveExistingFoldersEndingInABackslash) {
  char windows[MAX_PATH] = {};
  char system[MAX_PATH] = {};
  char temporary[MAX_PATH] = {};
  ASSERT_NE(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  ASSERT_NE(GetSystemDirectoryA(system, MAX_PATH), 0u);
  ASSERT_NE(GetTempPathA(MAX_PATH, temporary), 0u);
  struct Case { int kind; std::string expected; };
  const Case cases[] = {
      {9, std::string(windows) + "\\"}, {10, std::string(system) + "\\"}, {11, temporary},
  };
  for (const Case& c : cases) EXPECT_EQ(special_folder(static_cast<SpecialFolder>(c.kind)), c.expected) << c.kind;

  for (int kind = 1; kind <= 11; ++kind) {
    SCOPED_TRACE(kind);
    const Text folder = special_folder(static_cast<SpecialFolder>(kind));
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(folder.substr(folder.size() - 2), "\\\\");
  }
  // The desktop folder is the one the shell's desktop shows.
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
  EXPECT_EQ(special_folder(SpecialFolder::Desktop), std::string(desktop) + "\\");
  EXPECT_TRUE(is_folder(special_folder(SpecialFolder::Desktop)));
}

TEST(SpecialFolder, UnknownKindsGiveTheEmptyText) {
  for (int kind : {0, 12, -1, 100}) EXPECT_EQ(special_folder(static_cast<SpecialFolder>(kind)), "") << kind;
}

// Lines the echo probe wrote once it has run, or nothing after the limit.
[[nodiscard]] std::vector<Text> wait_for_echo(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!file_exists(path) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const Array<Text> lines = split_text(to_text(read_file(path)), "\n");
  return lines.items();
}

TEST(ShellExecute, StartsProgramsWithParametersInTheGivenFolder) {
  struct Case { ShellVerb verb; ShowCommand show; };
  const Case cases[] = {
      {ShellVerb::Open, ShowCommand::Hidden},
      {ShellVerb::Default, ShowCommand::Minimised},
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    // The output's relative name lands in the working folder.
    ASSERT_TRUE(shell_execute(c.verb, test::built_program("echo_probe.exe"), "echo.txt \"two words\" 中文",
                              folder.path(), c.show));
    const std::vector<Text> lines = wait_for_echo(folder / "echo.txt");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0] + "\\", folder.path());
    EXPECT_EQ(lines[1], "two words");
    EXPECT_EQ(lines[2], "中文");
  }
}

TEST(ShellExecute, ReportsFilesItCannotStart) {
  ScratchFolder folder;
  EXPECT_FALSE(shell_execute(ShellVerb::Open, folder / "missing.exe"));
  EXPECT_FALSE(shell_execute(ShellVerb::Default, ""));
}

struct LinkContent {
  std::string target, description, arguments, folder;
  int show = 0;
};

[[nodiscard]] std::optional<LinkContent> read_link(const std::string& path) {
  const win::ComApartment apartment;
  win::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))) {
    return std::nullopt;
  }
  const win::ComPtr<IPersistFile> file = link.query<IPersistFile>();
  if (!file || FAILED(file->Load(win::widen(path).c_str(), STGM_READ))) return std::nullopt;
  char text[1024] = {};
  LinkContent content;
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  content.target = text;
  link->GetDescription(text, sizeof text);
  content.description = text;
  link->GetArguments(text, sizeof text);
  content.arguments = text;
  link->GetWorkingDirectory(text, sizeof text);
  content.folder = text;
  link->GetShowCmd(&content.show);
  return content;
}

// The link file's name gets ".lnk" unless it already ends in it, whatever
// dots the folders or the name hold.
TEST(CreateLinkFile, NamesTheLinkFileWithItsEnding) {
  ScratchFolder folder;
  ASSERT_TRUE(CreateDirectoryA((folder / "a.b").c_str(), nullptr));
  struct Case { std::string given; std::string written; };
  const Case cases[] = {
      {"Plain", "Plain.lnk"},
      {"星光记事本", "星光记事本.lnk"},
      {"Named.lnk", "Named.lnk"},
      {"Upper.LNK", "Upper.LNK"},
      {"Version 2.0", "Version 2.0.lnk"},
      {"a.b\\Inner", "a.b\\Inner.lnk"},
  };
  const std::string target = test::built_program("echo_probe.exe");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    ASSERT_TRUE(create_link_file(folder / c.given, target));
    EXPECT_TRUE(file_exists(folder / c.written));
    const auto link = read_link(folder / c.written);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, target);
  }
  EXPECT_FALSE(file_exists(folder / "Named.lnk.lnk"));
}

TEST(CreateLinkFile, StoresTheGivenDetailsAndShowsNormally) {
  ScratchFolder folder;
  const std::string target = test::built_program("echo_probe.exe");
  ASSERT_TRUE(create_link_file(folder / "Full", target, "说明", "--flag \"x y\"", folder.path()));
  const auto full = read_link(folder / "Full.lnk");
  ASSERT_TRUE(full);
  EXPECT_EQ(full->description, "说明");
  EXPECT_EQ(full->arguments, "--flag \"x y\"");
  EXPECT_EQ(full->folder, folder.path());
  // The link format keeps only normal, maximised and minimised; "shown" is
  // stored as normal.
  EXPECT_EQ(full->show, SW_SHOWNORMAL);

  ASSERT_TRUE(create_link_file(folder / "Bare", target));
  const auto bare = read_link(folder / "Bare.lnk");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->description, "");
  EXPECT_EQ(bare->arguments, "");
  EXPECT_EQ(bare->folder, "");
}

TEST(CreateLinkFile, FailsWhereNoFileCanBeWritten) {
  ScratchFolder folder;
  EXPECT_FALSE(create_link_file(folder / "missing\\Link", test::built_program("echo_probe.exe")));
  EXPECT_FALSE(file_exists(folder / "missing"));
}

// The dialog is driven the way a user would: choose a folder and press OK,
// or cancel. Meanwhile the program's windows take no input; afterwards each
// window's state is as before.
TEST(BrowseForFolder, GivesTheChosenFolderAndRestoresTheWindows) {
  ScratchFolder folder;
  const test::Window enabled = test::plain_window();
  const test::Window disabled = test::plain_window();
  ASSERT_TRUE(enabled && disabled);
  EnableWindow(disabled.get(), FALSE);
  SetActiveWindow(enabled.get());

  const std::string chosen_folder = folder.path().substr(0, folder.path().size() - 1);
  bool enabled_meanwhile = true;
  Text chosen;
  {
    test::DialogDriver driver([&](HWND dialog) {
      enabled_meanwhile = IsWindowEnabled(enabled.get()) != FALSE;
      // On a busy machine the dialog may still be filling its tree when
      // first asked: the selection is made again once it has settled.
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen_folder.c_str()));
      Sleep(500);
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen_folder.c_str()));
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    chosen = browse_for_folder("选择安装文件夹");
    EXPECT_TRUE(driver.found());
  }
  EXPECT_EQ(chosen, chosen_folder);
  EXPECT_FALSE(enabled_meanwhile);
  EXPECT_TRUE(IsWindowEnabled(enabled.get()));
  EXPECT_FALSE(IsWindowEnabled(disabled.get()));
  EXPECT_EQ(GetActiveWindow(), enabled.get());

  {
    test::DialogDriver driver([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    EXPECT_EQ(browse_for_folder("选择", true), "");
  }
  EXPECT_TRUE(IsWindowEnabled(enabled.get()));
}

}  // namespace
}  // namespace lumen
