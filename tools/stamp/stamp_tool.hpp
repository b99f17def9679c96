#pragma once
// The stamping tool: one run of the command, from its arguments to its exit
// status, with every message going to the given streams.

#include <ostream>
#include <span>
#include <string_view>

#include "tools/stamp/stamp_files.hpp"

namespace lumen::stamp {

inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// args are the arguments after the program name.
[[nodiscard]] int run_stamp_tool(std::span<const std::string_view> args, StampFiles& files, std::ostream& out,
                                 std::ostream& err);

}  // namespace lumen::stamp
