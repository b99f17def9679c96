#include "desktop/shortcut_name.hpp"

#include "runtime/file_name.hpp"

namespace lumen {
namespace {

[[nodiscard]] Text link_file_name(std::string_view name) {
  const bool named_as_link = find_text(name, ".lnk", 1, true) > 0;
  return Text(name) + (named_as_link ? "" : ".lnk");
}

}  // namespace

// A name ending in half a double-byte character would take the dot of
// ".lnk" for its second byte, so the name is judged alone too.
bool IsPlainShortcutName(std::string_view name) {
  return name != "." && name != ".." && !is_cut_character(last_character(name)) &&
         safe_file_name(link_file_name(name)).has_value();
}

Text LinkPathFor(std::string_view name, std::string_view desktop_folder) {
  return Text(desktop_folder) + link_file_name(name);
}

}  // namespace lumen
