#pragma once
// One complete HTTP or HTTPS exchange: the request is planned here, sent by a
// transport (WinINet on Windows), and the answer's cookies are worked out
// here. Nothing is kept between calls.

#include <optional>
#include <string_view>

#include "http/request_plan.hpp"
#include "runtime/byte_buffer.hpp"
#include "runtime/text.hpp"

namespace lumen {

// What came back. The status code is not looked at: an error page or an
// unfollowed redirect is a body like any other. receivedHeaders and
// receivedCookies are absent when no request could be opened at all, so that
// a caller keeps what it held; receivedHeaders is empty when the header block
// could not be read (for example because it is too long).
struct WebResponse {
  ByteBuffer body;
  std::optional<Text> receivedHeaders;
  std::optional<Text> receivedCookies;
};

// What a transport reports for one planned request.
struct TransportOutcome {
  // The session, the connection and the request were all opened.
  bool opened = false;
  // The bytes read before the end, a failed read or the plan's limit.
  ByteBuffer body;
  // The status line and header lines, each ending in CR LF; absent when
  // they could not be read.
  std::optional<Text> rawHeaders;
};

class HttpTransport {
 public:
  HttpTransport() = default;
  HttpTransport(const HttpTransport&) = delete;
  HttpTransport& operator=(const HttpTransport&) = delete;
  virtual ~HttpTransport() = default;

  [[nodiscard]] virtual TransportOutcome Exchange(const RequestPlan& plan) = 0;
};

[[nodiscard]] WebResponse WebRequest(std::string_view url, const WebRequestOptions& options,
                                     HttpTransport& transport);

}  // namespace lumen
