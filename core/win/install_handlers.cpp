// The install action's handlers: the folder, the automatic install with its
// progress, the finished page, starting the program, the manual install from
// a file, and quitting. What is installed and how is the engine's; here its
// outcomes become the wizard's messages and pages.

#include "core/install_paths.hpp"
#include "core/oem_marker.hpp"
#include "core/win/hash_bytes.hpp"
#include "core/win/wizard_form.hpp"
#include "core/win/wizard_progress.hpp"
#include "core/wizard_design.hpp"
#include "runtime/win/message_loop.hpp"

namespace lumen::wizard {

MessageBoxAnswer WizardForm::Tell(const WizardMessage& message) {
  return desktop_->ShowMessage(message.text, message.style, message.title, form_.native_handle());
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
  const Text chosen = desktop_->ChooseFolder(kChooseFolderTitle);
  if (chosen.empty()) return;
  controls_.folder_edit.set_text(InstallFolderInside(chosen, state_.AppInfo.name));
}

void WizardForm::OnInstallClicked() {
  if (installing_) return;
  const Text folder = WithTrailingBackslash(controls_.folder_edit.text());
  controls_.folder_edit.set_text(folder);
  if (!engine_.PrepareFolder(folder)) {
    RefuseFolder(folder);
    return;
  }
  state_.InstallFolder = folder;
  state_.ProgramPath = ProgramPathIn(folder, state_.AppInfo.name);
  controls_.pages.set_current_page(kInstallingPage);
  installing_ = true;
  RunInstall();
  installing_ = false;
}

// The install runs on a thread of its own: this thread stays in the
// window's message loop, so the window never waits on the network, the close
// button answers at once, and the progress is shown at a steady pace however
// fast or slow the data comes. The hand-over between the two is the cancel
// flag, the latest count and the result, read once the install has ended.
void WizardForm::RunInstall() {
  WizardProgressDisplay display(controls_.status_label, controls_.progress_bar);
  display.show_status(kDownloadingPrefix);
  const install::InstallJob job = Job();
  ProgressHandOver progress;
  std::optional<DownloadCount> shown;
  install::InstallResult result;
  run_alongside(
      [&] { result = engine_.Install(job, state_.AppInfo, [&](const DownloadCount& count) { progress.publish(count); }); },
      [&] {
        const std::optional<DownloadCount> latest = progress.latest();
        if (!latest || latest == shown) return;
        ShowDownloadProgress(*latest, display);
        shown = latest;
      },
      kProgressInterval);
  switch (result.outcome) {
    case install::Outcome::NoDownloadAddress:
      GiveUpInstall(kNoDownloadAddressMessage);
      return;
    case install::Outcome::DownloadFailed:
      GiveUpInstall(kDownloadFailedMessage);
      return;
    case install::Outcome::Cancelled:
      // The user quit during the download: nothing more to say.
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
  desktop_->StartProgram(state_.ProgramPath);
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
  switch (engine_.InstallFromFile(controls_.program_file_edit.text(), Job())) {
    case install::ManualOutcome::NoPath:
      (void)Tell(kNoProgramFilePathMessage);
      return;
    case install::ManualOutcome::BadFile:
      (void)Tell(kBadProgramFileMessage);
      return;
    case install::ManualOutcome::CopyFailed:
      RefuseFolder(state_.InstallFolder);
      return;
    case install::ManualOutcome::Done:
      controls_.pages.set_current_page(kFinishedPage);
      return;
  }
}

void WizardForm::OnCloseClicked() {
  if (Tell(kQuitQuestion) != MessageBoxAnswer::Ok) return;
  // A download under way stops here; its temporary file stays for the next run.
  state_.downloadCancelled = 1;
  desktop_->EndProgram(0);
}

}  // namespace lumen::wizard
