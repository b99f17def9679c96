// The start-up's two requests as the transport receives them.

#include "service/app_info_query.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace lumen {
namespace {

// Answers nothing and keeps what it was asked.
class RecordingTransport final : public HttpTransport {
 public:
  TransportOutcome Exchange(const RequestPlan& plan) override {
    plans.push_back(plan);
    return {};
  }
  std::vector<RequestPlan> plans;
};

// A service that answers after twenty seconds still shows the wizard: the
// query and the icon wait as long as the platform's own time-outs say, set
// explicitly so that every implementation of it applies them.
TEST(QueryAppInfo, WaitsAsLongAsThePlatformWouldForTheQueryAndTheIcon) {
  RecordingTransport transport;
  Text stamp = "00000038";
  const auto no_engine = [] { return std::unique_ptr<ScriptEngine>(); };
  (void)QueryAppInfo(stamp, ServiceEndpoint{"http://service.example", "Key"}, AppInfoChannels{transport, no_engine});
  ASSERT_EQ(transport.plans.size(), 2u) << "the query, then the icon";
  for (const RequestPlan& plan : transport.plans) {
    EXPECT_EQ(plan.timeouts, (NetworkTimeouts{.connectMs = 60000, .sendMs = 30000, .receiveMs = 30000}));
  }
}

}  // namespace
}  // namespace lumen
