#include "core/win/read_stamped_id.hpp"

#include "core/stamp.hpp"
#include "runtime/win/files.hpp"

namespace lumen {

void ReadStampedId(ProgramState& state) {
  const ByteBuffer own_file = read_file(program_directory() + "\\" + executable_name());
  state.StampedIdText = StampFromFileContent(own_file);
}

}  // namespace lumen
