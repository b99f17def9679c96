#include "tools/stamp/agent_id.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

namespace lumen::stamp {
namespace {

[[nodiscard]] bool is_ascii_digit(char c) noexcept { return c >= '0' && c <= '9'; }

[[nodiscard]] bool all_digits(std::string_view text) noexcept {
  return std::all_of(text.begin(), text.end(), is_ascii_digit);
}

// The text in quotes, with every byte outside printable ASCII as \xNN, so
// that what a person typed or a list holds cannot drive the terminal.
[[nodiscard]] std::string quoted(std::string_view text) {
  std::string shown = "\"";
  for (const char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      shown += c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
      shown += escaped;
    }
  }
  return shown + "\"";
}

}  // namespace

Stamp::Stamp(std::string_view digits) noexcept { std::copy_n(digits.begin(), kStampSize, digits_.begin()); }

Result<Stamp> Stamp::from_agent_id(std::string_view text) {
  if (text.size() == kStampSize && all_digits(text)) {
    if (text == "00000000") {
      return Error{"agent id " + quoted(text) +
                   " is all zeros: the installer reads that as no id and asks the service for agent 1"};
    }
    return Stamp(text);
  }
  std::string message = "agent id " + quoted(text) + " is not exactly 8 ASCII digits";
  // A short number is most likely the id without its leading zeros.
  if (!text.empty() && text.size() < kStampSize && all_digits(text) && text.find_first_not_of('0') != std::string_view::npos) {
    message += " (zero-padded: " + std::string(kStampSize - text.size(), '0') + std::string(text) + ")";
  }
  return Error{message};
}

std::optional<Stamp> Stamp::from_bytes(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.size() != kStampSize || !all_digits(text)) return std::nullopt;
  return Stamp(text);
}

}  // namespace lumen::stamp
