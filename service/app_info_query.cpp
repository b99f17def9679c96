#include "service/app_info_query.hpp"

#include "http/network_limits.hpp"
#include "runtime/convert.hpp"
#include "service/app_query.hpp"
#include "service/json_document.hpp"

namespace lumen {
namespace {

[[nodiscard]] std::int32_t integer_at(const JsonDocument& document, std::string_view path) {
  return to_int(document.GetNumber(path));
}

// Reads element i (zero-based) of every list element into the entries the
// list is replaced by; `read` fills one entry from the element's document.
template <typename Entry, typename ReadEntry>
void read_list(const JsonDocument& list, std::vector<Entry>& entries, ReadEntry read) {
  const int count = list.Count();
  entries.assign(static_cast<std::size_t>(count > 0 ? count : 0), Entry{});
  for (int k = 0; k < count; ++k) {
    read(list.GetItemObject(k), entries[static_cast<std::size_t>(k)]);
  }
}

void read_model_entry(const JsonDocument& element, ModelEntry& entry) {
  entry.id = integer_at(element, "id");
  entry.name = element.GetText("name");
  entry.value = element.GetText("value");
}

void read_version(const JsonDocument& element, DownVersionInfo& version) {
  version.id = integer_at(element, "id");
  version.address = element.GetText("address");
  version.is_now = integer_at(element, "is_now");
  version.version = element.GetText("version");
  version.is_up = integer_at(element, "is_up");
  version.up_log = element.GetText("up_log");
}

void read_down_model(const JsonDocument& element, DownModelInfo& model) {
  model.model_id = integer_at(element, "model_id");
  model.name = element.GetText("name");
  read_list(element.GetObject("value"), model.value, read_version);
}

// `data` holds the answer's data object.
void read_record(const JsonDocument& data, AppInfoRecord& info) {
  info.name = data.GetText("name");
  info.tryout_time = data.GetText("tryout_time");
  info.tryout_points = data.GetText("tryout_points");
  info.icon = data.GetText("icon");
  info.unbind_dec_time = data.GetText("unbind_dec_time");
  info.unbind_dec_points = data.GetText("unbind_dec_points");
  info.unbind_dec_score = data.GetText("unbind_dec_score");

  read_list(data.GetObject("down_model"), info.down_model, read_down_model);

  const JsonDocument agent_app = data.GetObject("agent_app");
  info.agent_app.app_name = agent_app.GetText("app_name");
  info.agent_app.app_icon = agent_app.GetText("app_icon");
  read_list(agent_app.GetObject("agent_model"), info.agent_app.agent_model, read_model_entry);

  read_list(data.GetObject("file_model"), info.file_model, read_model_entry);
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
