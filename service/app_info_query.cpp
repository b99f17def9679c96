#include "service/app_info_query.hpp"

#include <array>
#include <charconv>
#include <span>
#include <vector>

#include "http/content_type.hpp"
#include "runtime/convert.hpp"
#include "service/answer_text.hpp"
#include "service/app_query.hpp"
#include "service/json_document.hpp"

namespace lumen {
namespace {

// The record is read in the one engine that holds the answer: a list of any
// length costs one script call, not a document (and so an engine) per
// element. Each field comes out as reading it by its path would give it:
// texts through toString, numbers as the engine's number (texts and truth
// values, whose conversion is the engine's, are asked for one by one).
// Fields are joined with 0x01. Only when a text holds 0x01 itself (the count
// of fields then comes out wrong) is the list asked for again with 0x01 and
// 0x02 inside texts written 0x02 0x03 and 0x02 0x02. Neither byte can be the
// second byte of a double-byte character, so the split needs no character
// walk.
//
// Each element is read by a function written for its fields (see
// row_function): in a script engine that interprets, a loop over field names
// and kinds per element, pushing every field on its own, costs several times
// as much as straight-line code building one text per element, and a list of
// 60,000 versions spent seconds there.
constexpr std::string_view kRecordScript = R"js(function rec__text(v){try{var s=v.toString();return s.indexOf(str_Code)<0?s:s.replace(str_reg,'\\')}catch(e){return ''}}function rec__str(v){if(typeof v=='string'){return v.indexOf(str_Code)<0?v:v.replace(str_reg,'\\')}if(v===null||v===undefined){return ''}return rec__text(v)}function rec__num(v){var t=typeof v;return t=='number'?String(v):(t=='string'||t=='boolean')?'\x05':'0'}function rec__only_num(v){return typeof v=='number'?String(v):''}function rec__esc(f){return f.replace(/\x02/g,'\x02\x02').replace(/\x01/g,'\x02\x03')}function rec__is_list(v){return Object.prototype.toString.call(v)=='[object Array]'}function rec__rows(list,row,esc){var out=[];if(rec__is_list(list)){for(var i=0;i<list.length;i++){out[out.length]=row(list[i],esc)}}return out.join('\x01')}function rec__nested(list,key,row,esc){var out=[];if(rec__is_list(list)){for(var i=0;i<list.length;i++){var o=list[i];if(o!==null&&o!==undefined){var l=o[key];if(rec__is_list(l)){for(var j=0;j<l.length;j++){out[out.length]=row(l[j],esc)}}}}}return out.join('\x01')})js";

// A number field the engine must convert itself.
constexpr std::string_view kAskTheEngine = "\x05";

// Number fields take texts and truth values as the engine converts them;
// NumberOnly fields take a number alone, and anything else (a text like
// "35.2M" included) as no value at all.
enum class Field : char { Text = 't', Number = 'n', NumberOnly = 'o', Count = 'c' };

struct FieldSpec {
  std::string_view name;
  Field kind;
};

// The fields of one list element, in the order of its FieldSpec list.
using Row = std::vector<Text>;

[[nodiscard]] std::vector<Text> split_fields(std::string_view joined, bool escaped) {
  std::vector<Text> fields(1);
  for (std::size_t i = 0; i < joined.size(); ++i) {
    const char c = joined[i];
    if (c == '\x01') {
      fields.emplace_back();
    } else if (escaped && c == '\x02' && i + 1 < joined.size()) {
      fields.back() += joined[++i] == '\x03' ? '\x01' : '\x02';
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// A script function expression (element, escape) giving an element's fields
// joined with 0x01; a missing element gives empty texts and zeros.
[[nodiscard]] Text row_function(std::span<const FieldSpec> specs) {
  Text missing;
  Text joined;
  for (const FieldSpec& spec : specs) {
    const Text value = "o['" + Text(spec.name) + "']";
    const Text field = spec.kind == Field::Text         ? "rec__str(" + value + ")"
                       : spec.kind == Field::Number     ? "rec__num(" + value + ")"
                       : spec.kind == Field::NumberOnly ? "rec__only_num(" + value + ")"
                                                        : "String(get__count(" + value + "))";
    if (!joined.empty()) {
      joined += "+'\\x01'+";
      missing += "\\x01";
    }
    joined += "(esc?rec__esc(" + field + "):" + field + ")";
    missing += spec.kind == Field::Text || spec.kind == Field::NumberOnly ? "" : "0";
  }
  return "function(o,esc){if(o===null||o===undefined){return '" + missing + "'}return " + joined + "}";
}

class RecordReader {
 public:
  // Reads the object at `root` (a path of the answer) in place: copying it
  // into a document of its own would serialise and load it once more.
  RecordReader(const JsonDocument& answer, std::string_view root)
      : data_(answer), root_(root), engine_(answer.ScriptObject()) {
    if (engine_) engine_->add_code(kRecordScript);
  }

  [[nodiscard]] Text text(std::string_view path) const { return data_.GetText(at(path)); }

  // The rows of the list at the path; a value that is not a list has none.
  [[nodiscard]] std::vector<Row> rows(std::string_view path, std::span<const FieldSpec> specs) const {
    const Text list_path = at(path);
    const int count = data_.Count(list_path);
    std::vector<Text> fields =
        fields_of("rec__rows(" + absolute(list_path) + ", " + row_function(specs),
                  static_cast<std::size_t>(count > 0 ? count : 0) * specs.size());
    std::vector<Row> all;
    std::size_t next = 0;
    for (int k = 0; k < count; ++k) {
      all.push_back(take_row(fields, next, specs, list_path + "[" + to_text(k) + "]"));
    }
    return all;
  }

  // The rows of the lists under `key` of every element of the list at the
  // path, one after the other; `counts` gives how many each element holds.
  [[nodiscard]] std::vector<Row> nested_rows(std::string_view path, std::string_view key,
                                             std::span<const FieldSpec> specs, std::span<const int> counts) const {
    const Text list_path = at(path);
    std::size_t rows = 0;
    for (const int count : counts) rows += static_cast<std::size_t>(count);
    std::vector<Text> fields =
        fields_of("rec__nested(" + absolute(list_path) + ", '" + Text(key) + "', " + row_function(specs),
                  rows * specs.size());
    std::vector<Row> all;
    std::size_t next = 0;
    for (std::size_t owner = 0; owner < counts.size(); ++owner) {
      for (int k = 0; k < counts[owner]; ++k) {
        const Text element = Text(list_path) + "[" + to_text(static_cast<std::int32_t>(owner)) + "]." +
                             Text(key) + "[" + to_text(k) + "]";
        all.push_back(take_row(fields, next, specs, element));
      }
    }
    return all;
  }

 private:
  [[nodiscard]] Text at(std::string_view path) const { return root_ + "." + Text(path); }

  [[nodiscard]] Text absolute(std::string_view path) const {
    Text resolved(path);
    (void)data_.ResolvePath(resolved);
    return resolved;
  }

  [[nodiscard]] Text eval_text(std::string_view expression) const {
    return engine_ ? engine_->eval_text(expression) : Text{};
  }

  // The fields a call gives, `call` lacking its last argument (whether to
  // escape) and its closing parenthesis.
  [[nodiscard]] std::vector<Text> fields_of(const Text& call, std::size_t expected) const {
    std::vector<Text> fields = split_fields(eval_text(call + ", false)"), false);
    if (expected == 0 || fields.size() == expected) return fields;
    return split_fields(eval_text(call + ", true)"), true);
  }

  [[nodiscard]] Row take_row(std::vector<Text>& fields, std::size_t& next, std::span<const FieldSpec> specs,
                             const Text& element_path) const {
    Row row;
    for (const FieldSpec& spec : specs) {
      Text field = next < fields.size() ? std::move(fields[next]) : Text{};
      ++next;
      if (spec.kind == Field::Number && field == kAskTheEngine) {
        field = to_text(to_int(data_.GetNumber(element_path + "." + Text(spec.name))));
      }
      row.push_back(std::move(field));
    }
    return row;
  }

  const JsonDocument& data_;
  Text root_;
  std::shared_ptr<ScriptEngine> engine_;
};

[[nodiscard]] std::int32_t integer_at(const JsonDocument& document, std::string_view path) {
  return to_int(document.GetNumber(path));
}

// A number field as the engine gave it.
[[nodiscard]] std::int32_t integer_of(const Text& field) {
  double value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  (void)end;
  return error == std::errc{} ? to_int(value) : 0;
}

// A NumberOnly field as the engine gave it; nothing when it held no number.
[[nodiscard]] std::optional<double> number_of(const Text& field) {
  double value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc{} || end != field.data() + field.size()) return std::nullopt;
  return value;
}

constexpr std::array<FieldSpec, 3> kModelEntryFields = {
    {{"id", Field::Number}, {"name", Field::Text}, {"value", Field::Text}}};
constexpr std::array<FieldSpec, 3> kDownModelFields = {
    {{"model_id", Field::Number}, {"name", Field::Text}, {"value", Field::Count}}};
constexpr std::array<FieldSpec, 8> kVersionFields = {{{"id", Field::Number},
                                                      {"address", Field::Text},
                                                      {"is_now", Field::Number},
                                                      {"version", Field::Text},
                                                      {"is_up", Field::Number},
                                                      {"up_log", Field::Text},
                                                      {"sha256", Field::Text},
                                                      {"size", Field::NumberOnly}}};

[[nodiscard]] std::vector<ModelEntry> model_entries(const RecordReader& reader, std::string_view path) {
  std::vector<ModelEntry> entries;
  for (Row& row : reader.rows(path, kModelEntryFields)) {
    entries.push_back({integer_of(row[0]), std::move(row[1]), std::move(row[2])});
  }
  return entries;
}

[[nodiscard]] std::vector<DownModelInfo> down_models(const RecordReader& reader) {
  std::vector<DownModelInfo> models;
  std::vector<int> version_counts;
  for (Row& row : reader.rows("down_model", kDownModelFields)) {
    DownModelInfo model;
    model.model_id = integer_of(row[0]);
    model.name = std::move(row[1]);
    model.value.clear();
    models.push_back(std::move(model));
    version_counts.push_back(integer_of(row[2]));
  }
  std::vector<Row> versions = reader.nested_rows("down_model", "value", kVersionFields, version_counts);
  std::size_t next = 0;
  for (std::size_t m = 0; m < models.size(); ++m) {
    for (int k = 0; k < version_counts[m]; ++k) {
      Row& row = versions[next++];
      models[m].value.push_back({.id = integer_of(row[0]),
                                 .address = std::move(row[1]),
                                 .is_now = integer_of(row[2]),
                                 .is_up = integer_of(row[4]),
                                 .version = std::move(row[3]),
                                 .up_log = std::move(row[5]),
                                 .sha256 = std::move(row[6]),
                                 .size = number_of(row[7])});
    }
  }
  return models;
}

// The record is the answer's data object.
void read_record(const JsonDocument& answer, AppInfoRecord& info) {
  const RecordReader reader(answer, "['data']");
  info.name = reader.text("name");
  info.tryout_time = reader.text("tryout_time");
  info.tryout_points = reader.text("tryout_points");
  info.icon = reader.text("icon");
  info.unbind_dec_time = reader.text("unbind_dec_time");
  info.unbind_dec_points = reader.text("unbind_dec_points");
  info.unbind_dec_score = reader.text("unbind_dec_score");
  info.down_model = down_models(reader);
  info.agent_app.app_name = reader.text("agent_app.app_name");
  info.agent_app.app_icon = reader.text("agent_app.app_icon");
  info.agent_app.agent_model = model_entries(reader, "agent_app.agent_model");
  info.file_model = model_entries(reader, "file_model");
}

}  // namespace

std::int32_t FetchAppInfo(AppInfoRecord& info, std::string_view base_url, std::int32_t app_id,
                          std::string_view secret_key, std::int32_t agent_id, Text& message,
                          const AppInfoChannels& channels) {
  const Text url = AppInfoQueryUrl(base_url, app_id, secret_key, agent_id);
  const WebResponse response = WebRequest(url, {}, channels.transport);

  JsonDocument answer(channels.engines);
  (void)answer.Load(AnswerText(response.body, ContentTypeOf(response.receivedHeaders.value_or(Text()))));
  message = answer.GetText("content");
  const std::int32_t code = integer_at(answer, "code");
  if (code != 1) return code;

  read_record(answer, info);
  return 1;
}

AppInfoAnswer QueryAppInfo(Text& stamped_id_text, const ServiceEndpoint& service, const AppInfoChannels& channels) {
  const std::int32_t agent_id = AgentIdFromStamp(stamped_id_text);
  AppInfoAnswer answer;
  AppInfoRecord fetched;
  Text message;
  const bool answered =
      FetchAppInfo(fetched, service.base_url, kAppId, service.secret_key, agent_id, message, channels) == 1;
  if (answered && IsInstallableName(fetched.name)) answer.record = std::move(fetched);

  const AppInfoRecord& named = answer.record ? *answer.record : AppInfoRecord{};
  // An address that is refused gives the empty icon, as one that fails does.
  if (IsRequestableAddress(named.agent_app.app_icon)) {
    answer.icon = WebRequest(named.agent_app.app_icon, {}, channels.transport).body;
  }
  return answer;
}

}  // namespace lumen
