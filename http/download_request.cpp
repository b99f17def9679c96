#include "http/download_request.hpp"

#include "runtime/convert.hpp"

namespace lumen {

Text DownloadAgentName(std::uint32_t tick_count) {
  return "Agent" + to_text(static_cast<std::int32_t>(tick_count));
}

Text DownloadRequestHeaders(std::int64_t resume_offset, std::string_view if_range) {
  Text headers(kDownloadUserAgentLine);
  if (resume_offset <= 0) return headers;
  headers += "\r\nRange:bytes=" + to_text(resume_offset) + "-";
  if (!if_range.empty()) headers += "\r\nIf-Range:" + Text(if_range);
  return headers;
}

}  // namespace lumen
