#pragma once
// A JSON value held in a script engine's global variable and read or changed
// by script-style paths (a.b[2].c). Every operation is a short script handed
// to the engine; a failed one gives false, the empty text, 0 or an empty
// list, never an error.
//
// Windows headers define GetObject as a macro; include this header after
// them, so the member keeps its name in every file.

#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/array.hpp"
#include "runtime/text.hpp"
#include "service/json_validator.hpp"
#include "service/script_engine.hpp"

#ifdef GetObject
#undef GetObject
#endif

namespace lumen {

class JsonDocument {
 public:
  // Type codes of TypeOf. There is no code 3.
  enum TypeCode : int {
    kNullOrAbsent = 0,
    kBoolean = 1,
    kNumber = 2,
    kObject = 4,
    kArray = 5,
    kString = 6,
    kOther = -1,
  };

  // A document holding an empty object in a fresh engine from `starter`.
  explicit JsonDocument(ScriptEngineStarter starter, JsonLimits limits = {});

  // The copy shares the engine, and so the value, until either is loaded again.
  JsonDocument(const JsonDocument&) = default;
  JsonDocument& operator=(const JsonDocument&) = default;
  JsonDocument(JsonDocument&&) noexcept = default;
  JsonDocument& operator=(JsonDocument&&) noexcept = default;
  ~JsonDocument() = default;

  [[nodiscard]] JsonDocument Copy() const { return *this; }

  // Replaces the document with the JSON text in a fresh engine; true when its
  // value is not null. Only well-formed JSON within the limits whose value is
  // not a bare string reaches the engine (the engine would run a string's
  // content as script); anything else leaves null.
  [[nodiscard]] bool Load(std::string_view json);
  bool Clear();
  [[nodiscard]] Text ToText() const;

  // Empty path: the root. A path that starts with the variable's name and
  // names a present value is absolute; any other is relative to the root.
  // Turns the path into its absolute form; true when a value is present there.
  bool ResolvePath(Text& path) const;

  // As text the value is stored as a string; as JSON it is evaluated (an
  // empty value is an empty object) and merged into a value already present.
  bool SetValue(std::string_view path, std::string_view value, bool as_json = false);
  bool SetExpression(std::string_view path, std::string_view expression);
  bool SetNumber(std::string_view path, double number);
  bool Delete(std::string_view path);

  [[nodiscard]] int TypeOf(std::string_view path = {}) const;
  [[nodiscard]] Text GetText(std::string_view path = {}, bool as_json = false) const;
  [[nodiscard]] double GetNumber(std::string_view path = {}) const;
  [[nodiscard]] Text GetJson(std::string_view path = {}) const;
  // Replaces `names` with the member names of the object at the path.
  int MemberNames(Array<Text>& names, std::string_view path = {}) const;
  // An array's length, else 0.
  [[nodiscard]] int Count(std::string_view path = {}) const;
  // A new document (with its own engine) holding a copy of the value.
  [[nodiscard]] JsonDocument GetObject(std::string_view path = {}) const;

  // Setters give the engine's result taken as a truth value, which says
  // little; callers need not look at it.
  //
  // Arrays. A text value is spliced in quotes exactly as given; Push first
  // turns a value that is not an array into an empty array.
  bool Push(std::string_view value, std::string_view path = {}, bool as_json = false);
  [[nodiscard]] JsonDocument GetItemObject(int index, std::string_view path = {}) const;
  [[nodiscard]] Text GetItemText(int index, std::string_view path = {}, bool as_json = false) const;
  bool SetItem(int index, std::string_view path, std::string_view value, bool as_json = false);
  bool RemoveItem(int index, std::string_view path = {});

  // A further reference to the engine (nothing when it could not be started).
  [[nodiscard]] std::shared_ptr<ScriptEngine> ScriptObject() const { return engine_; }

 private:
  struct Resolved {
    Text path;
    bool present;
  };

  void Init();
  [[nodiscard]] Resolved resolve(std::string_view path) const;
  [[nodiscard]] JsonDocument document_from(const Text& json) const;

  void run(std::string_view statements) const;
  bool eval_bool(std::string_view expression) const;
  [[nodiscard]] Text eval_text(std::string_view expression) const;
  [[nodiscard]] double eval_number(std::string_view expression) const;

  ScriptEngineStarter starter_;
  JsonLimits limits_;
  Text variable_;
  std::shared_ptr<ScriptEngine> engine_;
};

}  // namespace lumen
