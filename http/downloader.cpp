#include "http/win/downloader.hpp"

#include "http/download_request.hpp"
#include "http/download_response.hpp"
#include "runtime/win/files.hpp"

namespace lumen {
namespace {

// The size of what an earlier run left, without reading it: a temporary
// file can be larger than a 32-bit process can hold.
[[nodiscard]] std::int64_t size_of_file(std::string_view path) {
  const FileNumber file = open_file(path, 1);
  return file ? file->size() : 0;
}

}  // namespace

Text ServerFileName(std::string_view url) {
  const auto transfer = UrlTransfer::Open(url, kDownloadUserAgentLine);
  return transfer ? QuotedNameInHeaders(transfer->RawHeaders()) : Text{};
}

bool Downloader::StartDownload(std::string_view url, std::string_view target_path) {
  transfer_.reset();
  target_ = SplitTargetPath(target_path, program_directory());
  if (target_.file_name.empty()) target_.file_name = ChooseDownloadName(ServerFileName(url), url);
  if (target_.file_name.empty()) return false;
  resume_offset_ = size_of_file(target_.temp_path());
  if (!OpenTransfer(url)) {
    transfer_.reset();
    return false;
  }
  const auto length = transfer_->ContentLength();
  count_ = {resume_offset_, length ? std::optional(resume_offset_ + *length) : std::nullopt};
  return true;
}

// A server that cannot serve the range is asked once more for the whole
// file; one that ignores the range sends the whole file, which then
// replaces what the temporary file held instead of being appended to it.
bool Downloader::OpenTransfer(std::string_view url) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    transfer_ = UrlTransfer::Open(url, DownloadRequestHeaders(resume_offset_));
    if (!transfer_) return false;
    switch (PlanForResponse(transfer_->Status(), resume_offset_, transfer_->ContentRange())) {
      case ResponsePlan::Append: return true;
      case ResponsePlan::StartOver: resume_offset_ = 0; return true;
      case ResponsePlan::AskForWhole: resume_offset_ = 0; continue;
      case ResponsePlan::Refuse: return false;
    }
  }
  return false;
}

// Without an offset the file starts empty; with one it must still hold
// exactly the bytes the range continues.
FileNumber Downloader::OpenTempFile() const {
  const Text path = target_.temp_path();
  if (resume_offset_ == 0) return open_file(path, 4);
  FileNumber file = open_file(path, 5);
  if (!file || file->size() != resume_offset_ || !seek_to_end(*file)) return nullptr;
  return file;
}

bool Downloader::RunTransfer(const std::function<void()>& on_progress, const std::function<void()>& on_cancel) {
  if (!transfer_) return false;
  FileNumber file = OpenTempFile();
  if (!file) {
    transfer_.reset();
    return false;
  }
  const TransferEnd end = PumpBody(*transfer_, *file, count_, cancelled_, on_progress);
  close_file(file);
  transfer_.reset();
  return Finish(end, on_cancel);
}

bool Downloader::Finish(TransferEnd end, const std::function<void()>& on_cancel) {
  switch (end) {
    case TransferEnd::Complete:
      return move_file(target_.temp_path(), target_.final_path());
    case TransferEnd::Cancelled:
      if (on_cancel) on_cancel();
      return false;
    case TransferEnd::LengthMismatch:
    case TransferEnd::ReadFailed:
    case TransferEnd::WriteFailed:
      return false;
  }
  return false;
}

}  // namespace lumen
