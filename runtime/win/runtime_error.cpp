#include "runtime/runtime_error.hpp"

#include <windows.h>

#include "runtime/message_style.hpp"
#include "runtime/win/program_end.hpp"

namespace lumen {

void report_runtime_error(int code, std::string_view message) {
  const std::string text = runtime_error_text(code, message);
  MessageBoxA(nullptr, text.c_str(), "错误", message_style::kStopIcon);
  exit_program(-1);
}

}  // namespace lumen
