#include "runtime/win/system_file_system.hpp"

#include <windows.h>
#include <dbghelp.h>
#include <shlwapi.h>

#include "runtime/convert.hpp"
#include "runtime/folder_path.hpp"
#include "runtime/text.hpp"
#include "runtime/win/files.hpp"
#include "runtime/win/unique_handle.hpp"

namespace lumen {

FileNumber SystemFileSystem::open(std::string_view path, OpenMode mode, ShareMode share) {
  return open_file(path, mode, share);
}

// Opened for reading only: a temporary file can be larger than a 32-bit
// process can hold.
std::optional<std::int64_t> SystemFileSystem::size_of(std::string_view path) {
  const FileNumber file = open_file(path, OpenMode::Read);
  if (!file) return std::nullopt;
  return file->size();
}

ByteBuffer SystemFileSystem::read_whole(std::string_view path) { return read_file(path); }

bool SystemFileSystem::write_whole(std::string_view path, const ByteBuffer& bytes) { return write_file(path, bytes); }

bool SystemFileSystem::move(std::string_view from, std::string_view to) { return move_file(from, to); }

bool SystemFileSystem::remove(std::string_view path) { return delete_file(path); }

bool SystemFileSystem::ensure_folder_path(std::string_view path) {
  const Text folder = WithTrailingBackslash(path);
  return MakeSureDirectoryPathExists(folder.c_str()) != FALSE;
}

// The system removes only an empty folder: the check and the removal are one.
bool SystemFileSystem::remove_empty_folder(std::string_view path) {
  const Text folder(path);
  return RemoveDirectoryA(folder.c_str()) != FALSE;
}

bool SystemFileSystem::is_existing_folder(std::string_view path) {
  const Text folder(path);
  return PathIsDirectoryA(folder.c_str()) == FILE_ATTRIBUTE_DIRECTORY;
}

// A new file of a name nobody uses, gone again when its handle closes. (The
// system's temporary-name call is no test: some systems report a name even
// when the file could not be created.)
bool SystemFileSystem::can_create_files_in(std::string_view folder) {
  const Text stem = WithTrailingBackslash(folder) + "~lumen-probe-" + to_text(std::int64_t{GetCurrentProcessId()});
  for (std::int32_t attempt = 0; attempt < 100; ++attempt) {
    const Text probe = stem + "-" + to_text(attempt) + ".tmp";
    const win::FileHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

}  // namespace lumen
