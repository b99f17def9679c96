#include "service/json_document.hpp"

#include <utility>

#include "runtime/convert.hpp"
#include "service/json_support_script.hpp"

namespace lumen {
namespace {

constexpr std::string_view kVariableName = "da";

// Serialises a value and turns every backslash mark back into a backslash.
[[nodiscard]] Text stringified(std::string_view expression) {
  return "JSON.stringify(" + Text(expression) + ").replace(str_reg, '\\\\')";
}

// A text made safe to stand between single quotes in a script: backslashes
// doubled, quotes escaped, line ends written as escapes. Double-byte aware, so
// a backslash that is the second byte of a character stays as it is.
[[nodiscard]] Text script_string_body(std::string_view value) {
  Text body = replace_text(value, "\\", "\\\\", 1, kAllOccurrences, true);
  body = replace_text(body, "'", "\\'", 1, kAllOccurrences, true);
  body = replace_text(body, "\"", "\\\"", 1, kAllOccurrences, true);
  body = replace_text(body, "\r", "\\r", 1, kAllOccurrences, true);
  return replace_text(body, "\n", "\\n", 1, kAllOccurrences, true);
}

[[nodiscard]] Text quoted_as_is(std::string_view value) {
  Text quoted(1, '\'');
  quoted.append(value);
  quoted += '\'';
  return quoted;
}

[[nodiscard]] Text item(const Text& path, int index) { return path + "[" + to_text(index) + "]"; }

}  // namespace

JsonDocument::JsonDocument(ScriptEngineStarter starter, JsonLimits limits)
    : starter_(std::move(starter)), limits_(limits), variable_(kVariableName) {
  Init();
}

void JsonDocument::Init() {
  engine_ = starter_ ? std::shared_ptr<ScriptEngine>(starter_()) : nullptr;
  if (!engine_) return;
  run(json_support_script());
  eval_bool("var " + variable_ + " = {}, str_Code = String.fromCharCode(9216), str_reg = new RegExp(str_Code, 'g')");
}

bool JsonDocument::Load(std::string_view json) {
  if (!engine_) return false;
  engine_.reset();
  Init();
  eval_bool("var " + variable_ + " = null");
  const std::optional<JsonKind> kind = check_json(json, limits_);
  if (kind && *kind != JsonKind::String) run("var " + variable_ + " = eval(" + Text(json) + ")");
  return eval_bool(variable_ + " != null");
}

bool JsonDocument::Clear() { return eval_bool(variable_ + " = {}"); }

Text JsonDocument::ToText() const { return eval_text(stringified(variable_)); }

bool JsonDocument::ResolvePath(Text& path) const {
  if (text_starts_with(path, variable_) && eval_bool(path + " != null")) return true;
  if (path.empty()) {
    path = variable_;
  } else if (path.front() == '[') {
    path = variable_ + path;
  } else {
    path = variable_ + "." + path;
  }
  return eval_bool(path + " != null");
}

JsonDocument::Resolved JsonDocument::resolve(std::string_view path) const {
  Resolved resolved{Text(path), false};
  resolved.present = ResolvePath(resolved.path);
  return resolved;
}

bool JsonDocument::SetValue(std::string_view path, std::string_view value, bool as_json) {
  const Resolved target = resolve(path);
  if (!as_json) {
    return eval_bool(target.path + " = '" + script_string_body(value) + "'.replace(/\\\\/g, str_Code)");
  }
  const Text json = value.empty() ? Text("{}") : Text(value);
  if (target.present) return eval_bool(target.path + " = get__extend(" + target.path + ", " + json + ")");
  return eval_bool(target.path + " = eval(" + json + ")");
}

bool JsonDocument::SetExpression(std::string_view path, std::string_view expression) {
  return eval_bool(resolve(path).path + " = eval(" + Text(expression) + ")");
}

bool JsonDocument::SetNumber(std::string_view path, double number) {
  return eval_bool(resolve(path).path + " = " + to_text(number));
}

bool JsonDocument::Delete(std::string_view path) { return eval_bool("delete " + resolve(path).path); }

int JsonDocument::TypeOf(std::string_view path) const {
  const Text target = resolve(path).path;
  if (eval_bool(target + " == null")) return kNullOrAbsent;
  const Text kind = eval_text("Object.prototype.toString.call(" + target + ")");
  if (kind == "[object String]") return kString;
  if (kind == "[object Array]") return kArray;
  if (kind == "[object Object]") return kObject;
  if (kind == "[object Number]") return kNumber;
  if (kind == "[object Boolean]") return kBoolean;
  return kOther;
}

Text JsonDocument::GetText(std::string_view path, bool as_json) const {
  const Text target = resolve(path).path;
  if (as_json) return eval_text(stringified(target));
  return eval_text(target + ".toString().replace(str_reg, '\\\\')");
}

double JsonDocument::GetNumber(std::string_view path) const { return eval_number(resolve(path).path); }

Text JsonDocument::GetJson(std::string_view path) const { return eval_text(stringified(resolve(path).path)); }

int JsonDocument::MemberNames(Array<Text>& names, std::string_view path) const {
  names = split_text(eval_text("get__name_All(" + resolve(path).path + ")"), "\r\n");
  return names.count();
}

int JsonDocument::Count(std::string_view path) const {
  return to_int(eval_number("get__count(" + resolve(path).path + ")"));
}

JsonDocument JsonDocument::GetObject(std::string_view path) const {
  return document_from(eval_text(stringified(resolve(path).path)));
}

bool JsonDocument::Push(std::string_view value, std::string_view path, bool as_json) {
  const Text target = resolve(path).path;
  const Text pushed = as_json ? Text(value) : quoted_as_is(value);
  return eval_bool("if (Object.prototype.toString.call(" + target + ") != '[object Array]') { " + target +
                   " = new Array() } " + target + ".push(" + pushed + ")");
}

JsonDocument JsonDocument::GetItemObject(int index, std::string_view path) const {
  return document_from(eval_text(stringified(item(resolve(path).path, index))));
}

Text JsonDocument::GetItemText(int index, std::string_view path, bool as_json) const {
  const Text element = item(resolve(path).path, index);
  if (as_json) return eval_text(stringified(element));
  return eval_text(element + ".replace(str_reg, '\\\\')");
}

bool JsonDocument::SetItem(int index, std::string_view path, std::string_view value, bool as_json) {
  const Text stored = as_json ? Text(value) : quoted_as_is(value);
  return eval_bool(item(resolve(path).path, index) + " = " + stored);
}

bool JsonDocument::RemoveItem(int index, std::string_view path) {
  return eval_bool(resolve(path).path + ".splice(" + to_text(index) + ", 1)");
}

JsonDocument JsonDocument::document_from(const Text& json) const {
  JsonDocument document(starter_, limits_);
  static_cast<void>(document.Load(json));
  return document;
}

void JsonDocument::run(std::string_view statements) const {
  if (engine_) engine_->add_code(statements);
}

bool JsonDocument::eval_bool(std::string_view expression) const { return engine_ && engine_->eval_bool(expression); }

Text JsonDocument::eval_text(std::string_view expression) const {
  return engine_ ? engine_->eval_text(expression) : Text{};
}

double JsonDocument::eval_number(std::string_view expression) const {
  return engine_ ? engine_->eval_number(expression) : 0;
}

}  // namespace lumen
