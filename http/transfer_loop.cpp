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

TransferEnd PumpBody(ResponseBody& body, File& sink, DownloadCount& count, const CancelFlag& cancelled, Clock& clock,
                     const std::function<void()>& on_progress) {
  // One buffer of the largest read for the whole transfer: the memory stays
  // flat whatever the file's size.
  std::vector<std::uint8_t> buffer(kLargestRead);
  std::size_t read_size = kTransferBlockSize;
  for (;;) {
    if (cancelled == 1) return TransferEnd::Cancelled;
    const auto started = clock.now();
    const BodyRead got = body.read(std::span<std::uint8_t>(buffer.data(), read_size));
    const auto took = clock.now() - started;
    if (!got.ok) return TransferEnd::ReadFailed;
    if (got.count == 0) return end_of_data(count);
    if (!write_data(sink, std::span<const std::uint8_t>(buffer.data(), got.count))) return TransferEnd::WriteFailed;
    count.downloaded += static_cast<std::int64_t>(got.count);
    if (on_progress) on_progress();
    read_size = NextReadSize(read_size, took, got.count == read_size);
  }
}

}  // namespace lumen
