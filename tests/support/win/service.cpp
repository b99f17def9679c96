#include "tests/support/win/service.hpp"

#include <cstdlib>

#include "http/download_request.hpp"
#include "http/win/url_transfer.hpp"

namespace lumen::test {

std::string service_url() {
  const char* url = std::getenv("LUMEN_TEST_SERVICE");
  return url ? url : "";
}

std::string service_log(const std::string& tag) {
  const auto log = UrlTransfer::Open(service_url() + "/_log?tag=" + tag, kDownloadUserAgentLine);
  if (!log) return {};
  std::string text;
  std::uint8_t block[4096];
  for (BodyRead got = log->read(block); got.ok && got.count > 0; got = log->read(block)) {
    text.append(reinterpret_cast<const char*>(block), got.count);
  }
  return text;
}

}  // namespace lumen::test
