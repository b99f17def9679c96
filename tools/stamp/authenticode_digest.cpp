#include "tools/stamp/authenticode_digest.hpp"

#include <openssl/evp.h>

#include <memory>
#include <string>

namespace lumen::stamp {
namespace {

constexpr std::uint64_t kChecksumSize = 4;
constexpr std::uint64_t kDirectoryEntrySize = 8;

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const noexcept { EVP_MD_CTX_free(context); }
};

[[nodiscard]] Error cannot_compute(std::string_view algorithm) {
  return Error{"cannot compute a " + std::string(algorithm) + " digest here"};
}

}  // namespace

Result<ByteBuffer> authenticode_digest(std::span<const std::uint8_t> file, const CertificateTable& table,
                                       std::uint64_t checksum_field, std::string_view algorithm) {
  const EVP_MD* md = EVP_get_digestbyname(std::string(algorithm).c_str());
  const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (md == nullptr || !context || EVP_DigestInit_ex(context.get(), md, nullptr) != 1) {
    return cannot_compute(algorithm);
  }
  const auto add = [&](std::uint64_t begin, std::uint64_t end) {
    return EVP_DigestUpdate(context.get(), file.data() + begin, end - begin) == 1;
  };
  ByteBuffer digest(static_cast<std::size_t>(EVP_MD_get_size(md)));
  const std::uint64_t entry = table.directory_entry();
  if (!add(0, checksum_field) || !add(checksum_field + kChecksumSize, entry) ||
      !add(entry + kDirectoryEntrySize, table.offset) ||
      EVP_DigestFinal_ex(context.get(), digest.data(), nullptr) != 1) {
    return cannot_compute(algorithm);
  }
  return digest;
}

}  // namespace lumen::stamp
