#include "runtime/win/shell.hpp"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "runtime/folder_path.hpp"
#include "runtime/win/com.hpp"
#include "runtime/win/unique_handle.hpp"
#include "runtime/win/wide_text.hpp"

namespace lumen {
namespace {

// Item id lists the shell allocates for the caller.
struct ItemIdListTraits {
  using Handle = PIDLIST_ABSOLUTE;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle list) noexcept { CoTaskMemFree(list); }
};
using ItemIdList = win::UniqueHandle<ItemIdListTraits>;

constexpr UINT kBrowseEditBox = 0x10;
constexpr UINT kBrowseIncludeFiles = 0x4000;

[[nodiscard]] bool shell_folder(int csidl, char (&path)[MAX_PATH]) {
  return SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE) != FALSE;
}

[[nodiscard]] bool system_folder(SpecialFolder kind, char (&path)[MAX_PATH]) {
  switch (kind) {
    case SpecialFolder::Documents: return shell_folder(CSIDL_PERSONAL, path);
    case SpecialFolder::Favourites: return shell_folder(CSIDL_FAVORITES, path);
    case SpecialFolder::Desktop: return shell_folder(CSIDL_DESKTOPDIRECTORY, path);
    case SpecialFolder::Fonts: return shell_folder(CSIDL_FONTS, path);
    case SpecialFolder::StartMenu: return shell_folder(CSIDL_STARTMENU, path);
    case SpecialFolder::Programs: return shell_folder(CSIDL_PROGRAMS, path);
    case SpecialFolder::StartUp: return shell_folder(CSIDL_STARTUP, path);
    case SpecialFolder::ApplicationData: return shell_folder(CSIDL_APPDATA, path);
    case SpecialFolder::Windows: return GetWindowsDirectoryA(path, MAX_PATH) != 0;
    case SpecialFolder::System: return GetSystemDirectoryA(path, MAX_PATH) != 0;
    case SpecialFolder::Temporary: return GetTempPathA(MAX_PATH, path) != 0;
  }
  return false;
}

[[nodiscard]] const char* verb_name(ShellVerb verb) noexcept {
  switch (verb) {
    case ShellVerb::Edit: return "edit";
    case ShellVerb::Explore: return "explore";
    case ShellVerb::Find: return "find";
    case ShellVerb::Open: return "open";
    case ShellVerb::Print: return "print";
    case ShellVerb::Default: break;
  }
  return nullptr;
}

[[nodiscard]] const char* or_none(const std::string& text) noexcept { return text.empty() ? nullptr : text.c_str(); }

[[nodiscard]] bool ends_with_link_ending(std::string_view path) noexcept {
  constexpr std::string_view ending = ".lnk";
  if (path.size() < ending.size()) return false;
  const std::string_view tail = path.substr(path.size() - ending.size());
  for (std::size_t i = 0; i < ending.size(); ++i) {
    const char c = tail[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != ending[i]) return false;
  }
  return true;
}

// While a modal dialog of the program is open: the program's other visible
// windows are disabled, and afterwards their state, the active and the
// foreground window are put back.
class ModalScope {
 public:
  ModalScope() : active_(GetActiveWindow()), foreground_(GetForegroundWindow()) {
    EnumWindows(disable_own_window, reinterpret_cast<LPARAM>(&disabled_));
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
  ~ModalScope() {
    for (HWND window : disabled_) {
      if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    if (IsWindow(active_)) SetActiveWindow(active_);
    if (IsWindow(foreground_)) SetForegroundWindow(foreground_);
  }

  [[nodiscard]] HWND owner() const noexcept { return active_; }

 private:
  static BOOL CALLBACK disable_own_window(HWND window, LPARAM context) noexcept {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    }
    return TRUE;
  }

  HWND active_;
  HWND foreground_;
  std::vector<HWND> disabled_;
};

}  // namespace

Text special_folder(SpecialFolder kind) {
  char path[MAX_PATH] = {};
  if (!system_folder(kind, path) || path[0] == '\0') return {};
  return WithTrailingBackslash(path);
}

Text browse_for_folder(std::string_view title, bool include_files) {
  const win::ComApartment apartment;
  const std::string title_z(title);
  char display_name[MAX_PATH] = {};
  ItemIdList chosen;
  {
    const ModalScope modal;
    BROWSEINFOA info{};
    info.hwndOwner = modal.owner();
    info.pszDisplayName = display_name;
    info.lpszTitle = title_z.c_str();
    info.ulFlags = kBrowseEditBox | (include_files ? kBrowseIncludeFiles : 0);
    chosen.reset(SHBrowseForFolderA(&info));
  }
  char path[MAX_PATH] = {};
  if (!chosen || !SHGetPathFromIDListA(chosen.get(), path)) return {};
  return path;
}

bool shell_execute(ShellVerb verb, std::string_view file, std::string_view parameters, std::string_view folder,
                   ShowCommand show) {
  const std::string file_z(file);
  const std::string parameters_z(parameters);
  const std::string folder_z(folder);
  const HINSTANCE result = ShellExecuteA(nullptr, verb_name(verb), file_z.c_str(), or_none(parameters_z),
                                         or_none(folder_z), static_cast<int>(show));
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool create_link_file(std::string_view link_path, std::string_view target, std::string_view description,
                      std::string_view arguments, std::string_view working_folder) {
  const win::ComApartment apartment;
  win::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))) {
    return false;
  }
  if (FAILED(link->SetPath(std::string(target).c_str())) || FAILED(link->SetShowCmd(SW_SHOW))) return false;
  if (!description.empty() && FAILED(link->SetDescription(std::string(description).c_str()))) return false;
  if (!arguments.empty() && FAILED(link->SetArguments(std::string(arguments).c_str()))) return false;
  if (!working_folder.empty() && FAILED(link->SetWorkingDirectory(std::string(working_folder).c_str()))) return false;

  Text path(link_path);
  if (!ends_with_link_ending(path)) path += ".lnk";
  const win::ComPtr<IPersistFile> file = link.query<IPersistFile>();
  return file && SUCCEEDED(file->Save(win::widen(path).c_str(), TRUE));
}

}  // namespace lumen
