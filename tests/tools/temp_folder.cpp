#include "tests/tools/temp_folder.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lumen::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "lumen-stamp-XXXXXX").string();
  // Nowhere safe to work without it: end the test rather than use the current folder.
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::map<std::string, ByteBuffer> TempFolder::snapshot() const {
  std::map<std::string, ByteBuffer> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path_)) {
    const std::string name = fs::relative(entry.path(), path_).string();
    if (entry.is_symlink()) {
      const std::string target = fs::read_symlink(entry.path()).string();
      entries[name] = ByteBuffer(target.begin(), target.end());
    } else if (entry.is_directory()) {
      entries[name] = ByteBuffer{'<', 'f', 'o', 'l', 'd', 'e', 'r', '>'};
    } else {
      entries[name] = read_bytes(entry.path());
    }
  }
  return entries;
}

void write_bytes(const fs::path& file, const ByteBuffer& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << file;
}

ByteBuffer read_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return ByteBuffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace lumen::test
