#pragma once
// What the downloader sends: its agent name and its request header block.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// No space after the colon: servers and proxies in the field have always
// seen the header in this form.
inline constexpr std::string_view kDownloadUserAgentLine =
    "User-Agent:Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; 90TRZ; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// Bytes asked of the connection per read, and written to the file per block.
inline constexpr std::size_t kTransferBlockSize = 20480;

// "Agent" followed by the tick count read as a signed number.
[[nodiscard]] Text DownloadAgentName(std::uint32_t tick_count);

// The user-agent line, and for a positive offset a range line asking for
// everything from that byte on, made conditional on the validator the
// partial file was received with when there is one: a server whose file
// changed since answers with the whole new file instead.
[[nodiscard]] Text DownloadRequestHeaders(std::int64_t resume_offset, std::string_view if_range = {});

}  // namespace lumen
