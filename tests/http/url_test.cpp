#include "http/url.hpp"

#include <gtest/gtest.h>

#include "http/text_between.hpp"

namespace lumen {
namespace {

TEST(UrlParts, HostPortPathAndSecurity) {
  struct Case { const char* url; Text host; std::int32_t port; Text path; bool secure; };
  const Case cases[] = {
      {"HTTPS://Srv/A?b=1", "srv", 443, "/A?b=1", true},
      {"srv/a", "srv", 80, "/a", false},
      {"http://box:8080", "box", 8080, "/", false},
      {"http://box:8080/a/b", "box", 8080, "/a/b", false},
      {"http://Box.Example/Dir/File.EXE#Top", "box.example", 80, "/Dir/File.EXE#Top", false},
      {"https://secure.example:8443/x", "secure.example", 8443, "/x", true},
      {"http://127.0.0.1:5000/echo?q=/a/b", "127.0.0.1", 5000, "/echo?q=/a/b", false},
      {"box", "box", 80, "/", false},
      // The default port follows the first five letters alone.
      {"httpsbox/a", "httpsbox", 443, "/a", false},
      {"ftp://srv/http://other/x", "other", 80, "/x", false},
      // Hosts that also occur in the scheme are found after it.
      {"http://h/x", "h", 80, "/x", false},
      {"https://ps/docs", "ps", 443, "/docs", true},
      {"http://t:81/p", "t", 81, "/p", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
    EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
    EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
    EXPECT_EQ(IsSecureUrl(c.url), c.secure) << c.url;
  }
}

TEST(UrlParts, MalformedUrlsGiveDefinedParts) {
  struct Case { const char* name; Text url; Text host; std::int32_t port; Text path; };
  const Case cases[] = {
      {"empty", "", "", 80, "/"},
      {"scheme only", "http://", "", 80, "/"},
      {"slashes only", "///", "", 80, "///"},
      {"empty host with port", "http://:81/a", "", 81, "/a"},
      {"colon without digits", "http://box:/a", "box", 0, "/a"},
      {"port with letters", "http://box:8x0/a", "box", 8, "/a"},
      {"negative port", "http://box:-5/a", "box", 0, "/a"},
      {"port beyond 16 bits", "http://box:99999/a", "box", 99999, "/a"},
      {"port beyond 32 bits", "http://box:99999999999999/a", "box", 2147483647, "/a"},
      {"last colon counts", "http://a:1:2/", "a", 2, "/"},
      {"double-byte host", "http://\xD6\xD0\xCE\xC4/a", "\xD6\xD0\xCE\xC4", 80, "/a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlHost(c.url), c.host) << c.name;
    EXPECT_EQ(UrlPort(c.url), c.port) << c.name;
    EXPECT_EQ(UrlPath(c.url), c.path) << c.name;
  }
  EXPECT_TRUE(IsConnectablePort(0));
  EXPECT_TRUE(IsConnectablePort(65535));
  EXPECT_FALSE(IsConnectablePort(65536));
}

TEST(TextBetween, CutsBetweenFirstLeftAndNextRight) {
  struct Case { const char* name; Text got; Text want; };
  const Case cases[] = {
      {"plain", TextBetween("a[b]c[d]", "[", "]"), "b"},
      {"right searched after left", TextBetween("]a[b]", "[", "]"), "b"},
      {"no left", TextBetween("abc", "[", "]"), ""},
      {"no right", TextBetween("a[bc", "[", "]"), ""},
      {"left at the very end", TextBetween("abc[", "[", "]"), ""},
      {"adjacent markers", TextBetween("a[]b", "[", "]"), ""},
      {"quote placeholder", TextBetween("name=\"v1\" x", "=#引号", "#引号"), "v1"},
      {"case-sensitive", TextBetween("Set-cookie: a=1;", "Set-Cookie:", ";"), ""},
      {"empty text", TextBetween("", "a", "b"), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

}  // namespace
}  // namespace lumen
