#include "http/digesting_file.hpp"

#include <algorithm>
#include <vector>

#include "http/download_request.hpp"

namespace lumen {

bool DigestingFile::write(std::span<const std::uint8_t> bytes) {
  if (!file_.write(bytes)) return false;
  if (digest_) digest_->add(bytes);
  return true;
}

bool DigestFilePrefix(File& file, std::int64_t length, StreamDigest& digest) {
  if (!file.seek(0)) return false;
  std::vector<std::uint8_t> block(kTransferBlockSize);
  for (std::int64_t left = length; left > 0;) {
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(left, std::ssize(block)));
    const std::size_t got = file.read(std::span(block.data(), want));
    if (got == 0) return false;
    digest.add(std::span<const std::uint8_t>(block.data(), got));
    left -= static_cast<std::int64_t>(got);
  }
  return true;
}

}  // namespace lumen
