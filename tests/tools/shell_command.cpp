#include "tests/tools/shell_command.hpp"

#include <sys/wait.h>

#include <cstdlib>

namespace lumen::test {
namespace {

namespace fs = std::filesystem;

[[nodiscard]] std::string taken(const fs::path& file) {
  const ByteBuffer bytes = read_bytes(file);
  fs::remove(file);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

CommandOutcome run_in(const TempFolder& folder, const std::string& command_line) {
  const std::string line =
      "cd '" + folder.path().string() + "' && (" + command_line + ") >command.out 2>command.err";
  const int raw = std::system(line.c_str());
  return {.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
          .out = taken(folder / "command.out"),
          .err = taken(folder / "command.err")};
}

}  // namespace lumen::test
