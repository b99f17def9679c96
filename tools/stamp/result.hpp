#pragma once
// The outcome of a stamping step: a value, or the reason it was refused, in
// words a distributor can act on.

#include <string>
#include <utility>
#include <variant>

namespace lumen::stamp {

struct Error {
  std::string message;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Error error) : state_(std::move(error)) {}

  [[nodiscard]] bool ok() const noexcept { return std::holds_alternative<T>(state_); }
  [[nodiscard]] const T& value() const& { return std::get<T>(state_); }
  [[nodiscard]] T&& value() && { return std::get<T>(std::move(state_)); }
  [[nodiscard]] const std::string& error() const& { return std::get<Error>(state_).message; }

 private:
  std::variant<T, Error> state_;
};

struct Done {};
using Status = Result<Done>;

}  // namespace lumen::stamp
