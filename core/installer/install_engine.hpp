#pragma once
// The installation as a sequence that knows nothing of windows: the folder,
// the download of the current version with its progress, the shortcut and
// the files next to the program; and the manual install from a file the user
// downloaded. The wizard window turns its outcomes into messages and pages.

#include <functional>
#include <string_view>
#include <vector>

#include "core/installer/shortcut_maker.hpp"
#include "http/download_progress.hpp"
#include "http/downloader.hpp"
#include "http/transfer_opener.hpp"
#include "runtime/byte_buffer.hpp"
#include "runtime/file_system.hpp"
#include "runtime/text.hpp"
#include "service/app_info.hpp"

namespace lumen::install {

// What the installation reaches and writes through.
struct InstallPorts {
  FileSystem& files;
  TransferOpener& web;
  ShortcutMaker& shortcuts;
  Clock& clock;
  // The SHA-256 a version's published checksum is checked with.
  DigestMaker& digests;
  // Where a download without a target name would go: the program's own folder.
  Text program_folder;
};

// Everything an installation writes, fixed before it starts.
struct InstallJob {
  Text folder;          // ends in a backslash
  Text program_path;    // folder + the application's name + ".exe"
  Text shortcut_name;   // the distributor's name for the application
  Text oem_marker;      // the text of OEM.key
  ByteBuffer icon;      // the bytes of logo.ico, possibly none
};

enum class Outcome {
  NoDownloadAddress,  // no current version, or one without an address
  DownloadFailed,     // see the result's reason; also a version whose checksum or size is malformed
  Cancelled,          // the user quit during the download
  Done,
};

struct InstallResult {
  Outcome outcome = Outcome::Done;
  DownloadFailure reason = DownloadFailure::None;  // with DownloadFailed

  friend bool operator==(const InstallResult&, const InstallResult&) = default;
};

enum class ManualOutcome {
  NoPath,      // nothing was named
  BadFile,     // the named file is missing, unreadable or empty
  CopyFailed,  // the program could not be written into the install folder
  Done,
};

// Runs after every block of the download with the count so far.
using ProgressReport = std::function<void(const DownloadCount&)>;

class InstallEngine {
 public:
  // `cancelled` is the run's cancel flag: 1 stops a running download.
  InstallEngine(InstallPorts ports, const CancelFlag& cancelled) noexcept
      : ports_(std::move(ports)), cancelled_(cancelled) {}

  // Creates the folder when missing; true when it then exists and takes new
  // files, so that an install into it is not cut short by the first write.
  // Folders it creates are removed again when an install ends without the
  // program and leaves them empty.
  [[nodiscard]] bool PrepareFolder(std::string_view folder);

  // Downloads the application's current version to the job's program path,
  // checked against the size and SHA-256 the service published for it, then
  // makes the shortcut and writes OEM.key and logo.ico. A program already
  // there is only replaced by a complete, checked one.
  [[nodiscard]] InstallResult Install(const InstallJob& job, const AppInfoRecord& app, const ProgressReport& report);

  // Copies the named file to the job's program path (whatever its own name),
  // through a temporary file that then replaces any program there in one
  // move, then writes OEM.key and logo.ico and makes the shortcut.
  [[nodiscard]] ManualOutcome InstallFromFile(std::string_view file, const InstallJob& job);

 private:
  void WriteCompanionFiles(const InstallJob& job);
  void MakeShortcut(const InstallJob& job);
  void RemoveFoldersLeftEmpty();

  InstallPorts ports_;
  const CancelFlag& cancelled_;
  // The folders the last PrepareFolder created, the innermost first.
  std::vector<Text> created_folders_;
};

}  // namespace lumen::install
