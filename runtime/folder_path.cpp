#include "runtime/folder_path.hpp"

namespace lumen {
namespace {

constexpr std::string_view kBackslash = "\\";

// Where the path's last backslash starts, or npos.
[[nodiscard]] std::size_t last_backslash(std::string_view path) noexcept {
  std::size_t found = std::string_view::npos;
  for (auto c = characters_of(path).begin(); c != characters_of(path).end(); ++c) {
    if (*c == kBackslash) found = c.offset();
  }
  return found;
}

}  // namespace

bool EndsWithBackslash(std::string_view path) noexcept { return last_character(path) == kBackslash; }

Text WithTrailingBackslash(std::string_view path) {
  Text folder(path);
  if (!EndsWithBackslash(folder)) folder += kBackslash;
  return folder;
}

std::string_view WithoutTrailingBackslashes(std::string_view path) noexcept {
  while (EndsWithBackslash(path)) path.remove_suffix(1);
  return path;
}

std::string_view ParentFolder(std::string_view path) noexcept {
  const std::string_view inner = WithoutTrailingBackslashes(path);
  const std::size_t slash = last_backslash(inner);
  return slash == std::string_view::npos ? std::string_view{} : inner.substr(0, slash);
}

bool IsInsideFolder(std::string_view path, std::string_view folder) noexcept {
  const std::string_view holder = WithoutTrailingBackslashes(folder);
  path = WithoutTrailingBackslashes(path);
  if (holder.empty() || path.size() <= holder.size() || !path.starts_with(holder)) return false;
  // The prefix must end where a character of the path ends, at a backslash.
  for (auto c = characters_of(path).begin(); c != characters_of(path).end(); ++c) {
    if (c.offset() == holder.size()) return *c == kBackslash;
    if (c.offset() > holder.size()) return false;
  }
  return false;
}

}  // namespace lumen
