#pragma once
// The file operations the install makes, as an interface: the running
// installer uses the system's files (runtime/win/system_file_system.hpp),
// tests put a file system of their own in its place.

#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "runtime/file.hpp"

namespace lumen {

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // An open file, or nothing when it cannot be opened in that mode.
  [[nodiscard]] virtual FileNumber open(std::string_view path, OpenMode mode,
                                        ShareMode share = ShareMode::DenyNone) = 0;
  // The size of an existing file, without reading it.
  [[nodiscard]] virtual std::optional<std::int64_t> size_of(std::string_view path) = 0;
  // The whole file; empty when it is missing, unreadable or empty.
  [[nodiscard]] virtual ByteBuffer read_whole(std::string_view path) = 0;
  // Creates or truncates the file and writes the bytes.
  [[nodiscard]] virtual bool write_whole(std::string_view path, const ByteBuffer& bytes) = 0;
  // Moves the file to `to`, replacing a file there in one step: whatever
  // fails, `to` holds either its old bytes or all of the new ones.
  [[nodiscard]] virtual bool move(std::string_view from, std::string_view to) = 0;
  [[nodiscard]] virtual bool remove(std::string_view path) = 0;

  // Creates every missing folder of the path (its last part counts as a
  // folder too); true when they exist.
  [[nodiscard]] virtual bool ensure_folder_path(std::string_view path) = 0;
  [[nodiscard]] virtual bool is_existing_folder(std::string_view path) = 0;
  // Removes the folder only when it holds nothing; true when it was removed.
  [[nodiscard]] virtual bool remove_empty_folder(std::string_view path) = 0;
  // True when a new file can be created in the folder (nothing is left behind).
  [[nodiscard]] virtual bool can_create_files_in(std::string_view folder) = 0;
};

}  // namespace lumen
