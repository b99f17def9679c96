// Measures how long a program takes from its process start to its first
// visible top-level window, then ends it:
//   startup_probe.exe PROGRAM
// prints "ms=M" (or "ms=none" when no window showed within 60 s).

#include <windows.h>

#include <cstdio>

namespace {

struct Search {
  DWORD process;
  bool found;
};

BOOL CALLBACK find_visible_window(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.process && IsWindowVisible(window)) {
    search.found = true;
    return FALSE;
  }
  return TRUE;
}

[[nodiscard]] double milliseconds_between(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: startup_probe PROGRAM\n");
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
  Search search{process.dwProcessId, false};
  LARGE_INTEGER now = start;
  while (!search.found && milliseconds_between(start, now) < 60000.0) {
    EnumWindows(find_visible_window, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    if (!search.found) Sleep(1);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!search.found) {
    std::printf("ms=none\n");
    return 1;
  }
  std::printf("ms=%.1f\n", milliseconds_between(start, now));
  return 0;
}
