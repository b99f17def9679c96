#include "core/offerable_copy.hpp"

#include "runtime/text.hpp"

namespace lumen {
namespace {

// Whether the path lies anywhere below the folder (not merely next to a
// folder whose name starts the same way).
[[nodiscard]] bool IsInsideFolder(std::string_view lower_path, std::string_view lower_folder) {
  while (lower_folder.ends_with('\\')) lower_folder.remove_suffix(1);
  if (lower_folder.empty()) return false;
  return lower_path.size() > lower_folder.size() && lower_path.starts_with(lower_folder) &&
         lower_path[lower_folder.size()] == '\\';
}

}  // namespace

bool IsOfferableCopy(std::string_view image_path, std::string_view windows_folder, std::string_view own_image_path) {
  if (image_path.empty() || windows_folder.empty()) return false;
  const Text path = to_lower(image_path);
  return !IsInsideFolder(path, to_lower(windows_folder)) && path != to_lower(own_image_path);
}

}  // namespace lumen
