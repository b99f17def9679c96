#include "http/downloader.hpp"

#include <utility>

#include "http/digesting_file.hpp"
#include "http/download_request.hpp"
#include "http/download_response.hpp"
#include "http/file_head.hpp"
#include "http/pe_extent.hpp"

namespace lumen {

Text ServerFileName(TransferOpener& web, std::string_view url) {
  const auto transfer = web.Open(url, kDownloadUserAgentLine);
  return transfer ? QuotedNameInHeaders(transfer->RawHeaders()) : Text{};
}

bool Downloader::Fail(DownloadFailure failure) noexcept {
  failure_ = failure;
  transfer_.reset();
  return false;
}

bool Downloader::StartDownload(std::string_view url, std::string_view target_path, const PayloadCheck& check) {
  transfer_.reset();
  failure_ = DownloadFailure::None;
  url_ = Text(url);
  check_ = check;
  restarted_ = false;
  target_ = SplitTargetPath(target_path, ports_.program_folder);
  if (target_.file_name.empty()) target_.file_name = ChooseDownloadName(ServerFileName(ports_.web, url), url);
  if (target_.file_name.empty()) return Fail(DownloadFailure::Connect);
  if (!ClearFolderInTheWay()) return Fail(DownloadFailure::TempIsFolder);
  return Open();
}

// No file can be written where a folder stands. An empty one is nobody's and
// goes; one holding something may hold anyone's files and stays, and the
// start fails before any request, saying why, until it is gone.
bool Downloader::ClearFolderInTheWay() {
  const Text temp = target_.temp_path();
  return !ports_.files.is_existing_folder(temp) || ports_.files.remove_empty_folder(temp);
}

bool Downloader::Open() {
  WeighKeptFile();
  if (whole_on_disk_) {
    count_ = {resume_offset_, resume_offset_};
    return true;
  }
  if (!OpenTransfer()) return false;
  const auto total = AnnouncedTotal(transfer_->Status(), resume_offset_, transfer_->ContentLength(),
                                    transfer_->ContentRange());
  if (!total) return Fail(DownloadFailure::Status);
  count_ = {resume_offset_, *total};
  return true;
}

// How much of the temporary file may be kept. Bytes of another file,
// another version or a file that changed length since must never be
// completed with this one's tail, nor a part whose file may have been
// rebuilt since at the same address, version and length: a splice is only
// made with a checksum to prove the result or a validator for the server
// to hold the range to. A file from a build that kept no record is only
// trusted when a checksum will prove the result.
void Downloader::WeighKeptFile() {
  resume_offset_ = 0;
  resumed_record_.reset();
  whole_on_disk_ = false;
  const std::int64_t held = ports_.files.size_of(target_.temp_path()).value_or(0);
  if (held == 0) return;
  FoundRecord found = ReadPartialRecord(ports_.files, target_.temp_path());
  if (!found.present) {
    if (!check_.sha256.empty()) resume_offset_ = held;
    return;
  }
  if (!found.record || !DescribesThisFile(*found.record)) return;
  if (held == found.record->length) {
    // All of it arrived before the run ended, short of its name.
    whole_on_disk_ = HoldsThePublishedDigest(held);
    if (whole_on_disk_) resume_offset_ = held;
    return;
  }
  const bool vouched_for = !check_.sha256.empty() || !found.record->validator.empty();
  if (held > found.record->length || !vouched_for) return;
  resume_offset_ = held;
  resumed_record_ = std::move(found.record);
}

bool Downloader::DescribesThisFile(const PartialRecord& record) const {
  return record.url == url_ && record.version == check_.version && (!check_.size || *check_.size == record.length);
}

// Without a published checksum, the record's word is all there is.
bool Downloader::HoldsThePublishedDigest(std::int64_t length) {
  if (check_.sha256.empty()) return true;
  const std::unique_ptr<StreamDigest> digest = StartDigest(length);
  return digest && SameDigest(digest->finish_hex(), check_.sha256);
}

// A server that does not serve the range as asked (an error, 416, a part
// that does not continue the file) is asked once more for the whole file;
// one that ignores the range, or whose file changed since the validator was
// given, sends the whole file. Either way the whole file then replaces what
// the temporary file held, once it starts to arrive: until then a failed
// answer leaves the part and its record as they were.
bool Downloader::OpenTransfer() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const Text validator = resumed_record_ ? resumed_record_->validator : Text{};
    transfer_ = ports_.web.Open(url_, DownloadRequestHeaders(resume_offset_, validator));
    if (!transfer_) return Fail(DownloadFailure::Connect);
    const ResponsePlan plan = PlanForResponse(transfer_->Status(), resume_offset_, transfer_->ContentRange());
    if (plan == ResponsePlan::Append && ContinuesTheRecordedFile()) return true;
    if (plan == ResponsePlan::Refuse) return Fail(DownloadFailure::Status);
    resume_offset_ = 0;
    resumed_record_.reset();
    if (plan == ResponsePlan::StartOver) return true;
  }
  return Fail(DownloadFailure::Status);
}

// The part sent completes a file of the recorded length.
bool Downloader::ContinuesTheRecordedFile() const {
  if (!resumed_record_) return true;
  const auto range = ParseContentRange(transfer_->ContentRange());
  return range && range->complete_length == resumed_record_->length;
}

// The whole file's length: the answer's, else the one the service published.
std::optional<std::int64_t> Downloader::ExpectedLength() const { return count_.total ? count_.total : check_.size; }

