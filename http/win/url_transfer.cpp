#include "http/win/url_transfer.hpp"

#include <algorithm>
#include <limits>

#include "http/download_request.hpp"
#include "http/download_response.hpp"
#include "http/network_limits.hpp"
#include "http/redirect.hpp"
#include "runtime/convert.hpp"

namespace lumen {
namespace {

// A fresh copy every time: an executable served from an earlier download
// would install an old version, and an installer's body has no business in
// the browser's cache. Redirects are followed here, by hand and counted:
// the platform left to itself follows a loop for ever.
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
  InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

}  // namespace

UrlTransfer::UrlTransfer(win::InternetHandle session, win::InternetHandle resource) noexcept
    : session_(std::move(session)), resource_(std::move(resource)) {}

UrlTransfer::~UrlTransfer() {
  if (interrupted_) (void)resource_.release();
}

void UrlTransfer::interrupt() noexcept {
  if (!interrupted_.exchange(true)) InternetCloseHandle(resource_.get());
}

std::unique_ptr<UrlTransfer> UrlTransfer::Open(std::string_view url, std::string_view headers) {
  const Text agent = DownloadAgentName(GetTickCount());
  win::InternetHandle session(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return nullptr;
  SetTimeout(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, kDownloadConnectTimeoutMs);
  SetTimeout(session.get(), INTERNET_OPTION_SEND_TIMEOUT, kDownloadReceiveTimeoutMs);
  SetTimeout(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kDownloadReceiveTimeoutMs);
  const Text header_block(headers);
  Text address(url);
  for (int redirects = 0;; ++redirects) {
    win::InternetHandle resource(InternetOpenUrlA(session.get(), address.c_str(), header_block.c_str(),
                                                  static_cast<DWORD>(header_block.size()), kOpenFlags, 0));
    if (!resource) return nullptr;
    std::unique_ptr<UrlTransfer> transfer(new UrlTransfer(std::move(session), std::move(resource)));
    std::optional<Text> next = transfer->RedirectTarget(address);
    if (!next) return transfer;
    // One redirect too many fails like a resource that cannot be opened.
    if (redirects == kMaxRedirects) return nullptr;
    session = transfer->ReleaseSession();
    address = std::move(*next);
  }
}

std::optional<Text> UrlTransfer::RedirectTarget(std::string_view from_url) const {
  if (!IsRedirectStatus(Status())) return std::nullopt;
  const auto location = QueryHeader(HTTP_QUERY_LOCATION);
  return location ? lumen::RedirectTarget(from_url, *location) : std::nullopt;
}

win::InternetHandle UrlTransfer::ReleaseSession() noexcept {
  resource_.reset();
  return std::move(session_);
}

std::optional<Text> UrlTransfer::QueryHeader(DWORD info_level) const {
  if (interrupted_) return std::nullopt;
  Text value(256, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto length = static_cast<DWORD>(value.size());
    if (HttpQueryInfoA(resource_.get(), info_level, value.data(), &length, nullptr)) {
      value.resize(length);
      return value;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    value.assign(length + 1, '\0');
  }
  return std::nullopt;
}

int UrlTransfer::Status() const {
  if (interrupted_) return 0;
  DWORD status = 0;
  DWORD length = sizeof status;
  if (!HttpQueryInfoA(resource_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) {
    return 0;
  }
  return status > static_cast<DWORD>(std::numeric_limits<int>::max()) ? 0 : static_cast<int>(status);
}

std::optional<std::int64_t> UrlTransfer::ContentLength() const {
  const auto value = QueryHeader(HTTP_QUERY_CONTENT_LENGTH);
  return value ? ParseContentLength(*value) : std::nullopt;
}

Text UrlTransfer::ContentRange() const { return QueryHeader(HTTP_QUERY_CONTENT_RANGE).value_or(Text{}); }

Text UrlTransfer::RawHeaders() const { return QueryHeader(HTTP_QUERY_RAW_HEADERS_CRLF).value_or(Text{}); }

BodyRead UrlTransfer::read(std::span<std::uint8_t> into) {
  if (interrupted_) return {false, 0};
  DWORD got = 0;
  const auto want = static_cast<DWORD>(std::min<std::size_t>(into.size(), std::numeric_limits<DWORD>::max()));
  if (!InternetReadFile(resource_.get(), into.data(), want, &got)) return {false, 0};
  return {true, got};
}

}  // namespace lumen
