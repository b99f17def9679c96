#pragma once
// Owners for the cryptographic provider's contexts and hash objects.

#include <windows.h>
#include <wincrypt.h>

#include "runtime/win/unique_handle.hpp"

namespace lumen::win {

struct CryptProviderTraits {
  using Handle = HCRYPTPROV;
  static Handle none() noexcept { return 0; }
  static void close(Handle h) noexcept { CryptReleaseContext(h, 0); }
};
using CryptProvider = UniqueHandle<CryptProviderTraits>;

using CryptHash = UniqueHandle<NullHandleTraits<HCRYPTHASH, &CryptDestroyHash>>;

// A context of the provider type for hashing. A verification-only context
// needs no key container; systems that refuse it get a second try with the
// default container.
[[nodiscard]] inline CryptProvider AcquireHashProvider(DWORD provider_type) {
  for (const DWORD flags : {static_cast<DWORD>(CRYPT_VERIFYCONTEXT), DWORD{0}}) {
    HCRYPTPROV provider = 0;
    if (CryptAcquireContextA(&provider, nullptr, nullptr, provider_type, flags)) return CryptProvider(provider);
  }
  return {};
}

}  // namespace lumen::win
