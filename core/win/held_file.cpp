#include "core/win/held_file.hpp"

#include "runtime/text.hpp"

namespace lumen {

std::unique_ptr<ReadOnlyHold> ReadOnlyHold::Open(std::string_view path) {
  if (path.empty()) return nullptr;
  // No write sharing: nobody can open the file for writing while it is held.
  // Delete sharing: it can still be moved (renamed) into place. Opened by
  // the same (ANSI) name the install moves it by.
  const Text name(path);
  win::FileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::unique_ptr<ReadOnlyHold>(new ReadOnlyHold(std::move(file)));
}

}  // namespace lumen
