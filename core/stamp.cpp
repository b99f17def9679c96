#include "core/stamp.hpp"

#include "runtime/convert.hpp"

namespace lumen {

Text StampFromFileContent(std::span<const std::uint8_t> content) {
  return to_text(buffer_right(content, kStampLength));
}

}  // namespace lumen
