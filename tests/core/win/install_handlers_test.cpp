// The install action's handlers on a live wizard window, in this process: the
// downloads come from the rig's reference service, the desktop around the
// window (message boxes, folder chooser, shortcut, starting the program, the
// end of the process) is a recording stand-in that answers as scripted.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/install_messages.hpp"
#include "core/program_state.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/wizard_form.hpp"
#include "core/wizard_design.hpp"
#include "http/partial_record.hpp"
#include "runtime/win/files.hpp"
#include "tests/support/sha256.hpp"
#include "tests/support/win/dialog_answer.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/scratch_folder.hpp"
#include "tests/support/win/service.hpp"
#include "widgets/win/graphics_startup.hpp"

namespace lumen::wizard {
namespace {

// The marker of the stamp 00000038: its bytes with bit 4 flipped, then the
// 3rd to 11th digits of the built-in key's MD5 in upper case.
constexpr const char* kMarkerOf00000038 = "2020202020202328E3150706F";

struct ShownMessage {
  std::string text;
  std::uint32_t style = 0;
  std::string title;
  HWND owner = nullptr;
};

struct MadeShortcut {
  std::string app_name;
  std::string program_path;
  std::string icon_path;
  bool icon_file_there = false;  // logo.ico existed when the link was made
};

class RecordingDesktop final : public InstallDesktop {
 public:
  MessageBoxAnswer ShowMessage(std::string_view text, std::uint32_t style, std::string_view title,
                               HWND owner) override {
    messages.push_back({std::string(text), style, std::string(title), owner});
    if (answers.empty()) return MessageBoxAnswer::Ok;
    const MessageBoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  Text ChooseFolder(std::string_view title) override {
    folder_titles.emplace_back(title);
    return chosen_folder;
  }
  void StartProgram(std::string_view program_path) override { started.emplace_back(program_path); }
  void EndProgram(int code) override { end_code = code; }

  std::deque<MessageBoxAnswer> answers;  // then OK
  std::vector<ShownMessage> messages;
  Text chosen_folder;
  std::vector<std::string> folder_titles;
  std::vector<std::string> started;
  std::vector<MadeShortcut> shortcuts;
  std::optional<int> end_code;
};

class RecordingShortcuts final : public install::ShortcutMaker {
 public:
  explicit RecordingShortcuts(std::vector<MadeShortcut>& made) : made_(made) {}

  void MakeAppShortcut(std::string_view app_name, std::string_view program_path,
                       std::string_view icon_path) override {
    const bool icon = file_exists(icon_path);
    made_.push_back({std::string(app_name), std::string(program_path), std::string(icon_path), icon});
  }

 private:
  std::vector<MadeShortcut>& made_;
};

class InstallHandlers : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::service_url().empty()) << "the rig runs no reference service";
    state.AppInfo.name = "StarlitPad";
    state.AppInfo.agent_app.app_name = "星光记事本";
    state.StampedIdText = "00000038";
    state.AppIconBytes = {0, 0, 1, 0, 1, 0, 16, 16};
    serve("/files/StarlitPad.exe");
    widgets::InitialiseWidgets(state.Widgets);
    auto recording = std::make_unique<RecordingDesktop>();
    desktop = recording.get();
    auto shortcuts = std::make_unique<RecordingShortcuts>(recording->shortcuts);
    wizard = LoadWizardWindow(state, std::move(recording), std::move(shortcuts));
    ASSERT_TRUE(wizard);
  }
  void TearDown() override {
    wizard.reset();
    // The last window gone, the form asked the message loop to end; the
    // next test must not take that request for its own.
    MSG quit{};
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // The current version's address, on the reference service.
  void serve(const std::string& path) {
    DownVersionInfo& version = state.AppInfo.down_model[0].value[0];
    version.is_now = 1;
    version.version = "1.2.0";
    version.address = path.empty() ? "" : test::service_url() + path;
  }
  forms::ControlRef control(std::string_view name) { return wizard->form().control(name); }
  HWND window() { return wizard->form().native_handle(); }
  bool shown(std::string_view name) { return IsWindowVisible(control(name).native_handle()) != FALSE; }
  int bar_position() { return static_cast<int>(SendMessageA(control(kProgressBar).native_handle(), PBM_GETPOS, 0, 0)); }
  // Back on the first page with nothing shown yet, for another install.
  void start_again() {
    desktop->messages.clear();
    desktop->shortcuts.clear();
    control(kPages).set_current_page(kChooseFolderPage);
  }
  void install_into(const std::string& folder) {
    control(kFolderEdit).set_text(folder);
    wizard->OnInstallClicked();
  }
  // Clicks a title-bar or page button once the running handler lets the
  // window's messages through.
  void click_later(std::string_view button) { PostMessageA(control(button).native_handle(), BM_CLICK, 0, 0); }
  // Clicks the button from another thread as soon as the file has data: a
  // press in the middle of a download.
  std::thread click_once_written(std::string_view button, const std::string& file) {
    HWND target = control(button).native_handle();
    return std::thread([target, file] {
      for (int i = 0; i < 600; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0) break;
        Sleep(50);
      }
      PostMessageA(target, BM_CLICK, 0, 0);
    });
  }

