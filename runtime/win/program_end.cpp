#include "runtime/win/program_end.hpp"

#include <cstdlib>

namespace lumen {

void exit_program(int code) { std::exit(code); }

}  // namespace lumen
