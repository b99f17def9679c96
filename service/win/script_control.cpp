#include "service/win/script_control.hpp"

#include "runtime/win/automation.hpp"
#include "runtime/win/com.hpp"

namespace lumen {
namespace {

class ScriptControl final : public ScriptEngine {
 public:
  [[nodiscard]] bool create() {
    if (!create_object(control_, "MSScriptControl.ScriptControl")) return false;
    // Without a language every later call fails, which is the neutral result.
    static_cast<void>(object_set(control_, "Language", "JavaScript"));
    return true;
  }

  void add_code(std::string_view statements) override {
    static_cast<void>(object_call_bool(control_, "AddCode", {statements}));
  }
  bool eval_bool(std::string_view expression) override { return object_call_bool(control_, "Eval", {expression}); }
  Text eval_text(std::string_view expression) override { return object_call_text(control_, "Eval", {expression}); }
  double eval_number(std::string_view expression) override {
    return object_call_number(control_, "Eval", {expression});
  }

 private:
  // Declared first: COM stays started until the control has been released.
  win::ComApartment apartment_;
  ObjectRef control_;
};

}  // namespace

std::unique_ptr<ScriptEngine> start_script_control() {
  auto engine = std::make_unique<ScriptControl>();
  if (!engine->create()) return nullptr;
  return engine;
}

}  // namespace lumen