  void expect_message(const WizardMessage& want, std::size_t index = 0) {
    ASSERT_GT(desktop->messages.size(), index);
    const ShownMessage& shown_message = desktop->messages[index];
    EXPECT_EQ(shown_message.text, want.text);
    EXPECT_EQ(shown_message.title, want.title);
    EXPECT_EQ(shown_message.style, want.style);
    EXPECT_EQ(shown_message.owner, window());
  }
  void expect_folder_refused(const std::string& folder) {
    const Text text = FolderRefusedText(folder);
    expect_message({text, kFolderRefusedStyle, kFolderRefusedTitle});
  }
  // Nothing of an installation in the folder.
  static void expect_nothing_installed(const std::string& folder) {
    for (const char* name : {"StarlitPad.exe", "OEM.key", "logo.ico"}) {
      EXPECT_FALSE(file_exists(folder + name)) << name;
    }
  }

  ProgramState state;
  RecordingDesktop* desktop = nullptr;
  std::unique_ptr<WizardForm> wizard;
  test::ScratchFolder scratch;
};

TEST_F(InstallHandlers, CompletedInstallLeavesTheProgramItsMarkerIconAndShortcut) {
  // Two missing folders deep, and typed without the closing backslash.
  const std::string folder = scratch / "Games\\StarlitPad\\";
  install_into(scratch / "Games\\StarlitPad");

  EXPECT_TRUE(desktop->messages.empty());
  EXPECT_EQ(control(kFolderEdit).text(), folder);
  EXPECT_EQ(state.InstallFolder, folder);
  EXPECT_EQ(state.ProgramPath, folder + "StarlitPad.exe");
  EXPECT_TRUE(shown(kRunButton)) << "the finished page";

  const ByteBuffer served = read_file(test::built_program("StarlitPad.exe"));
  ASSERT_FALSE(served.empty());
  EXPECT_EQ(read_file(folder + "StarlitPad.exe"), served);
  EXPECT_FALSE(file_exists(folder + "StarlitPad.exe.tmp"));
  EXPECT_EQ(to_text(read_file(folder + "OEM.key")), kMarkerOf00000038);
  EXPECT_EQ(read_file(folder + "OEM.key").size(), 25u) << "no terminator, no line end";
  EXPECT_EQ(read_file(folder + "logo.ico"), state.AppIconBytes);

  ASSERT_EQ(desktop->shortcuts.size(), 1u);
  EXPECT_EQ(desktop->shortcuts[0].app_name, "星光记事本");
  EXPECT_EQ(desktop->shortcuts[0].program_path, folder + "StarlitPad.exe");
  EXPECT_EQ(desktop->shortcuts[0].icon_path, folder + "logo.ico");

  // The installing page as the last block left it.
  EXPECT_EQ(control(kStatusLabel).text(), "正在下载请稍后...100%");
  EXPECT_EQ(bar_position(), 100);
}

