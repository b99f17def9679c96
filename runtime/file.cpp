#include "runtime/file.hpp"

#include <algorithm>
#include <array>
#include <cstring>

namespace lumen {
namespace {

class MemoryFile final : public File {
 public:
  std::int64_t size() const override { return std::ssize(bytes_); }
  std::int64_t position() const override { return position_; }

  bool seek(std::int64_t offset) override {
    if (offset < 0) return false;
    position_ = offset;
    return true;
  }

  std::size_t read(std::span<std::uint8_t> into) override {
    if (position_ >= size()) return 0;
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(std::ssize(into), size() - position_));
    std::memcpy(into.data(), bytes_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
  }

  bool write(std::span<const std::uint8_t> bytes) override {
    const auto end = static_cast<std::size_t>(position_) + bytes.size();
    if (end > bytes_.size()) bytes_.resize(end, 0);
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + position_);
    position_ = static_cast<std::int64_t>(end);
    return true;
  }

 private:
  ByteBuffer bytes_;
  std::int64_t position_ = 0;
};

[[nodiscard]] std::span<const std::uint8_t> bytes_of(std::string_view text) noexcept {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Moves the bytes from `from` to the end of the file up by `distance`, in
// blocks of at most 4096 bytes from the end backwards, so nothing is
// overwritten before it has been moved.
[[nodiscard]] bool shift_tail_up(File& file, std::int64_t from, std::int64_t distance) {
  std::array<std::uint8_t, 4096> block{};
  std::int64_t end = file.size();
  while (end > from) {
    const std::int64_t begin = std::max(from, end - std::ssize(block));
    const auto n = static_cast<std::size_t>(end - begin);
    const std::span<std::uint8_t> chunk(block.data(), n);
    if (!file.seek(begin) || file.read(chunk) != n) return false;
    if (!file.seek(begin + distance) || !file.write(chunk)) return false;
    end = begin;
  }
  return true;
}

}  // namespace

FileNumber open_memory_file() { return std::make_unique<MemoryFile>(); }

void close_file(FileNumber& file) noexcept { file.reset(); }

bool seek_to_start(File& file) { return file.seek(0); }
bool seek_to_end(File& file) { return file.seek(file.size()); }

Text read_text(File& file, std::int64_t length) {
  const std::int64_t start = file.position();
  const std::int64_t available = std::max<std::int64_t>(file.size() - start, 0);
  const std::int64_t wanted = length < 0 ? available : std::min(length, available);
  ByteBuffer bytes(static_cast<std::size_t>(wanted));
  bytes.resize(file.read(bytes));
  const auto stop = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0 || b == 0x1A; });
  if (stop != bytes.end()) {
    const auto kept = stop - bytes.begin();
    (void)file.seek(start + kept);
    bytes.resize(static_cast<std::size_t>(kept));
  }
  return Text(bytes.begin(), bytes.end());
}

bool write_data(File& file, std::span<const std::uint8_t> bytes) {
  const std::int64_t start = file.position();
  if (file.write(bytes)) return true;
  (void)file.seek(start);
  return false;
}

bool write_text(File& file, std::string_view text) { return write_data(file, bytes_of(text)); }

bool insert_text(File& file, std::string_view text) {
  const std::int64_t at = file.position();
  if (!shift_tail_up(file, at, std::ssize(text))) return false;
  return file.seek(at) && write_data(file, bytes_of(text));
}

}  // namespace lumen
