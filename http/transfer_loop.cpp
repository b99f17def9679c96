#include "http/transfer_loop.hpp"

#include <vector>

#include "http/download_request.hpp"

namespace lumen {
namespace {

// A connection cut mid-body reads like the end of the data: only the count
// against the announced size tells them apart.
[[nodiscard]] TransferEnd end_of_data(const DownloadCount& count) {
  if (count.total && count.downloaded != *count.total) return TransferEnd::LengthMismatch;
  return TransferEnd::Complete;
}

}  // namespace

TransferEnd PumpBody(ResponseBody& body, File& sink, DownloadCount& count, const CancelFlag& cancelled,
                     const std::function<void()>& on_progress) {
  std::vector<std::uint8_t> block(kTransferBlockSize);
  for (;;) {
    if (cancelled == 1) return TransferEnd::Cancelled;
    const BodyRead got = body.read(block);
    if (!got.ok) return TransferEnd::ReadFailed;
    if (got.count == 0) return end_of_data(count);
    if (!write_data(sink, std::span<const std::uint8_t>(block.data(), got.count))) return TransferEnd::WriteFailed;
    count.downloaded += static_cast<std::int64_t>(got.count);
    if (on_progress) on_progress();
  }
}

}  // namespace lumen
