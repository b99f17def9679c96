// Reads its own stamp like the installer and writes it to the file named by
// its argument.

#include <windows.h>

#include "core/win/read_stamped_id.hpp"
#include "runtime/win/files.hpp"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  lumen::ProgramState& state = lumen::program_state();
  lumen::ReadStampedId(state);
  return lumen::write_file(argv[1], lumen::to_buffer(state.StampedIdText)) ? 0 : 1;
}
