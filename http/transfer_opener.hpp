#pragma once
// How the downloader reaches a server: it opens a URL with its request
// headers and gets the answer's status, headers and body. The running
// installer opens through WinINet (http/win/url_transfer.hpp); tests answer
// with prepared responses.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "http/transfer_loop.hpp"
#include "runtime/text.hpp"

namespace lumen {

// One opened resource: its answer's status and headers, and its body.
class OpenedTransfer : public ResponseBody {
 public:
  // The HTTP status, or 0 when the answer has none.
  [[nodiscard]] virtual int Status() const = 0;
  // The announced body length (for a ranged answer: of the part sent).
  [[nodiscard]] virtual std::optional<std::int64_t> ContentLength() const = 0;
  [[nodiscard]] virtual Text ContentRange() const = 0;
  // Status line and header lines, each ending in CR LF.
  [[nodiscard]] virtual Text RawHeaders() const = 0;
};

class TransferOpener {
 public:
  TransferOpener() = default;
  TransferOpener(const TransferOpener&) = delete;
  TransferOpener& operator=(const TransferOpener&) = delete;
  virtual ~TransferOpener() = default;

  // Nothing when the request fails (a host that does not resolve, a refused
  // connection).
  [[nodiscard]] virtual std::unique_ptr<OpenedTransfer> Open(std::string_view url, std::string_view headers) = 0;
};

}  // namespace lumen
