#pragma once
// A fresh folder under the temporary folder, removed with its content when
// the test ends.

#include <string>

namespace lumen::test {

class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  // The folder path, ending in a backslash.
  [[nodiscard]] const std::string& path() const noexcept { return path_; }
  [[nodiscard]] std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

}  // namespace lumen::test
