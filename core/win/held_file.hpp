#pragma once
// A file held open for reading, so that its bytes stay as they were judged
// until it has been moved into place.

#include <windows.h>

#include <memory>
#include <string_view>

#include "http/placement_gate.hpp"
#include "runtime/win/unique_handle.hpp"

namespace lumen {

class ReadOnlyHold final : public HeldFile {
 public:
  // Nothing when the file is missing, or already open for writing: a writer
  // that came first could change the bytes after they were judged.
  [[nodiscard]] static std::unique_ptr<ReadOnlyHold> Open(std::string_view path);

  // The open file, for reading what is judged.
  [[nodiscard]] HANDLE handle() const noexcept { return file_.get(); }

 private:
  explicit ReadOnlyHold(win::FileHandle file) noexcept : file_(std::move(file)) {}

  win::FileHandle file_;
};

}  // namespace lumen
