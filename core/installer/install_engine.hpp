#pragma once
// The installation as a sequence that knows nothing of windows: the folder,
// the download of the current version with its progress, the shortcut and
// the files next to the program; and the manual install from a file the user
// downloaded. The wizard window turns its outcomes into messages and pages.

#include <string_view>
#include <vector>

#include "core/installer/installer.hpp"
#include "core/installer/shortcut_maker.hpp"
#include "http/transfer_opener.hpp"
#include "runtime/file_system.hpp"
#include "runtime/job_control.hpp"
#include "runtime/text.hpp"

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
  // When set, only a program it admits is placed, downloaded or copied by hand.
  PlacementGate* gate = nullptr;
};

class InstallEngine final : public Installer {
 public:
  // `control` is the run's job control, which the window holds and stops.
  InstallEngine(InstallPorts ports, JobControl& control) noexcept : ports_(std::move(ports)), control_(control) {}

  // Also: a folder that takes files is one into which an install is not cut
  // short by its first write.
  [[nodiscard]] bool PrepareFolder(std::string_view folder) override;

  // The download is checked against the size and SHA-256 the service
  // published; a program already there is only replaced by a complete,
  // checked one. Whatever ends an install without the program, the folders
  // PrepareFolder created go again when they are left empty.
  [[nodiscard]] InstallResult Install(const InstallJob& job, const AppInfoRecord& app,
                                      const ProgressReport& report) override;

  // Through a temporary file that then replaces any program there in one move.
  [[nodiscard]] ManualOutcome InstallFromFile(std::string_view file, const InstallJob& job) override;

 private:
  [[nodiscard]] InstallResult Download(const InstallJob& job, const AppInfoRecord& app, const ProgressReport& report);
  [[nodiscard]] ManualOutcome PlaceCopy(std::string_view copy, const ByteBuffer& program, const InstallJob& job);
  void WriteCompanionFiles(const InstallJob& job);
  void MakeShortcut(const InstallJob& job);
  void RemoveFoldersLeftEmpty();

  InstallPorts ports_;
  JobControl& control_;
  // The folders the last PrepareFolder created, the innermost first.
  std::vector<Text> created_folders_;
};

}  // namespace lumen::install
