#pragma once
// The platform's script control as the engine of JSON documents:
//   JsonDocument document(start_script_control);

#include <memory>

#include "service/script_engine.hpp"

namespace lumen {

// A "MSScriptControl.ScriptControl" set to "JavaScript", with COM started on
// the calling thread for as long as it lives; nothing when it cannot be made.
// The engine is apartment-threaded: use it on the thread that started it.
[[nodiscard]] std::unique_ptr<ScriptEngine> start_script_control();

}  // namespace lumen
