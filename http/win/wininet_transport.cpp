#include "http/win/wininet_transport.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "http/win/internet_handle.hpp"

namespace lumen::win {
namespace {

constexpr DWORD kReadChunk = 1024;
constexpr DWORD kHeaderBuffer = 5000;

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
  InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

// On every handle: not every implementation of the platform passes a
// session's time-outs on to its connections and requests.
void SetTimeouts(HINTERNET handle, const RequestPlan& plan) {
  SetTimeout(handle, INTERNET_OPTION_CONNECT_TIMEOUT, plan.timeouts.connectMs);
  SetTimeout(handle, INTERNET_OPTION_SEND_TIMEOUT, plan.timeouts.sendMs);
  SetTimeout(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, plan.timeouts.receiveMs);
}

[[nodiscard]] InternetHandle OpenSession(const RequestPlan& plan) {
  const bool direct = plan.proxyList.empty();
  InternetHandle session(InternetOpenA(plan.agent.c_str(), direct ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PROXY,
                                       plan.proxyList.c_str(), "", 0));
  if (session) SetTimeouts(session.get(), plan);
  return session;
}

[[nodiscard]] InternetHandle Connect(HINTERNET session, const RequestPlan& plan) {
  return InternetHandle(InternetConnectA(session, plan.host.c_str(), static_cast<INTERNET_PORT>(plan.port), "", "",
                                         INTERNET_SERVICE_HTTP, 0, 0));
}

[[nodiscard]] InternetHandle OpenRequest(HINTERNET connection, const RequestPlan& plan) {
  return InternetHandle(HttpOpenRequestA(connection, plan.verb.c_str(), plan.path.c_str(), "HTTP/1.1", nullptr,
                                         nullptr, plan.flags, 0));
}

// A failed send shows as a body that cannot be read; it is not told apart.
void Send(HINTERNET request, const RequestPlan& plan) {
  DWORD security_flags = plan.securityFlags;
  InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &security_flags, sizeof security_flags);
  const auto header_length = static_cast<DWORD>(plan.headers.size());
  if (!plan.payload) {
    HttpSendRequestA(request, plan.headers.c_str(), header_length, nullptr, 0);
    return;
  }
  // The platform takes the optional data through a pointer to mutable bytes.
  ByteBuffer payload = *plan.payload;
  HttpSendRequestA(request, plan.headers.c_str(), header_length, payload.empty() ? nullptr : payload.data(),
                   static_cast<DWORD>(payload.size()));
}

// Reads until the data ends, a read fails, the limit is reached or memory
// runs out; the bytes read so far are the body in every case.
[[nodiscard]] ByteBuffer ReadBody(HINTERNET request, std::size_t limit) {
  ByteBuffer body;
  std::array<std::uint8_t, kReadChunk> chunk{};
  while (body.size() < limit) {
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(chunk.size(), limit - body.size()));
    DWORD read = 0;
    if (!InternetReadFile(request, chunk.data(), wanted, &read) || read == 0) break;
    try {
      body.insert(body.end(), chunk.begin(), chunk.begin() + read);
    } catch (const std::bad_alloc&) {
      break;
    }
  }
  return body;
}

[[nodiscard]] std::optional<Text> RawHeaders(HINTERNET request) {
  std::array<char, kHeaderBuffer> buffer{};
  DWORD length = buffer.size();
  if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr)) return std::nullopt;
  return Text(buffer.data(), strnlen(buffer.data(), std::min<std::size_t>(length, buffer.size())));
}

}  // namespace

TransportOutcome WinInetTransport::Exchange(const RequestPlan& plan) {
  TransportOutcome outcome;
  const InternetHandle session = OpenSession(plan);
  if (!session) return outcome;
  const InternetHandle connection = Connect(session.get(), plan);
  if (!connection) return outcome;
  SetTimeouts(connection.get(), plan);
  const InternetHandle request = OpenRequest(connection.get(), plan);
  if (!request) return outcome;
  SetTimeouts(request.get(), plan);

  outcome.opened = true;
  Send(request.get(), plan);
  outcome.body = ReadBody(request.get(), plan.bodyLimit);
  outcome.rawHeaders = RawHeaders(request.get());
  return outcome;
}

}  // namespace lumen::win
