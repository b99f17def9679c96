#include "http/win/web_request.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "http/win/url_transfer.hpp"
#include "runtime/convert.hpp"
#include "tests/support/win/service.hpp"

namespace lumen {
namespace {

Text AsText(const ByteBuffer& bytes) { return Text(bytes.begin(), bytes.end()); }

Text Service(std::string_view target) {
  const Text base = test::service_url();
  EXPECT_FALSE(base.empty()) << "the rig runs no reference service";
  return base + Text(target);
}

// "127.0.0.1:PORT" of the service.
Text ServiceHostAndPort() { return Service("").substr(std::string_view("http://").size()); }

// The request an /echo answer shows: its request line, header lines and body.
struct Echo {
  Text request_line;
  std::vector<Text> headers;
  Text body;

  explicit Echo(const ByteBuffer& answer) {
    const Text text = AsText(answer);
    const std::size_t end = text.find("\r\n\r\n");
    if (end == Text::npos) return;
    body = text.substr(end + 4);
    std::size_t start = 0;
    for (std::size_t next; (next = text.find("\r\n", start)) <= end; start = next + 2) {
      (start == 0 ? request_line : headers.emplace_back()) = text.substr(start, next - start);
    }
  }

  // The values of every header line with that name, any case.
  [[nodiscard]] std::vector<Text> values(std::string_view name) const {
    std::vector<Text> found;
    for (const Text& line : headers) {
      const std::size_t colon = line.find(':');
      if (colon != Text::npos && to_lower(line.substr(0, colon)) == to_lower(name)) {
        found.push_back(trim_spaces(line.substr(colon + 1)));
      }
    }
    return found;
  }

