#include "http/cookie_jar.hpp"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace lumen {
namespace {

constexpr std::string_view kSeparator = "; ";
constexpr std::string_view kDeletedMark = "=deleted";

// Trimmed, with a trailing ";" turned into a separator, then split at it.
[[nodiscard]] std::vector<Text> CookieItems(std::string_view cookies) {
  Text text = trim_spaces(cookies);
  if (!text.empty() && text.back() == ';') text += ' ';
  return split_text(text, kSeparator).items();
}

[[nodiscard]] bool IsDeleted(std::string_view item) { return item.ends_with(kDeletedMark); }

[[nodiscard]] Text Joined(const std::vector<Text>& items, std::string_view separator) {
  Text out;
  for (const Text& item : items) {
    out += item;
    out += separator;
  }
  out.resize(out.size() - std::min(out.size(), separator.size()));
  return out;
}

}  // namespace

Text CookieJar::Merge(std::string_view oldCookies, std::string_view newCookies) {
  std::vector<Text> merged = CookieItems(newCookies);
  std::unordered_set<Text> names;
  for (const Text& item : merged) names.insert(CookieName(item));
  // An old item joins only when no item before it has its name, so of
  // several old items with one name the first one counts.
  for (const Text& item : CookieItems(oldCookies)) {
    if (names.insert(CookieName(item)).second) merged.push_back(item);
  }
  std::erase_if(merged, [](const Text& item) { return IsDeleted(item); });
  return RemoveDuplicateItems(Joined(merged, kSeparator), kSeparator);
}

Text CookieJar::CookieName(std::string_view item) {
  const std::size_t equals = item.find('=');
  return trim_spaces(item.substr(0, equals));
}

Text CookieJar::RemoveDuplicateItems(std::string_view text, std::string_view separator) {
  std::vector<Text> kept;
  std::unordered_set<Text> seen;
  for (const Text& item : split_text(text, separator)) {
    if (seen.insert(item).second) kept.push_back(item);
  }
  return Joined(kept, separator);
}

}  // namespace lumen
