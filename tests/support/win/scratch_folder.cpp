#include "tests/support/win/scratch_folder.hpp"

#include <windows.h>

#include <atomic>

namespace lumen::test {
namespace {

void remove_tree(const std::string& folder) {
  WIN32_FIND_DATAA entry{};
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        remove_tree(path + "\\");
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> serial{0};
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + "lumen-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(serial++) + "\\";
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { remove_tree(path_); }

}  // namespace lumen::test
