#include "http/web_request.hpp"

#include <utility>

#include "http/cookie_jar.hpp"
#include "http/network_limits.hpp"
#include "http/received_cookies.hpp"
#include "http/redirect.hpp"
#include "http/url.hpp"

namespace lumen {
namespace {

// One request, redirects not followed. A port no connection can be made to
// fails like a connection that cannot be opened, rather than reaching some
// other port cut to 16 bits.
[[nodiscard]] std::optional<TransportOutcome> ExchangeOnce(RequestPlan plan, HttpTransport& transport) {
  if (!IsConnectablePort(plan.port)) return std::nullopt;
  plan.flags |= kFlagNoAutoRedirect;
  return transport.Exchange(plan);
}

// The request for one hop of a redirect. As the platform's own redirect
// would, it keeps the original request's session (its agent and proxy list)
// and header block, the Referer naming the address first asked included;
// only the address, and with it the flags of its scheme, is the hop's own.
[[nodiscard]] RequestPlan PlanHop(std::string_view address, const WebRequestOptions& hop,
                                  const RequestPlan& original) {
  RequestPlan plan = PlanRequest(address, hop);
  plan.agent = original.agent;
  plan.proxyList = original.proxyList;
  plan.headers = original.headers;
  return plan;
}

// The next address when the answer is a redirect to be followed.
[[nodiscard]] std::optional<Text> NextAddress(std::string_view url, const TransportOutcome& outcome) {
  if (!outcome.opened || !outcome.rawHeaders || !IsRedirectStatus(StatusOfHeaders(*outcome.rawHeaders))) {
    return std::nullopt;
  }
  const auto location = HeaderValue(*outcome.rawHeaders, "Location");
  return location ? RedirectTarget(url, *location) : std::nullopt;
}

// Follows redirects by hand, up to kMaxRedirects: the platform left to
// itself follows a server that redirects to itself for ever. One redirect
// too many fails like a request that could not be opened.
[[nodiscard]] std::optional<TransportOutcome> Exchange(std::string_view url, const WebRequestOptions& options,
                                                       HttpTransport& transport) {
  const RequestPlan original = PlanRequest(url, options);
  Text address(url);
  WebRequestOptions hop = options;
  for (int redirects = 0;; ++redirects) {
    std::optional<TransportOutcome> outcome =
        ExchangeOnce(redirects == 0 ? original : PlanHop(address, hop, original), transport);
    if (!outcome || options.noRedirect) return outcome;
    std::optional<Text> next = NextAddress(address, *outcome);
    if (!next) return outcome;
    if (redirects == kMaxRedirects) return std::nullopt;
    // As browsers do: what follows 301, 302 and 303 is a GET without a body.
    if (StatusOfHeaders(*outcome->rawHeaders) <= 303) {
      hop.method = kMethodGet;
      hop.body.clear();
      hop.bodyBytes.clear();
    }
    address = std::move(*next);
  }
}

}  // namespace

WebResponse WebRequest(std::string_view url, const WebRequestOptions& options, HttpTransport& transport) {
  std::optional<TransportOutcome> exchanged = Exchange(url, options, transport);
  if (!exchanged) return {};
  TransportOutcome& outcome = *exchanged;
  WebResponse response;
  response.body = std::move(outcome.body);
  if (!outcome.opened) return response;

  response.receivedHeaders = std::move(outcome.rawHeaders).value_or(Text());
  Text cookies = ReceivedCookies(*response.receivedHeaders);
  if (options.mergeCookies && options.cookies) cookies = CookieJar::Merge(*options.cookies, cookies);
  response.receivedCookies = std::move(cookies);
  return response;
}

}  // namespace lumen
