#pragma once
// Sends a planned request through WinINet: session, connection and request
// handles opened in that order for one exchange and closed in reverse.

#include "http/web_request.hpp"

namespace lumen::win {

class WinInetTransport final : public HttpTransport {
 public:
  [[nodiscard]] TransportOutcome Exchange(const RequestPlan& plan) override;
};

}  // namespace lumen::win
