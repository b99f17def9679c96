#include "core/win/hash_bytes.hpp"

#include <algorithm>
#include <limits>

#include "core/win/crypto_handles.hpp"
#include "runtime/byte_buffer.hpp"

namespace lumen {
namespace {

// A verification-only context of the full RSA provider, asked for by the
// empty container and provider names (both the defaults); systems that
// refuse it get a second try with the default container.
[[nodiscard]] win::CryptProvider AcquireRsaFullProvider() {
  for (const DWORD flags : {static_cast<DWORD>(CRYPT_VERIFYCONTEXT), DWORD{0}}) {
    HCRYPTPROV provider = 0;
    if (CryptAcquireContextA(&provider, "", "", PROV_RSA_FULL, flags)) return win::CryptProvider(provider);
  }
  return {};
}

}  // namespace

Text UpperHex(std::span<const std::uint8_t> bytes) {
  static constexpr char kAlphabet[] = "0123456789ABCDEF";
  Text hex;
  hex.reserve(bytes.size() * 2);
  for (const std::uint8_t v : bytes) {
    hex += kAlphabet[v >> 4];
    hex += kAlphabet[v & 15];
  }
  return hex;
}

Text HashBytes(std::span<const std::uint8_t> bytes, ALG_ID algorithm, DWORD length) {
  if (bytes.size() > std::numeric_limits<DWORD>::max()) return {};
  const win::CryptProvider provider = AcquireRsaFullProvider();
  if (!provider) return {};
  HCRYPTHASH raw_hash = 0;
  if (!CryptCreateHash(provider.get(), algorithm, 0, 0, &raw_hash)) return {};
  const win::CryptHash hash(raw_hash);
  if (!CryptHashData(hash.get(), bytes.data(), static_cast<DWORD>(bytes.size()), 0)) return {};
  ByteBuffer digest = zeroed_buffer(length);
  DWORD size = length;
  if (!CryptGetHashParam(hash.get(), HP_HASHVAL, digest.data(), &size, 0)) return {};
  digest.resize(std::min<std::size_t>(size, digest.size()));
  return UpperHex(digest);
}

Text DigestHex(std::span<const std::uint8_t> bytes) { return to_lower(HashBytes(bytes, CALG_MD5, 16)); }

}  // namespace lumen
