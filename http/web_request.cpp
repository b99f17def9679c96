#include "http/web_request.hpp"

#include <utility>

#include "http/cookie_jar.hpp"
#include "http/received_cookies.hpp"
#include "http/url.hpp"

namespace lumen {

WebResponse WebRequest(std::string_view url, const WebRequestOptions& options, HttpTransport& transport) {
  const RequestPlan plan = PlanRequest(url, options);
  // A port no connection can be made to fails like a connection that cannot
  // be opened, rather than reaching some other port cut to 16 bits.
  if (!IsConnectablePort(plan.port)) return {};

  TransportOutcome outcome = transport.Exchange(plan);
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
