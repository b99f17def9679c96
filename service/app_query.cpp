#include "service/app_query.hpp"

#include <array>

#include "runtime/convert.hpp"

namespace lumen {
namespace {

[[nodiscard]] bool is_forbidden_in_file_name(char c) noexcept {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte == 0x7F) return true;
  constexpr std::string_view kForbidden = "<>:\"/\\|?*";
  return kForbidden.find(c) != std::string_view::npos;
}

// Checks every single-byte character; both bytes of a double-byte character
// belong to the character (its second byte may well be 0x5C or 0x7C).
[[nodiscard]] bool has_only_file_name_characters(std::string_view name) noexcept {
  for (std::string_view c : characters_of(name)) {
    if (is_cut_character(c)) return false;
    if (c.size() == 1 && is_forbidden_in_file_name(c[0])) return false;
  }
  return true;
}

[[nodiscard]] bool is_reserved_device_name(std::string_view lower_name) noexcept {
  constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
  for (std::string_view device : kPlain) {
    if (lower_name == device) return true;
  }
  const bool numbered = lower_name.size() == 4 && lower_name[3] >= '1' && lower_name[3] <= '9';
  return numbered && (lower_name.starts_with("com") || lower_name.starts_with("lpt"));
}

// Processes the installer must never offer to end, whatever the service says.
[[nodiscard]] bool is_system_process_name(std::string_view lower_name) noexcept {
  constexpr std::array<std::string_view, 14> kSystem = {
      "explorer", "svchost", "csrss",   "winlogon", "wininit",  "lsass",    "services",
      "smss",     "dwm",     "system",  "rpcss",    "conhost",  "taskhost", "spoolsv"};
  for (std::string_view process : kSystem) {
    if (lower_name == process) return true;
  }
  return false;
}

}  // namespace

std::int32_t AgentIdFromStamp(Text& stamped_id_text) {
  std::int32_t agent_id = to_int(stamped_id_text);
  if (agent_id == 0) {
    stamped_id_text = "1";
    agent_id = to_int(stamped_id_text);
  }
  return agent_id;
}

Text AppInfoQueryUrl(std::string_view base_url, std::int32_t app_id, std::string_view secret_key,
                     std::int32_t agent_id) {
  Text url(base_url);
  url += "/app_api/getapp_1?app_id=";
  url += to_text(app_id);
  url += "&secret_key=";
  url += secret_key;
  url += "&agent_id=";
  url += to_text(agent_id);
  return url;
}

bool PickCurrentVersion(const AppInfoRecord& info, Text& version, Text& address, Text& up_log) {
  if (!info.down_model.empty()) {
    for (const DownVersionInfo& entry : info.down_model.front().value) {
      if (entry.is_now != 1) continue;
      version = entry.version;
      address = entry.address;
      up_log = entry.up_log;
    }
  }
  return !version.empty();
}

bool IsRequestableAddress(std::string_view address) noexcept {
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return false;
  }
  return true;
}

bool IsInstallableName(std::string_view name) {
  if (name.empty() || !has_only_file_name_characters(name)) return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  const Text lower = to_lower(name);
  const auto dot = lower.find('.');
  const std::string_view stem = std::string_view(lower).substr(0, dot);
  return !is_reserved_device_name(stem) && !is_system_process_name(lower);
}

}  // namespace lumen
