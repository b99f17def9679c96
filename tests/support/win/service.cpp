#include "tests/support/win/service.hpp"

#include <cstdlib>

namespace lumen::test {

std::string service_url() {
  const char* url = std::getenv("LUMEN_TEST_SERVICE");
  return url ? url : "";
}

}  // namespace lumen::test
