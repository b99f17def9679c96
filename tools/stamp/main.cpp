// The distributor's stamping tool: writes, replaces and shows the agent id
// at the end of a built installer.

#include <iostream>
#include <string_view>
#include <vector>

#include "tools/stamp/stamp_tool.hpp"
#include "tools/stamp/system_files.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  lumen::stamp::SystemFiles files;
  const int status = lumen::stamp::run_stamp_tool(args, files, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "stamp: cannot write to standard output\n";
    return lumen::stamp::kExitRefused;
  }
  return status;
}
