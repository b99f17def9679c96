#pragma once
// The stamping tool's file system: the machine's own.

#include "tools/stamp/stamp_files.hpp"

namespace lumen::stamp {

class SystemFiles final : public StampFiles {
 public:
  [[nodiscard]] Result<FileContent> read(const std::filesystem::path& file) override;
  [[nodiscard]] bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) override;
  [[nodiscard]] Status make_folder(const std::filesystem::path& folder) override;
  [[nodiscard]] Status replace(const std::filesystem::path& target, std::span<const std::uint8_t> content,
                               std::filesystem::perms permissions) override;
};

}  // namespace lumen::stamp
