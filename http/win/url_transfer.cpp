#include "http/win/url_transfer.hpp"

#include <algorithm>
#include <limits>

#include "http/download_request.hpp"
#include "http/download_response.hpp"
#include "runtime/convert.hpp"

namespace lumen {
namespace {

// A fresh copy every time: an executable served from an earlier download
// would install an old version, and an installer's body has no business in
// the browser's cache.
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

}  // namespace

UrlTransfer::UrlTransfer(win::InternetHandle session, win::InternetHandle resource) noexcept
    : session_(std::move(session)), resource_(std::move(resource)) {}

std::unique_ptr<UrlTransfer> UrlTransfer::Open(std::string_view url, std::string_view headers) {
  const Text agent = DownloadAgentName(GetTickCount());
  win::InternetHandle session(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return nullptr;
  const Text address(url);
  const Text header_block(headers);
  win::InternetHandle resource(InternetOpenUrlA(session.get(), address.c_str(), header_block.c_str(),
                                                static_cast<DWORD>(header_block.size()), kOpenFlags, 0));
  if (!resource) return nullptr;
  return std::unique_ptr<UrlTransfer>(new UrlTransfer(std::move(session), std::move(resource)));
}

std::optional<Text> UrlTransfer::QueryHeader(DWORD info_level) const {
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
  DWORD got = 0;
  const auto want = static_cast<DWORD>(std::min<std::size_t>(into.size(), std::numeric_limits<DWORD>::max()));
  if (!InternetReadFile(resource_.get(), into.data(), want, &got)) return {false, 0};
  return {true, got};
}

}  // namespace lumen
