#pragma once
// Where a download lands: the target folder, the final file name and the
// temporary file the transfer writes until the data is complete.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

inline constexpr std::string_view kTempFileSuffix = ".tmp";

struct DownloadTarget {
  Text folder;     // ends in a backslash, or is empty
  Text file_name;  // empty until a name is known

  [[nodiscard]] Text final_path() const { return folder + file_name; }
  [[nodiscard]] Text temp_path() const { return folder + file_name + Text(kTempFileSuffix); }
};

// The folder up to and including the last backslash and the name after it.
// An empty path names the program's own folder and leaves the name open.
[[nodiscard]] DownloadTarget SplitTargetPath(std::string_view target_path, std::string_view program_directory);

// The first double-quoted string of a raw header block, or the empty text.
[[nodiscard]] Text QuotedNameInHeaders(std::string_view raw_headers);

// A name for a target path that has none: the server's name when it is a
// usable file name, otherwise the URL's last path segment. Only the last
// component of either is kept, so the file never lands outside its folder;
// the result is empty when neither gives a name.
[[nodiscard]] Text ChooseDownloadName(std::string_view server_name, std::string_view url);

}  // namespace lumen
