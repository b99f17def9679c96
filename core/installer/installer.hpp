#pragma once
// What the wizard window asks of an installation: the folder, the automatic
// install and the manual install from a file. The running installer puts the
// install engine and the system's parts together behind it once, at start-up;
// the window's tests put their own installer in its place.

#include <functional>
#include <string_view>

#include "http/download_progress.hpp"
#include "http/downloader.hpp"
#include "http/placement_gate.hpp"
#include "runtime/byte_buffer.hpp"
#include "runtime/text.hpp"
#include "service/app_info.hpp"

namespace lumen::install {

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
  DownloadFailed,     // see the result's reason; also an address no request may be made with,
                      // and a version whose published checksum is malformed
  Cancelled,          // the user quit before the program was in place
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
  SignerRefused,  // the file is not signed by the signer the installer was built to trust
  Done,
};

// Runs after every block of the download with the count so far.
using ProgressReport = std::function<void(const DownloadCount&)>;

class Installer {
 public:
  Installer() = default;
  Installer(const Installer&) = delete;
  Installer& operator=(const Installer&) = delete;
  virtual ~Installer() = default;

  // Creates the folder when missing; true when it then exists and takes new
  // files. Folders it creates go again when the install that follows ends
  // without the program and leaves them empty.
  [[nodiscard]] virtual bool PrepareFolder(std::string_view folder) = 0;

  // Downloads the application's current version to the job's program path,
  // then makes the shortcut and writes OEM.key and logo.ico. Runs on a
  // thread of its own, under the run's job control: held while the user is
  // asked whether to quit, stopped when they confirm. A stop before the
  // program is in place installs nothing; after, the installation is
  // completed first.
  [[nodiscard]] virtual InstallResult Install(const InstallJob& job, const AppInfoRecord& app,
                                              const ProgressReport& report) = 0;

  // Copies the named file to the job's program path (whatever its own
  // name), then writes OEM.key and logo.ico and makes the shortcut.
  [[nodiscard]] virtual ManualOutcome InstallFromFile(std::string_view file, const InstallJob& job) = 0;
};

}  // namespace lumen::install
