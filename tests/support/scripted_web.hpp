#pragma once
// Download servers played by a test: every request is recorded and answered
// by the test's own function, with a file server that honours ranges (or
// does not) and the faults of real servers (a cut body, a read that fails).

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "http/transfer_opener.hpp"
#include "runtime/byte_buffer.hpp"

namespace lumen::test {

struct ScriptedResponse {
  int status = 200;
  // Announced length; nothing: none announced.
  std::optional<std::int64_t> content_length{};
  std::string content_range{};
  std::string raw_headers{};
  ByteBuffer body{};
  // The body ends after this many bytes, as when the connection is cut.
  std::optional<std::size_t> cut_after{};
  // The read at the cut fails instead of reporting the end.
  bool read_fails_at_cut = false;
  // The server stops sending after this many bytes and keeps the connection
  // open: that read waits until interrupted, then fails.
  std::optional<std::size_t> stall_after{};
};

struct ScriptedRequest {
  std::string url;
  std::string headers;
};

// The first byte asked for by a "Range:bytes=N-" line, or 0.
[[nodiscard]] std::int64_t requested_offset(std::string_view headers);

// A server's answer for a file: 200 with the whole file, or 206 with the
// rest from the requested offset when `honour_range` (416 beyond its end).
[[nodiscard]] ScriptedResponse serve_file(const ByteBuffer& file, std::string_view headers,
                                          bool honour_range = true);

// The reads the transfers of one server made, counted as they happen on
// whatever thread reads.
class ReadLog {
 public:
  void count_read();
  void stall_until_interrupted(const bool& interrupted);
  void interrupt(bool& interrupted);
  [[nodiscard]] int reads();
  // Waits until a read waits on a stalled server.
  void wait_until_stalled();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int reads_ = 0;
  bool stalled_ = false;
};

class ScriptedWeb final : public TransferOpener {
 public:
  using Answer = std::function<std::optional<ScriptedResponse>(const ScriptedRequest&)>;

  explicit ScriptedWeb(Answer answer) : answer_(std::move(answer)) {}
  // Serves one file at every address, honouring ranges.
  [[nodiscard]] static ScriptedWeb serving(ByteBuffer file);

  [[nodiscard]] std::unique_ptr<OpenedTransfer> Open(std::string_view url, std::string_view headers) override;

  std::vector<ScriptedRequest> requests;
  const std::shared_ptr<ReadLog> reads = std::make_shared<ReadLog>();

 private:
  Answer answer_;
};

}  // namespace lumen::test
