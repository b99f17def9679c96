#include "http/transfer_loop.hpp"

#include <vector>

#include "http/download_request.hpp"
#include "http/read_size.hpp"

namespace lumen {
namespace {

// A connection cut mid-body reads like the end of the data: only the count
// against the announced size tells them apart.
[[nodiscard]] TransferEnd end_of_data(const DownloadCount& count) {
  if (count.total && count.downloaded != *count.total) return TransferEnd::LengthMismatch;
  return TransferEnd::Complete;
}

}  // namespace

TransferEnd PumpBody(ResponseBody& body, File& sink, DownloadCount& count, JobControl& control, Clock& clock,
                     const std::function<void()>& on_progress) {
  // One buffer of the largest read for the whole transfer: the memory stays
  // flat whatever the file's size.
  std::vector<std::uint8_t> buffer(kLargestRead);
  std::size_t read_size = kTransferBlockSize;
  const JobControl::Interruptible stalled_reads(control, [&body] { body.interrupt(); });
  for (;;) {
    if (!control.Proceed()) return TransferEnd::Cancelled;
    const auto started = clock.now();
    const BodyRead got = body.read(std::span<std::uint8_t>(buffer.data(), read_size));
    const auto took = clock.now() - started;
    // A read a stop ended, with a failure or with what looks like the end of
    // the data, is the stop, not a fault of the line nor the file's end.
    if (!got.ok || got.count == 0) {
      if (control.StopRequested()) return TransferEnd::Cancelled;
      return got.ok ? end_of_data(count) : TransferEnd::ReadFailed;
    }
    if (!write_data(sink, std::span<const std::uint8_t>(buffer.data(), got.count))) return TransferEnd::WriteFailed;
    count.downloaded += static_cast<std::int64_t>(got.count);
    if (on_progress) on_progress();
    read_size = NextReadSize(read_size, took, got.count == read_size);
  }
}

}  // namespace lumen
