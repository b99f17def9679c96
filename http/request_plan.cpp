#include "http/request_plan.hpp"

#include "http/request_headers.hpp"
#include "http/url.hpp"

namespace lumen {
namespace {

[[nodiscard]] Text ProxyList(std::string_view proxy, bool secure) {
  if (proxy.empty()) return {};
  // For plain requests the proxy serves http only; https requests get it as
  // their proxy for every protocol.
  return secure ? Text(proxy) : "http=" + Text(proxy);
}

[[nodiscard]] std::uint32_t RequestFlags(const WebRequestOptions& options, bool secure) {
  std::uint32_t flags = kFlagReload | kFlagNeedFile;
  if (options.cookies) flags |= kFlagNoCookies;
  if (options.noRedirect) flags |= kFlagNoAutoRedirect;
  flags |= secure ? kFlagSecure : kFlagIgnoreRedirectToHttps;
  return flags;
}

[[nodiscard]] std::optional<ByteBuffer> Payload(const WebRequestOptions& options, std::int32_t method) {
  if (method == kMethodGet) return std::nullopt;
  if (!options.bodyBytes.empty()) return options.bodyBytes;
  return to_buffer(options.body);
}

}  // namespace

std::uint32_t SecurityFlagsFor(ServiceTls tls) {
  return tls == ServiceTls::Strict ? 0 : kIgnoreAllCertificateErrors;
}

ServiceTls BuiltInServiceTls() {
#ifdef LUMEN_SERVICE_TLS_STRICT
  return ServiceTls::Strict;
#else
  return ServiceTls::IgnoreCertificateErrors;
#endif
}

RequestPlan PlanRequest(std::string_view url, const WebRequestOptions& options) {
  const std::int32_t method = KnownMethod(options.method);
  const bool secure = IsSecureUrl(url);
  Text headers = options.normalizeHeaderNames ? NormalizeHeaderNames(options.headers) : options.headers;

  RequestPlan plan;
  plan.verb = Text(VerbOf(method));
  plan.agent = UserAgentFor(headers);
  plan.proxyList = ProxyList(options.proxy, secure);
  plan.host = UrlHost(url);
  plan.port = UrlPort(url);
  plan.path = UrlPath(url);
  plan.flags = RequestFlags(options, secure);
  plan.securityFlags = SecurityFlagsFor(BuiltInServiceTls());
  if (options.addDefaultHeaders) headers = WithDefaultHeaders(headers, url, method);
  plan.headers = WithCookieHeader(headers, options.cookies.value_or(Text()));
  plan.payload = Payload(options, method);
  plan.connectTimeoutMs = options.connectTimeoutMs;
  plan.receiveTimeoutMs = options.receiveTimeoutMs;
  return plan;
}

}  // namespace lumen
