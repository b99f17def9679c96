#include "core/program_state.hpp"

namespace lumen {

ProgramState& program_state() {
  static ProgramState state;
  return state;
}

}  // namespace lumen
