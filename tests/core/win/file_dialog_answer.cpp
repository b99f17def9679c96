#include "tests/core/win/file_dialog_answer.hpp"

namespace lumen::test {
namespace {

constexpr int kFileNameBox = 0x47C;
constexpr int kFileTypeBox = 0x470;

// The edit field of the file name box, however deep the dialog nests it.
HWND file_name_field(HWND dialog) {
  struct Search { HWND found = nullptr; } search;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM context) -> BOOL CALLBACK {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (GetDlgCtrlID(child) != kFileNameBox || lstrcmpiA(name, "Edit") != 0) return TRUE;
        reinterpret_cast<Search*>(context)->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found ? search.found : GetDlgItem(dialog, kFileNameBox);
}

std::string first_filter_of(HWND dialog) {
  HWND types = GetDlgItem(dialog, kFileTypeBox);
  char entry[256] = {};
  if (types == nullptr || SendMessageA(types, CB_GETLBTEXTLEN, 0, 0) >= static_cast<LRESULT>(sizeof entry)) {
    return {};
  }
  SendMessageA(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
  return entry;
}

}  // namespace

DWORD WINAPI answer_file_dialog(void* context) {
  auto* answer = static_cast<FileDialogAnswer*>(context);
  HWND dialog = nullptr;
  for (int attempt = 0; attempt < 400 && dialog == nullptr; ++attempt) {
    dialog = FindWindowA(nullptr, answer->title.c_str());
    if (dialog == nullptr) Sleep(50);
  }
  for (int attempt = 0; attempt < 60 && IsWindow(dialog); ++attempt) {
    Sleep(250);
    if (answer->first_filter.empty()) answer->first_filter = first_filter_of(dialog);
    if (answer->file.empty()) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      continue;
    }
    // Type the name into the file name box's edit field, then press OK.
    SendMessageA(file_name_field(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer->file.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  }
  return IsWindow(dialog) ? 1 : 0;
}

}  // namespace lumen::test
