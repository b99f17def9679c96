// The install action: the folder, the download with its progress, the
// shortcut and the files next to the program, the finished page, starting the
// program, the manual install from a file, and quitting.

#include "core/install_paths.hpp"
#include "core/oem_marker.hpp"
#include "core/win/hash_bytes.hpp"
#include "core/win/install_folder.hpp"
#include "core/win/wizard_form.hpp"
#include "core/win/wizard_progress.hpp"
#include "core/wizard_design.hpp"
#include "http/win/downloader.hpp"
#include "runtime/convert.hpp"
#include "runtime/win/files.hpp"
#include "service/app_query.hpp"

namespace lumen::wizard {

MessageBoxAnswer WizardForm::Tell(const WizardMessage& message) {
  return desktop_->ShowMessage(message.text, message.style, message.title, form_.native_handle());
}

void WizardForm::RefuseFolder(std::string_view folder) {
  const Text text = FolderRefusedText(folder);
  (void)Tell({text, kFolderRefusedStyle, kFolderRefusedTitle});
}

void WizardForm::OnBrowseClicked() {
  const Text chosen = desktop_->ChooseFolder(kChooseFolderTitle);
  if (chosen.empty()) return;
  form_.control(kFolderEdit).set_text(InstallFolderInside(chosen, state_.AppInfo.name));
}

void WizardForm::OnInstallClicked() {
  if (installing_) return;
  const forms::ControlRef edit = form_.control(kFolderEdit);
  const Text folder = WithTrailingBackslash(edit.text());
  edit.set_text(folder);
  if (!PrepareInstallFolder(folder)) {
    RefuseFolder(folder);
    return;
  }
  state_.InstallFolder = folder;
  state_.ProgramPath = ProgramPathIn(folder, state_.AppInfo.name);
  form_.control(kPages).set_current_page(kInstallingPage);
  installing_ = true;
  RunInstall();
  installing_ = false;
}

void WizardForm::RunInstall() {
  WizardProgressDisplay display(form_);
  display.show_status(kDownloadingPrefix);
  // The installing page shows now, not only once the first block arrived.
  display.let_messages_run();
  Text version;
  Text address;
  Text release_notes;
  // Without a current version there is nothing to download either: saying so
  // beats a "downloading" label that never moves.
  if (!PickCurrentVersion(state_.AppInfo, version, address, release_notes) || address.empty()) {
    GiveUpInstall(kNoDownloadAddressMessage);
    return;
  }

  Downloader downloader(state_.downloadCancelled);
  const bool downloaded =
      downloader.StartDownload(address, state_.ProgramPath) &&
      downloader.RunTransfer([&] { ShowDownloadProgress(downloader.Progress(), display); }, {});
  // The user quit during the download: nothing more to say.
  if (state_.downloadCancelled == 1) return;
  if (!downloaded) {
    GiveUpInstall(kDownloadFailedMessage);
    return;
  }

  desktop_->MakeShortcut(state_.AppInfo.agent_app.app_name, state_.ProgramPath, state_.InstallFolder);
  WriteCompanionFiles();
  form_.control(kPages).set_current_page(kFinishedPage);
}

void WizardForm::GiveUpInstall(const WizardMessage& message) {
  (void)Tell(message);
  form_.control(kPages).set_current_page(kManualInstallPage);
}

void WizardForm::WriteCompanionFiles() const {
  const Text marker = MakeOemMarker(state_.StampedIdText, kOemKey, DigestHex);
  (void)write_file(state_.InstallFolder + Text(kOemKeyFileName), to_buffer(marker));
  (void)write_file(state_.InstallFolder + Text(kLogoFileName), state_.AppIconBytes);
}

void WizardForm::OnRunClicked() {
  desktop_->StartProgram(state_.ProgramPath);
  forms::close_window(form_);
}

void WizardForm::OnChooseClicked() {
  const forms::ControlRef dialog = form_.control(kFileDialog);
  dialog.set_dialog_kind(0);
  dialog.set_dialog_title(kProgramFileDialogTitle);
  dialog.set_dialog_filter(kProgramFileDialogFilter);
  if (forms::run_file_dialog(dialog)) form_.control(kProgramFileEdit).set_text(dialog.dialog_file_name());
}

void WizardForm::OnManualInstallClicked() {
  const Text path = form_.control(kProgramFileEdit).text();
  if (path.empty()) {
    (void)Tell(kNoProgramFilePathMessage);
    return;
  }
  const ByteBuffer program = read_file(path);
  if (program.empty()) {
    (void)Tell(kBadProgramFileMessage);
    return;
  }
  // A program that could not be copied is no installation to call complete.
  if (!write_file(state_.ProgramPath, program)) {
    RefuseFolder(state_.InstallFolder);
    return;
  }
  WriteCompanionFiles();
  desktop_->MakeShortcut(state_.AppInfo.agent_app.app_name, state_.ProgramPath, state_.InstallFolder);
  form_.control(kPages).set_current_page(kFinishedPage);
}

void WizardForm::OnCloseClicked() {
  if (Tell(kQuitQuestion) != MessageBoxAnswer::Ok) return;
  // A download under way stops here; its temporary file stays for the next run.
  state_.downloadCancelled = 1;
  desktop_->EndProgram(0);
}

}  // namespace lumen::wizard
