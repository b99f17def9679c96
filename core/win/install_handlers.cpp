// The install action's handlers: the folder, the automatic install with its
// progress, the finished page, starting the program, the manual install from
// a file, and quitting. What is installed and how is the installer's; here
// the job is driven and its outcomes become the wizard's messages and pages.

#include <chrono>
#include <optional>
#include <utility>

#include "core/install_paths.hpp"
#include "core/oem_marker.hpp"
#include "core/win/hash_bytes.hpp"
#include "core/win/wizard_form.hpp"
#include "core/wizard_design.hpp"
#include "runtime/folder_path.hpp"

namespace lumen::wizard {
namespace {

// How long a confirmed quit waits for the install job to stop: a read is
// interrupted at once, and the last steps of an installation whose program
// is already in place (the shortcut, two small files) take well under this.
// A job still running after it is abandoned with the process.
constexpr std::chrono::milliseconds kJobStopWait{3000};

}  // namespace

MessageBoxAnswer WizardForm::Tell(const WizardMessage& message) {
  return desktop_.ShowMessage(message.text, message.style, message.title, form_.native_handle());
}

void WizardForm::RefuseFolder(std::string_view folder) {
  const Text text = FolderRefusedText(folder);
  (void)Tell({text, kFolderRefusedStyle, kFolderRefusedTitle});
}

install::InstallJob WizardForm::Job() const {
  return {
      .folder = state_.InstallFolder,
      .program_path = state_.ProgramPath,
      .shortcut_name = state_.AppInfo.agent_app.app_name,
      .oem_marker = MakeOemMarker(state_.StampedIdText, kOemKey, DigestHex),
      .icon = state_.AppIconBytes,
  };
}

void WizardForm::OnBrowseClicked() {
  const Text chosen = desktop_.ChooseFolder(kChooseFolderTitle);
  if (chosen.empty()) return;
  controls_.folder_edit.set_text(InstallFolderInside(chosen, state_.AppInfo.name));
}

void WizardForm::OnInstallClicked() {
  if (job_.Running()) return;
  const Text folder = WithTrailingBackslash(controls_.folder_edit.text());
  controls_.folder_edit.set_text(folder);
  if (!installer_.PrepareFolder(folder)) {
    RefuseFolder(folder);
    return;
  }
  state_.InstallFolder = folder;
  state_.ProgramPath = ProgramPathIn(folder, state_.AppInfo.name);
  controls_.pages.set_current_page(kInstallingPage);
  progress_display_.show_status(kDownloadingPrefix);
  // The job works on copies: nothing is shared with this thread while it runs.
  job_.Start(Job(), state_.AppInfo,
             {.progress = [this](const DownloadCount& count) { ShowProgress(count); },
              .ended = [this](const install::InstallResult& result) { OnInstallEnded(result); }});
}

void WizardForm::ShowProgress(const DownloadCount& count) { ShowDownloadProgress(count, progress_display_); }

void WizardForm::OnInstallEnded(const install::InstallResult& result) {
  // Nothing is said over the quit question; its answer decides.
  if (asking_to_quit_) {
    end_awaiting_answer_ = result;
    return;
  }
  ShowOutcome(result);
}

void WizardForm::ShowOutcome(const install::InstallResult& result) {
  switch (result.outcome) {
    case install::Outcome::NoDownloadAddress:
      GiveUpInstall(kNoDownloadAddressMessage);
      return;
    case install::Outcome::DownloadFailed:
      GiveUpInstall(kDownloadFailedMessage);
      return;
    case install::Outcome::Cancelled:
      // The user quit: the process is ending.
      return;
    case install::Outcome::Done:
      controls_.pages.set_current_page(kFinishedPage);
      return;
  }
}

void WizardForm::GiveUpInstall(const WizardMessage& message) {
  (void)Tell(message);
  controls_.pages.set_current_page(kManualInstallPage);
}

void WizardForm::OnRunClicked() {
  desktop_.StartProgram(state_.ProgramPath);
  forms::close_window(form_);
}

void WizardForm::OnChooseClicked() {
  const forms::ControlRef dialog = controls_.file_dialog;
  dialog.set_dialog_kind(forms::DialogKind::OpenFile);
  dialog.set_dialog_title(kProgramFileDialogTitle);
  dialog.set_dialog_filter(kProgramFileDialogFilter);
  if (forms::run_file_dialog(dialog)) controls_.program_file_edit.set_text(dialog.dialog_file_name());
}

void WizardForm::OnManualInstallClicked() {
  switch (installer_.InstallFromFile(controls_.program_file_edit.text(), Job())) {
    case install::ManualOutcome::NoPath:
      (void)Tell(kNoProgramFilePathMessage);
      return;
    case install::ManualOutcome::BadFile:
      (void)Tell(kBadProgramFileMessage);
      return;
    case install::ManualOutcome::CopyFailed:
      RefuseFolder(state_.InstallFolder);
      return;
    case install::ManualOutcome::SignerRefused:
      // A program the vendor did not sign fails like one that never came.
      (void)Tell(kDownloadFailedMessage);
      return;
    case install::ManualOutcome::Done:
      controls_.pages.set_current_page(kFinishedPage);
      return;
  }
}

// The install job is held while the question is open: nothing is read,
// placed, written or linked until it is answered.
void WizardForm::OnCloseClicked() {
  if (asking_to_quit_) return;
  asking_to_quit_ = true;
  state_.downloadCancelled.Hold();
  const bool quit = Tell(kQuitQuestion) == MessageBoxAnswer::Ok;
  asking_to_quit_ = false;
  if (quit) {
    Quit();
    return;
  }
  state_.downloadCancelled.Release();
  if (const std::optional<install::InstallResult> ended = std::exchange(end_awaiting_answer_, std::nullopt)) {
    ShowOutcome(*ended);
  }
}

void WizardForm::OnSessionEnding() { Quit(); }

// A download under way stops at once, its temporary file and record kept
// for the next run to resume; a program already in place gets its shortcut
// and files first. The process ends once the job has, so that nothing it
// writes is cut off by the end.
void WizardForm::Quit() {
  state_.downloadCancelled.Stop();
  // The user is done with the installer: it goes from the screen at once,
  // whatever the job still has to finish.
  form_.hide();
  const bool ended = job_.WaitForEnd(kJobStopWait);
  desktop_.EndProgram(0, ended ? ProgramEnd::Orderly : ProgramEnd::AtOnce);
}

}  // namespace lumen::wizard
