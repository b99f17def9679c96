#include "tests/support/win/programs.hpp"

#include <thread>

#include "runtime/win/files.hpp"

namespace lumen::test {

namespace {

struct WindowSearch {
  DWORD process;
  const std::string* window_class;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_window(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == search.process && IsWindowVisible(window) && *search.window_class == name) {
    search.found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::string built_program(const std::string& file_name) { return program_directory() + "\\" + file_name; }

RunningProgram::RunningProgram(const std::string& path, const std::string& arguments) {
  std::string command_line = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessA(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
  }
}

std::optional<DWORD> RunningProgram::wait(std::chrono::milliseconds limit) {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

void RunningProgram::kill() noexcept {
  if (process_) TerminateProcess(process_.get(), 1);
}

std::vector<HWND> RunningProgram::windows(const std::string& window_class, std::chrono::milliseconds limit) const {
  WindowSearch search{id_, &window_class, {}};
  const auto deadline = std::chrono::steady_clock::now() + limit;
  do {
    search.found.clear();
    EnumWindows(collect_window, reinterpret_cast<LPARAM>(&search));
    if (!search.found.empty()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < deadline);
  return search.found;
}

std::optional<DWORD> run_program(const std::string& path, const std::string& arguments,
                                 std::chrono::milliseconds limit) {
  RunningProgram program(path, arguments);
  auto code = program.wait(limit);
  if (!code) program.kill();
  return code;
}

MessageBoxText read_message_box(HWND box) {
  char text[4096] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  char title[512] = {};
  GetWindowTextA(box, title, sizeof title);
  return {text, title};
}

void press_message_box_button(HWND box, int command_id) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(command_id, BN_CLICKED), 0);
}

}  // namespace lumen::test
