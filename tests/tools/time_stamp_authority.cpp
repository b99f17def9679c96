#include "tests/tools/time_stamp_authority.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>

extern char** environ;

namespace lumen::test {
namespace {

namespace fs = std::filesystem;

// The first line a program writes to the pipe, without its line feed.
[[nodiscard]] std::string first_line(int fd) {
  std::string line;
  char c = 0;
  while (::read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

}  // namespace

TimeStampAuthority::TimeStampAuthority(const fs::path& certificates) {
  for (const char* name : {"tsa.pem", "tsa.key"}) fs::copy_file(certificates / name, folder_ / name);
  std::array<int, 2> out{};
  if (::pipe(out.data()) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string program = "python3";
  std::string script = LUMEN_TIME_STAMP_AUTHORITY;
  std::string folder = folder_.path().string();
  std::array<char*, 4> argv = {program.data(), script.data(), folder.data(), nullptr};
  if (posix_spawnp(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  const std::string port = pid_ > 0 ? first_line(out[0]) : "";
  ::close(out[0]);
  if (!port.empty()) url_ = "http://127.0.0.1:" + port;
}

TimeStampAuthority::~TimeStampAuthority() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace lumen::test
