#include "tools/stamp/id_list.hpp"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace lumen::stamp {
namespace {

[[nodiscard]] std::string_view trimmed(std::string_view line) {
  constexpr std::string_view kBlanks = " \t\r";
  const std::size_t begin = line.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  return line.substr(begin, line.find_last_not_of(kBlanks) - begin + 1);
}

[[nodiscard]] std::string_view without_byte_order_mark(std::string_view content) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  return content.starts_with(kBom) ? content.substr(kBom.size()) : content;
}

}  // namespace

Result<std::vector<Stamp>> parse_id_list(std::string_view content) {
  std::vector<Stamp> ids;
  std::unordered_map<std::string_view, std::size_t> line_of;  // digits -> line
  std::string faults;
  const auto fault = [&faults](std::size_t line, const std::string& why) {
    if (!faults.empty()) faults += '\n';
    faults.append("line ").append(std::to_string(line)).append(": ").append(why);
  };

  std::string_view rest = without_byte_order_mark(content);
  for (std::size_t number = 1; !rest.empty(); ++number) {
    const std::size_t line_end = std::min(rest.find('\n'), rest.size());
    const std::string_view line = trimmed(rest.substr(0, line_end));
    rest.remove_prefix(std::min(line_end + 1, rest.size()));
    if (line.empty() || line.starts_with('#')) continue;

    Result<Stamp> id = Stamp::from_agent_id(line);
    if (!id.ok()) {
      fault(number, id.error());
      continue;
    }
    const auto [earlier, first] = line_of.try_emplace(line, number);
    if (!first) {
      fault(number, std::string(line) + " repeats line " + std::to_string(earlier->second));
      continue;
    }
    ids.push_back(std::move(id).value());
  }
  if (!faults.empty()) return Error{faults};
  if (ids.empty()) return Error{"lists no agent ids"};
  return ids;
}

}  // namespace lumen::stamp
