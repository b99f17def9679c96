#include "core/installer/install_engine.hpp"

#include "core/install_paths.hpp"
#include "core/installer/published_check.hpp"
#include "http/payload_check.hpp"
#include "runtime/convert.hpp"
#include "runtime/folder_path.hpp"
#include "service/app_query.hpp"

namespace lumen::install {

bool InstallEngine::PrepareFolder(std::string_view folder) {
  created_folders_.clear();
  for (std::string_view missing = WithoutTrailingBackslashes(folder);
       !missing.empty() && !ports_.files.is_existing_folder(missing); missing = ParentFolder(missing)) {
    created_folders_.emplace_back(missing);
  }
  (void)ports_.files.ensure_folder_path(folder);
  const bool takes_files = ports_.files.is_existing_folder(folder) && ports_.files.can_create_files_in(folder);
  if (!takes_files) RemoveFoldersLeftEmpty();
  return takes_files;
}

// Innermost first; a folder that still holds something keeps its parents too.
void InstallEngine::RemoveFoldersLeftEmpty() {
  for (const Text& folder : created_folders_) {
    if (!ports_.files.remove_empty_folder(folder)) return;
  }
}

InstallResult InstallEngine::Install(const InstallJob& job, const AppInfoRecord& app, const ProgressReport& report) {
  const InstallResult downloaded = Download(job, app, report);
  if (downloaded.outcome != Outcome::Done) {
    // A partial file kept for the next run keeps its folder too.
    RemoveFoldersLeftEmpty();
    return downloaded;
  }
  // The program is in place: what makes it an installation follows, quit or
  // not, once the quit question is answered; a program without its link and
  // its two files would look installed and not be. The shortcut first, as
  // installs of this kind have always made it: the link only records where
  // its icon is, and logo.ico is there a moment later. The two small files
  // are not reported when they fail; the link, the user's way to the
  // program, must not wait on them.
  control_.WaitWhileHeld();
  MakeShortcut(job);
  control_.WaitWhileHeld();
  WriteCompanionFiles(job);
  return {Outcome::Done};
}

InstallResult InstallEngine::Download(const InstallJob& job, const AppInfoRecord& app, const ProgressReport& report) {
  Text version;
  Text address;
  Text release_notes;
  // Without a current version there is nothing to download either: saying so
  // beats a "downloading" label that never moves.
  if (!PickCurrentVersion(app, version, address, release_notes) || address.empty()) {
    return {Outcome::NoDownloadAddress};
  }
  // An address no request may be made with is a download that cannot start.
  if (!IsRequestableAddress(address)) return {Outcome::DownloadFailed, DownloadFailure::Connect};
  const std::optional<PayloadCheck> check = PublishedCheck(*CurrentVersionEntry(app));
  if (!check) return {Outcome::DownloadFailed, DownloadFailure::Check};

  Downloader downloader(
      {ports_.web, ports_.files, ports_.clock, ports_.program_folder, &ports_.digests, ports_.gate}, control_);
  const bool downloaded =
      downloader.StartDownload(address, job.program_path, *check) &&
      downloader.RunTransfer([&] { if (report) report(downloader.Progress()); }, {});
  if (downloaded) return {Outcome::Done};
  if (control_.StopRequested()) return {Outcome::Cancelled};
  return {Outcome::DownloadFailed, downloader.Failure()};
}

ManualOutcome InstallEngine::InstallFromFile(std::string_view file, const InstallJob& job) {
  if (file.empty()) return ManualOutcome::NoPath;
  const ByteBuffer program = ports_.files.read_whole(file);
  if (program.empty()) return ManualOutcome::BadFile;
  // The folder may have been removed when the download failed and left it
  // empty. A program that could not be copied is no installation to call
  // complete, and the one it was to replace stays whole: the copy is written
  // beside it first.
  (void)ports_.files.ensure_folder_path(job.folder);
  const Text copy = job.program_path + ".new";
  const ManualOutcome placed = PlaceCopy(copy, program, job);
  if (placed != ManualOutcome::Done) {
    (void)ports_.files.remove(copy);
    RemoveFoldersLeftEmpty();
    return placed;
  }
  // Here the files come first: the user gathered the program by hand, and
  // the link appears on the desktop with its icon already in place.
  WriteCompanionFiles(job);
  MakeShortcut(job);
  return ManualOutcome::Done;
}

// The copy is judged as it lies beside the program, and held unchanged until
// it has the program's name.
ManualOutcome InstallEngine::PlaceCopy(std::string_view copy, const ByteBuffer& program, const InstallJob& job) {
  if (!ports_.files.write_whole(copy, program)) return ManualOutcome::CopyFailed;
  std::unique_ptr<HeldFile> held;
  if (ports_.gate && !(held = ports_.gate->Admit(copy))) return ManualOutcome::SignerRefused;
  return ports_.files.move(copy, job.program_path) ? ManualOutcome::Done : ManualOutcome::CopyFailed;
}

void InstallEngine::WriteCompanionFiles(const InstallJob& job) {
  (void)ports_.files.write_whole(job.folder + Text(kOemKeyFileName), to_buffer(job.oem_marker));
  (void)ports_.files.write_whole(job.folder + Text(kLogoFileName), job.icon);
}

void InstallEngine::MakeShortcut(const InstallJob& job) {
  ports_.shortcuts.MakeAppShortcut(job.shortcut_name, job.program_path, job.folder + Text(kLogoFileName));
}

}  // namespace lumen::install