// Written once the temporary file holds only bytes of this transfer's file.
// Without a known length no record can vouch for the file: it goes, and
// the file is then only continued with a checksum to prove it.
void Downloader::KeepRecord() {
  const Text path = PartialRecordPath(target_.temp_path());
  Text validator = ValidatorInHeaders(transfer_->RawHeaders());
  if (validator.empty() && resumed_record_) validator = resumed_record_->validator;
  const std::optional<std::int64_t> length = ExpectedLength();
  const auto text = length ? FormatPartialRecord({url_, check_.version, *length, validator}) : std::nullopt;
  if (!text || !ports_.files.write_whole(path, to_buffer(*text))) (void)ports_.files.remove(path);
}

void Downloader::DiscardPartialFile() {
  (void)ports_.files.remove(target_.temp_path());
  (void)ports_.files.remove(PartialRecordPath(target_.temp_path()));
}

// Without an offset the file starts empty; with one it must still hold
// exactly the bytes the range continues.
FileNumber Downloader::OpenTempFile() const {
  const Text path = target_.temp_path();
  if (resume_offset_ == 0) return ports_.files.open(path, OpenMode::CreateWrite);
  FileNumber file = ports_.files.open(path, OpenMode::OpenOrCreateWrite);
  if (!file || file->size() != resume_offset_ || !seek_to_end(*file)) return nullptr;
  return file;
}

// A SHA-256 already holding the temporary file's first `kept_bytes`: they
// are read once, a block at a time.
std::unique_ptr<StreamDigest> Downloader::StartDigest(std::int64_t kept_bytes) {
  std::unique_ptr<StreamDigest> digest = ports_.digests ? ports_.digests->StartSha256() : nullptr;
  if (!digest || kept_bytes == 0) return digest;
  const FileNumber kept = ports_.files.open(target_.temp_path(), OpenMode::Read);
  if (!kept || !DigestFilePrefix(*kept, kept_bytes, *digest)) return nullptr;
  return digest;
}

bool Downloader::PassesCheck(StreamDigest* digest) const {
  if (check_.size && count_.downloaded != *check_.size) return false;
  return check_.sha256.empty() || (digest && SameDigest(digest->finish_hex(), check_.sha256));
}

// The platform reads a cut connection as the end of the data. With a length
// from the answer the loop has already held the body to it; without one,
// the published size tells a cut, and with neither the program's own
// headers do.
bool Downloader::EndedShort() const {
  if (count_.total) return false;
  if (check_.size) return count_.downloaded < *check_.size;
  return ShortOfItsImage();
}

// Reads the headers only, however large the file.
bool Downloader::ShortOfItsImage() const {
  const FileNumber file = ports_.files.open(target_.temp_path(), OpenMode::Read);
  if (!file) return false;  // nothing to judge by: the move will say whether the file is there
  const ByteBuffer head = ReadFileHead(*file, kImageHeadBytes);
  return file->size() < LeastImageLength(head);
}

bool Downloader::RunTransfer(const std::function<void()>& on_progress, const std::function<void()>& on_cancel) {
  if (std::exchange(whole_on_disk_, false)) {
    if (on_progress) on_progress();
    return PlaceFileUnlessStopped(on_cancel);
  }
  for (;;) {
    if (!transfer_) return false;
    std::unique_ptr<StreamDigest> digest;
    if (!check_.sha256.empty() && !(digest = StartDigest(resume_offset_))) return Fail(DownloadFailure::Check);
    FileNumber file = OpenTempFile();
    if (!file) return Fail(DownloadFailure::Write);
    KeepRecord();
    DigestingFile sink(*file, digest.get());
    const TransferEnd end = PumpBody(*transfer_, sink, count_, control_, ports_.clock, on_progress);
    close_file(file);
    transfer_.reset();
    if (end != TransferEnd::Complete) return Stop(end, on_cancel);
    if (EndedShort()) return Fail(DownloadFailure::Cut);
    if (PassesCheck(digest.get())) return PlaceFileUnlessStopped(on_cancel);
    // Our own stale partial file is the one failure a fresh start can mend;
    // what the network sends wrong twice is not retried.
    const bool resumed = resume_offset_ > 0;
    DiscardPartialFile();
    if (!resumed || restarted_) return Fail(DownloadFailure::Check);
    restarted_ = true;
    if (!Open()) return false;
  }
}

// The last look before the program takes its place: a quit asked for now
// leaves the complete file for the next run, nothing installed.
bool Downloader::PlaceFileUnlessStopped(const std::function<void()>& on_cancel) {
  if (!control_.Proceed()) return Stop(TransferEnd::Cancelled, on_cancel);
  return PlaceFile();
}

// One rename gives the checked file the program's name, replacing an older
// program only now that the new one is whole.
bool Downloader::PlaceFile() {
  std::unique_ptr<HeldFile> held;
  if (ports_.gate && !(held = ports_.gate->Admit(target_.temp_path()))) {
    // Bytes the installer will never run are no part to resume either.
    DiscardPartialFile();
    return Fail(DownloadFailure::Signer);
  }
  if (!ports_.files.move(target_.temp_path(), target_.final_path())) return Fail(DownloadFailure::Move);
  (void)ports_.files.remove(PartialRecordPath(target_.temp_path()));
  return true;
}

bool Downloader::Stop(TransferEnd end, const std::function<void()>& on_cancel) {
  switch (end) {
    case TransferEnd::Cancelled:
      if (on_cancel) on_cancel();
      return false;
    case TransferEnd::LengthMismatch:
    case TransferEnd::ReadFailed:
      return Fail(DownloadFailure::Cut);
    case TransferEnd::WriteFailed:
      return Fail(DownloadFailure::Write);
    case TransferEnd::Complete:
      break;
  }
  return false;
}

}  // namespace lumen
