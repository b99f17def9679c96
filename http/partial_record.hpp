#pragma once
// The record kept beside a temporary download file: what the partial file is
// a part of, so that it is only ever continued with bytes of the same file.
//
// It is a text file named after the temporary file with ".source" added,
// four lines ending in LF, in this order:
//   url=<the download address>
//   version=<the version the file belongs to>
//   length=<the whole file's size in bytes>
//   validator=<the server's ETag, else its Last-Modified; may be empty>
// A record that is not exactly this, longer than kPartialRecordLimit or
// holding a zero byte, is no record.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/file_system.hpp"
#include "runtime/text.hpp"

namespace lumen {

inline constexpr std::string_view kPartialRecordSuffix = ".source";
// Far more than any address a browser takes: a larger file is not read.
inline constexpr std::size_t kPartialRecordLimit = 8 * 1024;

struct PartialRecord {
  Text url;
  Text version;
  std::int64_t length = 0;
  Text validator;

  friend bool operator==(const PartialRecord&, const PartialRecord&) = default;
};

[[nodiscard]] Text PartialRecordPath(std::string_view temp_path);

// Nothing when a value holds a line break or a zero byte, or the record
// would pass the limit: such a record could not be read back.
[[nodiscard]] std::optional<Text> FormatPartialRecord(const PartialRecord& record);
[[nodiscard]] std::optional<PartialRecord> ParsePartialRecord(std::string_view text);

// What lies beside a temporary file under the record's name.
struct FoundRecord {
  bool present = false;                // a file there holds something
  std::optional<PartialRecord> record;  // what it says, when it is a record
};

// Reads at most the limit's worth of bytes, whatever the file's size.
[[nodiscard]] FoundRecord ReadPartialRecord(FileSystem& files, std::string_view temp_path);

// The validator a server gave its answer: a strong ETag, else Last-Modified
// (a weak tag cannot ask for a range); empty when it gave neither.
[[nodiscard]] Text ValidatorInHeaders(std::string_view raw_headers);

}  // namespace lumen
