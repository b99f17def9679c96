#include "http/win/web_request.hpp"

#include "http/win/wininet_transport.hpp"

namespace lumen {

WebResponse WebRequest(std::string_view url, const WebRequestOptions& options) {
  win::WinInetTransport transport;
  return WebRequest(url, options, transport);
}

}  // namespace lumen
