#pragma once
// The one fatal error of the program: a stop box titled "错误" that begins
// "运行时出错!", then the end of the process with exit code -1.

#include <string>
#include <string_view>

namespace lumen {

enum class RuntimeError {
  IndexAboveCount,  // code 1
  IndexBelowOne,    // code 4
};

// The box text for a code (0: no code line) and a message (empty: no message line).
[[nodiscard]] std::string runtime_error_text(int code, std::string_view message);

// Shows the report, runs the program's finalisers and ends the process with -1.
[[noreturn]] void report_runtime_error(int code, std::string_view message);
[[noreturn]] void report_runtime_error(RuntimeError error);

}  // namespace lumen
