#include "tools/stamp/system_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

namespace lumen::stamp {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kLargestInput = std::uint64_t{1} << 32;

[[nodiscard]] Error system_error(const std::string& what, int error_number) {
  return Error{what + ": " + std::strerror(error_number)};
}

// An open file descriptor, closed when it goes.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&&) = delete;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }

  [[nodiscard]] int get() const noexcept { return fd_; }
  [[nodiscard]] explicit operator bool() const noexcept { return fd_ >= 0; }
  // Closes now, reporting what close reports (a late write error, on some
  // file systems).
  [[nodiscard]] bool close() noexcept { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// A temporary file beside the target, removed unless it was renamed into place.
class TemporaryFile {
 public:
  TemporaryFile(std::string path, UniqueFd fd) noexcept : path_(std::move(path)), fd_(std::move(fd)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!renamed_) ::unlink(path_.c_str());
  }

  [[nodiscard]] const UniqueFd& fd() const noexcept { return fd_; }
  [[nodiscard]] bool close() noexcept { return fd_.close(); }
  [[nodiscard]] bool rename_to(const fs::path& target) noexcept {
    renamed_ = ::rename(path_.c_str(), target.c_str()) == 0;
    return renamed_;
  }

 private:
  std::string path_;
  UniqueFd fd_;
  bool renamed_ = false;
};

[[nodiscard]] Result<std::unique_ptr<TemporaryFile>> create_beside(const fs::path& target) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // A hidden name, so that a folder listing never shows a half-written copy.
  std::string name(".");
  name += target.filename().string();
  name += ".stamp-XXXXXX";
  std::string pattern = (folder / name).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    return system_error("cannot write " + target.string() + " (no temporary file in " + folder.string() + ")", errno);
  }
  return std::make_unique<TemporaryFile>(std::move(pattern), UniqueFd(fd));
}

[[nodiscard]] bool write_all(int fd, std::span<const std::uint8_t> bytes) noexcept {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

[[nodiscard]] bool read_all(int fd, std::span<std::uint8_t> into) noexcept {
  while (!into.empty()) {
    const ssize_t n = ::read(fd, into.data(), into.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;  // the file shrank while being read
      return false;
    }
    into = into.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

Result<FileContent> SystemFiles::read(const fs::path& file) {
  const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return system_error("cannot open " + file.string(), errno);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return system_error("cannot read " + file.string(), errno);
  if (!S_ISREG(info.st_mode)) return Error{file.string() + " is not a regular file"};
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > kLargestInput) return Error{file.string() + " is larger than 4 GiB"};

  FileContent content{.bytes = ByteBuffer(static_cast<std::size_t>(size)),
                      .permissions = static_cast<fs::perms>(info.st_mode) & fs::perms::mask};
  if (!read_all(fd.get(), content.bytes)) return system_error("cannot read " + file.string(), errno);
  return content;
}

bool SystemFiles::same_file(const fs::path& a, const fs::path& b) {
  std::error_code ignored;
  return fs::equivalent(a, b, ignored);
}

Status SystemFiles::make_folder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return Error{"cannot create folder " + folder.string() + ": " + error.message()};
  return Done{};
}

Status SystemFiles::replace(const fs::path& target, std::span<const std::uint8_t> content, fs::perms permissions) {
  Result<std::unique_ptr<TemporaryFile>> created = create_beside(target);
  if (!created.ok()) return Error{created.error()};
  TemporaryFile& temporary = *created.value();
  const int fd = temporary.fd().get();
  const std::string failed = "cannot write " + target.string();
  if (::fchmod(fd, static_cast<mode_t>(permissions)) != 0) return system_error(failed, errno);
  if (!write_all(fd, content)) return system_error(failed, errno);
  // On disk before the rename, so a crash cannot leave an empty target.
  if (::fsync(fd) != 0) return system_error(failed, errno);
  if (!temporary.close()) return system_error(failed, errno);
  if (!temporary.rename_to(target)) return system_error(failed, errno);
  return Done{};
}

}  // namespace lumen::stamp
