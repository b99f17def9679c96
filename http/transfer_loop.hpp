#pragma once
// The block loop of a download: response body to file, with the cancel flag
// looked at before every read and progress reported after every block.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "http/download_progress.hpp"
#include "runtime/clock.hpp"
#include "runtime/file.hpp"

namespace lumen {

// The run's cancel flag: 1 once the user confirmed quitting. Set on the
// window's side, read by the transfer.
using CancelFlag = std::atomic<std::int32_t>;

struct BodyRead {
  bool ok = true;         // false: the read itself failed
  std::size_t count = 0;  // 0 with ok: no more data (or a cut connection)
};

// The body of a response, read in order.
class ResponseBody {
 public:
  ResponseBody() = default;
  ResponseBody(const ResponseBody&) = delete;
  ResponseBody& operator=(const ResponseBody&) = delete;
  virtual ~ResponseBody() = default;

  [[nodiscard]] virtual BodyRead read(std::span<std::uint8_t> into) = 0;
};

enum class TransferEnd {
  Complete,        // the data ended where the announced size said (or no size was announced)
  Cancelled,       // the cancel flag was set
  LengthMismatch,  // the data ended short of (or ran past) the announced size: a cut connection
  ReadFailed,
  WriteFailed,
};

// Reads blocks until the data ends, appending each to the file at its
// position and adding it to count.downloaded; on_progress runs after every
// block. The first read asks for kTransferBlockSize bytes, the later ones as
// much as the line delivers quickly (http/read_size.hpp), timed by the clock.
// The flag is looked at before each read, so a flag set inside on_progress
// stops the loop before it reads again.
[[nodiscard]] TransferEnd PumpBody(ResponseBody& body, File& sink, DownloadCount& count, const CancelFlag& cancelled,
                                   Clock& clock, const std::function<void()>& on_progress);

}  // namespace lumen
