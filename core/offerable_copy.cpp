#include "core/offerable_copy.hpp"

#include "runtime/folder_path.hpp"
#include "runtime/text.hpp"

namespace lumen {

bool IsOfferableCopy(std::string_view image_path, std::string_view windows_folder, std::string_view own_image_path) {
  if (image_path.empty() || windows_folder.empty()) return false;
  const Text path = to_lower(image_path);
  return !IsInsideFolder(path, to_lower(windows_folder)) && path != to_lower(own_image_path);
}

}  // namespace lumen
