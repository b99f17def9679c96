#include "service/app_info_query.hpp"

#include <array>
#include <charconv>
#include <span>
#include <vector>

#include "http/network_limits.hpp"
#include "runtime/convert.hpp"
#include "service/app_query.hpp"
#include "service/json_document.hpp"

namespace lumen {
namespace {

// The record is read in the one engine that holds the answer: a list of any
// length costs one script call per field kind, not a document (and so an
// engine) per element. Each field comes out as reading it by its path
// would give it: texts through toString, numbers as the engine's number
// (texts and truth values, whose conversion is the engine's, are asked for
// one by one). Fields are joined with 0x01; 0x01 and 0x02 inside a text are
// written 0x02 0x03 and 0x02 0x02. Neither byte can be the second byte of a
// double-byte character, so the split below needs no character walk.
constexpr std::string_view kRecordScript = R"js(function rec__field(o,k,n){var v;try{v=o[k]}catch(e){return n?'0':''}if(n){if(typeof v=='number'){return String(v)}if(typeof v=='string'||typeof v=='boolean'){return '\x05'}return '0'}if(n===false){try{return v.toString().replace(str_reg,'\\')}catch(e){return ''}}return String(get__count(v))}function rec__push(out,list,names,kinds){if(Object.prototype.toString.call(list)!='[object Array]'){return}for(var i=0;i<list.length;i++){for(var j=0;j<names.length;j++){var k=kinds.charAt(j);out.push(rec__field(list[i],names[j],k=='c'?null:k=='n').replace(/\x02/g,'\x02\x02').replace(/\x01/g,'\x02\x03'))}}}function rec__rows(list,names,kinds){var out=[];rec__push(out,list,names,kinds);return out.join('\x01')}function rec__nested(list,key,names,kinds){var out=[];if(Object.prototype.toString.call(list)=='[object Array]'){for(var i=0;i<list.length;i++){try{rec__push(out,list[i][key],names,kinds)}catch(e){}}}return out.join('\x01')})js";

// A number field the engine must convert itself.
constexpr std::string_view kAskTheEngine = "\x05";

enum class Field : char { Text = 't', Number = 'n', Count = 'c' };

struct FieldSpec {
  std::string_view name;
  Field kind;
};

// The fields of one list element, in the order of its FieldSpec list.
using Row = std::vector<Text>;

[[nodiscard]] std::vector<Text> split_fields(std::string_view joined) {
  std::vector<Text> fields(1);
  for (std::size_t i = 0; i < joined.size(); ++i) {
    const char c = joined[i];
    if (c == '\x01') {
      fields.emplace_back();
    } else if (c == '\x02' && i + 1 < joined.size()) {
      fields.back() += joined[++i] == '\x03' ? '\x01' : '\x02';
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

[[nodiscard]] Text script_array(std::span<const FieldSpec> specs) {
  Text names = "[";
  for (const FieldSpec& spec : specs) names += (names.size() > 1 ? ",'" : "'") + Text(spec.name) + "'";
  return names + "]";
}

[[nodiscard]] Text script_kinds(std::span<const FieldSpec> specs) {
  Text kinds = "'";
  for (const FieldSpec& spec : specs) kinds += static_cast<char>(spec.kind);
  return kinds + "'";
}

class RecordReader {
 public:
  // `data` holds the answer's data object.
  explicit RecordReader(const JsonDocument& data) : data_(data), engine_(data.ScriptObject()) {
    if (engine_) engine_->add_code(kRecordScript);
  }

  [[nodiscard]] Text text(std::string_view path) const { return data_.GetText(path); }

  // The rows of the list at the path; a value that is not a list has none.
  [[nodiscard]] std::vector<Row> rows(std::string_view list_path, std::span<const FieldSpec> specs) const {
    return rows_of(list_path, "rec__rows(" + absolute(list_path) + ", " + script_array(specs) + ", " +
                                  script_kinds(specs) + ")", specs);
  }

  // The rows of the lists under `key` of every element of the list at the
  // path, one after the other; `counts` gives how many each element holds.
  [[nodiscard]] std::vector<Row> nested_rows(std::string_view list_path, std::string_view key,
                                             std::span<const FieldSpec> specs, std::span<const int> counts) const {
    const Text joined = eval_text("rec__nested(" + absolute(list_path) + ", '" + Text(key) + "', " +
                                  script_array(specs) + ", " + script_kinds(specs) + ")");
    std::vector<Text> fields = split_fields(joined);
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
  [[nodiscard]] Text absolute(std::string_view path) const {
    Text resolved(path);
    (void)data_.ResolvePath(resolved);
    return resolved;
  }

  [[nodiscard]] Text eval_text(std::string_view expression) const {
    return engine_ ? engine_->eval_text(expression) : Text{};
  }

  [[nodiscard]] std::vector<Row> rows_of(std::string_view list_path, std::string_view expression,
                                         std::span<const FieldSpec> specs) const {
    const int count = data_.Count(list_path);
    std::vector<Text> fields = split_fields(eval_text(expression));
    std::vector<Row> all;
    std::size_t next = 0;
    for (int k = 0; k < count; ++k) {
      all.push_back(take_row(fields, next, specs, Text(list_path) + "[" + to_text(k) + "]"));
    }
    return all;
  }

  [[nodiscard]] Row take_row(std::vector<Text>& fields, std::size_t& next, std::span<const FieldSpec> specs,
                             const Text& element_path) const {
    Row row;
    for (const FieldSpec& spec : specs) {
      Text field = next < fields.size() ? std::move(fields[next]) : Text{};
      ++next;
      if (spec.kind == Field::Number && field == kAskTheEngine) {
        field = to_text(data_.GetNumber(element_path + "." + Text(spec.name)));
      }
      row.push_back(std::move(field));
    }
    return row;
  }

  const JsonDocument& data_;
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

constexpr std::array<FieldSpec, 3> kModelEntryFields = {
    {{"id", Field::Number}, {"name", Field::Text}, {"value", Field::Text}}};
constexpr std::array<FieldSpec, 3> kDownModelFields = {
    {{"model_id", Field::Number}, {"name", Field::Text}, {"value", Field::Count}}};
constexpr std::array<FieldSpec, 6> kVersionFields = {{{"id", Field::Number},
                                                      {"address", Field::Text},
                                                      {"is_now", Field::Number},
                                                      {"version", Field::Text},
                                                      {"is_up", Field::Number},
                                                      {"up_log", Field::Text}}};

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
                                 .up_log = std::move(row[5])});
    }
  }
  return models;
}

// `data` holds the answer's data object.
void read_record(const JsonDocument& data, AppInfoRecord& info) {
  const RecordReader reader(data);
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

// Both requests run before any window shows that the installer waits.
[[nodiscard]] WebRequestOptions StartUpRequest() {
  WebRequestOptions options;
  options.connectTimeoutMs = kStartUpConnectTimeoutMs;
  options.receiveTimeoutMs = kStartUpReceiveTimeoutMs;
  return options;
}

}  // namespace

std::int32_t FetchAppInfo(AppInfoRecord& info, std::string_view base_url, std::int32_t app_id,
                          std::string_view secret_key, std::int32_t agent_id, Text& message,
                          const AppInfoChannels& channels) {
  const Text url = AppInfoQueryUrl(base_url, app_id, secret_key, agent_id);
  const WebResponse response = WebRequest(url, StartUpRequest(), channels.transport);

  JsonDocument answer(channels.engines);
  (void)answer.Load(to_text(response.body));
  message = answer.GetText("content");
  const std::int32_t code = integer_at(answer, "code");
  if (code != 1) return code;

  (void)answer.Load(answer.GetJson("data"));
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
    answer.icon = WebRequest(named.agent_app.app_icon, StartUpRequest(), channels.transport).body;
  }
  return answer;
}

}  // namespace lumen
