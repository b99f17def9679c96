#pragma once
// Typed owners for platform handles. Each kind of handle gets a traits type
// that says which value means "none" and how the handle is released, so a
// handle can neither leak nor be closed with the wrong function.

#include <windows.h>

#include <utility>

namespace lumen::win {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  [[nodiscard]] Handle get() const noexcept { return handle_; }
  [[nodiscard]] explicit operator bool() const noexcept { return handle_ != Traits::none(); }

  [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::none()); }
  void reset(Handle handle = Traits::none()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::none()) Traits::close(old);
  }

 private:
  Handle handle_ = Traits::none();
};

// Handles whose "none" is the null (or zero) value and that one call releases.
template <typename H, auto Release>
struct NullHandleTraits {
  using Handle = H;
  static Handle none() noexcept { return Handle{}; }
  static void close(Handle h) noexcept { Release(h); }
};

// Kernel objects whose failure value is null (processes, threads, events).
using KernelHandle = UniqueHandle<NullHandleTraits<HANDLE, &CloseHandle>>;

// Files and snapshots, whose failure value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle none() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) noexcept { CloseHandle(h); }
};
using FileHandle = UniqueHandle<FileHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle none() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) noexcept { FindClose(h); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

}  // namespace lumen::win
