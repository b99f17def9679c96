#pragma once
// Whether a signer's certificate may sign code today, judged by a chain the
// system builds without reaching the network.

#include <windows.h>
#include <wincrypt.h>

#include <span>

namespace lumen {

// True when the certificate and its issuers found in `stores` are valid now,
// their signatures hold and their usages allow code signing. A chain that
// ends in a root nobody trusts, or stops short of a root, still passes: the
// signer's pinned key, not the root store, is what is trusted. Nothing is
// fetched (no issuers, no revocation lists).
[[nodiscard]] bool MaySignCodeNow(PCCERT_CONTEXT certificate, std::span<const HCERTSTORE> stores);

}  // namespace lumen
