#pragma once
// Files on disk and the program's own location.

#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "runtime/file.hpp"
#include "runtime/text.hpp"

namespace lumen {

// Nothing for a mode or share value outside the enumerations.
[[nodiscard]] FileNumber open_file(std::string_view path, OpenMode mode = OpenMode::ReadWrite,
                                   ShareMode share = ShareMode::DenyNone);

// The whole file, read while other writers are denied; empty on any failure,
// also when the file is too large to hold in memory.
[[nodiscard]] ByteBuffer read_file(std::string_view path);

// Creates or truncates the file, opened for exclusive writing, and writes the
// buffers in order.
[[nodiscard]] bool write_file(std::string_view path, std::span<const ByteBuffer> buffers);
[[nodiscard]] bool write_file(std::string_view path, const ByteBuffer& bytes);

// Moves the file over any file at `to` in one rename; when no rename
// reaches, copies it beside the target under a name of its own, renames the
// copy over the target and deletes the source. On failure the target is as
// it was.
[[nodiscard]] bool move_file(std::string_view from, std::string_view to);
[[nodiscard]] bool delete_file(std::string_view path);
// True when a file or folder matches (wildcards allowed).
[[nodiscard]] bool file_exists(std::string_view path);

// The running executable's folder without the trailing backslash ("C:" for
// the root of drive C), and its file name.
[[nodiscard]] Text program_directory();
[[nodiscard]] Text executable_name();

}  // namespace lumen
