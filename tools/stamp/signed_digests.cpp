#include "tools/stamp/signed_digests.hpp"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <array>
#include <memory>

#include "tools/stamp/der.hpp"

namespace lumen::stamp {
namespace {

constexpr std::string_view kIndirectDataType = "1.3.6.1.4.1.311.2.1.4";
constexpr std::string_view kNestedSignatureType = "1.3.6.1.4.1.311.2.4.1";

struct Pkcs7Free {
  void operator()(PKCS7* p7) const noexcept { PKCS7_free(p7); }
};
struct DigestInfoFree {
  void operator()(X509_SIG* info) const noexcept { X509_SIG_free(info); }
};

// What was damaged after signing, and what to do about it.
[[nodiscard]] Error damaged(const std::string& what) {
  return Error{what + "\n(the signature was damaged after signing: sign the installer again, then stamp)"};
}

[[nodiscard]] std::string dotted(const ASN1_OBJECT* object) {
  std::array<char, 128> text{};
  OBJ_obj2txt(text.data(), static_cast<int>(text.size()), object, 1);
  return text.data();
}

[[nodiscard]] std::span<const std::uint8_t> bytes_of(const ASN1_STRING* string) {
  return {ASN1_STRING_get0_data(string), static_cast<std::size_t>(ASN1_STRING_length(string))};
}

// Why libcrypto's decoder stopped, in its own words (the first thing it
// found wrong, not where that ended its descent), and its queue emptied.
[[nodiscard]] std::string decoder_reason() {
  const unsigned long code = ERR_peek_error();
  const char* reason = ERR_reason_error_string(code);
  ERR_clear_error();
  return reason != nullptr ? reason : "no reason given";
}

// libcrypto's decoding of one whole DER value, or nothing.
template <typename T, typename Free, typename Decode>
[[nodiscard]] std::unique_ptr<T, Free> decode_whole(std::span<const std::uint8_t> der, Decode decode) {
  const unsigned char* next = der.data();
  std::unique_ptr<T, Free> value(decode(nullptr, &next, static_cast<long>(der.size())));
  if (value && next != der.data() + der.size()) value.reset();
  return value;
}

[[nodiscard]] Result<std::unique_ptr<PKCS7, Pkcs7Free>> decode_signed_data(std::span<const std::uint8_t> der,
                                                                           const std::string& which) {
  ERR_clear_error();
  std::unique_ptr<PKCS7, Pkcs7Free> p7 = decode_whole<PKCS7, Pkcs7Free>(der, d2i_PKCS7);
  if (!p7) return damaged(which + " does not decode as a PKCS#7 SignedData (" + decoder_reason() + ")");
  if (!PKCS7_type_is_signed(p7.get()) || p7->d.sign == nullptr || p7->d.sign->contents == nullptr) {
    return damaged(which + " is not a PKCS#7 SignedData");
  }
  return p7;
}

// The DigestInfo ending an SpcIndirectDataContent, whose first field says
// what the file is (a PE image) and whose second is the file's digest.
[[nodiscard]] Result<std::span<const std::uint8_t>> digest_info_in(std::span<const std::uint8_t> indirect_data,
                                                                   const std::string& which) {
  const Error not_indirect_data = damaged(which + "'s content is not an SpcIndirectDataContent");
  const Result<der::Element> whole = der::read_element(indirect_data, 0, indirect_data.size());
  if (!whole.ok() || whole.value().end != indirect_data.size()) return not_indirect_data;
  const Result<std::vector<der::Element>> fields = der::read_children(indirect_data, whole.value());
  if (!fields.ok() || fields.value().size() != 2 || fields.value()[1].tag != der::kSequence) return not_indirect_data;
  const der::Element& info = fields.value()[1];
  return indirect_data.subspan(info.begin, info.size());
}

[[nodiscard]] Result<SignedDigest> digest_of(const PKCS7& p7, const std::string& which) {
  const PKCS7& content = *p7.d.sign->contents;
  const ASN1_TYPE* indirect_data = content.d.other;
  if (dotted(content.type) != kIndirectDataType || indirect_data == nullptr ||
      indirect_data->type != V_ASN1_SEQUENCE) {
    return damaged(which + " does not sign an Authenticode SpcIndirectDataContent");
  }
  const Result<std::span<const std::uint8_t>> info_der = digest_info_in(bytes_of(indirect_data->value.sequence), which);
  if (!info_der.ok()) return Error{info_der.error()};
  const auto info = decode_whole<X509_SIG, DigestInfoFree>(info_der.value(), d2i_X509_SIG);
  if (!info) return damaged(which + "'s digest of the file does not decode (" + decoder_reason() + ")");
  const X509_ALGOR* algorithm = nullptr;
  const ASN1_OCTET_STRING* digest = nullptr;
  X509_SIG_get0(info.get(), &algorithm, &digest);
  const ASN1_OBJECT* algorithm_type = nullptr;
  X509_ALGOR_get0(&algorithm_type, nullptr, nullptr, algorithm);
  const EVP_MD* md = EVP_get_digestbyobj(algorithm_type);
  if (md == nullptr) {
    return Error{which + "'s digest algorithm " + dotted(algorithm_type) + " is not one this tool can compute"};
  }
  const std::span<const std::uint8_t> value = bytes_of(digest);
  return SignedDigest{.signature = which,
                      .algorithm = OBJ_nid2sn(EVP_MD_get_type(md)),
                      .digest = ByteBuffer(value.begin(), value.end())};
}

// The encodings of the signatures nested in the signer infos' unauthenticated attributes.
[[nodiscard]] std::vector<std::span<const std::uint8_t>> nested_signatures(const PKCS7& p7) {
  std::vector<std::span<const std::uint8_t>> nested;
  STACK_OF(PKCS7_SIGNER_INFO)* signers = p7.d.sign->signer_info;
  for (int s = 0; s < sk_PKCS7_SIGNER_INFO_num(signers); ++s) {
    const STACK_OF(X509_ATTRIBUTE)* attributes = sk_PKCS7_SIGNER_INFO_value(signers, s)->unauth_attr;
    for (int a = 0; a < X509at_get_attr_count(attributes); ++a) {
      X509_ATTRIBUTE* attribute = X509at_get_attr(attributes, a);
      if (dotted(X509_ATTRIBUTE_get0_object(attribute)) != kNestedSignatureType) continue;
      for (int v = 0; v < X509_ATTRIBUTE_count(attribute); ++v) {
        const ASN1_TYPE* value = X509_ATTRIBUTE_get0_type(attribute, v);
        // Anything but a SEQUENCE is no signature, and decodes as none.
        nested.push_back(value->type == V_ASN1_SEQUENCE ? bytes_of(value->value.sequence)
                                                        : std::span<const std::uint8_t>());
      }
    }
  }
  return nested;
}

}  // namespace

Result<std::vector<SignedDigest>> read_signed_digests(std::span<const std::uint8_t> der) {
  const std::string primary = "the signature";
  const Result<std::unique_ptr<PKCS7, Pkcs7Free>> p7 = decode_signed_data(der, primary);
  if (!p7.ok()) return Error{p7.error()};
  Result<SignedDigest> own = digest_of(*p7.value(), primary);
  if (!own.ok()) return Error{own.error()};
  std::vector<SignedDigest> digests{std::move(own).value()};

  for (const std::span<const std::uint8_t> nested : nested_signatures(*p7.value())) {
    const std::string which = "nested signature " + std::to_string(digests.size());
    const Result<std::unique_ptr<PKCS7, Pkcs7Free>> inner = decode_signed_data(nested, which);
    if (!inner.ok()) return Error{inner.error()};
    Result<SignedDigest> digest = digest_of(*inner.value(), which);
    if (!digest.ok()) return Error{digest.error()};
    digests.push_back(std::move(digest).value());
  }
  return digests;
}

}  // namespace lumen::stamp
