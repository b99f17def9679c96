#pragma once
// Where the test rig's reference application service listens.

#include <string>

namespace lumen::test {

// "http://127.0.0.1:PORT" from the rig (LUMEN_TEST_SERVICE); empty when the
// rig runs no service, and tests that need it fail with a clear message.
[[nodiscard]] std::string service_url();

// The request heads the service recorded for requests tagged `tag`.
[[nodiscard]] std::string service_log(const std::string& tag);

}  // namespace lumen::test
