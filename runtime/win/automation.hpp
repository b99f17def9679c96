#pragma once
// COM automation objects driven by name (late binding through IDispatch).
// Every operation reports failure through its result: false, the empty text,
// 0 or an empty object. COM must be started on the calling thread (a
// win::ComApartment) for as long as objects are held.

#include <windows.h>
// After windows.h, whose types it uses.
#include <oaidl.h>

#include <cstdint>
#include <concepts>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <variant>

#include "runtime/text.hpp"
#include "runtime/win/com.hpp"

namespace lumen {

// A variable holding nothing or one reference to an automation object.
// Copying holds a further reference to the same object.
class ObjectRef {
 public:
  ObjectRef() noexcept = default;
  explicit ObjectRef(win::ComPtr<IDispatch> object) noexcept : object_(std::move(object)) {}

  [[nodiscard]] IDispatch* get() const noexcept { return object_.get(); }

 private:
  win::ComPtr<IDispatch> object_;
};

// One argument of a call or the value of a property: a text, a 32-bit
// integer, a double or a boolean.
class AutomationValue {
 public:
  AutomationValue(std::string_view text) : value_(text) {}
  AutomationValue(const char* text) : value_(std::string_view(text)) {}
  AutomationValue(const Text& text) : value_(std::string_view(text)) {}
  AutomationValue(std::int32_t number) noexcept : value_(number) {}
  AutomationValue(double number) noexcept : value_(number) {}
  // A template so that pointers and other numbers never turn into a boolean.
  template <typename T>
    requires std::same_as<T, bool>
  AutomationValue(T flag) noexcept : value_(flag) {}

  using Value = std::variant<std::string_view, std::int32_t, double, bool>;
  [[nodiscard]] const Value& value() const noexcept { return value_; }

 private:
  Value value_;
};

using AutomationArguments = std::initializer_list<AutomationValue>;

// Creates the object named by a ProgID or a "{CLSID}" text. With a type
// library file (and a name that is not a CLSID), the class of that name in the
// library is tried first; a file given with a folder is also registered. On
// success the object replaces the variable's previous one; on failure the
// variable is unchanged.
[[nodiscard]] bool create_object(ObjectRef& object, std::string_view name, std::string_view type_library = {});

// Property put; true on success.
[[nodiscard]] bool object_set(const ObjectRef& object, std::string_view property, const AutomationValue& value);

// Invokes a method (or reads a property of that name) and converts its result.
[[nodiscard]] Text object_call_text(const ObjectRef& object, std::string_view method,
                                    AutomationArguments arguments = {});
[[nodiscard]] double object_call_number(const ObjectRef& object, std::string_view method,
                                        AutomationArguments arguments = {});
[[nodiscard]] bool object_call_bool(const ObjectRef& object, std::string_view method,
                                    AutomationArguments arguments = {});
[[nodiscard]] ObjectRef object_call_object(const ObjectRef& object, std::string_view method,
                                           AutomationArguments arguments = {});

void object_assign(ObjectRef& target, const ObjectRef& source) noexcept;
void object_release(ObjectRef& object) noexcept;
[[nodiscard]] bool object_is_empty(const ObjectRef& object) noexcept;

}  // namespace lumen
