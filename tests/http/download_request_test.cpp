#include "http/download_request.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

constexpr const char* kUserAgent =
    "User-Agent:Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; 90TRZ; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

TEST(DownloadRequestHeaders, AskForARangeOnlyFromAPositiveOffset) {
  struct Case { std::int64_t offset; Text headers; };
  const Case cases[] = {
      {0, kUserAgent},
      {-1, kUserAgent},
      {1000, Text(kUserAgent) + "\r\nRange:bytes=1000-"},
      // Past what 32 bits can count: a large temporary file resumes where it stops.
      {5'000'000'000, Text(kUserAgent) + "\r\nRange:bytes=5000000000-"},
  };
  for (const Case& c : cases) EXPECT_EQ(DownloadRequestHeaders(c.offset), c.headers) << c.offset;
}

TEST(DownloadAgentName, ReadsTheTickCountAsSigned) {
  EXPECT_EQ(DownloadAgentName(123456), "Agent123456");
  EXPECT_EQ(DownloadAgentName(0xFFFFFFFFu), "Agent-1");
}

}  // namespace
}  // namespace lumen
