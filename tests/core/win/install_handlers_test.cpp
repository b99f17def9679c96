// The install action's handlers on a live wizard window, in this process,
// with the installer and the desktop around the window (message boxes,
// folder chooser, starting the program, the end of the process) played by
// stand-ins that record what they are asked and answer as scripted. What an
// install does on the disk and the network is the engine's, tested on its
// own; here: which page and which message each outcome gives, and how the
// window drives the install job (its progress, its end, the quit question).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/install_messages.hpp"
#include "core/installer/installer.hpp"
#include "core/program_state.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/wizard_form.hpp"
#include "core/wizard_design.hpp"
#include "tests/support/win/dialog_answer.hpp"
#include "tests/support/win/programs.hpp"
#include "widgets/win/graphics_startup.hpp"

namespace lumen::wizard {
namespace {

using namespace std::chrono_literals;
using install::InstallResult;
using install::ManualOutcome;
using install::Outcome;

// The marker of the stamp 00000038: its bytes with bit 4 flipped, then the
// 3rd to 11th digits of the built-in key's MD5 in upper case.
constexpr const char* kMarkerOf00000038 = "2020202020202328E3150706F";

// Lets the window's messages run until `done` holds, for at most ten seconds.
bool run_messages_until(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// Lets the window's messages run for a while, as a message box's own loop
// does while it is open.
void run_messages_for(std::chrono::milliseconds duration) {
  const auto until = std::chrono::steady_clock::now() + duration;
  run_messages_until([&] { return std::chrono::steady_clock::now() >= until; });
}

struct ShownMessage {
  std::string text;
  std::uint32_t style = 0;
  std::string title;
  HWND owner = nullptr;
};

class RecordingDesktop final : public InstallDesktop {
 public:
  MessageBoxAnswer ShowMessage(std::string_view text, std::uint32_t style, std::string_view title,
                               HWND owner) override {
    messages.push_back({std::string(text), style, std::string(title), owner});
    // A box runs its own message loop while it is open.
    if (while_open) while_open();
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
  void EndProgram(int code, ProgramEnd how) override { ended = {code, how}; }

  std::deque<MessageBoxAnswer> answers;  // then OK
  std::function<void()> while_open;
  std::vector<ShownMessage> messages;
  Text chosen_folder;
  std::vector<std::string> folder_titles;
  std::vector<std::string> started;
  std::optional<std::pair<int, ProgramEnd>> ended;
};

// An installer whose install runs the scripted steps on the job's thread.
class ScriptedInstaller final : public install::Installer {
 public:
  using Steps = std::function<InstallResult(const install::ProgressReport&)>;

  bool PrepareFolder(std::string_view folder) override {
    prepared.emplace_back(folder);
    return folder_takes_files;
  }
  InstallResult Install(const install::InstallJob& job, const AppInfoRecord& app,
                        const install::ProgressReport& report) override {
    jobs.push_back(job);
    installed_app_name = app.name;
    return steps ? steps(report) : InstallResult{};
  }
  ManualOutcome InstallFromFile(std::string_view file, const install::InstallJob& job) override {
    manual_files.emplace_back(file);
    jobs.push_back(job);
    return manual_outcome;
  }

  bool folder_takes_files = true;
  Steps steps;
  ManualOutcome manual_outcome = ManualOutcome::Done;
  std::vector<std::string> prepared;
  std::vector<install::InstallJob> jobs;
  std::string installed_app_name;
  std::vector<std::string> manual_files;
};

class InstallHandlers : public testing::Test {
 protected:
  void SetUp() override {
    state.AppInfo.name = "StarlitPad";
    state.AppInfo.agent_app.app_name = "星光记事本";
    state.StampedIdText = "00000038";
    state.AppIconBytes = {0, 0, 1, 0, 1, 0, 16, 16};
    widgets::InitialiseWidgets(state.Widgets);
    wizard = LoadWizardWindow(state, installer, desktop);
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

  forms::ControlRef control(std::string_view name) { return wizard->form().control(name); }
  HWND window() { return wizard->form().native_handle(); }
  bool shown(std::string_view name) { return IsWindowVisible(control(name).native_handle()) != FALSE; }
  int bar_position() { return static_cast<int>(SendMessageA(control(kProgressBar).native_handle(), PBM_GETPOS, 0, 0)); }
  // Presses a button as the user would: its click arrives as a message.
  void click(std::string_view button) { PostMessageA(control(button).native_handle(), BM_CLICK, 0, 0); }
  // Starts an install into the folder and lets the window's messages run
  // until the job's end has been shown.
  void install_until_ended(const std::string& folder) {
    control(kPages).set_current_page(kChooseFolderPage);
    control(kFolderEdit).set_text(folder);
    wizard->OnInstallClicked();
    ASSERT_TRUE(run_messages_until([&] { return !shown(kProgressBar); }));
  }

  void expect_message(const WizardMessage& want, std::size_t index = 0) {
    ASSERT_GT(desktop.messages.size(), index);
    const ShownMessage& message = desktop.messages[index];
    EXPECT_EQ(message.text, want.text);
    EXPECT_EQ(message.title, want.title);
    EXPECT_EQ(message.style, want.style);
    EXPECT_EQ(message.owner, window());
  }
  void expect_folder_refused(const std::string& folder) {
    const Text text = FolderRefusedText(folder);
    expect_message({text, kFolderRefusedStyle, kFolderRefusedTitle});
  }

  ProgramState state;
  ScriptedInstaller installer;
  RecordingDesktop desktop;
  std::unique_ptr<WizardForm> wizard;
};

// Every way an automatic install ends, and what the window shows for it.
TEST_F(InstallHandlers, EachOutcomeGivesItsPageAndItsMessage) {
  struct Case {
    const char* name;
    InstallResult result;
    std::optional<WizardMessage> message;
    Page page;
  };
  const Case cases[] = {
      {"done", {Outcome::Done}, std::nullopt, kFinishedPage},
      {"no current version or address", {Outcome::NoDownloadAddress}, kNoDownloadAddressMessage, kManualInstallPage},
      {"cannot connect", {Outcome::DownloadFailed, DownloadFailure::Connect}, kDownloadFailedMessage,
       kManualInstallPage},
      {"server error", {Outcome::DownloadFailed, DownloadFailure::Status}, kDownloadFailedMessage, kManualInstallPage},
      {"connection cut", {Outcome::DownloadFailed, DownloadFailure::Cut}, kDownloadFailedMessage, kManualInstallPage},
      {"disk full", {Outcome::DownloadFailed, DownloadFailure::Write}, kDownloadFailedMessage, kManualInstallPage},
      {"cannot replace", {Outcome::DownloadFailed, DownloadFailure::Move}, kDownloadFailedMessage, kManualInstallPage},
      {"fails its check", {Outcome::DownloadFailed, DownloadFailure::Check}, kDownloadFailedMessage,
       kManualInstallPage},
      {"a folder where the partial file goes", {Outcome::DownloadFailed, DownloadFailure::TempIsFolder},
       kDownloadFailedMessage, kManualInstallPage},
      {"not the pinned signer's", {Outcome::DownloadFailed, DownloadFailure::Signer}, kDownloadFailedMessage,
       kManualInstallPage},
  };
  const std::string_view page_marker[] = {kInstallButton, kProgressBar, kRunButton, kManualInstallButton};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop.messages.clear();
    installer.steps = [&](const install::ProgressReport&) { return c.result; };
    install_until_ended("C:\\StarlitPad");
    EXPECT_TRUE(shown(page_marker[c.page]));
    if (c.message) {
      ASSERT_EQ(desktop.messages.size(), 1u);
      expect_message(*c.message);
    } else {
      EXPECT_TRUE(desktop.messages.empty());
    }
  }
}

TEST_F(InstallHandlers, TheJobCarriesTheFolderTheProgramTheMarkerAndTheIcon) {
  installer.steps = [](const install::ProgressReport&) { return InstallResult{Outcome::Done}; };
  install_until_ended("D:\\Games\\StarlitPad");  // typed without the closing backslash

  const std::string folder = "D:\\Games\\StarlitPad\\";
  EXPECT_EQ(control(kFolderEdit).text(), folder);
  EXPECT_EQ(installer.prepared, std::vector<std::string>{folder});
  EXPECT_EQ(state.InstallFolder, folder);
  EXPECT_EQ(state.ProgramPath, folder + "StarlitPad.exe");
  ASSERT_EQ(installer.jobs.size(), 1u);
  const install::InstallJob& job = installer.jobs[0];
  EXPECT_EQ(job.folder, folder);
  EXPECT_EQ(job.program_path, folder + "StarlitPad.exe");
  EXPECT_EQ(job.shortcut_name, "星光记事本");
  EXPECT_EQ(job.oem_marker, kMarkerOf00000038);
  EXPECT_EQ(job.icon, state.AppIconBytes);
  EXPECT_EQ(installer.installed_app_name, "StarlitPad");
}

TEST_F(InstallHandlers, AFolderThatCannotTakeTheInstallIsRefusedOnTheFirstPage) {
  installer.folder_takes_files = false;
  control(kFolderEdit).set_text("Q:\\StarlitPad");
  wizard->OnInstallClicked();
  ASSERT_EQ(desktop.messages.size(), 1u);
  expect_folder_refused("Q:\\StarlitPad\\");
  EXPECT_EQ(control(kFolderEdit).text(), "Q:\\StarlitPad\\");
  EXPECT_TRUE(shown(kInstallButton)) << "still the first page";
  EXPECT_TRUE(state.InstallFolder.empty());
  EXPECT_TRUE(state.ProgramPath.empty());
  EXPECT_TRUE(installer.jobs.empty());
}

// The job's counts reach the label and the bar on the window's thread, and
// the window answers while the job runs: a second press of the install
// button starts nothing.
TEST_F(InstallHandlers, TheInstallingPageShowsTheJobsProgress) {
  std::atomic<bool> go_on{false};
  installer.steps = [&](const install::ProgressReport& report) {
    report({1000000, 4000000});
    while (!go_on) std::this_thread::sleep_for(1ms);
    report({1, 3});
    return InstallResult{Outcome::DownloadFailed, DownloadFailure::Cut};
  };
  control(kFolderEdit).set_text("C:\\StarlitPad\\");
  wizard->OnInstallClicked();
  EXPECT_TRUE(shown(kProgressBar));
  ASSERT_TRUE(run_messages_until([&] { return bar_position() == 25; }));
  EXPECT_EQ(control(kStatusLabel).text(), "正在下载请稍后...25%");
  click(kInstallButton);
  wizard->OnInstallClicked();
  go_on = true;
  ASSERT_TRUE(run_messages_until([&] { return shown(kManualInstallButton); }));
  EXPECT_EQ(installer.jobs.size(), 1u) << "one install, not two";
  EXPECT_EQ(control(kStatusLabel).text(), "正在下载请稍后...33.33%");
  EXPECT_EQ(bar_position(), 33);
}

TEST_F(InstallHandlers, EachManualOutcomeGivesItsPageAndItsMessage) {
  state.InstallFolder = "C:\\StarlitPad\\";
  state.ProgramPath = "C:\\StarlitPad\\StarlitPad.exe";
  struct Case { const char* name; ManualOutcome outcome; std::optional<WizardMessage> message; };
  const Case cases[] = {
      {"no path", ManualOutcome::NoPath, kNoProgramFilePathMessage},
      {"bad file", ManualOutcome::BadFile, kBadProgramFileMessage},
      {"not the pinned signer's", ManualOutcome::SignerRefused, kDownloadFailedMessage},
      {"done", ManualOutcome::Done, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop.messages.clear();
    control(kPages).set_current_page(kManualInstallPage);
    control(kProgramFileEdit).set_text("D:\\Downloads\\by hand.exe");
    installer.manual_outcome = c.outcome;
    wizard->OnManualInstallClicked();
    EXPECT_EQ(installer.manual_files.back(), "D:\\Downloads\\by hand.exe");
    EXPECT_EQ(installer.jobs.back().program_path, "C:\\StarlitPad\\StarlitPad.exe");
    if (c.message) {
      ASSERT_EQ(desktop.messages.size(), 1u);
      expect_message(*c.message);
      EXPECT_TRUE(shown(kManualInstallButton));
    } else {
      EXPECT_TRUE(desktop.messages.empty());
      EXPECT_TRUE(shown(kRunButton));
    }
  }
  // A program that could not be copied: the folder cannot take it.
  desktop.messages.clear();
  installer.manual_outcome = ManualOutcome::CopyFailed;
  control(kPages).set_current_page(kManualInstallPage);
  wizard->OnManualInstallClicked();
  ASSERT_EQ(desktop.messages.size(), 1u);
  expect_folder_refused("C:\\StarlitPad\\");
  EXPECT_TRUE(shown(kManualInstallButton));
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
    desktop.chosen_folder = c.chosen;
    wizard->OnBrowseClicked();
    EXPECT_EQ(control(kFolderEdit).text(), c.folder);
  }
  ASSERT_EQ(desktop.folder_titles.size(), 4u);
  EXPECT_EQ(desktop.folder_titles[0], "选择安装目录：");
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(InstallHandlers, RunStartsTheInstalledProgramAndClosesTheWindow) {
  state.ProgramPath = "C:\\StarlitPad\\StarlitPad.exe";
  control(kPages).set_current_page(kFinishedPage);
  HWND handle = window();
  wizard->OnRunClicked();
  ASSERT_EQ(desktop.started.size(), 1u);
  EXPECT_EQ(desktop.started[0], "C:\\StarlitPad\\StarlitPad.exe");
  // The closing is posted: the window goes once its messages run.
  EXPECT_TRUE(run_messages_until([&] { return !IsWindow(handle); }));
  EXPECT_TRUE(desktop.messages.empty()) << "the window's own closing asks nothing";
  EXPECT_FALSE(desktop.ended.has_value()) << "the message loop ends the process, not the handler";
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

// However the window is asked to close (its close button, Alt+F4, a close
// message from another program, the session ending), the same question is
// asked; only OK ends the program, and the window stays otherwise.
TEST_F(InstallHandlers, EveryWayToCloseTheWindowAsksTheQuitQuestion) {
  struct Case { const char* name; std::function<void()> request; MessageBoxAnswer answer; bool ends; };
  const Case cases[] = {
      {"close button, Cancel", [&] { click(kCloseButton); }, MessageBoxAnswer::Cancel, false},
      {"Alt+F4, Cancel", [&] { PostMessageA(window(), WM_SYSCOMMAND, SC_CLOSE, 0); }, MessageBoxAnswer::Cancel,
       false},
      {"close message, Cancel", [&] { PostMessageA(window(), WM_CLOSE, 0, 0); }, MessageBoxAnswer::Cancel, false},
      {"logging off, Cancel", [&] { EXPECT_EQ(SendMessageA(window(), WM_QUERYENDSESSION, 0, 0), FALSE); },
       MessageBoxAnswer::Cancel, false},
      {"close message, OK", [&] { PostMessageA(window(), WM_CLOSE, 0, 0); }, MessageBoxAnswer::Ok, true},
      {"close button, OK", [&] { click(kCloseButton); }, MessageBoxAnswer::Ok, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop.messages.clear();
    desktop.answers = {c.answer};
    c.request();
    run_messages_until([&] { return !desktop.messages.empty(); });
    run_messages_for(100ms);
    ASSERT_EQ(desktop.messages.size(), 1u);
    expect_message(kQuitQuestion);
    EXPECT_EQ(desktop.ended, c.ends ? std::optional(std::pair(0, ProgramEnd::Orderly)) : std::nullopt);
    EXPECT_EQ(state.downloadCancelled.StopRequested(), c.ends);
    EXPECT_TRUE(IsWindow(window())) << "only the program's end closes the window";
    EXPECT_EQ(IsWindowVisible(window()) != FALSE, !c.ends) << "a confirmed quit takes the window off the screen";
  }
}

TEST_F(InstallHandlers, TheEndOfTheSessionEndsTheProgramWithoutAQuestion) {
  SendMessageA(window(), WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(desktop.ended, std::optional(std::pair(0, ProgramEnd::Orderly)));
  EXPECT_TRUE(state.downloadCancelled.StopRequested());
}

// A job that runs until stopped: a step at a time while the control lets it.
InstallResult steps_until_stopped(JobControl& control, std::atomic<int>& steps, int to_finish) {
  while (control.Proceed()) {
    if (++steps == to_finish) return {Outcome::Done};
    std::this_thread::sleep_for(1ms);
  }
  return {Outcome::Cancelled};
}

// While the question is open the job is held: it makes no step. Cancel lets
// it go on to its end; OK stops it and ends the program once it has stopped.
TEST_F(InstallHandlers, TheQuitQuestionHoldsTheJobAndItsAnswerDecides) {
  struct Case { const char* name; MessageBoxAnswer answer; };
  for (const Case& c : {Case{"Cancel", MessageBoxAnswer::Cancel}, Case{"OK", MessageBoxAnswer::Ok}}) {
    SCOPED_TRACE(c.name);
    desktop.messages.clear();
    std::atomic<int> steps{0};
    installer.steps = [&](const install::ProgressReport&) {
      return steps_until_stopped(state.downloadCancelled, steps, 400);
    };
    int steps_while_open = -1;
    desktop.answers = {c.answer};
    desktop.while_open = [&] {
      std::this_thread::sleep_for(20ms);  // a step under way finishes
      const int at_open = steps;
      std::this_thread::sleep_for(150ms);
      steps_while_open = steps - at_open;
    };
    control(kFolderEdit).set_text("C:\\StarlitPad\\");
    wizard->OnInstallClicked();
    ASSERT_TRUE(run_messages_until([&] { return steps > 5; }));
    click(kCloseButton);
    if (c.answer == MessageBoxAnswer::Cancel) {
      ASSERT_TRUE(run_messages_until([&] { return shown(kRunButton); }));
      EXPECT_EQ(steps, 400) << "the job went on to its end";
      EXPECT_FALSE(desktop.ended.has_value());
    } else {
      ASSERT_TRUE(run_messages_until([&] { return desktop.ended.has_value(); }));
      EXPECT_EQ(desktop.ended, std::optional(std::pair(0, ProgramEnd::Orderly))) << "the job had stopped";
      EXPECT_LT(steps, 400);
    }
    EXPECT_EQ(steps_while_open, 0) << "no step while the question was open";
    ASSERT_EQ(desktop.messages.size(), 1u);
    expect_message(kQuitQuestion);
  }
}

// An install that fails while the question is open says so only once the
// question is answered, and not at all when the answer is OK.
TEST_F(InstallHandlers, AnEndThatComesWhileTheQuestionIsOpenWaitsForTheAnswer) {
  std::atomic<bool> question_open{false};
  std::atomic<bool> failed{false};
  installer.steps = [&](const install::ProgressReport&) {
    while (!question_open) std::this_thread::sleep_for(1ms);
    failed = true;
    return InstallResult{Outcome::DownloadFailed, DownloadFailure::Cut};
  };
  desktop.answers = {MessageBoxAnswer::Cancel};
  desktop.while_open = [&] {
    if (question_open.exchange(true)) return;  // the failure's own box
    // The question's loop runs the job's report meanwhile.
    run_messages_until([&] { return failed.load(); });
    run_messages_for(200ms);
    EXPECT_EQ(desktop.messages.size(), 1u) << "nothing said over the question";
  };
  control(kFolderEdit).set_text("C:\\StarlitPad\\");
  wizard->OnInstallClicked();
  click(kCloseButton);
  ASSERT_TRUE(run_messages_until([&] { return desktop.messages.size() == 2; }));
  expect_message(kQuitQuestion, 0);
  expect_message(kDownloadFailedMessage, 1);
  EXPECT_TRUE(shown(kManualInstallButton));
}

TEST_F(InstallHandlers, TenQuickClicksOnTheCloseButtonAskOnce) {
  desktop.answers = {MessageBoxAnswer::Cancel};
  desktop.while_open = [&] { run_messages_for(200ms); };
  for (int i = 0; i < 10; ++i) click(kCloseButton);
  run_messages_until([&] { return !desktop.messages.empty(); });
  run_messages_for(200ms);
  EXPECT_EQ(desktop.messages.size(), 1u);
}

// A job that does not stop in time (a step that waits on something no
// interrupt reaches) does not keep the process: it ends without its
// finalisers, which the job's thread might still be inside.
TEST_F(InstallHandlers, AJobThatDoesNotStopInTimeIsAbandonedWithTheProcess) {
  std::atomic<bool> running{false};
  std::atomic<bool> release{false};
  installer.steps = [&](const install::ProgressReport&) {
    running = true;
    while (!release) std::this_thread::sleep_for(1ms);
    return InstallResult{Outcome::Cancelled};
  };
  control(kFolderEdit).set_text("C:\\StarlitPad\\");
  wizard->OnInstallClicked();
  ASSERT_TRUE(run_messages_until([&] { return running.load(); }));
  desktop.answers = {MessageBoxAnswer::Ok};
  wizard->OnCloseClicked();
  EXPECT_EQ(desktop.ended, std::optional(std::pair(0, ProgramEnd::AtOnce)));
  release = true;
}

}  // namespace
}  // namespace lumen::wizard
