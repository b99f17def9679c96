#include "core/win/code_signing_chain.hpp"

#include "core/win/certificate_handles.hpp"

namespace lumen {
namespace {

// Neither says anything about the certificate itself.
constexpr DWORD kTolerated = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN;

// No issuer, revocation list or root update is fetched; revocation is not
// asked for at all.
constexpr DWORD kOffline =
    CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL | CERT_CHAIN_DISABLE_AIA | CERT_CHAIN_DISABLE_AUTH_ROOT_AUTO_UPDATE;

// One store that searches all of them.
[[nodiscard]] win::CertStore Collection(std::span<const HCERTSTORE> stores) {
  win::CertStore collection(CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr));
  if (!collection) return {};
  for (const HCERTSTORE store : stores) {
    if (!CertAddStoreToCollection(collection.get(), store, 0, 0)) return {};
  }
  return collection;
}

}  // namespace

bool MaySignCodeNow(PCCERT_CONTEXT certificate, std::span<const HCERTSTORE> stores) {
  if (certificate == nullptr) return false;
  const win::CertStore issuers = Collection(stores);
  if (!issuers) return false;

  char code_signing[] = szOID_PKIX_KP_CODE_SIGNING;
  LPSTR usages[] = {code_signing};
  CERT_CHAIN_PARA request{};
  request.cbSize = sizeof request;
  request.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  request.RequestedUsage.Usage.cUsageIdentifier = 1;
  request.RequestedUsage.Usage.rgpszUsageIdentifier = usages;

  PCCERT_CHAIN_CONTEXT built = nullptr;
  // No time given: judged at the current time.
  if (!CertGetCertificateChain(nullptr, certificate, nullptr, issuers.get(), &request, kOffline, nullptr, &built)) {
    return false;
  }
  const win::CertChain chain(built);
  return (chain.get()->TrustStatus.dwErrorStatus & ~kTolerated) == 0;
}

}  // namespace lumen
