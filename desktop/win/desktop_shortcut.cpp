#include "desktop/win/desktop_shortcut.hpp"

#include "desktop/shortcut_name.hpp"
#include "desktop/shortcut_settings.hpp"
#include "desktop/win/folder_of_kind.hpp"
#include "desktop/win/path_parts.hpp"
#include "runtime/win/automation.hpp"
#include "runtime/win/com.hpp"
#include "runtime/win/files.hpp"

namespace lumen {
namespace {

// The shell of some systems takes an icon file only with an explicit index;
// "file" and "file,0" are the same icon.
void set_icon(const ObjectRef& link, std::string_view location) {
  if (object_set(link, "IconLocation", location)) return;
  (void)object_set(link, "IconLocation", WithIconIndex(location));
}

// Fills in and saves the link; true when the file is there with its target.
[[nodiscard]] bool save_link(const ObjectRef& link, std::string_view link_path, std::string_view target,
                             std::string_view working_folder, const ShortcutDetails& details) {
  if (!object_set(link, "TargetPath", target)) return false;
  (void)object_set(link, "WorkingDirectory", working_folder);
  set_icon(link, details.icon ? *details.icon
                              : IconLocationFor(std::nullopt, target, ExtensionOf(target)));
  (void)object_set(link, "WindowStyle", details.window_style);
  (void)object_set(link, "Description", details.description);
  (void)object_set(link, "Arguments", details.arguments);
  (void)object_set(link, "Hotkey", details.hotkey);
  (void)object_call_object(link, "Save");
  // Save reports nothing back; the file it writes does.
  return file_exists(link_path);
}

}  // namespace

Text ShortcutNameOf(std::string_view name) { return find_text(name, "\\") > 0 ? FileNameOf(name) : Text(name); }

DesktopShortcut CreateDesktopShortcut(std::string_view name, std::string_view target,
                                      const ShortcutDetails& details) {
  const Text plain_name = ShortcutNameOf(name);
  const Text desktop = FolderOfKind(0);
  if (!IsPlainShortcutName(plain_name) || desktop.empty()) return {};
  DesktopShortcut result{false, LinkPathFor(plain_name, desktop)};
  if (file_exists(result.link_path)) (void)delete_file(result.link_path);

  const auto working_folder = WorkingFolderOf(target);
  if (!working_folder) return result;

  const win::ComApartment apartment;
  ObjectRef link;
  {
    ObjectRef shell;
    if (!create_object(shell, "WshShell", "wshom.ocx")) return result;
    link = object_call_object(shell, "CreateShortcut", {result.link_path});
  }
  if (object_is_empty(link)) return result;
  result.saved = save_link(link, result.link_path, target, *working_folder, details);
  object_release(link);
  return result;
}

}  // namespace lumen
