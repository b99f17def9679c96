#pragma once
// Finding and ending running copies of the application to be installed.

#include <cstdint>
#include <string_view>

#include "core/program_state.hpp"
#include "runtime/array.hpp"

namespace lumen {

using ProcessId = std::uint32_t;

// Ids of all processes whose executable file name equals `executable_name`
// (ASCII letters compared without case). The count, or -1 when no process
// snapshot could be taken.
[[nodiscard]] std::int32_t FindProcessesByName(std::string_view executable_name, Array<ProcessId>& ids);

// Ids of the other processes running AppInfo.name + ".exe" whose program
// lies outside the Windows folder and is not the installer's own file (see
// IsOfferableCopy); the installer's own process is never among them.
// Returns their count.
[[nodiscard]] std::int32_t FindRunningCopies(const ProgramState& state, Array<ProcessId>& ids);

// Ends the process (the installer itself when `other` is false); true when it
// was ended.
[[nodiscard]] bool TerminateProcessById(ProcessId id, bool other);

}  // namespace lumen
