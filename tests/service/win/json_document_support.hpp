#pragma once
// Documents on the platform's script control, for the tests.

#include <string_view>

#include "service/json_document.hpp"
#include "service/win/script_control.hpp"

namespace lumen::test {

[[nodiscard]] inline JsonDocument new_document() { return JsonDocument(start_script_control); }

[[nodiscard]] inline JsonDocument loaded(std::string_view json) {
  JsonDocument document = new_document();
  static_cast<void>(document.Load(json));
  return document;
}

}  // namespace lumen::test
