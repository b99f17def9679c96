#pragma once

#include "core/program_state.hpp"

namespace lumen {

// Sets StampedIdText from the installer's own file; an unreadable file gives
// the empty text.
void ReadStampedId(ProgramState& state);

}  // namespace lumen
