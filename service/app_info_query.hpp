#pragma once
// The app-info query: one GET to the application service, its JSON answer
// copied into the application record, and the distributor's icon fetched.

#include <cstdint>
#include <optional>
#include <string_view>

#include "http/web_request.hpp"
#include "runtime/byte_buffer.hpp"
#include "service/app_info.hpp"
#include "service/built_in_service.hpp"
#include "service/script_engine.hpp"

namespace lumen {

// What the query talks to: the HTTP transport and the script engines its JSON
// documents run in.
struct AppInfoChannels {
  HttpTransport& transport;
  ScriptEngineStarter engines;
};

// Sends the query and returns the answer's `code` truncated toward zero (0
// when there is none or the answer is not JSON). `message` receives the
// answer's "content" in every case; `info` is filled only when the code is 1.
[[nodiscard]] std::int32_t FetchAppInfo(AppInfoRecord& info, std::string_view base_url, std::int32_t app_id,
                                        std::string_view secret_key, std::int32_t agent_id, Text& message,
                                        const AppInfoChannels& channels);

struct AppInfoAnswer {
  // Present when the service answered with code 1 and named an application
  // this installer can handle.
  std::optional<AppInfoRecord> record;
  // The body of the icon the record names; fetched whatever the outcome (a
  // failed query asks the empty address of a fresh record).
  ByteBuffer icon;
};

// The start-up query: derives the agent id from the stamp (a stamp without a
// number becomes "1", in place), fetches the application's record and the
// icon it names.
[[nodiscard]] AppInfoAnswer QueryAppInfo(Text& stamped_id_text, const ServiceEndpoint& service,
                                         const AppInfoChannels& channels);

}  // namespace lumen
