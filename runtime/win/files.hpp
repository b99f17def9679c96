#pragma once
// Files on disk and the program's own location.

#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "runtime/file.hpp"
#include "runtime/text.hpp"

namespace lumen {

// Open modes: 1 read an existing file; 2 write an existing file; 3 read and
// write an existing file; 4 create or truncate, write; 5 open or create
// without truncating, write; 6 open or create without truncating, read and
// write. Share: 1 deny none; 2 deny reading; 3 deny writing; 4 exclusive.
[[nodiscard]] FileNumber open_file(std::string_view path, int mode = 3, int share = 1);

// The whole file, read while other writers are denied; empty on any failure,
// also when the file is too large to hold in memory.
[[nodiscard]] ByteBuffer read_file(std::string_view path);

// Creates or truncates the file, opened for exclusive writing, and writes the
// buffers in order.
[[nodiscard]] bool write_file(std::string_view path, std::span<const ByteBuffer> buffers);
[[nodiscard]] bool write_file(std::string_view path, const ByteBuffer& bytes);

// Moves the file; when that fails, copies it (overwriting) and deletes the source.
[[nodiscard]] bool move_file(std::string_view from, std::string_view to);
[[nodiscard]] bool delete_file(std::string_view path);
// True when a file or folder matches (wildcards allowed).
[[nodiscard]] bool file_exists(std::string_view path);

// The running executable's folder without the trailing backslash ("C:" for
// the root of drive C), and its file name.
[[nodiscard]] Text program_directory();
[[nodiscard]] Text executable_name();

}  // namespace lumen
