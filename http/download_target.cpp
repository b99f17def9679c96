#include "http/download_target.hpp"

#include <algorithm>

namespace lumen {
namespace {

// What follows the last slash, backslash or drive colon; "." and ".." name
// no file.
[[nodiscard]] Text last_component(std::string_view name) {
  const int slash = std::max({find_text_last(name, "\\"), find_text_last(name, "/"), find_text_last(name, ":")});
  Text component = slash < 1 ? Text(name) : Text(name.substr(static_cast<std::size_t>(slash)));
  if (component == "." || component == "..") return {};
  return component;
}

// The URL's path without its query or fragment.
[[nodiscard]] std::string_view without_query(std::string_view url) {
  return url.substr(0, std::min(url.find('?'), url.find('#')));
}

}  // namespace

DownloadTarget SplitTargetPath(std::string_view target_path, std::string_view program_directory) {
  if (target_path.empty()) return {Text(program_directory) + "\\", {}};
  const int slash = find_text_last(target_path, "\\");
  if (slash < 1) return {{}, Text(target_path)};
  const auto cut = static_cast<std::size_t>(slash);
  return {Text(target_path.substr(0, cut)), Text(target_path.substr(cut))};
}

Text QuotedNameInHeaders(std::string_view raw_headers) {
  const std::size_t open = raw_headers.find('"');
  if (open == std::string_view::npos) return {};
  const std::size_t close = raw_headers.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return Text(raw_headers.substr(open + 1, close - open - 1));
}

Text ChooseDownloadName(std::string_view server_name, std::string_view url) {
  Text name = last_component(server_name);
  if (name.empty()) name = last_component(without_query(url));
  return name;
}

}  // namespace lumen
