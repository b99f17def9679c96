#pragma once
// A file system held in memory, for tests of code that writes through the
// file system interface: folders, files, and the faults a real disk has (no
// space left, a move that fails, a folder that takes no new files).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "runtime/file_system.hpp"

namespace lumen::test {

class MemoryFileSystem final : public FileSystem {
 public:
  // Paths are compared as given; a file's folder is the path up to its last
  // backslash, and it must exist for the file to be created.
  void add_folder(std::string_view path);
  void put(std::string_view path, ByteBuffer bytes);
  [[nodiscard]] bool has(std::string_view path) const;
  // The file's bytes; empty when there is no such file.
  [[nodiscard]] ByteBuffer content(std::string_view path) const;
  // Every file path, in order.
  [[nodiscard]] std::set<std::string> files() const;

  // Bytes that can still be written before writes fail, as on a full disk;
  // nothing: no limit. A removed file gives its space back.
  std::optional<std::int64_t> space_left;
  bool moves_fail = false;
  // Moves take the route between volumes: a copy beside the target, renamed
  // over it, then the source removed. The copy needs the space of the file,
  // so on a full disk the move fails and the target keeps its bytes.
  bool moves_copy = false;
  // Folders that exist but in which no file can be created.
  std::set<std::string, std::less<>> read_only_folders;
  // Bytes read from files so far, by open files and whole reads alike.
  std::int64_t bytes_read = 0;

  [[nodiscard]] FileNumber open(std::string_view path, OpenMode mode, ShareMode share) override;
  [[nodiscard]] std::optional<std::int64_t> size_of(std::string_view path) override;
  [[nodiscard]] ByteBuffer read_whole(std::string_view path) override;
  [[nodiscard]] bool write_whole(std::string_view path, const ByteBuffer& bytes) override;
  [[nodiscard]] bool move(std::string_view from, std::string_view to) override;
  [[nodiscard]] bool remove(std::string_view path) override;
  [[nodiscard]] bool ensure_folder_path(std::string_view path) override;
  [[nodiscard]] bool is_existing_folder(std::string_view path) override;
  [[nodiscard]] bool remove_empty_folder(std::string_view path) override;
  [[nodiscard]] bool can_create_files_in(std::string_view folder) override;

 private:
  struct Stored {
    std::shared_ptr<ByteBuffer> bytes;
  };
  [[nodiscard]] bool may_create(std::string_view path) const;

  std::map<std::string, Stored, std::less<>> files_;
  std::set<std::string, std::less<>> folders_;
};

}  // namespace lumen::test
