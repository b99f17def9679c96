#pragma once
// The file system as the stamping tool uses it, behind an interface so that
// tests can make a write fail at a chosen moment.

#include <cstdint>
#include <filesystem>
#include <span>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

struct FileContent {
  ByteBuffer bytes;
  std::filesystem::perms permissions = std::filesystem::perms::none;
};

class StampFiles {
 public:
  StampFiles() = default;
  StampFiles(const StampFiles&) = delete;
  StampFiles& operator=(const StampFiles&) = delete;
  virtual ~StampFiles() = default;

  // A regular file's bytes and permissions. Nothing a PE32 installer could be
  // is larger than 4 GiB, so larger files are refused unread.
  [[nodiscard]] virtual Result<FileContent> read(const std::filesystem::path& file) = 0;
  // Whether both paths name one existing file, through links too.
  [[nodiscard]] virtual bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) = 0;
  [[nodiscard]] virtual Status make_folder(const std::filesystem::path& folder) = 0;
  // Writes a complete new file beside target and only then renames it over
  // target, so target is left either as it was or with all of content.
  [[nodiscard]] virtual Status replace(const std::filesystem::path& target, std::span<const std::uint8_t> content,
                                       std::filesystem::perms permissions) = 0;
};

}  // namespace lumen::stamp
