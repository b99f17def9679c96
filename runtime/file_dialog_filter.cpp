#include "runtime/file_dialog_filter.hpp"

namespace lumen::forms {

Text platform_filter(std::string_view designer_filter) {
  Text filter;
  for (const Text& piece : split_text(designer_filter, "|")) {
    filter += piece;
    filter += '\0';
  }
  filter += '\0';
  return filter;
}

}  // namespace lumen::forms
