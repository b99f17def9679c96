#include "http/download_progress.hpp"

#include <algorithm>

#include "runtime/convert.hpp"

namespace lumen {
namespace {

constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = 1024 * kKilobyte;

// Percent of the whole, to two decimals, held in single precision as the
// label has always shown it.
[[nodiscard]] float percent_of(std::int64_t part, std::int64_t whole) {
  const double share = static_cast<double>(part) / static_cast<double>(whole);
  return static_cast<float>(round_to(share * 100.0, 2));
}

// "512 KB" below a megabyte, "3.25 MB" from there on.
[[nodiscard]] Text amount_text(std::int64_t bytes) {
  if (bytes < kMegabyte) return to_text(bytes / kKilobyte) + " KB";
  const double megabytes = static_cast<double>(bytes) / static_cast<double>(kMegabyte);
  return to_text(static_cast<float>(round_to(megabytes, 2))) + " MB";
}

}  // namespace

DownloadProgressView ProgressViewOf(const DownloadCount& count) {
  const Text prefix(kDownloadingPrefix);
  if (!count.total || *count.total <= 0) return {prefix + amount_text(count.downloaded), 0};
  const float percent = percent_of(count.downloaded, *count.total);
  const int bar = std::clamp(static_cast<int>(percent), 0, 100);
  return {prefix + to_text(percent) + "%", bar};
}

void ShowDownloadProgress(const DownloadCount& count, ProgressDisplay& display) {
  const DownloadProgressView view = ProgressViewOf(count);
  display.show_status(view.label);
  display.show_bar(view.bar);
}

}  // namespace lumen
