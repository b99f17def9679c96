#pragma once
// The list of agent ids a batch stamps: one id per line. Blank lines and
// lines starting with '#' are skipped; spaces, tabs, a CR before the line
// feed and a UTF-8 byte order mark, as editors leave them, are ignored.

#include <string_view>
#include <vector>

#include "tools/stamp/agent_id.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

// Every id of the list, in order; or, when any line is bad or an id repeats,
// one message line per fault ("line N: ..."), so the whole list can be
// mended at once.
[[nodiscard]] Result<std::vector<Stamp>> parse_id_list(std::string_view content);

}  // namespace lumen::stamp
