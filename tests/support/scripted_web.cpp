#include "tests/support/scripted_web.hpp"

#include <algorithm>
#include <charconv>

namespace lumen::test {
namespace {

class ScriptedTransfer final : public OpenedTransfer {
 public:
  ScriptedTransfer(ScriptedResponse response, std::shared_ptr<ReadLog> log)
      : response_(std::move(response)), log_(std::move(log)) {}

  int Status() const override { return response_.status; }
  std::optional<std::int64_t> ContentLength() const override { return response_.content_length; }
  Text ContentRange() const override { return response_.content_range; }
  Text RawHeaders() const override { return response_.raw_headers; }

  BodyRead read(std::span<std::uint8_t> into) override {
    log_->count_read();
    if (response_.stall_after && position_ >= *response_.stall_after) {
      log_->stall_until_interrupted(interrupted_);
      return {false, 0};
    }
    std::size_t end = std::min(response_.body.size(), response_.cut_after.value_or(response_.body.size()));
    end = std::min(end, response_.stall_after.value_or(end));
    if (position_ >= end) return {!(response_.cut_after && response_.read_fails_at_cut), 0};
    const std::size_t n = std::min(into.size(), end - position_);
    std::copy_n(response_.body.begin() + static_cast<std::ptrdiff_t>(position_), n, into.begin());
    position_ += n;
    return {true, n};
  }
  void interrupt() noexcept override { log_->interrupt(interrupted_); }

 private:
  ScriptedResponse response_;
  std::shared_ptr<ReadLog> log_;
  std::size_t position_ = 0;
  bool interrupted_ = false;  // guarded by the log's lock
};

}  // namespace

void ReadLog::count_read() {
  const std::lock_guard lock(mutex_);
  ++reads_;
  changed_.notify_all();
}

void ReadLog::stall_until_interrupted(const bool& interrupted) {
  std::unique_lock lock(mutex_);
  stalled_ = true;
  changed_.notify_all();
  changed_.wait(lock, [&] { return interrupted; });
}

void ReadLog::interrupt(bool& interrupted) {
  const std::lock_guard lock(mutex_);
  interrupted = true;
  changed_.notify_all();
}

int ReadLog::reads() {
  const std::lock_guard lock(mutex_);
  return reads_;
}

void ReadLog::wait_until_stalled() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stalled_; });
}

std::int64_t requested_offset(std::string_view headers) {
  constexpr std::string_view kRange = "Range:bytes=";
  const std::size_t at = headers.find(kRange);
  if (at == std::string_view::npos) return 0;
  std::int64_t offset = 0;
  const std::string_view digits = headers.substr(at + kRange.size());
  std::from_chars(digits.data(), digits.data() + digits.size(), offset);
  return offset;
}

ScriptedResponse serve_file(const ByteBuffer& file, std::string_view headers, bool honour_range) {
  const std::int64_t size = std::ssize(file);
  const std::int64_t offset = honour_range ? requested_offset(headers) : 0;
  if (offset == 0) return {.status = 200, .content_length = size, .body = file};
  if (offset >= size) {
    return {.status = 416, .content_length = 0, .content_range = "bytes */" + std::to_string(size)};
  }
  return {.status = 206,
          .content_length = size - offset,
          .content_range = "bytes " + std::to_string(offset) + "-" + std::to_string(size - 1) + "/" +
                           std::to_string(size),
          .body = ByteBuffer(file.begin() + offset, file.end())};
}

ScriptedWeb ScriptedWeb::serving(ByteBuffer file) {
  return ScriptedWeb([file = std::move(file)](const ScriptedRequest& request) {
    return std::optional(serve_file(file, request.headers));
  });
}

std::unique_ptr<OpenedTransfer> ScriptedWeb::Open(std::string_view url, std::string_view headers) {
  requests.push_back({std::string(url), std::string(headers)});
  std::optional<ScriptedResponse> response = answer_(requests.back());
  if (!response) return nullptr;
  return std::make_unique<ScriptedTransfer>(std::move(*response), reads);
}

}  // namespace lumen::test
