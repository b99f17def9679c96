#pragma once
// The resumable download of the application's executable: into the target
// name followed by ".tmp", continued from that file's size after an
// interruption only while the record beside it says it is a part of the same
// file and a checksum or the server's validator can vouch for the splice,
// checked against the size and SHA-256 the service published, and moved over
// the target name once all the data is there and checked.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "http/download_progress.hpp"
#include "http/download_target.hpp"
#include "http/partial_record.hpp"
#include "http/payload_check.hpp"
#include "http/payload_digest.hpp"
#include "http/placement_gate.hpp"
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
  Cut,      // the data ended short of its announced or published length, or of
            // the length the program's own headers give, or a read failed
  Write,    // the temporary file could not be opened or written
  Move,     // the complete file could not be given its final name
  Check,    // the file's size or SHA-256 is not what the service published
  TempIsFolder,  // a folder holding something stands where the temporary file goes
  Signer,   // the file is not signed by the signer the installer was built to trust
};

// What a download reaches and writes through.
struct DownloadPorts {
  TransferOpener& web;
  FileSystem& files;
  Clock& clock;
  // Where the file goes when the target path is empty: the program's own folder.
  Text program_folder;
  // The SHA-256 a published checksum is compared with; without it a
  // download that has a checksum to meet fails its check.
  DigestMaker* digests = nullptr;
  // When set, a complete file takes its final name only once the gate
  // admitted it, held unchanged from the judgement to the move.
  PlacementGate* gate = nullptr;
};

class Downloader {
 public:
  // `control` is the install job's: a held job reads and places nothing
  // until released, a stopped one stops before its next read or its move.
  Downloader(DownloadPorts ports, JobControl& control) noexcept : ports_(std::move(ports)), control_(control) {}

  // Opens the transfer for the target path (folder + name; an empty name is
  // taken from the server or the URL). False when the resource cannot be
  // opened or the server answers with an error (to a range it did not serve
  // as asked, after one more request for the whole file); the temporary
  // file is then left as it was. The temporary file is continued when its record names
  // this URL, the check's version and the file's length and either the check
  // has a SHA-256 or the record the server's validator, or, having no
  // record, when the check has a SHA-256 to prove the result; otherwise it
  // starts over. A temporary file its record shows complete (and the
  // SHA-256, when there is one, confirms) needs no transfer at all. An empty
  // folder in the temporary file's place is removed; one holding something
  // fails the start (TempIsFolder) before any request.
  [[nodiscard]] bool StartDownload(std::string_view url, std::string_view target_path,
                                   const PayloadCheck& check = {});

  // Runs the started transfer to its end. True only when all the data
  // arrived, passed the check and the file has its final name. A stop, a
  // cut connection (a body short of any length the answer, the service or,
  // with neither, the program's own headers give) or a failed read or write
  // keep the temporary file and its record for the next start to resume;
  // on_cancel runs after a stop. A file that fails its check is deleted with
  // its record; when it had been resumed it is fetched once more from its
  // first byte. A complete temporary file is only given its name, after one
  // progress call.
  [[nodiscard]] bool RunTransfer(const std::function<void()>& on_progress, const std::function<void()>& on_cancel);

  // Why the last StartDownload or RunTransfer gave false (None after a stop).
  [[nodiscard]] DownloadFailure Failure() const noexcept { return failure_; }
  [[nodiscard]] std::int64_t DownloadedBytes() const noexcept { return count_.downloaded; }
  // The size the file will have, when the server announced its length.
  [[nodiscard]] std::optional<std::int64_t> TotalBytes() const noexcept { return count_.total; }
  [[nodiscard]] const DownloadCount& Progress() const noexcept { return count_; }
  [[nodiscard]] Text TempPath() const { return target_.temp_path(); }

 private:
  [[nodiscard]] bool ClearFolderInTheWay();
  [[nodiscard]] bool Open();
  void WeighKeptFile();
  [[nodiscard]] bool DescribesThisFile(const PartialRecord& record) const;
  [[nodiscard]] bool HoldsThePublishedDigest(std::int64_t length);
  [[nodiscard]] bool OpenTransfer();
  [[nodiscard]] bool ContinuesTheRecordedFile() const;
  [[nodiscard]] std::optional<std::int64_t> ExpectedLength() const;
  [[nodiscard]] bool EndedShort() const;
  [[nodiscard]] bool ShortOfItsImage() const;
  void KeepRecord();
  void DiscardPartialFile();
  [[nodiscard]] FileNumber OpenTempFile() const;
  [[nodiscard]] std::unique_ptr<StreamDigest> StartDigest(std::int64_t kept_bytes);
  [[nodiscard]] bool PassesCheck(StreamDigest* digest) const;
  [[nodiscard]] bool PlaceFileUnlessStopped(const std::function<void()>& on_cancel);
  [[nodiscard]] bool PlaceFile();
  // A transfer that ended before its data was complete.
  [[nodiscard]] bool Stop(TransferEnd end, const std::function<void()>& on_cancel);
  [[nodiscard]] bool Fail(DownloadFailure failure) noexcept;

  DownloadPorts ports_;
  JobControl& control_;
  Text url_;
  PayloadCheck check_;
  DownloadTarget target_;
  // Where the received body starts in the temporary file.
  std::int64_t resume_offset_ = 0;
  // What the temporary file's record said, when it is being continued.
  std::optional<PartialRecord> resumed_record_;
  // The temporary file already holds the whole checked file.
  bool whole_on_disk_ = false;
  // The one fresh start a resumed file that failed its check gets.
  bool restarted_ = false;
  std::unique_ptr<OpenedTransfer> transfer_;
  DownloadCount count_;
  DownloadFailure failure_ = DownloadFailure::None;
};

// The file name the server offers for the URL (the first quoted string of its
// answer's headers), found with a request of its own; empty when none.
[[nodiscard]] Text ServerFileName(TransferOpener& web, std::string_view url);

}  // namespace lumen
