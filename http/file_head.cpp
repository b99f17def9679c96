#include "http/file_head.hpp"

#include <algorithm>

namespace lumen {

ByteBuffer ReadFileHead(File& file, std::size_t limit) {
  if (!file.seek(0)) return {};
  const auto size = static_cast<std::size_t>(std::max<std::int64_t>(file.size(), 0));
  ByteBuffer head(std::min(size, limit));
  std::size_t filled = 0;
  while (filled < head.size()) {
    const std::size_t got = file.read(std::span(head).subspan(filled));
    if (got == 0) break;
    filled += got;
  }
  head.resize(filled);
  return head;
}

}  // namespace lumen
