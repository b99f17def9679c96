#include "desktop/win/path_parts.hpp"

#include <windows.h>
#include <shlwapi.h>

#include "runtime/folder_path.hpp"

namespace lumen {

Text FileNameOf(std::string_view path, bool with_extension) {
  const Text zero_terminated(path);
  const Text name = PathFindFileNameA(zero_terminated.c_str());
  if (EndsWithBackslash(name)) return {};
  if (with_extension) return name;
  return name.substr(0, name.size() - ExtensionOf(name).size());
}

Text ExtensionOf(std::string_view path) {
  const Text zero_terminated(path);
  const char* extension = PathFindExtensionA(zero_terminated.c_str());
  return extension ? Text(extension) : Text{};
}

}  // namespace lumen
