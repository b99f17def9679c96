#include "http/download_request.hpp"

#include "runtime/convert.hpp"

namespace lumen {

Text DownloadAgentName(std::uint32_t tick_count) {
  return "Agent" + to_text(static_cast<std::int32_t>(tick_count));
}

Text DownloadRequestHeaders(std::int64_t resume_offset) {
  Text headers(kDownloadUserAgentLine);
  if (resume_offset > 0) headers += "\r\nRange:bytes=" + to_text(resume_offset) + "-";
  return headers;
}

}  // namespace lumen
