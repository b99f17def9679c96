#include "tests/support/win/dialog_answer.hpp"

#include <chrono>
#include <cstring>

namespace lumen::test {
namespace {

BOOL CALLBACK find_own_dialog(HWND window, LPARAM context) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::strcmp(name, "#32770") == 0) {
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
  }
  return TRUE;
}

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

[[nodiscard]] HWND wait_for_dialog(std::chrono::milliseconds limit, const std::atomic<bool>& stopping) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!stopping && std::chrono::steady_clock::now() < deadline) {
    HWND dialog = nullptr;
    EnumWindows(find_own_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog != nullptr) return dialog;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  return nullptr;
}

}  // namespace

DialogDriver::DialogDriver(std::function<void(HWND)> act, std::chrono::milliseconds limit)
    : thread_([this, act = std::move(act), limit] {
        if (HWND dialog = wait_for_dialog(limit, stopping_)) {
          found_ = true;
          // Let the dialog finish setting itself up before it is driven.
          std::this_thread::sleep_for(std::chrono::milliseconds(200));
          act(dialog);
        }
      }) {}

DialogDriver::~DialogDriver() {
  stopping_ = true;
  thread_.join();
}

std::string answer_file_dialog(HWND dialog, const std::string& file) {
  std::string first_filter;
  for (int attempt = 0; attempt < 60 && IsWindow(dialog); ++attempt) {
    if (first_filter.empty()) first_filter = first_filter_of(dialog);
    if (file.empty()) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
      SendMessageA(file_name_field(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
    Sleep(250);
  }
  return first_filter;
}

Window plain_window() {
  static constexpr const char* kClass = "LumenTestPlainWindow";
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClass;
  RegisterClassA(&window_class);  // fails harmlessly when already registered
  return Window(CreateWindowExA(0, kClass, "plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr));
}

}  // namespace lumen::test
