#include "desktop/shortcut_name.hpp"

#include "runtime/file_name.hpp"

namespace lumen {

bool IsPlainShortcutName(std::string_view name) { return safe_file_name(name) == name; }

Text LinkPathFor(std::string_view name, std::string_view desktop_folder) {
  const bool named_as_link = find_text(name, ".lnk", 1, true) > 0;
  return Text(desktop_folder) + Text(name) + (named_as_link ? "" : ".lnk");
}

}  // namespace lumen
