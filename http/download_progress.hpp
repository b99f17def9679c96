#pragma once
// The download's progress as the wizard shows it: a status text and a bar
// position.

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
