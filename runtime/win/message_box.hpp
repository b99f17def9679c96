#pragma once
// The standard message box and the codes of its answers.

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace lumen {

// The button that closed the box. The values are the runtime's answer codes,
// not the Win32 IDOK... values.
enum class MessageBoxAnswer : int {
  Ok = 0,
  Cancel = 1,
  Abort = 2,
  Retry = 3,
  Ignore = 4,
  Yes = 5,
  No = 6,
};

// Shows the box with a style made of runtime/message_style.hpp's values, task-modal unless the style asks for
// system-modal, owned by `owner` when one is given. When no box can be shown
// the answer is the one that declines (No, Cancel or Abort; OK for a box that
// offers nothing else), so a failure never passes for consent.
[[nodiscard]] MessageBoxAnswer message_box(std::string_view text, std::uint32_t style = 0,
                                           std::string_view title = "信息：", HWND owner = nullptr);

}  // namespace lumen
