#pragma once
// Array: a one-dimensional list indexed from 1, as the installer's code
// addresses lists. An index outside 1..count is a fatal runtime error.

#include <cstdint>
#include <utility>
#include <vector>

#include "runtime/runtime_error.hpp"

namespace lumen {

template <typename T>
class Array {
 public:
  Array() = default;
  explicit Array(std::vector<T> items) : items_(std::move(items)) {}

  [[nodiscard]] std::int32_t count() const noexcept { return static_cast<std::int32_t>(items_.size()); }
  [[nodiscard]] bool empty() const noexcept { return items_.empty(); }

  [[nodiscard]] T& operator[](std::int64_t index) { return items_[checked(index)]; }
  [[nodiscard]] const T& operator[](std::int64_t index) const { return items_[checked(index)]; }

  void append(T value) { items_.push_back(std::move(value)); }
  void clear() noexcept { items_.clear(); }

  [[nodiscard]] const std::vector<T>& items() const noexcept { return items_; }
  [[nodiscard]] auto begin() const noexcept { return items_.begin(); }
  [[nodiscard]] auto end() const noexcept { return items_.end(); }

 private:
  [[nodiscard]] std::size_t checked(std::int64_t index) const {
    if (index < 1) report_runtime_error(RuntimeError::IndexBelowOne);
    if (index > count()) report_runtime_error(RuntimeError::IndexAboveCount);
    return static_cast<std::size_t>(index - 1);
  }

  std::vector<T> items_;
};

}  // namespace lumen
