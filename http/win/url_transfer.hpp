#pragma once
// Resources opened through WinINet's URL interface: each with the session it
// belongs to, its status and headers, and its body read block by block.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "http/transfer_opener.hpp"
#include "http/win/internet_handle.hpp"
#include "runtime/text.hpp"

namespace lumen {

class UrlTransfer final : public OpenedTransfer {
 public:
  // Opens a session named after the tick count and the URL with the header
  // block, following up to kMaxRedirects redirects; nothing when the request
  // fails (a host that does not resolve, a refused connection, a time-out,
  // one redirect too many).
  [[nodiscard]] static std::unique_ptr<UrlTransfer> Open(std::string_view url, std::string_view headers);
  UrlTransfer(const UrlTransfer&) = delete;
  UrlTransfer& operator=(const UrlTransfer&) = delete;
  ~UrlTransfer() override;

  [[nodiscard]] int Status() const override;
  [[nodiscard]] std::optional<std::int64_t> ContentLength() const override;
  [[nodiscard]] Text ContentRange() const override;
  [[nodiscard]] Text RawHeaders() const override;

  [[nodiscard]] BodyRead read(std::span<std::uint8_t> into) override;
  // Closes the resource under a waiting read, which the platform then ends
  // with a failure.
  void interrupt() noexcept override;

 private:
  UrlTransfer(win::InternetHandle session, win::InternetHandle resource) noexcept;

  [[nodiscard]] std::optional<Text> QueryHeader(DWORD info_level) const;
  // Where the answer redirects to, when it is a redirect to follow.
  [[nodiscard]] std::optional<Text> RedirectTarget(std::string_view from_url) const;
  // Closes the resource and hands over the session for the next hop.
  [[nodiscard]] win::InternetHandle ReleaseSession() noexcept;

  // Declared first, closed last: the resource goes before its session.
  win::InternetHandle session_;
  win::InternetHandle resource_;
  // Once set, the resource handle is closed and never used again: its value
  // may already name another handle.
  std::atomic<bool> interrupted_{false};
};

// The running installer's way to the download servers.
class WinInetOpener final : public TransferOpener {
 public:
  [[nodiscard]] std::unique_ptr<OpenedTransfer> Open(std::string_view url, std::string_view headers) override {
    return UrlTransfer::Open(url, headers);
  }
};

}  // namespace lumen
