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

}  // namespace lumen::win
