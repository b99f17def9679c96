#include "core/win/sha256_digest.hpp"

#include <algorithm>
#include <limits>

#include "core/win/crypto_handles.hpp"
#include "core/win/hash_bytes.hpp"
#include "runtime/byte_buffer.hpp"

namespace lumen {
namespace {

constexpr DWORD kSha256Length = 32;

class CryptoSha256 final : public StreamDigest {
 public:
  CryptoSha256(win::CryptProvider provider, win::CryptHash hash) noexcept
      : provider_(std::move(provider)), hash_(std::move(hash)) {}

  void add(std::span<const std::uint8_t> bytes) override {
    // Blocks are far below a DWORD's range; a larger span is fed in parts.
    while (ok_ && !bytes.empty()) {
      const auto part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
      ok_ = CryptHashData(hash_.get(), bytes.data(), part, 0) != FALSE;
      bytes = bytes.subspan(part);
    }
  }

  Text finish_hex() override {
    ByteBuffer digest = zeroed_buffer(kSha256Length);
    DWORD size = kSha256Length;
    if (!ok_ || !CryptGetHashParam(hash_.get(), HP_HASHVAL, digest.data(), &size, 0) || size != kSha256Length) {
      return {};
    }
    return to_lower(UpperHex(digest));
  }

 private:
  // The hash is released before the context it was made in.
  win::CryptProvider provider_;
  win::CryptHash hash_;
  bool ok_ = true;
};

}  // namespace

std::unique_ptr<StreamDigest> CryptoSha256Maker::StartSha256() {
  win::CryptProvider provider = win::AcquireHashProvider(PROV_RSA_AES);
  if (!provider) return nullptr;
  HCRYPTHASH raw_hash = 0;
  if (!CryptCreateHash(provider.get(), CALG_SHA_256, 0, 0, &raw_hash)) return nullptr;
  return std::make_unique<CryptoSha256>(std::move(provider), win::CryptHash(raw_hash));
}

}  // namespace lumen
