#pragma once
// The download's progress as the wizard shows it: a status text and a bar
// position, and the count handed from the transfer to the window.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

inline constexpr std::string_view kDownloadingPrefix = "正在下载请稍后...";

// Bytes of the file so far (what an earlier run left included) and the size
// the file will have, when the server announced it.
struct DownloadCount {
  std::int64_t downloaded = 0;
  std::optional<std::int64_t> total;

  friend bool operator==(const DownloadCount&, const DownloadCount&) = default;
};

// The window shows the progress at most this often, however fast the blocks
// arrive: a repaint per block would slow a fast download to the painting's pace.
inline constexpr std::chrono::milliseconds kProgressInterval{30};

// The latest count, written by the thread that transfers and read by the
// window's thread whenever it shows the progress.
class ProgressHandOver {
 public:
  void publish(const DownloadCount& count) noexcept {
    total_.store(count.total.value_or(kNoTotal), std::memory_order_relaxed);
    downloaded_.store(count.downloaded, std::memory_order_release);
    published_.store(true, std::memory_order_release);
  }
  // Nothing until the first count arrived.
  [[nodiscard]] std::optional<DownloadCount> latest() const noexcept {
    if (!published_.load(std::memory_order_acquire)) return std::nullopt;
    const std::int64_t downloaded = downloaded_.load(std::memory_order_acquire);
    const std::int64_t total = total_.load(std::memory_order_relaxed);
    return DownloadCount{downloaded, total == kNoTotal ? std::nullopt : std::optional(total)};
  }

 private:
  static constexpr std::int64_t kNoTotal = -1;
  std::atomic<std::int64_t> downloaded_{0};
  std::atomic<std::int64_t> total_{kNoTotal};
  std::atomic<bool> published_{false};
};

struct DownloadProgressView {
  Text label;
  int bar = 0;  // 0 to 100
};

// With a known size: the prefix, the percentage rounded to two decimals in
// single precision ("45.5", "100") and "%"; the bar at its integer part.
// Without one: the prefix and the amount received; the bar stays at 0.
[[nodiscard]] DownloadProgressView ProgressViewOf(const DownloadCount& count);

// The window parts the progress is shown in.
class ProgressDisplay {
 public:
  ProgressDisplay() = default;
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;
  virtual ~ProgressDisplay() = default;

  virtual void show_status(std::string_view text) = 0;
  virtual void show_bar(int position) = 0;
};

// Shows the count on the label and the bar.
void ShowDownloadProgress(const DownloadCount& count, ProgressDisplay& display);

}  // namespace lumen