TEST_F(InstallHandlers, FailedAutomaticInstallSaysWhyAndOffersTheManualInstall) {
  struct Case {
    const char* name;
    std::string path;  // the current version's address on the service; empty: none
    bool current = true;
    WizardMessage message;
    std::int64_t left_in_temporary_file = -1;  // -1: no temporary file
  };
  const Case cases[] = {
      {"no current version", "/files/StarlitPad.exe", false, kNoDownloadAddressMessage},
      {"current version without an address", "", true, kNoDownloadAddressMessage},
      {"the server refuses the file", "/status/404", true, kDownloadFailedMessage},
      {"no such file", "/files/NoSuchProgram.exe", true, kDownloadFailedMessage},
      {"connection cut after 5000 bytes", "/files/StarlitPad.exe?drop=5000", true, kDownloadFailedMessage, 5000},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start_again();
    serve(c.path);
    state.AppInfo.down_model[0].value[0].is_now = c.current ? 1 : 0;
    const std::string folder = scratch / ("case" + std::to_string(serial++) + "\\");

    install_into(folder);

    ASSERT_EQ(desktop->messages.size(), 1u);
    expect_message(c.message);
    EXPECT_TRUE(shown(kManualInstallButton)) << "the manual-install page";
    expect_nothing_installed(folder);
    EXPECT_TRUE(desktop->shortcuts.empty());
    const Text temporary = folder + "StarlitPad.exe.tmp";
    if (c.left_in_temporary_file < 0) {
      EXPECT_FALSE(file_exists(temporary));
    } else {
      // Kept for the next run to resume.
      EXPECT_EQ(static_cast<std::int64_t>(read_file(temporary).size()), c.left_in_temporary_file);
    }
  }
}

