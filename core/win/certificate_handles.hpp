#pragma once
// Owners for certificate stores and chains.

#include <windows.h>
#include <wincrypt.h>

#include "runtime/win/unique_handle.hpp"

namespace lumen::win {

struct CertStoreTraits {
  using Handle = HCERTSTORE;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { CertCloseStore(h, 0); }
};
using CertStore = UniqueHandle<CertStoreTraits>;

using CertChain = UniqueHandle<NullHandleTraits<PCCERT_CHAIN_CONTEXT, &CertFreeCertificateChain>>;

}  // namespace lumen::win
