#pragma once
// Typed named window properties. Widgets keep their state on their windows
// under fixed names; a property descriptor ties each name to the one type its
// value has, so a handle is never read back as a count or a procedure.

#include <windows.h>

#include <bit>
#include <concepts>
#include <cstdint>
#include <type_traits>

namespace lumen::win {

// Values that fit the property's pointer-sized slot unchanged.
template <typename T>
concept PropertyValue = (std::is_pointer_v<T> || std::is_integral_v<T> || std::is_enum_v<T>) &&
                        sizeof(T) <= sizeof(HANDLE);

template <PropertyValue T>
class WindowProperty {
 public:
  explicit constexpr WindowProperty(const char* name) noexcept : name_(name) {}

  [[nodiscard]] constexpr const char* name() const noexcept { return name_; }

  // True when the property is present with a value other than 0 (the
  // platform cannot tell a stored 0 from an absent property).
  [[nodiscard]] bool has(HWND window) const noexcept { return GetPropA(window, name_) != nullptr; }

  // The stored value; 0 (or null) when absent.
  [[nodiscard]] T get(HWND window) const noexcept { return from_slot(GetPropA(window, name_)); }

  [[nodiscard]] bool set(HWND window, T value) const noexcept {
    return SetPropA(window, name_, to_slot(value)) != FALSE;
  }

  // Removes the property and gives the value it had.
  T remove(HWND window) const noexcept { return from_slot(RemovePropA(window, name_)); }

 private:
  static HANDLE to_slot(T value) noexcept {
    if constexpr (std::is_pointer_v<T>) {
      return reinterpret_cast<HANDLE>(value);
    } else if constexpr (std::is_enum_v<T>) {
      return to_slot_integer(static_cast<std::underlying_type_t<T>>(value));
    } else {
      return to_slot_integer(value);
    }
  }
  template <std::integral I>
  static HANDLE to_slot_integer(I value) noexcept {
    return std::bit_cast<HANDLE>(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(value)));
  }
  static T from_slot(HANDLE slot) noexcept {
    if constexpr (std::is_pointer_v<T>) {
      return reinterpret_cast<T>(slot);
    } else {
      const auto raw = static_cast<std::intptr_t>(std::bit_cast<std::uintptr_t>(slot));
      return static_cast<T>(raw);
    }
  }

  const char* name_;
};

}  // namespace lumen::win
