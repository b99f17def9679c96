#include "runtime/win/program_end.hpp"

#include <windows.h>

#include <cstdlib>

namespace lumen {

void exit_program(int code) { std::exit(code); }

void end_program_at_once(int code) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  // The call does not return for the process itself; should it fail, the
  // orderly end is the only one left.
  std::exit(code);
}

}  // namespace lumen
