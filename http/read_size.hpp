#pragma once
// How much the download asks of the connection per read. A read waits until
// its buffer is full or the data ends, and every read costs a fixed overhead:
// small reads keep the progress moving on a slow line, large ones make that
// overhead vanish on a fast one. The size follows the line.

#include <chrono>
#include <cstddef>

namespace lumen {

inline constexpr std::size_t kSmallestRead = 1024;
inline constexpr std::size_t kLargestRead = std::size_t{1} << 20;
// A read that takes longer than this holds the data back from the progress.
inline constexpr std::chrono::milliseconds kSlowRead{50};

// The size of the next read after one of `size` bytes that took `took` and
// filled its buffer or not: halved after a slow read, doubled after a quick
// full one, within kSmallestRead and kLargestRead.
[[nodiscard]] constexpr std::size_t NextReadSize(std::size_t size, std::chrono::nanoseconds took, bool filled) noexcept {
  if (took > kSlowRead) return size / 2 < kSmallestRead ? kSmallestRead : size / 2;
  if (filled) return size * 2 > kLargestRead ? kLargestRead : size * 2;
  return size;
}

}  // namespace lumen
