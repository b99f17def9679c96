#pragma once
// Starting the programs under test and watching their windows.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "runtime/win/unique_handle.hpp"

namespace lumen::test {

// The folder that holds the test executables and the programs built with them.
[[nodiscard]] std::string built_program(const std::string& file_name);

class RunningProgram {
 public:
  // Starts `path` with the command-line arguments (already quoted as needed).
  RunningProgram(const std::string& path, const std::string& arguments = {});

  [[nodiscard]] bool started() const noexcept { return static_cast<bool>(process_); }
  [[nodiscard]] DWORD id() const noexcept { return id_; }
  // The exit code, or nothing when the program did not end in time.
  [[nodiscard]] std::optional<DWORD> wait(std::chrono::milliseconds limit = std::chrono::seconds(30));
  void kill() noexcept;

  // Visible top-level windows of the program whose class is `window_class`,
  // waiting until there is at least one or the limit has passed.
  [[nodiscard]] std::vector<HWND> windows(const std::string& window_class,
                                          std::chrono::milliseconds limit = std::chrono::seconds(20)) const;

 private:
  win::KernelHandle process_;
  DWORD id_ = 0;
};

// Runs a program to its end and returns the exit code (nothing on time-out).
[[nodiscard]] std::optional<DWORD> run_program(const std::string& path, const std::string& arguments = {},
                                               std::chrono::milliseconds limit = std::chrono::seconds(30));

// The text of a standard message box: its message, its title.
struct MessageBoxText {
  std::string message;
  std::string title;
};
[[nodiscard]] MessageBoxText read_message_box(HWND box);
// Presses the message box button with the given command id (IDOK, IDYES...).
void press_message_box_button(HWND box, int command_id);

}  // namespace lumen::test
