#include "core/installer/install_engine.hpp"

#include "core/install_paths.hpp"
#include "runtime/convert.hpp"
#include "service/app_query.hpp"

namespace lumen::install {

bool InstallEngine::PrepareFolder(std::string_view folder) {
  (void)ports_.files.ensure_folder_path(folder);
  return ports_.files.is_existing_folder(folder) && ports_.files.can_create_files_in(folder);
}

InstallResult InstallEngine::Install(const InstallJob& job, const AppInfoRecord& app, const ProgressReport& report) {
  Text version;
  Text address;
  Text release_notes;
  // Without a current version there is nothing to download either: saying so
  // beats a "downloading" label that never moves.
  if (!PickCurrentVersion(app, version, address, release_notes) || address.empty()) {
    return {Outcome::NoDownloadAddress};
  }

  Downloader downloader({ports_.web, ports_.files, ports_.clock, ports_.program_folder}, cancelled_);
  const bool downloaded =
      downloader.StartDownload(address, job.program_path) &&
      downloader.RunTransfer([&] { if (report) report(downloader.Progress()); }, {});
  if (cancelled_ == 1) return {Outcome::Cancelled};
  if (!downloaded) return {Outcome::DownloadFailed, downloader.Failure()};

  // The shortcut first, as installs of this kind have always made it: the
  // link only records where its icon is, and logo.ico is there a moment
  // later. The two small files are not reported when they fail; the link,
  // the user's way to the program, must not wait on them.
  MakeShortcut(job);
  WriteCompanionFiles(job);
  return {Outcome::Done};
}

ManualOutcome InstallEngine::InstallFromFile(std::string_view file, const InstallJob& job) {
  if (file.empty()) return ManualOutcome::NoPath;
  const ByteBuffer program = ports_.files.read_whole(file);
  if (program.empty()) return ManualOutcome::BadFile;
  // A program that could not be copied is no installation to call complete.
  if (!ports_.files.write_whole(job.program_path, program)) return ManualOutcome::CopyFailed;
  // Here the files come first: the user gathered the program by hand, and
  // the link appears on the desktop with its icon already in place.
  WriteCompanionFiles(job);
  MakeShortcut(job);
  return ManualOutcome::Done;
}

void InstallEngine::WriteCompanionFiles(const InstallJob& job) {
  (void)ports_.files.write_whole(job.folder + Text(kOemKeyFileName), to_buffer(job.oem_marker));
  (void)ports_.files.write_whole(job.folder + Text(kLogoFileName), job.icon);
}

void InstallEngine::MakeShortcut(const InstallJob& job) {
  ports_.shortcuts.MakeAppShortcut(job.shortcut_name, job.program_path, job.folder + Text(kLogoFileName));
}

}  // namespace lumen::install
