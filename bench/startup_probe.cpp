// Measures how long a program takes from its process start to its first
// complete paint: a visible top-level window of exactly the given size and
// not layered (so not a shadow around it, which is larger and never paints,
// nor a splash of another size) with nothing of it, its children included,
// left to paint. Then ends the program:
//   startup_probe.exe PROGRAM WIDTH HEIGHT
// prints "ms=M" (or "ms=none" when no such paint came within 60 s).

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Search {
  DWORD process;
  int width;
  int height;
  HWND found;
};

BOOL CALLBACK find_main_window(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  RECT rect{};
  GetWindowRect(window, &rect);
  const bool layered = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  if (owner == search.process && IsWindowVisible(window) && !layered && rect.right - rect.left == search.width &&
      rect.bottom - rect.top == search.height) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK find_unpainted_child(HWND child, LPARAM context) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(context) = true;
    return FALSE;
  }
  return TRUE;
}

[[nodiscard]] bool painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool unpainted_child = false;
  EnumChildWindows(window, find_unpainted_child, reinterpret_cast<LPARAM>(&unpainted_child));
  return !unpainted_child;
}

[[nodiscard]] double milliseconds_between(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_probe PROGRAM WIDTH HEIGHT\n");
    return 2;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "startup_probe: cannot start %s\n", argv[1]);
    return 1;
  }
  Search search{process.dwProcessId, std::atoi(argv[2]), std::atoi(argv[3]), nullptr};
  bool done = false;
  LARGE_INTEGER now = start;
  while (!done && milliseconds_between(start, now) < 60000.0) {
    if (search.found == nullptr) EnumWindows(find_main_window, reinterpret_cast<LPARAM>(&search));
    done = search.found != nullptr && painted(search.found);
    QueryPerformanceCounter(&now);
    if (!done) Sleep(1);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!done) {
    std::printf("ms=none\n");
    return 1;
  }
  std::printf("ms=%.1f\n", milliseconds_between(start, now));
  return 0;
}
