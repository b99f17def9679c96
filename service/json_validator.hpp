#pragma once
// A strict check of JSON text (RFC 8259) in code page 936, made before any
// text from outside reaches a script engine: what passes is plain data, and
// small and shallow enough for the engine to take in without trouble.

#include <cstddef>
#include <optional>
#include <string_view>

namespace lumen {

struct JsonLimits {
  // A service answer is a few kilobytes. Under the script control a megabyte
  // loads in about 0.1 s; the app-info record is then read in that same
  // engine, a list with one script call, never a document (an engine, a
  // serialisation and a load) per element. Within this limit the elements
  // are what costs time (see max_array_elements); a larger answer would hold
  // up the start-up for no real answer's sake.
  std::size_t max_bytes = 1u << 20;
  // Objects and arrays open at once. Real answers nest six deep; the engine's
  // parser and the serialiser recurse per level, and the serialiser's cycle
  // check costs time per level too.
  int max_depth = 128;
  // Array elements in the whole answer, however many arrays hold them. Real
  // answers list a few versions; reading a list costs the engine time per
  // element (about 25 us per version here), and a megabyte of tiny elements
  // would hold several hundred thousand. 65,536 keeps every accepted answer
  // decided within a couple of seconds while leaving room for lists far
  // longer than any service sends. Object members are not counted: the
  // record reads the fields it knows by name, whatever else an element holds.
  std::size_t max_array_elements = 65'536;
};

enum class JsonKind { Object, Array, String, Number, Literal };

// The kind of the single value the text holds when it is well-formed JSON
// within the limits, or nothing. Inside strings a byte from 0x81 to 0xFE must
// start a valid double-byte character and 0xFF never occurs; outside strings
// only ASCII is allowed.
[[nodiscard]] std::optional<JsonKind> check_json(std::string_view text, const JsonLimits& limits = {});

}  // namespace lumen
