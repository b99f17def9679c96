// How JSON documents fare with large and deep texts under the script control.
// Loading is set against the peer that does no checking (the engine's own
// evaluation of the same text), so the ratio shows what the check and the
// conversions cost; serialising and reading show whether large documents stay
// usable. Run under Wine: scripts/wine-run build/win build/win/bin/json_document_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "runtime/convert.hpp"
#include "service/json_document.hpp"
#include "service/win/script_control.hpp"

namespace lumen {
namespace {

// An answer-like array of records, about `bytes` long.
[[nodiscard]] std::string records(std::size_t bytes) {
  std::string text = "[";
  for (int id = 0; text.size() < bytes; ++id) {
    text += R"({"id":)" + to_text(id) + R"(,"name":"星光记事本 \"版本\"","address":"http://h/files/a.exe","is_now":1},)";
  }
  text += "null]";
  return text;
}

[[nodiscard]] std::string nested(int depth) {
  return std::string(static_cast<std::size_t>(depth), '[') + std::string(static_cast<std::size_t>(depth), ']');
}

template <typename Step>
[[nodiscard]] DWORD milliseconds(Step step) {
  const DWORD start = GetTickCount();
  step();
  return GetTickCount() - start;
}

void measure_size(std::size_t bytes) {
  const std::string text = records(bytes);
  const auto peer = start_script_control();
  const DWORD raw = milliseconds([&] { peer->add_code("var da = eval(" + text + ")"); });
  JsonDocument document(start_script_control, JsonLimits{.max_bytes = 64u << 20});
  bool loaded = false;
  const DWORD load = milliseconds([&] { loaded = document.Load(text); });
  std::size_t serialised = 0;
  const DWORD to_text = milliseconds([&] { serialised = document.ToText().size(); });
  int count = 0;
  const DWORD read = milliseconds([&] { count = document.Count(); });
  std::printf("%8zu bytes: load %s %5lu ms, engine alone %5lu ms, ratio %.2f; ToText %5lu ms (%zu bytes); Count %lu ms (%d)\n",
              text.size(), loaded ? "ok" : "FAILED", load, raw, raw != 0 ? double(load) / double(raw) : 0.0, to_text,
              serialised, read, count);
}

void measure_depth(int depth) {
  JsonDocument document(start_script_control, JsonLimits{.max_depth = 1 << 20});
  bool loaded = false;
  const DWORD load = milliseconds([&] { loaded = document.Load(nested(depth)); });
  std::size_t serialised = 0;
  const DWORD to_text = milliseconds([&] { serialised = document.ToText().size(); });
  std::printf("depth %6d: load %s %lu ms; ToText %lu ms (%zu bytes, %s)\n", depth, loaded ? "ok" : "refused",
              load, to_text, serialised, serialised == nested(depth).size() ? "whole" : "not whole");
}

}  // namespace
}  // namespace lumen

int main() {
  for (std::size_t megabytes : {1u, 4u, 8u, 16u}) lumen::measure_size(megabytes << 20);
  for (int depth : {128, 1000, 3000, 10000}) lumen::measure_depth(depth);
  return 0;
}
