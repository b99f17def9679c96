#pragma once
// Ownership of COM: the apartment of the calling thread and counted
// references to COM objects.

#include <objbase.h>
#include <windows.h>

#include <utility>

namespace lumen::win {

// CoInitialize on construction and, when that succeeded, CoUninitialize on
// destruction: every initialisation is balanced on the same thread.
class ComApartment {
 public:
  ComApartment() noexcept : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }

 private:
  bool initialised_;
};

// One counted reference to a COM object; copying adds a reference.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(T* adopted) noexcept : pointer_(adopted) {}
  ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  [[nodiscard]] T* get() const noexcept { return pointer_; }
  [[nodiscard]] T* operator->() const noexcept { return pointer_; }
  [[nodiscard]] explicit operator bool() const noexcept { return pointer_ != nullptr; }

  // Releases the current reference and gives the slot for an out-parameter.
  [[nodiscard]] T** put() noexcept {
    reset();
    return &pointer_;
  }
  [[nodiscard]] void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  void reset() noexcept {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }

  // Another interface of the same object, or an empty pointer.
  template <typename U>
  [[nodiscard]] ComPtr<U> query() const noexcept {
    ComPtr<U> other;
    if (pointer_) pointer_->QueryInterface(__uuidof(U), other.put_void());
    return other;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace lumen::win
