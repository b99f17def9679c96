#pragma once
// What a JSON document needs of a script engine: statements run in the
// global scope, and expressions evaluated to a truth value, a text or a
// number. A script error is never reported as such: evaluation then gives
// false, the empty text or 0.

#include <functional>
#include <memory>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

class ScriptEngine {
 public:
  ScriptEngine() = default;
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;
  virtual ~ScriptEngine() = default;

  // Errors in the statements show only in what later evaluations give.
  virtual void add_code(std::string_view statements) = 0;
  [[nodiscard]] virtual bool eval_bool(std::string_view expression) = 0;
  [[nodiscard]] virtual Text eval_text(std::string_view expression) = 0;
  [[nodiscard]] virtual double eval_number(std::string_view expression) = 0;
};

// Starts a fresh engine with nothing defined, or gives nothing when no engine
// can be had.
using ScriptEngineStarter = std::function<std::unique_ptr<ScriptEngine>()>;

}  // namespace lumen