  // Whether the lines follow each other in this order.
  [[nodiscard]] bool has_run(const std::vector<Text>& run) const {
    return std::search(headers.begin(), headers.end(), run.begin(), run.end()) != headers.end();
  }
};

std::uint8_t BlobByte(std::size_t i) { return static_cast<std::uint8_t>(i * 31 + (i >> 11) * 7); }

TEST(WebRequestHeaders, DefaultsArriveInOrder) {
  const Text url = Service("/echo?defaults=1");
  const WebResponse response = WebRequest(url);
  const Echo echo(response.body);
  EXPECT_EQ(echo.request_line, "GET /echo?defaults=1 HTTP/1.1");
  EXPECT_EQ(echo.values("User-Agent"), std::vector<Text>{"Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"});
  EXPECT_TRUE(echo.has_run({"Accept: */*", "Referer: " + url, "Accept-Language: zh-cn"}));
  EXPECT_TRUE(echo.values("Content-Type").empty());
  EXPECT_EQ(echo.body, "");
}

TEST(WebRequestHeaders, CallerLinesArriveAsPrepared) {
  const Text url = Service("/echo");
  struct Case { const char* name; Text headers; bool normalise; bool defaults; std::vector<Text> run; Text agent; };
  const Case cases[] = {
      {"normalised", "x-my-header: 1\r\ncontent-type: text/plain\r\nbroken", true, true,
       {"X-My-Header: 1", "Content-Type: text/plain", "Accept: */*", "Referer: " + url}, ""},
      {"as written", "x-my-header: 1", false, false, {"x-my-header: 1"}, ""},
      {"agent, normalised", "user-agent: MyAgent", true, true, {"User-Agent: MyAgent"}, "MyAgent"},
      {"agent as written", "user-agent: MyAgent", false, true, {"user-agent: MyAgent"}, "MyAgent"},
      {"own accept and referer kept", "Accept: text/html\r\nReferer: http://elsewhere/", true, true,
       {"Accept: text/html", "Referer: http://elsewhere/", "Accept-Language: zh-cn"}, ""},
  };
  for (const Case& c : cases) {
    WebRequestOptions options;
    options.headers = c.headers;
    options.normalizeHeaderNames = c.normalise;
    options.addDefaultHeaders = c.defaults;
    const Echo echo(WebRequest(url, options).body);
    EXPECT_TRUE(echo.has_run(c.run)) << c.name;
    EXPECT_TRUE(echo.values("broken").empty()) << c.name;
    EXPECT_EQ(echo.values("Accept").size(), c.defaults ? 1u : 0u) << c.name;
    if (!c.agent.empty()) {
      EXPECT_EQ(echo.values("User-Agent"), std::vector<Text>{c.agent}) << c.name;
    }
    if (!c.defaults) {
      EXPECT_TRUE(echo.values("Referer").empty()) << c.name;
    }
  }
}

TEST(WebRequestBodies, SentForEveryMethodButGet) {
  struct Case { std::int32_t method; Text body; ByteBuffer body_bytes; Text request_line; Text sent; };
  const Case cases[] = {
      {kMethodGet, "ignored", {}, "GET /echo HTTP/1.1", ""},
      {9, "ignored", {}, "GET /echo HTTP/1.1", ""},
      {-1, "ignored", {}, "GET /echo HTTP/1.1", ""},
      {kMethodPost, "a=1&b=2", {}, "POST /echo HTTP/1.1", "a=1&b=2"},
      {kMethodPost, "ignored", {'x', 0, 'y', 0, 0}, "POST /echo HTTP/1.1", Text("x\0y\0\0", 5)},
      {kMethodPut, "put body", {}, "PUT /echo HTTP/1.1", "put body"},
      {kMethodDelete, "gone", {}, "DELETE /echo HTTP/1.1", "gone"},
      {kMethodOptions, "", {}, "OPTIONS /echo HTTP/1.1", ""},
  };
  for (const Case& c : cases) {
    WebRequestOptions options;
    options.method = c.method;
    options.body = c.body;
    options.bodyBytes = c.body_bytes;
    const WebResponse response = WebRequest(Service("/echo"), options);
    const Echo echo(response.body);
    EXPECT_EQ(echo.request_line, c.request_line) << c.method;
    EXPECT_EQ(echo.body, c.sent) << c.method;
  }
}

TEST(WebRequestBodies, PostTypeIsAddedOnlyWhenMissing) {
  WebRequestOptions options;
  options.method = kMethodPost;
  options.body = "x=1";
  EXPECT_EQ(Echo(WebRequest(Service("/echo"), options).body).values("Content-Type"),
            std::vector<Text>{"application/x-www-form-urlencoded"});
  options.headers = "content-type: application/json";
  EXPECT_EQ(Echo(WebRequest(Service("/echo"), options).body).values("Content-Type"),
            std::vector<Text>{"application/json"});
}

TEST(WebRequestBodies, HeadCarriesItsBodyAndGetsNone) {
  WebRequestOptions options;
  options.method = kMethodHead;
  options.body = "abc";
  const WebResponse response = WebRequest(Service("/echo"), options);
  EXPECT_TRUE(response.body.empty());
  EXPECT_NE(response.receivedHeaders.value_or("").find("\r\nX-Request-Body-Length: 3\r\n"), Text::npos);
}

TEST(WebRequestBodies, ResponseBytesComeBackWhole) {
  EXPECT_EQ(WebRequest(Service("/respond?body=%00a%00%00b%FF%00")).body, (ByteBuffer{0, 'a', 0, 0, 'b', 0xFF, 0}));

  constexpr std::size_t kSize = 300'001;  // many read chunks, the last one short
  const ByteBuffer blob = WebRequest(Service("/blob/300001/b.bin")).body;
  ASSERT_EQ(blob.size(), kSize);
  for (std::size_t i = 0; i < kSize; ++i) {
    ASSERT_EQ(blob[i], BlobByte(i)) << "at " << i;
  }
}

TEST(WebRequestBodies, EndAtTheLimitWhateverTheServerSends) {
  const Text url = Service("/blob/" + std::to_string(kMaxResponseBody + 5000) + "/huge.bin");
  const WebResponse response = WebRequest(url);
  ASSERT_EQ(response.body.size(), kMaxResponseBody);
  for (const std::size_t i : {std::size_t{0}, std::size_t{1} << 20, kMaxResponseBody - 1}) {
    EXPECT_EQ(response.body[i], BlobByte(i)) << i;
  }
  // The connection that was left unread does not disturb the next request.
  EXPECT_EQ(Echo(WebRequest(Service("/echo")).body).request_line, "GET /echo HTTP/1.1");
}

TEST(WebRequestBodies, StatusIsNotLookedAt) {
  for (const char* status : {"404", "500"}) {
    const WebResponse response = WebRequest(Service("/status/") + status);
    EXPECT_NE(AsText(response.body).find("<h1>" + Text(status)), Text::npos) << status;
    EXPECT_TRUE(text_starts_with(response.receivedHeaders.value_or(""), "HTTP/1.1 " + Text(status))) << status;
  }
}

TEST(WebRequestCookies, SentAsACookieLine) {
  struct Case { const char* name; Text cookies; std::vector<Text> want; };
  const Case cases[] = {
      {"items", "a=1; b=2", {"a=1; b=2"}},
      {"a whole line", "Cookie: a=1", {"a=1"}},
      {"supplied empty", Text(), {}},
  };
  for (const Case& c : cases) {
    WebRequestOptions options;
    options.cookies = c.cookies;
    EXPECT_EQ(Echo(WebRequest(Service("/echo"), options).body).values("Cookie"), c.want) << c.name;
  }
}

// Cookies received here are set for a path no other request uses, so that
// the platform's store, which keeps them, stays out of the other tests.
TEST(WebRequestCookies, ReceivedAndMergedWithTheSentOnes) {
  const Text url = Service("/respond?header=Set-Cookie:%20sid=abc;%20path=/elsewhere"
                           "&header=Set-Cookie:%20lang=zh;%20path=/elsewhere&header=set-cookie:%20x=1;%20path=/elsewhere");
  EXPECT_EQ(WebRequest(url).receivedCookies, "sid=abc; lang=zh");

  WebRequestOptions options;
  options.cookies = "a=1; sid=old";
  EXPECT_EQ(WebRequest(url, options).receivedCookies, "sid=abc; lang=zh; a=1");
  options.mergeCookies = false;
  EXPECT_EQ(WebRequest(url, options).receivedCookies, "sid=abc; lang=zh");

  WebRequestOptions gone;
  gone.cookies = "sid=abc; keep=1";
  EXPECT_EQ(WebRequest(Service("/respond?header=Set-Cookie:%20sid=deleted;%20path=/elsewhere"), gone).receivedCookies,
            "keep=1");
}

// The platform keeps cookies between requests (and, under Wine, between
// processes) unless the caller supplies its own, even empty ones: then
// nothing is sent from the store and nothing is stored. The cookies of this
// test carry names of their own and a path no other request uses.
TEST(WebRequestCookies, SuppliedCookiesBypassThePlatformStore) {
  const Text path = "/status/299";
  const Text run = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
  const Text bypassed = "bypassed" + run + "=1";
  const Text stored = "stored" + run + "=1";
  auto cookie_line = [&](const std::optional<Text>& cookies) {
    WebRequestOptions options;
    options.cookies = cookies;
    static int request_number = 0;
    const Text tag = "store" + run + "_" + std::to_string(++request_number);
    (void)WebRequest(Service(path + "?tag=" + tag), options);
    const std::vector<Text> lines = Echo(WebRequest(Service("/_log?tag=" + tag)).body).values("Cookie");
    return lines.empty() ? Text() : lines.front();
  };
  auto set_cookie = [&](const Text& cookie, const std::optional<Text>& cookies) {
    WebRequestOptions options;
    options.cookies = cookies;
    (void)WebRequest(Service("/respond?header=Set-Cookie:%20" + cookie + ";%20path=" + path), options);
  };

  set_cookie(bypassed, Text());
  EXPECT_EQ(cookie_line(std::nullopt).find(bypassed), Text::npos);

  set_cookie(stored, std::nullopt);
  EXPECT_NE(cookie_line(std::nullopt).find(stored), Text::npos);
  EXPECT_EQ(cookie_line(Text()), "");
  EXPECT_EQ(cookie_line(Text("mine=1")), "mine=1");
}

TEST(WebRequestRedirects, FollowedUnlessAskedNot) {
  const Text url = Service("/redirect?to=/echo%3Fafter%3D1");
  EXPECT_EQ(Echo(WebRequest(url).body).request_line, "GET /echo?after=1 HTTP/1.1");
  // A plain request may be sent on to https; the certificate flags set on
  // plain requests too make an untrusted certificate there no obstacle.
  const Text secure_echo = AsText(WebRequest(Service("/_tls")).body) + "/echo?upgraded=1";
  EXPECT_EQ(Echo(WebRequest(Service("/redirect?to=" + secure_echo)).body).request_line,
            "GET /echo?upgraded=1 HTTP/1.1");

  WebRequestOptions options;
  options.noRedirect = true;
  const WebResponse response = WebRequest(url, options);
  EXPECT_NE(AsText(response.body).find("302 Found"), Text::npos);
  const Text headers = response.receivedHeaders.value_or("");
  EXPECT_TRUE(text_starts_with(headers, "HTTP/1.1 302 "));
  EXPECT_NE(headers.find("\r\nLocation: /echo?after=1\r\n"), Text::npos);
}

// The second hop carries the first request's header block, its Referer
// naming the address first asked, as the platform's own redirect would.
TEST(WebRequestRedirects, TheNextHopSendsTheFirstRequestsReferer) {
  const Text url = Service("/redirect?to=/echo%3Fhop%3D2");
  const Echo echo(WebRequest(url).body);
  EXPECT_EQ(echo.request_line, "GET /echo?hop=2 HTTP/1.1");
  EXPECT_EQ(echo.values("Referer"), std::vector<Text>{url});
}

// A space in an address is sent escaped, on the web request's way and on the
// download's: the server sees one request line and the file it names.
TEST(WebRequestAddresses, SpacesAreSentEscaped) {
  const Text tag = "spaces" + std::to_string(GetCurrentProcessId());
  const Text address = Service("/blob/50/My App.exe?q=a b&tag=" + tag);
  ByteBuffer blob;
  for (std::size_t i = 0; i < 50; ++i) blob.push_back(BlobByte(i));

  EXPECT_EQ(WebRequest(address).body, blob);
  const std::unique_ptr<UrlTransfer> transfer = UrlTransfer::Open(address, "");
  ASSERT_TRUE(transfer);
  EXPECT_EQ(transfer->Status(), 200);

  const Text log = test::service_log(tag);
  const Text line = "GET /blob/50/My%20App.exe?q=a%20b&tag=" + tag + " HTTP/1.1\r\n";
  EXPECT_TRUE(text_starts_with(log, line)) << log;
  EXPECT_NE(log.find(line, line.size()), Text::npos) << log;
}

TEST(WebRequestProxy, PlainRequestsGoThroughTheProxy) {
  WebRequestOptions options;
  options.proxy = ServiceHostAndPort();
  const Echo echo(WebRequest("http://proxied.example/echo?via=proxy", options).body);
  EXPECT_EQ(echo.request_line, "GET http://proxied.example:80/echo?via=proxy HTTP/1.1");
  EXPECT_EQ(echo.values("Host"), std::vector<Text>{"proxied.example"});
}

// Certificate problems never fail a request: a self-signed certificate for
// another name is accepted. The same request without the security flags is
// refused by the platform, so this shows that they are applied.
TEST(WebRequestSecurity, UntrustedCertificatesAreAccepted) {
  const Text secure_base = AsText(WebRequest(Service("/_tls")).body);
  ASSERT_TRUE(text_starts_with(secure_base, "https://127.0.0.1:")) << secure_base;
  WebRequestOptions options;
  options.method = kMethodPost;
  options.bodyBytes = {'s', 0, 'e'};
  const WebResponse response = WebRequest(secure_base + "/echo?secure=1", options);
  const Echo echo(response.body);
  EXPECT_EQ(echo.request_line, "POST /echo?secure=1 HTTP/1.1");
  EXPECT_EQ(echo.body, Text("s\0e", 3));
  EXPECT_TRUE(text_starts_with(response.receivedHeaders.value_or(""), "HTTP/1.1 200 OK\r\n"));
}

TEST(WebRequestLimits, OversizedResponseHeadersGiveNoHeadersButTheBody) {
  // Lines of a few kilobytes each: the platform shortens single long lines.
  Text target = "/respond?header=Set-Cookie:%20a=1&body=still%20here";
  for (int i = 0; i < 3; ++i) target += "&header=X-Big:%20" + Text(2000, 'v');
  const WebResponse response = WebRequest(Service(target));
  EXPECT_EQ(AsText(response.body), "still here");
  EXPECT_EQ(response.receivedHeaders, "");
  EXPECT_EQ(response.receivedCookies, "");
}

TEST(WebRequestLimits, GiganticRequestHeadersFailQuietly) {
  WebRequestOptions options;
  options.headers = "X-Huge: " + Text(5 * 1024 * 1024, 'h');
  const WebResponse response = WebRequest(Service("/echo"), options);
  EXPECT_EQ(AsText(response.body).find("GET /echo"), Text::npos);
  EXPECT_EQ(Echo(WebRequest(Service("/echo")).body).request_line, "GET /echo HTTP/1.1");
}

TEST(WebRequestLimits, MalformedUrlsGiveAnEmptyBody) {
  const Text port = ServiceHostAndPort().substr(ServiceHostAndPort().find(':') + 1);
  // Cut to 16 bits, this port would be the service's own.
  const Text wrapped_port = std::to_string(std::stoi(port) + 65536);
  for (const Text& url : {Text(), Text("http://"), Text("http:///echo"), Text("http://:" + port + "/echo"),
                          "http://127.0.0.1:" + wrapped_port + "/echo", Text("http://127.0.0.1:") + Text(300, '9'),
                          Text("http://no-such-host.invalid/echo"), Text("http://127.0.0.1:1/echo"),
                          "http://\xD6\xD0\xCE\xC4:" + port + "/echo"}) {
    EXPECT_TRUE(WebRequest(url).body.empty()) << url;
  }
}

}  // namespace
}  // namespace lumen