TEST_F(InstallHandlers, AFolderThatCannotTakeTheInstallIsRefusedOnTheFirstPage) {
  ASSERT_TRUE(write_file(scratch / "taken", to_buffer("a file, not a folder")));
  struct Case { const char* name; std::string typed; std::string folder; };
  const Case cases[] = {
      {"a file stands where the folder would be", scratch / "taken", scratch / "taken\\"},
      {"a folder below a file", scratch / "taken\\StarlitPad\\", scratch / "taken\\StarlitPad\\"},
      {"a drive that does not exist", "Q:\\StarlitPad", "Q:\\StarlitPad\\"},
      // /proc exists as a folder but no file can be created there, not even
      // by root.
      {"a folder that takes no files", "Z:\\proc", "Z:\\proc\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop->messages.clear();
    install_into(c.typed);
    ASSERT_EQ(desktop->messages.size(), 1u);
    expect_folder_refused(c.folder);
    EXPECT_EQ(control(kFolderEdit).text(), c.folder);
    EXPECT_TRUE(shown(kInstallButton)) << "still the first page";
    EXPECT_TRUE(state.InstallFolder.empty());
    EXPECT_TRUE(state.ProgramPath.empty());
    EXPECT_TRUE(desktop->shortcuts.empty());
  }
  EXPECT_EQ(to_text(read_file(scratch / "taken")), "a file, not a folder");
}

TEST_F(InstallHandlers, BrowsePutsTheApplicationsFolderInsideTheChosenOne) {
  struct Case { Text chosen; std::string folder; };
  const Case cases[] = {
      {"D:\\", "D:\\StarlitPad\\"},
      {"D:\\Games", "D:\\Games\\StarlitPad\\"},
      {"", "D:\\Games\\StarlitPad\\"},  // cancelled: the text stays
      {"C:\\Program Files\\", "C:\\Program Files\\StarlitPad\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    desktop->chosen_folder = c.chosen;
    wizard->OnBrowseClicked();
    EXPECT_EQ(control(kFolderEdit).text(), c.folder);
  }
  ASSERT_EQ(desktop->folder_titles.size(), 4u);
  EXPECT_EQ(desktop->folder_titles[0], "选择安装目录：");
  EXPECT_TRUE(desktop->messages.empty());
}

// The close button and the system's close command (Alt+F4) ask the same
// question; the window stays unless the answer is OK.
TEST_F(InstallHandlers, CloseAsksFirstAndOnlyOkEndsTheProgram) {
  struct Case { const char* name; bool system_close; MessageBoxAnswer answer; bool ends; };
  const Case cases[] = {
      {"close button, Cancel", false, MessageBoxAnswer::Cancel, false},
      {"Alt+F4, Cancel", true, MessageBoxAnswer::Cancel, false},
      {"Alt+F4, OK", true, MessageBoxAnswer::Ok, true},
      {"close button, OK", false, MessageBoxAnswer::Ok, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop->messages.clear();
    desktop->answers = {c.answer};
    if (c.system_close) {
      PostMessageA(window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      click_later(kCloseButton);
    }
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    ASSERT_EQ(desktop->messages.size(), 1u);
    expect_message(kQuitQuestion);
    EXPECT_EQ(desktop->end_code, c.ends ? std::optional(0) : std::nullopt);
    EXPECT_EQ(state.downloadCancelled.load(), c.ends ? 1 : 0);
    EXPECT_TRUE(IsWindow(window())) << "only the program's end closes the window";
  }
}

// A download long enough to be interrupted: a megabyte trickling from the
// service for a few seconds, in blocks, with the window's messages let
// through between them.
TEST_F(InstallHandlers, ButtonsPressedDuringTheDownloadAreHandledBetweenItsBlocks) {
  constexpr std::int64_t kSize = 1000000;
  struct Case {
    const char* name;
    std::string_view button;
    std::deque<MessageBoxAnswer> answers;
    bool completes;
  };
  const Case cases[] = {
      {"close, then Cancel: the download goes on", kCloseButton, {MessageBoxAnswer::Cancel}, true},
      {"install again: ignored while installing", kInstallButton, {}, true},
      {"close, then OK: the program ends", kCloseButton, {MessageBoxAnswer::Ok}, false},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop->messages.clear();
    desktop->shortcuts.clear();
    desktop->answers = c.answers;
    control(kPages).set_current_page(kChooseFolderPage);
    serve("/blob/" + std::to_string(kSize) + "/StarlitPad.exe?rate=400000");
    const std::string folder = scratch / ("case" + std::to_string(serial++) + "\\");

    std::thread press = click_once_written(c.button, folder + "StarlitPad.exe.tmp");
    install_into(folder);
    press.join();

    const std::size_t questions = c.button == kCloseButton ? 1 : 0;
    ASSERT_EQ(desktop->messages.size(), questions) << "no message but the quit question";
    if (questions) expect_message(kQuitQuestion);
    if (c.completes) {
      EXPECT_EQ(static_cast<std::int64_t>(read_file(folder + "StarlitPad.exe").size()), kSize);
      EXPECT_TRUE(file_exists(folder + "OEM.key"));
      EXPECT_EQ(desktop->shortcuts.size(), 1u) << "one install, not two";
      EXPECT_TRUE(shown(kRunButton));
      EXPECT_FALSE(desktop->end_code.has_value());
      continue;
    }
    EXPECT_EQ(desktop->end_code, 0);
    EXPECT_EQ(state.downloadCancelled.load(), 1);
    // Stopped part way, the temporary file kept for a later run.
    const auto kept = static_cast<std::int64_t>(read_file(folder + "StarlitPad.exe.tmp").size());
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, kSize);
    expect_nothing_installed(folder);
    EXPECT_TRUE(shown(kProgressBar)) << "still the installing page";
    EXPECT_LT(bar_position(), 100);
    EXPECT_NE(control(kStatusLabel).text().find("%"), std::string::npos);
  }
}

TEST_F(InstallHandlers, RunStartsTheInstalledProgramAndClosesTheWindow) {
  state.ProgramPath = "C:\\StarlitPad\\StarlitPad.exe";
  control(kPages).set_current_page(kFinishedPage);
  HWND handle = window();
  wizard->OnRunClicked();
  ASSERT_EQ(desktop->started.size(), 1u);
  EXPECT_EQ(desktop->started[0], "C:\\StarlitPad\\StarlitPad.exe");
  // The closing is posted: the window goes once its messages run.
  MSG message{};
  while (IsWindow(handle) && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_FALSE(desktop->end_code.has_value()) << "the message loop ends the process, not the handler";
}

TEST_F(InstallHandlers, ManualInstallCopiesTheChosenFileUnderTheApplicationsName) {
  const std::string folder = scratch / "manual\\";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  state.InstallFolder = folder;
  state.ProgramPath = folder + "StarlitPad.exe";
  state.AppIconBytes.clear();
  const ByteBuffer program = read_file(test::built_program("StarlitPad.exe"));
  ASSERT_TRUE(write_file(scratch / "downloaded by hand.exe", program));
  ASSERT_TRUE(write_file(scratch / "empty.exe", ByteBuffer{}));
  control(kPages).set_current_page(kManualInstallPage);

  struct Case { const char* name; std::string path; std::optional<WizardMessage> refusal; };
  const Case cases[] = {
      {"no path", "", kNoProgramFilePathMessage},
      {"the prompt left in the box", Text(control(kProgramFileEdit).text()), kBadProgramFileMessage},
      {"no such file", scratch / "missing.exe", kBadProgramFileMessage},
      {"an empty file", scratch / "empty.exe", kBadProgramFileMessage},
      {"a good file", scratch / "downloaded by hand.exe", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop->messages.clear();
    control(kProgramFileEdit).set_text(c.path);
    wizard->OnManualInstallClicked();
    if (c.refusal) {
      ASSERT_EQ(desktop->messages.size(), 1u);
      expect_message(*c.refusal);
      EXPECT_TRUE(shown(kManualInstallButton));
      expect_nothing_installed(folder);
      EXPECT_TRUE(desktop->shortcuts.empty());
      continue;
    }
    EXPECT_TRUE(desktop->messages.empty());
    EXPECT_EQ(read_file(folder + "StarlitPad.exe"), program);
    EXPECT_EQ(to_text(read_file(folder + "OEM.key")), kMarkerOf00000038);
    EXPECT_TRUE(file_exists(folder + "logo.ico")) << "written even without icon bytes";
    EXPECT_TRUE(read_file(folder + "logo.ico").empty());
    ASSERT_EQ(desktop->shortcuts.size(), 1u);
    EXPECT_EQ(desktop->shortcuts[0].program_path, folder + "StarlitPad.exe");
    EXPECT_TRUE(desktop->shortcuts[0].icon_file_there) << "the files come before the shortcut";
    EXPECT_TRUE(shown(kRunButton));
  }
}

TEST_F(InstallHandlers, ManualInstallThatCannotWriteTheProgramDoesNotCallItComplete) {
  // The folder went away after the check (the manual install makes it
  // again) and a file now stands where it would be made.
  ASSERT_TRUE(write_file(scratch / "blocker", to_buffer("a file, not a folder")));
  state.InstallFolder = scratch / "blocker\\gone\\";
  state.ProgramPath = scratch / "blocker\\gone\\StarlitPad.exe";
  ASSERT_TRUE(write_file(scratch / "downloaded.exe", read_file(test::built_program("StarlitPad.exe"))));
  control(kPages).set_current_page(kManualInstallPage);
  control(kProgramFileEdit).set_text(scratch / "downloaded.exe");
  wizard->OnManualInstallClicked();
  ASSERT_EQ(desktop->messages.size(), 1u);
  expect_folder_refused(scratch / "blocker\\gone\\");
  EXPECT_TRUE(shown(kManualInstallButton));
  EXPECT_TRUE(desktop->shortcuts.empty());
}

TEST_F(InstallHandlers, ChooseFillsThePathFromTheProgramFileDialog) {
  control(kPages).set_current_page(kManualInstallPage);
  const std::string own = test::built_program("StarlitPad.exe");
  const Text prompt = control(kProgramFileEdit).text();
  struct Case { const char* what; std::string file; Text path; };
  const Case cases[] = {{"cancelled", "", prompt}, {"chosen", own, own}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string title;
    std::string first_filter;
    {
      test::DialogDriver driver([&](HWND box) {
        char text[64] = {};
        GetWindowTextA(box, text, sizeof text);
        title = text;
        first_filter = test::answer_file_dialog(box, c.file);
      });
      wizard->OnChooseClicked();
    }
    EXPECT_EQ(title, "请选择所需程序文件");
    EXPECT_EQ(to_lower(control(kProgramFileEdit).text()), to_lower(c.path));
    EXPECT_EQ(first_filter, "程序文件（*.exe）");
  }
}

// The program as the service serves it, and the checksum it publishes.
struct ServedProgram {
  ByteBuffer bytes = read_file(test::built_program("StarlitPad.exe"));
  std::string sha256 = test::sha256_hex(bytes);
  std::int64_t size = std::ssize(bytes);
};

std::string fresh_tag() {
  static int serial = 0;
  return "ih" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(GetTickCount()) + "x" +
         std::to_string(serial++);
}

// Checked with the system's SHA-256: only the program the service published
// replaces the one installed before, and a failed check leaves nothing of
// the download behind.
TEST_F(InstallHandlers, InstallsOnlyTheProgramThePublishedChecksumNames) {
  const ServedProgram served;
  ASSERT_GT(served.size, 0);
  std::string upper = served.sha256;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
  std::string wrong = served.sha256;
  wrong[10] = wrong[10] == '0' ? '1' : '0';
  const ByteBuffer old_program = to_buffer("StarlitPad 1.1.0, installed before");
  struct Case { const char* name; std::string sha256; std::int64_t size; bool installs; };
  const Case cases[] = {
      {"right checksum and size", upper, served.size, true},
      {"wrong checksum", wrong, served.size, false},
      {"wrong size", served.sha256, served.size + 1, false},
      {"malformed checksum", served.sha256.substr(1), 0, false},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start_again();
    DownVersionInfo& version = state.AppInfo.down_model[0].value[0];
    version.sha256 = c.sha256;
    version.size = c.size;
    const std::string folder = scratch / ("checked" + std::to_string(serial++) + "\\");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(write_file(folder + "StarlitPad.exe", old_program));

    install_into(folder);

    if (c.installs) {
      EXPECT_TRUE(desktop->messages.empty());
      EXPECT_EQ(read_file(folder + "StarlitPad.exe"), served.bytes);
      EXPECT_EQ(desktop->shortcuts.size(), 1u);
      EXPECT_TRUE(shown(kRunButton));
    } else {
      ASSERT_EQ(desktop->messages.size(), 1u);
      expect_message(kDownloadFailedMessage);
      EXPECT_EQ(read_file(folder + "StarlitPad.exe"), old_program) << "the old program, byte for byte";
      EXPECT_FALSE(file_exists(folder + "OEM.key"));
      EXPECT_TRUE(desktop->shortcuts.empty());
      EXPECT_TRUE(shown(kManualInstallButton));
    }
    EXPECT_FALSE(file_exists(folder + "StarlitPad.exe.tmp"));
    EXPECT_FALSE(file_exists(folder + "StarlitPad.exe.tmp.source"));
  }
}

// A partial file left by an earlier run: continued when its record ties it
// to this address and version and the checksum vouches for it, or, without
// a record, on the checksum's word (and fetched again from the start when
// the checksum refutes it); never spliced onto another version's bytes.
TEST_F(InstallHandlers, APartialFileIsContinuedOnlyWithTheSameProgram) {
  const ServedProgram served;
  const std::int64_t half = served.size / 2;
  const ByteBuffer this_part(served.bytes.begin(), served.bytes.begin() + half);
  const ByteBuffer other_part(static_cast<std::size_t>(half), 0x5A);
  const std::string range = "Range: bytes=" + std::to_string(half) + "-";
  struct Case {
    const char* name;
    ByteBuffer kept;
    std::optional<std::string> recorded_version;  // nothing: no record
    bool checked;
    std::vector<bool> ranged;  // whether each request asked for a range
  };
  const Case cases[] = {
      {"this version's part, recorded", this_part, "1.2.0", true, {true}},
      // Neither a checksum nor a validator to vouch for a splice.
      {"this version's part, recorded, unchecked", this_part, "1.2.0", false, {false}},
      {"this version's part, no record", this_part, std::nullopt, true, {true}},
      {"another version's part, recorded", other_part, "1.1.0", true, {false}},
      {"another version's part, no record", other_part, std::nullopt, true, {true, false}},
      {"another version's part, no record, unchecked", other_part, std::nullopt, false, {false}},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start_again();
    const std::string tag = fresh_tag();
    serve("/files/StarlitPad.exe?tag=" + tag);
    DownVersionInfo& version = state.AppInfo.down_model[0].value[0];
    version.sha256 = c.checked ? served.sha256 : "";
    version.size = c.checked ? served.size : 0;
    const std::string folder = scratch / ("partial" + std::to_string(serial++) + "\\");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string temp = folder + "StarlitPad.exe.tmp";
    ASSERT_TRUE(write_file(temp, c.kept));
    if (c.recorded_version) {
      const PartialRecord record{version.address, *c.recorded_version, served.size, ""};
      ASSERT_TRUE(write_file(PartialRecordPath(temp), to_buffer(*FormatPartialRecord(record))));
    }

    install_into(folder);

    EXPECT_TRUE(desktop->messages.empty());
    EXPECT_EQ(read_file(folder + "StarlitPad.exe"), served.bytes) << "the served program, byte for byte";
    EXPECT_FALSE(file_exists(temp));
    EXPECT_FALSE(file_exists(PartialRecordPath(temp)));
    const std::string log = test::service_log(tag);
    std::vector<bool> ranged;
    for (std::size_t at = log.find("GET "); at != std::string::npos; at = log.find("GET ", at + 1)) {
      const std::size_t end = log.find("\r\n\r\n", at);
      ranged.push_back(log.substr(at, end - at).find(range) != std::string::npos);
    }
    EXPECT_EQ(ranged, c.ranged) << log;
  }
}

}  // namespace
}  // namespace lumen::wizard
