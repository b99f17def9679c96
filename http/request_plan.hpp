#pragma once
// What one web request sends: everything the transport needs, worked out
// from the URL and the caller's options before any connection is opened.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "http/method.hpp"
#include "runtime/byte_buffer.hpp"
#include "runtime/text.hpp"

namespace lumen {

// Request flags.
inline constexpr std::uint32_t kFlagReload = 0x80000000;          // never answered from the cache
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010;
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000;       // the platform's cookie store stays out
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000;
inline constexpr std::uint32_t kFlagSecure = 0x00800000;
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x00004000;

// Every certificate problem is ignored: revocation, unknown authority, wrong
// usage, wrong name, expiry, redirects between http and https, weak signatures.
inline constexpr std::uint32_t kIgnoreAllCertificateErrors = 0x0001F380;

// A build for a service with a valid certificate (SERVICE_TLS=strict) keeps
// the platform's certificate checks: it ignores none.
enum class ServiceTls { IgnoreCertificateErrors, Strict };
[[nodiscard]] std::uint32_t SecurityFlagsFor(ServiceTls tls);
// As this build was configured.
[[nodiscard]] ServiceTls BuiltInServiceTls();

// A response body is read up to this size; what a server sends beyond it is
// not read, so that no server can exhaust the process's address space.
inline constexpr std::size_t kMaxResponseBody = 64 * 1024 * 1024;

// The caller's choices for one request. `cookies` is present when the caller
// supplied it, even empty: that alone keeps the platform's cookie store out
// of the request and makes the received cookies merge with it.
struct WebRequestOptions {
  std::int32_t method = kMethodGet;
  Text body;  // sent when bodyBytes is empty
  std::optional<Text> cookies;
  Text headers;  // extra lines joined by CR LF
  bool noRedirect = false;
  ByteBuffer bodyBytes;
  Text proxy;  // host:port; empty for a direct connection
  bool mergeCookies = true;
  bool addDefaultHeaders = true;
  bool normalizeHeaderNames = true;
  // How long to wait for the connection and for each answer; zero leaves
  // the platform's own time-outs.
  std::uint32_t connectTimeoutMs = 0;
  std::uint32_t receiveTimeoutMs = 0;
};

struct RequestPlan {
  Text verb;
  Text agent;
  // Empty for a direct connection; otherwise the platform's proxy list.
  Text proxyList;
  Text host;
  std::int32_t port = 0;
  Text path;
  std::uint32_t flags = 0;
  std::uint32_t securityFlags = kIgnoreAllCertificateErrors;
  Text headers;
  // Nothing for GET, which never sends a body.
  std::optional<ByteBuffer> payload;
  std::size_t bodyLimit = kMaxResponseBody;
  // Zero leaves the platform's own time-outs.
  std::uint32_t connectTimeoutMs = 0;
  std::uint32_t receiveTimeoutMs = 0;
};

[[nodiscard]] RequestPlan PlanRequest(std::string_view url, const WebRequestOptions& options);

}  // namespace lumen
