#pragma once
// The app-info query: one GET to the application service, its JSON answer
// copied into the application record, and the distributor's icon fetched.

#include <cstdint>
#include <string_view>

#include "core/program_state.hpp"
#include "http/web_request.hpp"
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

// The start-up query: derives the agent id from the stamp (a stamp without a
// number becomes "1"), fetches the application's record and, whatever the
// outcome, the icon its record names. True when the service answered with
// code 1 and named an application this installer can handle; otherwise
// AppInfo stays as it was.
[[nodiscard]] bool QueryAppInfo(ProgramState& state, const ServiceEndpoint& service,
                                const AppInfoChannels& channels);

}  // namespace lumen
