#include "service/app_query.hpp"

#include <array>

#include "runtime/convert.hpp"
#include "runtime/file_name.hpp"

namespace lumen {
namespace {

// The longest path the name makes, C:\<name>\<name>.exe.tmp with its
// terminating zero, must fit in MAX_PATH. Every code page 936 character is
// one UTF-16 unit once the system widens the path.
[[nodiscard]] bool fits_the_longest_install_path(std::string_view name) noexcept {
  constexpr std::size_t kMaxPath = 260;
  // "C:\", the "\" between the names, ".exe.tmp" and the terminating zero.
  constexpr std::size_t kAroundTheNames = 3 + 1 + 8 + 1;
  std::size_t characters = 0;
  for ([[maybe_unused]] std::string_view c : characters_of(name)) ++characters;
  return kAroundTheNames + 2 * characters <= kMaxPath;
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

const DownVersionInfo* CurrentVersionEntry(const AppInfoRecord& info) {
  const DownVersionInfo* current = nullptr;
  if (info.down_model.empty()) return current;
  for (const DownVersionInfo& entry : info.down_model.front().value) {
    if (entry.is_now == 1) current = &entry;
  }
  return current;
}

bool PickCurrentVersion(const AppInfoRecord& info, Text& version, Text& address, Text& up_log) {
  if (const DownVersionInfo* current = CurrentVersionEntry(info)) {
    version = current->version;
    address = current->address;
    up_log = current->up_log;
  }
  return !version.empty();
}

bool IsRequestableAddress(std::string_view address) noexcept {
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

bool IsInstallableName(std::string_view name) {
  // The name is the folder's, the program's and the processes' at once, so
  // it must be the very name Windows stores: trimming it would make the
  // folder differ from the program's stem.
  const std::optional<Text> stored = safe_file_name(name);
  return stored == name && !is_system_process_name(to_lower(name)) && fits_the_longest_install_path(name);
}

}  // namespace lumen
