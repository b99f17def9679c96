#pragma once
// The first bytes of a file, for the small things read back from the disk
// (a partial file's record, a program's headers) without ever holding more
// than a bound of them, however large the file has grown.

#include <cstddef>

#include "runtime/byte_buffer.hpp"
#include "runtime/file.hpp"

namespace lumen {

// Up to `limit` bytes from the file's start; fewer only when the file ends
// first or a read fails.
[[nodiscard]] ByteBuffer ReadFileHead(File& file, std::size_t limit);

}  // namespace lumen
