#pragma once
// A fresh folder under the temporary folder, removed with its content when
// the test ends.

#include <filesystem>
#include <map>
#include <string>

#include "runtime/byte_buffer.hpp"

namespace lumen::test {

class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  [[nodiscard]] const std::filesystem::path& path() const noexcept { return path_; }
  [[nodiscard]] std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Every entry below the folder by relative path: a file's bytes, a
  // link's target, or "<folder>".
  [[nodiscard]] std::map<std::string, ByteBuffer> snapshot() const;

 private:
  std::filesystem::path path_;
};

void write_bytes(const std::filesystem::path& file, const ByteBuffer& bytes);
[[nodiscard]] ByteBuffer read_bytes(const std::filesystem::path& file);

}  // namespace lumen::test
