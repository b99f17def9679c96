#pragma once
// Answering this process's own dialogs (message boxes, the shell's folder
// chooser, the open-file dialog) from a second thread while the test's thread
// waits inside the modal call, and plain windows to own them.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "runtime/win/unique_handle.hpp"

namespace lumen::test {

// Waits on its own thread for the first visible dialog window (#32770) of
// this process, at most `limit` and no longer than the driver lives, and hands
// it to `act`, which reads it and presses a button.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act,
                        std::chrono::milliseconds limit = std::chrono::seconds(20));
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;
  ~DialogDriver();

  // Whether a dialog appeared (valid once the modal call has returned).
  [[nodiscard]] bool found() const noexcept { return found_; }

 private:
  std::atomic<bool> found_{false};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// Answers an open-file dialog: types the file into its file name box and
// presses OK, or cancels when the file is empty, again and again until the
// dialog is gone (on a busy machine it may still be setting itself up when
// first found). Gives the first entry of its file type box.
std::string answer_file_dialog(HWND dialog, const std::string& file);

using Window = win::UniqueHandle<win::NullHandleTraits<HWND, &DestroyWindow>>;

// A visible, plain top-level window of the calling thread.
[[nodiscard]] Window plain_window();

}  // namespace lumen::test
