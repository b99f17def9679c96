#include "runtime/win/files.hpp"

#include <windows.h>

#include <limits>
#include <new>
#include <optional>

#include "runtime/win/unique_handle.hpp"

namespace lumen {
namespace {

using win::FileHandle;

struct OpenRule {
  DWORD access;
  DWORD disposition;
};

[[nodiscard]] std::optional<OpenRule> open_rule(OpenMode mode) noexcept {
  switch (mode) {
    case OpenMode::Read: return OpenRule{GENERIC_READ, OPEN_EXISTING};
    case OpenMode::Write: return OpenRule{GENERIC_WRITE, OPEN_EXISTING};
    case OpenMode::ReadWrite: return OpenRule{GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING};
    case OpenMode::CreateWrite: return OpenRule{GENERIC_WRITE, CREATE_ALWAYS};
    case OpenMode::OpenOrCreateWrite: return OpenRule{GENERIC_WRITE, OPEN_ALWAYS};
    case OpenMode::OpenOrCreateReadWrite: return OpenRule{GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS};
  }
  return std::nullopt;
}

[[nodiscard]] std::optional<DWORD> share_flags(ShareMode share) noexcept {
  switch (share) {
    case ShareMode::DenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    case ShareMode::DenyRead: return FILE_SHARE_WRITE;
    case ShareMode::DenyWrite: return FILE_SHARE_READ;
    case ShareMode::Exclusive: return 0;
  }
  return std::nullopt;
}

class DiskFile final : public File {
 public:
  explicit DiskFile(FileHandle handle) noexcept : handle_(std::move(handle)) {}

  std::int64_t size() const override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(handle_.get(), &size) ? size.QuadPart : 0;
  }

  std::int64_t position() const override {
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    return SetFilePointerEx(handle_.get(), zero, &position, FILE_CURRENT) ? position.QuadPart : 0;
  }

  bool seek(std::int64_t offset) override {
    LARGE_INTEGER target{};
    target.QuadPart = offset;
    return offset >= 0 && SetFilePointerEx(handle_.get(), target, nullptr, FILE_BEGIN);
  }

  std::size_t read(std::span<std::uint8_t> into) override {
    std::size_t total = 0;
    while (total < into.size()) {
      const auto want = static_cast<DWORD>(std::min<std::size_t>(into.size() - total, 1u << 20));
      DWORD got = 0;
      if (!ReadFile(handle_.get(), into.data() + total, want, &got, nullptr) || got == 0) break;
      total += got;
    }
    return total;
  }

  bool write(std::span<const std::uint8_t> bytes) override {
    std::size_t total = 0;
    while (total < bytes.size()) {
      const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - total, 1u << 20));
      DWORD put = 0;
      if (!WriteFile(handle_.get(), bytes.data() + total, want, &put, nullptr) || put == 0) return false;
      total += put;
    }
    return true;
  }

 private:
  FileHandle handle_;
};

[[nodiscard]] FileHandle create_file(std::string_view path, DWORD access, DWORD share, DWORD disposition) {
  const Text zero_terminated(path);
  return FileHandle(CreateFileA(zero_terminated.c_str(), access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

[[nodiscard]] Text module_path() {
  Text path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

FileNumber open_file(std::string_view path, OpenMode mode, ShareMode share) {
  const auto rule = open_rule(mode);
  const auto share_with = share_flags(share);
  if (path.empty() || !rule || !share_with) return nullptr;
  FileHandle handle = create_file(path, rule->access, *share_with, rule->disposition);
  if (!handle) return nullptr;
  return std::make_unique<DiskFile>(std::move(handle));
}

ByteBuffer read_file(std::string_view path) {
  if (path.empty()) return {};
  FileHandle handle = create_file(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (!handle) return {};
  DiskFile file(std::move(handle));
  const std::int64_t size = file.size();
  if (size <= 0 || static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max() / 2) return {};
  ByteBuffer bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return {};
  }
  if (file.read(bytes) != bytes.size()) return {};
  return bytes;
}

bool write_file(std::string_view path, std::span<const ByteBuffer> buffers) {
  if (path.empty()) return false;
  FileHandle handle = create_file(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!handle) return false;
  DiskFile file(std::move(handle));
  for (const ByteBuffer& bytes : buffers) {
    if (!file.write(bytes)) return false;
  }
  return true;
}

bool write_file(std::string_view path, const ByteBuffer& bytes) {
  return write_file(path, std::span<const ByteBuffer>(&bytes, 1));
}

// One rename replaces the target, so that it holds either the whole old or
// the whole new file whenever the program stops. Where no rename reaches
// (another volume), the copy is written under a name of its own beside the
// target and renamed over it only once complete: a full disk or a killed
// process never leaves the target half written.
bool move_file(std::string_view from, std::string_view to) {
  constexpr DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  const Text source(from);
  const Text target(to);
  if (MoveFileExA(source.c_str(), target.c_str(), kReplace)) return true;
  const Text staging = target + ".moving";
  if (!CopyFileA(source.c_str(), staging.c_str(), FALSE) ||
      !MoveFileExA(staging.c_str(), target.c_str(), kReplace)) {
    DeleteFileA(staging.c_str());
    return false;
  }
  DeleteFileA(source.c_str());
  return true;
}

bool delete_file(std::string_view path) {
  const Text zero_terminated(path);
  return DeleteFileA(zero_terminated.c_str()) != 0;
}

bool file_exists(std::string_view path) {
  const Text pattern(path);
  WIN32_FIND_DATAA found{};
  return static_cast<bool>(win::FindHandle(FindFirstFileA(pattern.c_str(), &found)));
}

// The path searched double-byte aware: a backslash can be the second byte of
// a character in a folder name.
Text program_directory() {
  const Text path = module_path();
  const int slash = find_text_last(path, "\\");
  return slash < 1 ? Text{} : text_left(path, slash - 1);
}

Text executable_name() {
  const Text path = module_path();
  const int slash = find_text_last(path, "\\");
  return slash < 1 ? path : path.substr(static_cast<std::size_t>(slash));
}

}  // namespace lumen
