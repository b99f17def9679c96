#include "tests/support/memory_file_system.hpp"

#include <algorithm>

#include "runtime/folder_path.hpp"

namespace lumen::test {
namespace {

// "C:\a\b\" and "C:\a\b" name the same folder. Paths are walked by
// characters, as the system does: 0x95 0x5C is a character, not a separator.
[[nodiscard]] std::string folder_key(std::string_view path) { return std::string(WithoutTrailingBackslashes(path)); }

[[nodiscard]] std::string parent_of(std::string_view path) { return std::string(ParentFolder(path)); }

// A file opened from the memory file system: reads and writes go to the
// stored bytes, reads are counted, writes count against the space left.
class MemoryFile final : public File {
 public:
  MemoryFile(std::shared_ptr<ByteBuffer> bytes, std::optional<std::int64_t>& space_left, std::int64_t& bytes_read,
             bool writable)
      : bytes_(std::move(bytes)), space_left_(space_left), bytes_read_(bytes_read), writable_(writable) {}

  std::int64_t size() const override { return std::ssize(*bytes_); }
  std::int64_t position() const override { return position_; }
  bool seek(std::int64_t offset) override {
    if (offset < 0) return false;
    position_ = offset;
    return true;
  }
  std::size_t read(std::span<std::uint8_t> into) override {
    if (position_ >= size()) return 0;
    const auto n = std::min<std::size_t>(into.size(), static_cast<std::size_t>(size() - position_));
    std::copy_n(bytes_->begin() + position_, n, into.begin());
    position_ += static_cast<std::int64_t>(n);
    bytes_read_ += static_cast<std::int64_t>(n);
    return n;
  }
  bool write(std::span<const std::uint8_t> bytes) override {
    if (!writable_) return false;
    const std::int64_t end = position_ + std::ssize(bytes);
    const std::int64_t growth = std::max<std::int64_t>(0, end - size());
    if (space_left_ && growth > *space_left_) return false;
    if (space_left_) *space_left_ -= growth;
    if (end > size()) bytes_->resize(static_cast<std::size_t>(end));
    std::copy(bytes.begin(), bytes.end(), bytes_->begin() + position_);
    position_ = end;
    return true;
  }

 private:
  std::shared_ptr<ByteBuffer> bytes_;
  std::optional<std::int64_t>& space_left_;
  std::int64_t& bytes_read_;
  bool writable_;
  std::int64_t position_ = 0;
};

}  // namespace

void MemoryFileSystem::add_folder(std::string_view path) {
  for (std::string folder = folder_key(path); !folder.empty(); folder = parent_of(folder)) folders_.insert(folder);
}

void MemoryFileSystem::put(std::string_view path, ByteBuffer bytes) {
  add_folder(parent_of(path));
  files_[std::string(path)] = {std::make_shared<ByteBuffer>(std::move(bytes))};
}

bool MemoryFileSystem::has(std::string_view path) const { return files_.contains(path); }

ByteBuffer MemoryFileSystem::content(std::string_view path) const {
  const auto found = files_.find(path);
  return found == files_.end() ? ByteBuffer{} : *found->second.bytes;
}

std::set<std::string> MemoryFileSystem::files() const {
  std::set<std::string> paths;
  for (const auto& [path, stored] : files_) paths.insert(path);
  return paths;
}

bool MemoryFileSystem::may_create(std::string_view path) const {
  const std::string folder = parent_of(path);
  return folders_.contains(folder) && !read_only_folders.contains(folder) && !folders_.contains(folder_key(path));
}

FileNumber MemoryFileSystem::open(std::string_view path, OpenMode mode, ShareMode) {
  const bool creates = mode == OpenMode::CreateWrite || mode == OpenMode::OpenOrCreateWrite ||
                       mode == OpenMode::OpenOrCreateReadWrite;
  auto found = files_.find(path);
  if (found == files_.end()) {
    if (!creates || !may_create(path)) return nullptr;
    found = files_.emplace(std::string(path), Stored{std::make_shared<ByteBuffer>()}).first;
  } else if (mode == OpenMode::CreateWrite) {
    if (space_left) *space_left += std::ssize(*found->second.bytes);
    found->second.bytes->clear();
  }
  return std::make_unique<MemoryFile>(found->second.bytes, space_left, bytes_read, mode != OpenMode::Read);
}

std::optional<std::int64_t> MemoryFileSystem::size_of(std::string_view path) {
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return std::ssize(*found->second.bytes);
}

ByteBuffer MemoryFileSystem::read_whole(std::string_view path) {
  ByteBuffer bytes = content(path);
  bytes_read += std::ssize(bytes);
  return bytes;
}

bool MemoryFileSystem::write_whole(std::string_view path, const ByteBuffer& bytes) {
  FileNumber file = open(path, OpenMode::CreateWrite, ShareMode::Exclusive);
  return file && file->write(bytes);
}

bool MemoryFileSystem::move(std::string_view from, std::string_view to) {
  const auto source = files_.find(from);
  if (moves_fail || source == files_.end() || (!files_.contains(to) && !may_create(to))) return false;
  const std::int64_t size = std::ssize(*source->second.bytes);
  if (moves_copy && space_left && size > *space_left) return false;
  Stored moved = source->second;
  files_.erase(source);
  if (const auto target = files_.find(to); target != files_.end() && space_left) {
    *space_left += std::ssize(*target->second.bytes);
  }
  files_[std::string(to)] = std::move(moved);
  return true;
}

bool MemoryFileSystem::remove(std::string_view path) {
  const auto found = files_.find(path);
  if (found == files_.end()) return false;
  if (space_left) *space_left += std::ssize(*found->second.bytes);
  files_.erase(found);
  return true;
}

bool MemoryFileSystem::ensure_folder_path(std::string_view path) {
  for (std::string folder = folder_key(path); !folder.empty(); folder = parent_of(folder)) {
    if (files_.contains(folder)) return false;  // a file stands where a folder would be
  }
  add_folder(path);
  return true;
}

bool MemoryFileSystem::is_existing_folder(std::string_view path) { return folders_.contains(folder_key(path)); }

bool MemoryFileSystem::remove_empty_folder(std::string_view path) {
  const std::string key = folder_key(path);
  if (!folders_.contains(key)) return false;
  const auto holds = [&](std::string_view inner) { return IsInsideFolder(inner, key); };
  if (std::any_of(files_.begin(), files_.end(), [&](const auto& file) { return holds(file.first); })) return false;
  if (std::any_of(folders_.begin(), folders_.end(), holds)) return false;
  folders_.erase(key);
  return true;
}

bool MemoryFileSystem::can_create_files_in(std::string_view folder) {
  const std::string key = folder_key(folder);
  return folders_.contains(key) && !read_only_folders.contains(key);
}

}  // namespace lumen::test
