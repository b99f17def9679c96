#pragma once
// The resumable download of the application's executable: into the target
// name followed by ".tmp", continued from that file's size after an
// interruption, and moved to the target name once all the data is there.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "http/download_progress.hpp"
#include "http/download_target.hpp"
#include "http/transfer_loop.hpp"
#include "http/transfer_opener.hpp"
#include "runtime/file_system.hpp"
#include "runtime/text.hpp"

namespace lumen {

// Why a download did not end with the file in place.
enum class DownloadFailure {
  None,
  Connect,  // the resource could not be opened
  Status,   // the server answered with an error, or with a part that does not fit
  Cut,      // the data ended short of its announced length, or a read failed
  Write,    // the temporary file could not be opened or written
  Move,     // the complete file could not be given its final name
};

// What a download reaches and writes through.
struct DownloadPorts {
  TransferOpener& web;
  FileSystem& files;
  Clock& clock;
  // Where the file goes when the target path is empty: the program's own folder.
  Text program_folder;
};

class Downloader {
 public:
  // `cancelled` is the run's cancel flag: 1 stops a running transfer.
  Downloader(DownloadPorts ports, const CancelFlag& cancelled) noexcept
      : ports_(std::move(ports)), cancelled_(cancelled) {}

  // Opens the transfer for the target path (folder + name; an empty name is
  // taken from the server or the URL). False when the resource cannot be
  // opened or the server answers with an error; the temporary file is then
  // left as it was.
  [[nodiscard]] bool StartDownload(std::string_view url, std::string_view target_path);

  // Runs the started transfer to its end. True only when all the data
  // arrived and the file has its final name. A cancel, a cut connection or
  // a failed read or write keep the temporary file for the next start to
  // resume; on_cancel runs after a cancel.
  [[nodiscard]] bool RunTransfer(const std::function<void()>& on_progress, const std::function<void()>& on_cancel);

  // Why the last StartDownload or RunTransfer gave false (None after a cancel).
  [[nodiscard]] DownloadFailure Failure() const noexcept { return failure_; }
  [[nodiscard]] std::int64_t DownloadedBytes() const noexcept { return count_.downloaded; }
  // The size the file will have, when the server announced its length.
  [[nodiscard]] std::optional<std::int64_t> TotalBytes() const noexcept { return count_.total; }
  [[nodiscard]] const DownloadCount& Progress() const noexcept { return count_; }
  [[nodiscard]] Text TempPath() const { return target_.temp_path(); }

 private:
  [[nodiscard]] bool OpenTransfer(std::string_view url);
  [[nodiscard]] FileNumber OpenTempFile() const;
  [[nodiscard]] bool Finish(TransferEnd end, const std::function<void()>& on_cancel);
  [[nodiscard]] bool Fail(DownloadFailure failure) noexcept;

  DownloadPorts ports_;
  const CancelFlag& cancelled_;
  DownloadTarget target_;
  // Where the received body starts in the temporary file.
  std::int64_t resume_offset_ = 0;
  std::unique_ptr<OpenedTransfer> transfer_;
  DownloadCount count_;
  DownloadFailure failure_ = DownloadFailure::None;
};

// The file name the server offers for the URL (the first quoted string of its
// answer's headers), found with a request of its own; empty when none.
[[nodiscard]] Text ServerFileName(TransferOpener& web, std::string_view url);

}  // namespace lumen
