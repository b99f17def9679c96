#pragma once

namespace lumen {

// Runs the program's finalisers (the release of the program state among
// them) and ends the process with the exit code.
[[noreturn]] void exit_program(int code);

// Ends the process with the exit code without running anything more: for
// a process whose other threads may be anywhere, the finalisers included.
[[noreturn]] void end_program_at_once(int code);

}  // namespace lumen
