#include "runtime/runtime_error.hpp"

#include <cstdio>
#include <cstdlib>

namespace lumen {

// Off Windows there is no message box: the report goes to standard error.
void report_runtime_error(int code, std::string_view message) {
  const std::string text = runtime_error_text(code, message);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::exit(-1);
}

}  // namespace lumen
