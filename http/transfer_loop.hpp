#pragma once
// The block loop of a download: response body to file, with the job's
// control looked at before every read and progress reported after every block.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "http/download_progress.hpp"
#include "runtime/clock.hpp"
#include "runtime/file.hpp"
#include "runtime/job_control.hpp"

namespace lumen {

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
  // Ends a read that waits for data, from another thread: the read then
  // fails, and so does every later one.
  virtual void interrupt() noexcept = 0;
};

enum class TransferEnd {
  Complete,        // the data ended where the announced size said (or no size was announced)
  Cancelled,       // the job was stopped
  LengthMismatch,  // the data ended short of (or ran past) the announced size: a cut connection
  ReadFailed,
  WriteFailed,
};

// Reads blocks until the data ends, appending each to the file at its
// position and adding it to count.downloaded; on_progress runs after every
// block. The first read asks for kTransferBlockSize bytes, the later ones as
// much as the line delivers quickly (http/read_size.hpp), timed by the clock.
// The control is looked at before each read: a held job reads nothing until
// released, a stopped one reads no more (a stop inside on_progress included),
// and a stop ends a read that waits on a stalled server. What was received
// is in the file either way.
[[nodiscard]] TransferEnd PumpBody(ResponseBody& body, File& sink, DownloadCount& count, JobControl& control,
                                   Clock& clock, const std::function<void()>& on_progress);

}  // namespace lumen
