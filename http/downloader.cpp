#include "http/downloader.hpp"

#include "http/digesting_file.hpp"
#include "http/download_request.hpp"
#include "http/download_response.hpp"
#include "runtime/convert.hpp"

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
  return Open();
}

bool Downloader::Open() {
  resume_offset_ = ResumableLength();
  if (!OpenTransfer()) return false;
  const auto total = AnnouncedTotal(transfer_->Status(), resume_offset_, transfer_->ContentLength(),
                                    transfer_->ContentRange());
  if (!total) return Fail(DownloadFailure::Status);
  count_ = {resume_offset_, *total};
  return true;
}

// How much of the temporary file may be continued. Bytes of another file,
// another version or a file that changed length since must never be
// completed with this one's tail; a file from a build that kept no record
// is only trusted when a checksum will prove the result.
std::int64_t Downloader::ResumableLength() {
  resumed_record_.reset();
  const std::int64_t held = ports_.files.size_of(target_.temp_path()).value_or(0);
  if (held == 0) return 0;
  FoundRecord found = ReadPartialRecord(ports_.files, target_.temp_path());
  if (!found.present) return check_.sha256.empty() ? 0 : held;
  std::optional<PartialRecord> record = std::move(found.record);
  const bool same_file = record && record->url == url_ && record->version == check_.version &&
                         held < record->length && (!check_.size || *check_.size == record->length);
  if (!same_file) return 0;
  resumed_record_ = std::move(record);
  return held;
}

// A server that cannot serve the range is asked once more for the whole
// file; one that ignores the range, or whose file changed since the
// validator was given, sends the whole file, which then replaces what the
// temporary file held instead of being appended to it.
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

// Written once the temporary file holds only bytes of this transfer's file.
// Without a known length no record can vouch for the file: it goes, and
// the file is then only continued with a checksum to prove it.
void Downloader::KeepRecord() {
  const Text path = PartialRecordPath(target_.temp_path());
  Text validator = ValidatorInHeaders(transfer_->RawHeaders());
  if (validator.empty() && resumed_record_) validator = resumed_record_->validator;
  const auto text = count_.total ? FormatPartialRecord({url_, check_.version, *count_.total, validator})
                                 : std::nullopt;
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

// A digest only when there is a checksum to meet, already holding the
// bytes the temporary file keeps: they are read once, a block at a time.
std::unique_ptr<StreamDigest> Downloader::StartDigest() {
  std::unique_ptr<StreamDigest> digest = ports_.digests ? ports_.digests->StartSha256() : nullptr;
  if (!digest || resume_offset_ == 0) return digest;
  const FileNumber kept = ports_.files.open(target_.temp_path(), OpenMode::Read);
  if (!kept || !DigestFilePrefix(*kept, resume_offset_, *digest)) return nullptr;
  return digest;
}

bool Downloader::PassesCheck(StreamDigest* digest) const {
  if (check_.size && count_.downloaded != *check_.size) return false;
  return check_.sha256.empty() || (digest && SameDigest(digest->finish_hex(), check_.sha256));
}

bool Downloader::RunTransfer(const std::function<void()>& on_progress, const std::function<void()>& on_cancel) {
  for (;;) {
    if (!transfer_) return false;
    std::unique_ptr<StreamDigest> digest;
    if (!check_.sha256.empty() && !(digest = StartDigest())) return Fail(DownloadFailure::Check);
    FileNumber file = OpenTempFile();
    if (!file) return Fail(DownloadFailure::Write);
    KeepRecord();
    DigestingFile sink(*file, digest.get());
    const TransferEnd end = PumpBody(*transfer_, sink, count_, cancelled_, ports_.clock, on_progress);
    close_file(file);
    transfer_.reset();
    if (end != TransferEnd::Complete) return Stop(end, on_cancel);
    if (PassesCheck(digest.get())) return PlaceFile();
    // Our own stale partial file is the one failure a fresh start can mend;
    // what the network sends wrong twice is not retried.
    const bool resumed = resume_offset_ > 0;
    DiscardPartialFile();
    if (!resumed || restarted_) return Fail(DownloadFailure::Check);
    restarted_ = true;
    if (!Open()) return false;
  }
}

// One rename gives the checked file the program's name, replacing an older
// program only now that the new one is whole.
bool Downloader::PlaceFile() {
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
