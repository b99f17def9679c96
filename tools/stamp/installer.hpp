#pragma once
// A built installer as a distributor hands it to the tool: a PE32 image,
// followed by nothing (unstamped) or by exactly one stamp.

#include <cstdint>
#include <optional>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/agent_id.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

class Installer {
 public:
  // Refuses anything that is not a PE32 executable, and an image followed by
  // anything but one 8-digit stamp: cutting off bytes the tool does not
  // understand could truncate the installer, and appending after them could
  // leave two stamps.
  [[nodiscard]] static Result<Installer> from_file_content(ByteBuffer content);

  [[nodiscard]] const std::optional<Stamp>& stamp() const noexcept { return stamp_; }
  // The whole file with this stamp in place of the one it had, if any.
  [[nodiscard]] ByteBuffer stamped_with(const Stamp& stamp) const;

 private:
  Installer(ByteBuffer content, std::size_t image_end, std::optional<Stamp> stamp) noexcept;

  ByteBuffer content_;
  std::size_t image_end_ = 0;
  std::optional<Stamp> stamp_;
};

}  // namespace lumen::stamp
