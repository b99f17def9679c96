#include "http/request_headers.hpp"

#include <gtest/gtest.h>

#include "http/method.hpp"
#include "http/received_cookies.hpp"

namespace lumen {
namespace {

TEST(NormalizeHeaderNames, CapitalisesNamePartsAndDropsLinesWithoutColon) {
  struct Case { const char* name; Text block; Text want; };
  const Case cases[] = {
      {"example", "content-type: text/plain\r\nx-my-header:1\r\nbroken", "Content-Type: text/plain\r\nX-My-Header:1"},
      {"upper case kept", "ACCEPT: */*", "ACCEPT: */*"},
      {"only the first letter of a part", "x-rEAL-iP: 1", "X-REAL-IP: 1"},
      {"value untouched", "referer: http://a/b-c:d", "Referer: http://a/b-c:d"},
      {"empty pieces dropped", "\r\na: 1\r\n\r\nb: 2\r\n", "A: 1\r\nB: 2"},
      {"nothing usable", "broken\r\n\r\nalso broken", ""},
      {"empty", "", ""},
      {"empty name", ": v", ": v"},
      {"hyphens kept at the ends", "-x-: 1", "-X-: 1"},
      {"doubled hyphen", "a--b: 1", "A--B: 1"},
      {"digits and symbols not changed", "1x-_y: 1", "1x-_y: 1"},
      {"double-byte name untouched", "\xD6\xD0-a: 1", "\xD6\xD0-A: 1"},
      {"bare LF is not a line end", "a: 1\nb: 2", "A: 1\nb: 2"},
      {"zero byte inside a value", Text("a: 1\0" "2", 6), Text("A: 1\0" "2", 6)},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeHeaderNames(c.block), c.want) << c.name;
}

TEST(UserAgentFor, TakesTheUserAgentLineOrTheDefault) {
  struct Case { const char* name; Text block; Text want; };
  const Case cases[] = {
      {"none", "Accept: */*", Text(kDefaultUserAgent)},
      {"empty block", "", Text(kDefaultUserAgent)},
      {"normalised line", "Accept: */*\r\nUser-Agent:  MyAgent \r\nX: 1", "MyAgent"},
      {"last line", "User-Agent: MyAgent", "MyAgent"},
      {"lower-case line: after the block's first colon", "user-agent: MyAgent", "MyAgent"},
      {"lower-case line after another", "Accept: a\r\nuser-agent: B", "a\r\nuser-agent: B"},
      {"empty value: after the first colon", "User-Agent:\r\nX: 1", "\r\nX: 1"},
      {"named inside a value", "X-Note: User-Agent: Inner", "Inner"},
  };
  for (const Case& c : cases) EXPECT_EQ(UserAgentFor(c.block), c.want) << c.name;
}

TEST(DefaultHeaders, CompleteTheBlockInOrder) {
  const Text url = "http://Srv/A?b=1";
  struct Case { const char* name; Text block; std::int32_t method; Text want; };
  const Case cases[] = {
      {"empty GET", "", kMethodGet, "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn"},
      {"empty POST", "", kMethodPost,
       "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
      {"POST with its own type", "content-type: text/json", kMethodPost,
       "content-type: text/json\r\nAccept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn"},
      {"PUT gets no type", "", kMethodPut, "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn"},
      {"all present, any case", "ACCEPT: a\r\nreferer: r\r\naccept-language: en", kMethodGet,
       "ACCEPT: a\r\nreferer: r\r\naccept-language: en"},
      {"Accept-Language is not Accept", "Accept-Language: en", kMethodGet, "Accept-Language: en\r\nAccept: */*\r\nReferer: " + url},
      {"other lines kept first", "X: 1", kMethodGet, "X: 1\r\nAccept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithDefaultHeaders(c.block, url, c.method), c.want) << c.name;
}

TEST(CookieHeader, AddsALineOnlyForCookies) {
  EXPECT_EQ(WithCookieHeader("Accept: */*", "a=1; b=2"), "Accept: */*\r\nCookie: a=1; b=2");
  EXPECT_EQ(WithCookieHeader("Accept: */*", "Cookie: a=1"), "Accept: */*\r\nCookie: a=1");
  EXPECT_EQ(WithCookieHeader("Accept: */*", "cookie: a=1"), "Accept: */*\r\nCookie: cookie: a=1");
  EXPECT_EQ(WithCookieHeader("Accept: */*", ""), "Accept: */*");
  EXPECT_EQ(WithCookieHeader("", "a=1"), "\r\nCookie: a=1");
}

TEST(ReceivedCookies, FirstPairOfEveryExactSetCookieLine) {
  struct Case { const char* name; Text headers; Text want; };
  const Case cases[] = {
      {"two lines", "HTTP/1.1 200 OK\r\nSet-Cookie: sid=abc; path=/\r\nSet-Cookie: lang=zh\r\n\r\n", "sid=abc; lang=zh"},
      {"lower-case name ignored", "HTTP/1.1 200 OK\r\nset-cookie: x=1\r\n", ""},
      {"no space after the colon ignored", "HTTP/1.1 200 OK\r\nSet-Cookie:x=1\r\n", ""},
      {"none", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", ""},
      {"blank block", "", ""},
      {"value trimmed", "Set-Cookie:   a=1   ; path=/\r\n", "a=1"},
      {"attributes dropped", "Set-Cookie: a=1; Expires=Wed, 21 Oct 2037 07:28:00 GMT; HttpOnly\r\n", "a=1"},
      {"deleted kept for the merge", "Set-Cookie: a=deleted; path=/\r\n", "a=deleted"},
      {"other headers between", "Set-Cookie: a=1\r\nX: y\r\nSet-Cookie: b=2\r\n", "a=1; b=2"},
      {"empty value", "Set-Cookie: ; path=/\r\nSet-Cookie: b=2\r\n", "; b=2"},
      {"double-byte value", "Set-Cookie: n=\xD6\xD0\r\n", "n=\xD6\xD0"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReceivedCookies(c.headers), c.want) << c.name;
}

}  // namespace
}  // namespace lumen
