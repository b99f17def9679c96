#pragma once
// Command lines run by the shell inside a test's folder, as a person types
// them there, with what they print captured.

#include <string>

#include "tests/tools/temp_folder.hpp"

namespace lumen::test {

struct CommandOutcome {
  int status = -1;  // the exit status, or -1 for a command that did not exit
  std::string out;
  std::string err;
};

// Runs a command line (commands joined with && included) in the folder.
[[nodiscard]] CommandOutcome run_in(const TempFolder& folder, const std::string& command_line);

}  // namespace lumen::test
