#pragma once
// The system's files behind the file system interface.

#include "runtime/file_system.hpp"

namespace lumen {

class SystemFileSystem final : public FileSystem {
 public:
  [[nodiscard]] FileNumber open(std::string_view path, OpenMode mode, ShareMode share) override;
  [[nodiscard]] std::optional<std::int64_t> size_of(std::string_view path) override;
  [[nodiscard]] ByteBuffer read_whole(std::string_view path) override;
  [[nodiscard]] bool write_whole(std::string_view path, const ByteBuffer& bytes) override;
  [[nodiscard]] bool move(std::string_view from, std::string_view to) override;
  [[nodiscard]] bool remove(std::string_view path) override;
  [[nodiscard]] bool ensure_folder_path(std::string_view path) override;
  [[nodiscard]] bool remove_empty_folder(std::string_view path) override;
  [[nodiscard]] bool is_existing_folder(std::string_view path) override;
  [[nodiscard]] bool can_create_files_in(std::string_view folder) override;
};

}  // namespace lumen
