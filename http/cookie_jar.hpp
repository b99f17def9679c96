#pragma once
// Cookies carried across requests as plain text: items "name=value" joined by
// "; ", held by the caller and merged after every response. Nothing is
// decoded, validated or stored here.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

struct CookieJar {
  // The cookies to send next: those the response set (newCookies) first, then
  // those of oldCookies the response did not mention. An item ending in
  // "=deleted" removes its cookie; repeated items are sent once. Names are
  // compared exactly.
  [[nodiscard]] static Text Merge(std::string_view oldCookies, std::string_view newCookies);

  // The trimmed text before an item's first "="; the whole trimmed item
  // when it has none.
  [[nodiscard]] static Text CookieName(std::string_view item);

  // The items of text, split at separator, with every item that exactly
  // equals an earlier one removed.
  [[nodiscard]] static Text RemoveDuplicateItems(std::string_view text, std::string_view separator);
};

}  // namespace lumen
