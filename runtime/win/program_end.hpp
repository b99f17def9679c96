#pragma once

namespace lumen {

// Runs the program's finalisers (the release of the program state among
// them) and ends the process with the exit code.
[[noreturn]] void exit_program(int code);

}  // namespace lumen
