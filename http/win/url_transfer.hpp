#pragma once
// One resource opened through WinINet's URL interface, with the session it
// belongs to: its status and headers, and its body read block by block.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "http/transfer_loop.hpp"
#include "http/win/internet_handle.hpp"
#include "runtime/text.hpp"

namespace lumen {

class UrlTransfer final : public ResponseBody {
 public:
  // Opens a session named after the tick count and the URL with the header
  // block; nothing when the request fails (a host that does not resolve, a
  // refused connection).
  [[nodiscard]] static std::unique_ptr<UrlTransfer> Open(std::string_view url, std::string_view headers);

  // The HTTP status, or 0 when the answer has none.
  [[nodiscard]] int Status() const;
  // The announced body length (for a ranged answer: of the part sent).
  [[nodiscard]] std::optional<std::int64_t> ContentLength() const;
  [[nodiscard]] Text ContentRange() const;
  // Status line and header lines, each ending in CR LF.
  [[nodiscard]] Text RawHeaders() const;

  [[nodiscard]] BodyRead read(std::span<std::uint8_t> into) override;

 private:
  UrlTransfer(win::InternetHandle session, win::InternetHandle resource) noexcept;

  [[nodiscard]] std::optional<Text> QueryHeader(DWORD info_level) const;

  // Declared first, closed last: the resource goes before its session.
  win::InternetHandle session_;
  win::InternetHandle resource_;
};

}  // namespace lumen
