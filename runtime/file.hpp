#pragma once
// Open files: a position-based byte store, either on disk (runtime/win) or in
// memory, and the text and data operations the installer writes files with.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "runtime/convert.hpp"
#include "runtime/text.hpp"

namespace lumen {

// How open_file opens a file; the values are the runtime's mode numbers.
enum class OpenMode : int {
  Read = 1,                   // an existing file
  Write = 2,                  // an existing file
  ReadWrite = 3,              // an existing file
  CreateWrite = 4,            // created, or truncated when it exists
  OpenOrCreateWrite = 5,      // never truncated
  OpenOrCreateReadWrite = 6,  // never truncated
};

// What other openers may do meanwhile; the values are the runtime's numbers.
enum class ShareMode : int {
  DenyNone = 1,
  DenyRead = 2,
  DenyWrite = 3,
  Exclusive = 4,
};

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  virtual ~File() = default;

  [[nodiscard]] virtual std::int64_t size() const = 0;
  [[nodiscard]] virtual std::int64_t position() const = 0;
  [[nodiscard]] virtual bool seek(std::int64_t offset) = 0;
  // Reads at the position and advances past what was read; 0 at the end.
  [[nodiscard]] virtual std::size_t read(std::span<std::uint8_t> into) = 0;
  // Writes all bytes at the position and advances past them.
  [[nodiscard]] virtual bool write(std::span<const std::uint8_t> bytes) = 0;
};

// An open file; empty when opening failed. Closing is releasing it.
using FileNumber = std::unique_ptr<File>;

[[nodiscard]] FileNumber open_memory_file();
void close_file(FileNumber& file) noexcept;

[[nodiscard]] bool seek_to_start(File& file);
[[nodiscard]] bool seek_to_end(File& file);

inline constexpr std::int64_t kRestOfFile = -1;

// Reads up to length bytes as text. The text ends at a zero byte or Ctrl-Z,
// where the position is left; otherwise the position follows the bytes read.
[[nodiscard]] Text read_text(File& file, std::int64_t length = kRestOfFile);

// Writes bytes at the position; on failure the position is restored.
[[nodiscard]] bool write_data(File& file, std::span<const std::uint8_t> bytes);

[[nodiscard]] bool write_text(File& file, std::string_view text);
// Inserts text at the position, moving what follows up by its length.
[[nodiscard]] bool insert_text(File& file, std::string_view text);

// The text forms of several values, written one after the other.
template <typename... Values>
[[nodiscard]] bool write_text(File& file, const Values&... values) {
  return write_text(file, std::string_view((to_text(values) + ...)));
}
template <typename... Values>
[[nodiscard]] bool insert_text(File& file, const Values&... values) {
  return insert_text(file, std::string_view((to_text(values) + ...)));
}

}  // namespace lumen
