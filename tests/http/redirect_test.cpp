// Where a redirect leads, read from the answer's raw header block.

#include "http/redirect.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(RedirectTarget, ResolvesLocationsAgainstTheAddressAsked) {
  struct Case { std::string_view from; std::string_view location; std::optional<Text> to; };
  const Case cases[] = {
      {"http://a:81/x/y?q=1", "https://b/c", "https://b/c"},
      {"http://a:81/x/y?q=1", "HTTP://b/c", "HTTP://b/c"},
      {"https://a/x", "//b/c", "https://b/c"},
      {"http://a:81/x/y?q=1", "/z?w=2", "http://a:81/z?w=2"},
      {"http://a:81/x/y?q=1", "z", "http://a:81/x/z"},
      {"http://a:81/x/y?q=/p/", "z", "http://a:81/x/z"},
      {"http://a:81", "z", "http://a:81/z"},
      {"http://a/x", "ftp://b/c", std::nullopt},
      {"http://a/x", "file:C:/windows", std::nullopt},
      {"http://a/x", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(RedirectTarget(c.from, c.location), c.to) << c.from << " + " << c.location;
}

TEST(RedirectHeaders, StatusAndLocationOfARawHeaderBlock) {
  const std::string_view block = "HTTP/1.1 302 Found\r\nX-Location: no\r\nlocation:  /next \r\nLocation: /later\r\n\r\n";
  EXPECT_EQ(StatusOfHeaders(block), 302);
  EXPECT_EQ(HeaderValue(block, "Location"), "/next");
  EXPECT_EQ(HeaderValue(block, "Retry-After"), std::nullopt);
  EXPECT_EQ(HeaderValue("Location: /status-line\r\n", "Location"), std::nullopt) << "the first line is the status";
  for (std::string_view bad : {"", "HTTP/1.1\r\n", "HTTP/1.1 30\r\n", "HTTP/1.1 3x2 Odd\r\n", "ICY 200 OK\r\n"}) {
    EXPECT_EQ(StatusOfHeaders(bad), 0) << bad;
  }
  for (int status : {301, 302, 303, 307, 308}) EXPECT_TRUE(IsRedirectStatus(status)) << status;
  for (int status : {200, 300, 304, 305, 306, 404}) EXPECT_FALSE(IsRedirectStatus(status)) << status;
}

}  // namespace
}  // namespace lumen
