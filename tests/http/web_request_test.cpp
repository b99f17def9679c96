#include "http/web_request.hpp"

#include <gtest/gtest.h>

#include "http/request_headers.hpp"

#include <utility>
#include <vector>

namespace lumen {
namespace {

constexpr std::uint32_t kPlainDefaults = 0x80004010;
constexpr std::uint32_t kSecureDefaults = 0x80800010;

WebRequestOptions WithCookies(Text cookies) {
  WebRequestOptions options;
  options.cookies = std::move(cookies);
  return options;
}

TEST(PlanRequest, AllDefaults) {
  const Text url = "http://Srv:8080/Path?q=1";
  const RequestPlan plan = PlanRequest(url, {});
  EXPECT_EQ(plan.verb, "GET");
  EXPECT_EQ(plan.agent, "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(plan.proxyList, "");
  EXPECT_EQ(plan.host, "srv");
  EXPECT_EQ(plan.port, 8080);
  EXPECT_EQ(plan.path, "/Path?q=1");
  EXPECT_EQ(plan.flags, kPlainDefaults);
  EXPECT_EQ(plan.securityFlags, SecurityFlagsFor(BuiltInServiceTls()));
  EXPECT_EQ(plan.headers, "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn");
  EXPECT_FALSE(plan.payload.has_value());
  EXPECT_EQ(plan.bodyLimit, kMaxResponseBody);
}

TEST(PlanRequest, FlagsFollowTheOptionsAndTheScheme) {
  WebRequestOptions no_redirect;
  no_redirect.noRedirect = true;
  struct Case { const char* name; Text url; WebRequestOptions options; std::uint32_t want; };
  const Case cases[] = {
      {"plain", "http://a/", {}, kPlainDefaults},
      {"secure", "HTTPS://a/", {}, kSecureDefaults},
      {"cookies supplied, even empty", "http://a/", WithCookies(""), kPlainDefaults | 0x00080000},
      {"no redirect", "http://a/", no_redirect, kPlainDefaults | 0x00200000},
      {"secure, no redirect, cookies", "https://a/", [&] {
         WebRequestOptions o = WithCookies("a=1");
         o.noRedirect = true;
         return o;
       }(), kSecureDefaults | 0x00080000 | 0x00200000},
  };
  for (const Case& c : cases) EXPECT_EQ(PlanRequest(c.url, c.options).flags, c.want) << c.name;
}

// Every certificate error is ignored unless the build is for a service with
// a valid certificate; then none is, on plain requests as on secure ones.
TEST(PlanRequest, CertificateChecksFollowTheServiceTlsSetting) {
  EXPECT_EQ(SecurityFlagsFor(ServiceTls::IgnoreCertificateErrors), 0x0001F380u);
  EXPECT_EQ(SecurityFlagsFor(ServiceTls::Strict), 0u);
  EXPECT_EQ(BuiltInServiceTls(), ServiceTls::IgnoreCertificateErrors) << "the default configuration";
  for (const char* url : {"http://a/", "https://a/"}) {
    EXPECT_EQ(PlanRequest(url, {}).securityFlags, SecurityFlagsFor(BuiltInServiceTls())) << url;
  }
}

TEST(PlanRequest, VerbsAndPayloads) {
  struct Case { std::int32_t method; const char* verb; bool sends_body; };
  const Case cases[] = {
      {0, "GET", false}, {1, "POST", true}, {2, "HEAD", true}, {3, "PUT", true}, {4, "OPTIONS", true},
      {5, "DELETE", true}, {6, "TRACE", true}, {7, "CONNECT", true}, {8, "GET", false}, {9, "GET", false},
      {-1, "GET", false},
  };
  for (const Case& c : cases) {
    WebRequestOptions options;
    options.method = c.method;
    options.body = "text";
    const RequestPlan plan = PlanRequest("http://a/", options);
    EXPECT_EQ(plan.verb, c.verb) << c.method;
    EXPECT_EQ(plan.payload.has_value(), c.sends_body) << c.method;
    if (plan.payload) {
      EXPECT_EQ(*plan.payload, to_buffer("text")) << c.method;
    }
  }

  WebRequestOptions bytes;
  bytes.method = kMethodPost;
  bytes.body = "ignored";
  bytes.bodyBytes = {'a', 0, 'b', 0};
  EXPECT_EQ(*PlanRequest("http://a/", bytes).payload, (ByteBuffer{'a', 0, 'b', 0}));

  WebRequestOptions empty_post;
  empty_post.method = kMethodPost;
  EXPECT_EQ(PlanRequest("http://a/", empty_post).payload, ByteBuffer{});
}

TEST(PlanRequest, ProxyListDependsOnTheScheme) {
  WebRequestOptions options;
  options.proxy = "127.0.0.1:8888";
  EXPECT_EQ(PlanRequest("http://a/", options).proxyList, "http=127.0.0.1:8888");
  EXPECT_EQ(PlanRequest("a/", options).proxyList, "http=127.0.0.1:8888");
  EXPECT_EQ(PlanRequest("https://a/", options).proxyList, "127.0.0.1:8888");
}

TEST(PlanRequest, HeaderBlockFromNormalisationDefaultsAndCookies) {
  const Text url = "http://a/x";
  struct Case { const char* name; WebRequestOptions options; Text headers; Text agent; };
  auto with = [](auto change) {
    WebRequestOptions o;
    change(o);
    return o;
  };
  const Case cases[] = {
      {"normalised agent", with([](auto& o) { o.headers = "user-agent: MyAgent"; }),
       "User-Agent: MyAgent\r\nAccept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn", "MyAgent"},
      {"agent without normalisation", with([](auto& o) {
         o.headers = "user-agent: MyAgent";
         o.normalizeHeaderNames = false;
       }),
       "user-agent: MyAgent\r\nAccept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn", "MyAgent"},
      {"no defaults", with([](auto& o) {
         o.headers = "x-a: 1\r\nbroken";
         o.addDefaultHeaders = false;
       }),
       "X-A: 1", Text(kDefaultUserAgent)},
      {"cookies without defaults", with([](auto& o) {
         o.cookies = "a=1; b=2";
         o.addDefaultHeaders = false;
       }),
       "\r\nCookie: a=1; b=2", Text(kDefaultUserAgent)},
      {"cookies after the defaults", with([](auto& o) { o.cookies = "Cookie: a=1"; }),
       "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn\r\nCookie: a=1", Text(kDefaultUserAgent)},
      {"empty cookies add no line", with([](auto& o) {
         o.cookies = "";
         o.addDefaultHeaders = false;
       }),
       "", Text(kDefaultUserAgent)},
  };
  for (const Case& c : cases) {
    const RequestPlan plan = PlanRequest(url, c.options);
    EXPECT_EQ(plan.headers, c.headers) << c.name;
    EXPECT_EQ(plan.agent, c.agent) << c.name;
  }
}

// Answers every request with a prepared outcome and remembers the plans.
class FakeTransport final : public HttpTransport {
 public:
  explicit FakeTransport(TransportOutcome outcome) : outcome_(std::move(outcome)) {}
  TransportOutcome Exchange(const RequestPlan& plan) override {
    plans.push_back(plan);
    return outcome_;
  }
  std::vector<RequestPlan> plans;

 private:
  TransportOutcome outcome_;
};

TransportOutcome Answer(Text raw_headers, ByteBuffer body = {'o', 'k'}) {
  return {.opened = true, .body = std::move(body), .rawHeaders = std::move(raw_headers)};
}

TEST(WebRequest, ReturnsBodyHeadersAndReceivedCookies) {
  const Text headers = "HTTP/1.1 200 OK\r\nSet-Cookie: sid=abc; path=/\r\nSet-Cookie: lang=zh\r\n\r\n";
  FakeTransport transport(Answer(headers, {'a', 0, 'b'}));
  const WebResponse response = WebRequest("http://a/", {}, transport);
  EXPECT_EQ(response.body, (ByteBuffer{'a', 0, 'b'}));
  EXPECT_EQ(response.receivedHeaders, headers);
  EXPECT_EQ(response.receivedCookies, "sid=abc; lang=zh");
}

TEST(WebRequest, MergesOnlySuppliedCookiesWhenAsked) {
  const Text headers = "HTTP/1.1 200 OK\r\nSet-Cookie: b=3\r\nSet-Cookie: c=deleted\r\n";
  struct Case { const char* name; WebRequestOptions options; Text want; };
  WebRequestOptions no_merge = WithCookies("a=1; b=2");
  no_merge.mergeCookies = false;
  const Case cases[] = {
      {"merged", WithCookies("a=1; b=2; c=4"), "b=3; a=1"},
      {"not supplied: nothing to merge", {}, "b=3; c=deleted"},
      {"merging off", no_merge, "b=3; c=deleted"},
      {"supplied empty still merges", WithCookies(""), "b=3"},
  };
  for (const Case& c : cases) {
    FakeTransport transport(Answer(headers));
    EXPECT_EQ(WebRequest("http://a/", c.options, transport).receivedCookies, c.want) << c.name;
  }
}

TEST(WebRequest, UnreadableHeadersAreBlankButCookiesStillMerge) {
  FakeTransport transport({.opened = true, .body = {'x'}, .rawHeaders = std::nullopt});
  const WebResponse response = WebRequest("http://a/", WithCookies("a=1; a=2"), transport);
  EXPECT_EQ(response.body, ByteBuffer{'x'});
  EXPECT_EQ(response.receivedHeaders, "");
  EXPECT_EQ(response.receivedCookies, "a=1");
}

TEST(WebRequest, NothingOpenedLeavesTheOutValuesAlone) {
  FakeTransport transport({.opened = false, .body = {}, .rawHeaders = std::nullopt});
  const WebResponse response = WebRequest("http://a/", WithCookies("a=1"), transport);
  EXPECT_TRUE(response.body.empty());
  EXPECT_FALSE(response.receivedHeaders.has_value());
  EXPECT_FALSE(response.receivedCookies.has_value());
}

TEST(WebRequest, PortsBeyondSixteenBitsAreNeverTried) {
  FakeTransport transport(Answer("HTTP/1.1 200 OK\r\n"));
  for (const char* url : {"http://a:65536/", "http://a:99999/", "http://a:4294967376/"}) {
    const WebResponse response = WebRequest(url, {}, transport);
    EXPECT_TRUE(response.body.empty()) << url;
    EXPECT_FALSE(response.receivedHeaders.has_value()) << url;
  }
  EXPECT_TRUE(transport.plans.empty());
  EXPECT_EQ(WebRequest("http://a:65535/", {}, transport).body, (ByteBuffer{'o', 'k'}));
}

// A server whose every address redirects to the next one, numbered from
// /hop/0, ending at /hop/`last` with a page; requests are recorded by path.
class RedirectChain final : public HttpTransport {
 public:
  explicit RedirectChain(int last, int status = 302) : last_(last), status_(status) {}
  TransportOutcome Exchange(const RequestPlan& plan) override {
    plans.push_back(plan);
    const int hop = std::stoi(plan.path.substr(5));
    if (hop >= last_) return Answer("HTTP/1.1 200 OK\r\n\r\n", {'e', 'n', 'd'});
    return Answer("HTTP/1.1 " + std::to_string(status_) + " Moved\r\nLocation: /hop/" + std::to_string(hop + 1) +
                  "\r\n\r\n");
  }
  std::vector<RequestPlan> plans;

 private:
  int last_;
  int status_;
};

TEST(WebRequestRedirects, AreFollowedByHandUpToTheBound) {
  struct Case { const char* name; int last; bool arrives; std::size_t requests; };
  const Case cases[] = {
      {"no redirect", 0, true, 1},
      {"ten redirects", 10, true, 11},
      {"eleven redirects", 11, false, 11},
      {"a loop", 1000000, false, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RedirectChain chain(c.last);
    const WebResponse response = WebRequest("http://a/hop/0", {}, chain);
    EXPECT_EQ(response.body, c.arrives ? (ByteBuffer{'e', 'n', 'd'}) : ByteBuffer{});
    EXPECT_EQ(response.receivedHeaders.has_value(), c.arrives);
    ASSERT_EQ(chain.plans.size(), c.requests);
    for (const RequestPlan& plan : chain.plans) EXPECT_NE(plan.flags & kFlagNoAutoRedirect, 0u);
    EXPECT_EQ(chain.plans.back().path, "/hop/" + std::to_string(c.requests - 1));
  }
}

TEST(WebRequestRedirects, AskedNotToFollowGivesTheRedirectItself) {
  RedirectChain chain(5);
  WebRequestOptions options;
  options.noRedirect = true;
  const WebResponse response = WebRequest("http://a/hop/0", options, chain);
  EXPECT_EQ(chain.plans.size(), 1u);
  EXPECT_TRUE(response.receivedHeaders.value_or("").starts_with("HTTP/1.1 302 "));
}

TEST(WebRequestRedirects, A303TurnsAPostIntoAGetAndA307KeepsIt) {
  WebRequestOptions post;
  post.method = kMethodPost;
  post.body = "form";
  for (const int status : {303, 307}) {
    RedirectChain chain(1, status);
    (void)WebRequest("http://a/hop/0", post, chain);
    ASSERT_EQ(chain.plans.size(), 2u);
    EXPECT_EQ(chain.plans[1].verb, status == 303 ? "GET" : "POST") << status;
    EXPECT_EQ(chain.plans[1].payload.has_value(), status == 307) << status;
  }
}

}  // namespace
}  // namespace lumen
