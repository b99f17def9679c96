#include "http/downloader.hpp"

#include "http/download_request.hpp"
#include "http/download_response.hpp"

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

bool Downloader::StartDownload(std::string_view url, std::string_view target_path) {
  transfer_.reset();
  failure_ = DownloadFailure::None;
  target_ = SplitTargetPath(target_path, ports_.program_folder);
  if (target_.file_name.empty()) target_.file_name = ChooseDownloadName(ServerFileName(ports_.web, url), url);
  if (target_.file_name.empty()) return Fail(DownloadFailure::Connect);
  resume_offset_ = ports_.files.size_of(target_.temp_path()).value_or(0);
  if (!OpenTransfer(url)) return false;
  const auto total = AnnouncedTotal(transfer_->Status(), resume_offset_, transfer_->ContentLength(),
                                    transfer_->ContentRange());
  if (!total) return Fail(DownloadFailure::Status);
  count_ = {resume_offset_, *total};
  return true;
}

// A server that cannot serve the range is asked once more for the whole
// file; one that ignores the range sends the whole file, which then
// replaces what the temporary file held instead of being appended to it.
bool Downloader::OpenTransfer(std::string_view url) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    transfer_ = ports_.web.Open(url, DownloadRequestHeaders(resume_offset_));
    if (!transfer_) return Fail(DownloadFailure::Connect);
    switch (PlanForResponse(transfer_->Status(), resume_offset_, transfer_->ContentRange())) {
      case ResponsePlan::Append: return true;
      case ResponsePlan::StartOver: resume_offset_ = 0; return true;
      case ResponsePlan::AskForWhole: resume_offset_ = 0; continue;
      case ResponsePlan::Refuse: return Fail(DownloadFailure::Status);
    }
  }
  return Fail(DownloadFailure::Status);
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

bool Downloader::RunTransfer(const std::function<void()>& on_progress, const std::function<void()>& on_cancel) {
  if (!transfer_) return false;
  FileNumber file = OpenTempFile();
  if (!file) return Fail(DownloadFailure::Write);
  const TransferEnd end = PumpBody(*transfer_, *file, count_, cancelled_, on_progress);
  close_file(file);
  transfer_.reset();
  return Finish(end, on_cancel);
}

bool Downloader::Finish(TransferEnd end, const std::function<void()>& on_cancel) {
  switch (end) {
    case TransferEnd::Complete:
      return ports_.files.move(target_.temp_path(), target_.final_path()) || Fail(DownloadFailure::Move);
    case TransferEnd::Cancelled:
      if (on_cancel) on_cancel();
      return false;
    case TransferEnd::LengthMismatch:
    case TransferEnd::ReadFailed:
      return Fail(DownloadFailure::Cut);
    case TransferEnd::WriteFailed:
      return Fail(DownloadFailure::Write);
  }
  return false;
}

}  // namespace lumen
