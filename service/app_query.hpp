#pragma once
// The pieces of the app-info query that need no network: the agent id, the
// query address, the choice of the current version and the check that a
// service answer names an application the installer can safely handle.

#include <cstdint>
#include <string_view>

#include "service/app_info.hpp"
#include "runtime/text.hpp"

namespace lumen {

// The application this installer is built for.
inline constexpr std::int32_t kAppId = 1;

// The agent id the stamp names. A stamp whose integer value is 0 (no digits,
// letters, zeros) is replaced by "1" in place, so the id is never 0.
[[nodiscard]] std::int32_t AgentIdFromStamp(Text& stamped_id_text);

// base + "/app_api/getapp_1?app_id=" + id + "&secret_key=" + key + "&agent_id=" + agent.
[[nodiscard]] Text AppInfoQueryUrl(std::string_view base_url, std::int32_t app_id, std::string_view secret_key,
                                   std::int32_t agent_id);

// The last version marked current (is_now 1) of the first download model; the
// out-values stay as they were when none is marked. True when the chosen
// version is not empty.
[[nodiscard]] bool PickCurrentVersion(const AppInfoRecord& info, Text& version, Text& address, Text& up_log);

// The entry PickCurrentVersion takes its values from, or null when no
// version is marked current.
[[nodiscard]] const DownVersionInfo* CurrentVersionEntry(const AppInfoRecord& info);

// Whether an application name from the service may become a file name in the
// install folder, a folder name under C:\ and the name of processes to end: a
// safe file name as it stands (see safe_file_name; a name Windows would trim
// is refused), short enough that C:\<name>\<name>.exe.tmp fits in MAX_PATH,
// and not the name of a process Windows itself depends on.
[[nodiscard]] bool IsInstallableName(std::string_view name);

// Whether an address from the service may be requested at all: one holding a
// control character (below 0x20, or 0x7F) would carry header lines of its own
// into the request. A space passes: the platform sends it escaped ("%20").
// The empty address passes; asking it fails like any address that cannot be
// opened.
[[nodiscard]] bool IsRequestableAddress(std::string_view address) noexcept;

}  // namespace lumen
