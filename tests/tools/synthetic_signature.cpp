#include "tests/tools/synthetic_signature.hpp"

#include <openssl/evp.h>

namespace lumen::test {

const ByteBuffer kSha1 = {0x2B, 0x0E, 0x03, 0x02, 0x1A};
const ByteBuffer kSha256 = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01};

namespace {

constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kBitString = 0x03;
constexpr std::uint8_t kNull = 0x05;
constexpr std::uint8_t kOctetString = 0x04;
constexpr std::uint8_t kOid = 0x06;
constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kSet = 0x31;

const ByteBuffer kSignedData = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};
const ByteBuffer kRsa = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x01, 0x01};
const ByteBuffer kIndirectData = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x01, 0x04};
const ByteBuffer kPeImageData = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x01, 0x0F};
const ByteBuffer kNestedSignature = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x04, 0x01};
const ByteBuffer kMessageDigest = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x09, 0x04};
// 1.2.840.113556.1.8000.2554.64000.37990.53315.19323.37380.13937357.5866014.1
const ByteBuffer kIdAttribute = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x14, 0x01, 0xBE, 0x40, 0x93, 0x7A, 0x83,
                                 0xF4, 0x00, 0x82, 0xA8, 0x66, 0x83, 0xA0, 0x43, 0x81, 0x96, 0x7B, 0x82,
                                 0xA4, 0x04, 0x86, 0xD2, 0xD5, 0x4D, 0x82, 0xE6, 0x84, 0x1E, 0x01};

[[nodiscard]] ByteBuffer filled(std::size_t size, std::uint8_t byte) { return ByteBuffer(size, byte); }

[[nodiscard]] ByteBuffer algorithm(const ByteBuffer& oid) { return der_element(kSequence, der_element(kOid, oid)); }

// SpcIndirectDataContent: a PE image (flags and an empty file link), and
// the file's digest as a DigestInfo.
[[nodiscard]] ByteBuffer indirect_data(const SyntheticSignature& s) {
  const ByteBuffer empty_file_link = der_element(0xA0, der_element(0xA2, der_element(0x80, {})));
  const ByteBuffer pe_image = der_element(kSequence, joined({der_element(kBitString, {0x00}), empty_file_link}));
  return der_element(
      kSequence,
      joined({der_element(kSequence, joined({der_element(kOid, kPeImageData), pe_image})),
              der_element(kSequence,
                          joined({der_element(kSequence, joined({der_element(kOid, s.digest_algorithm),
                                                                 der_element(kNull, {})})),
                                  der_element(kOctetString, s.file_digest)}))}));
}

// The certificates field, holding one made-up certificate, or nothing.
[[nodiscard]] ByteBuffer certificates(std::size_t size) {
  if (size == 0) return {};
  return der_element(0xA0, der_element(kSequence, der_element(kOctetString, filled(size, 0xCE))));
}

[[nodiscard]] ByteBuffer signer_info(const SyntheticSignature& s, std::uint8_t serial, bool last) {
  ByteBuffer fields = joined({
      der_element(kInteger, {1}),
      der_element(kSequence, joined({der_element(kSequence, {}), der_element(kInteger, {serial})})),
      algorithm(kSha256),
      der_element(0xA0, attribute(kMessageDigest, der_element(kOctetString, filled(32, 0xD1)))),
      algorithm(kRsa),
      der_element(kOctetString, filled(s.signature_value_size, 0x5A)),
  });
  if (last && !s.unauthenticated.empty()) {
    ByteBuffer attributes;
    for (const ByteBuffer& a : s.unauthenticated) attributes.insert(attributes.end(), a.begin(), a.end());
    const ByteBuffer unauthenticated = der_element(0xA1, attributes);
    fields.insert(fields.end(), unauthenticated.begin(), unauthenticated.end());
  }
  return der_element(kSequence, fields);
}

}  // namespace

ByteBuffer der_element(std::uint8_t tag, const ByteBuffer& content) {
  ByteBuffer element{tag};
  const std::size_t size = content.size();
  if (size < 0x80) {
    element.push_back(static_cast<std::uint8_t>(size));
  } else if (size <= 0xFF) {
    element.insert(element.end(), {0x81, static_cast<std::uint8_t>(size)});
  } else if (size <= 0xFFFF) {
    element.insert(element.end(), {0x82, static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
  } else {
    element.insert(element.end(), {0x83, static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 8),
                                   static_cast<std::uint8_t>(size)});
  }
  element.insert(element.end(), content.begin(), content.end());
  return element;
}

ByteBuffer joined(std::initializer_list<ByteBuffer> parts) {
  ByteBuffer all;
  for (const ByteBuffer& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

ByteBuffer attribute(const ByteBuffer& type, const ByteBuffer& values) {
  return der_element(kSequence, joined({der_element(kOid, type), der_element(kSet, values)}));
}

ByteBuffer id_attribute(std::string_view digits, std::size_t filler) {
  ByteBuffer value = filled(filler, 0);
  value.insert(value.end(), digits.begin(), digits.end());
  return attribute(kIdAttribute, der_element(kOctetString, value));
}

ByteBuffer nested_signature_attribute(std::size_t size) {
  return attribute(kNestedSignature, der_element(kSequence, der_element(kOctetString, filled(size, 0x4E))));
}

ByteBuffer SyntheticSignature::build() const {
  ByteBuffer signers;
  for (std::size_t i = 0; i < signer_count; ++i) {
    const ByteBuffer signer = signer_info(*this, static_cast<std::uint8_t>(i + 1), i + 1 == signer_count);
    signers.insert(signers.end(), signer.begin(), signer.end());
  }
  const ByteBuffer signed_data = der_element(
      kSequence,
      joined({der_element(kInteger, {1}), der_element(kSet, algorithm(kSha256)),
              der_element(kSequence,
                          joined({der_element(kOid, kIndirectData), der_element(0xA0, indirect_data(*this))})),
              certificates(certificate_size), der_element(kSet, signers)}));
  return der_element(kSequence, joined({der_element(kOid, kSignedData), der_element(0xA0, signed_data)}));
}

ByteBuffer certificate_entry(const ByteBuffer& der) {
  const std::size_t padded = (der.size() + 7) / 8 * 8;
  const std::size_t length = 8 + padded;
  ByteBuffer entry = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                      static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24),
                      0x00, 0x02, 0x02, 0x00};
  entry.insert(entry.end(), der.begin(), der.end());
  entry.resize(length, 0);
  return entry;
}

ByteBuffer authenticode_digest(const ByteBuffer& file, const ByteBuffer& algorithm) {
  const auto at = [&](std::size_t offset) {
    return static_cast<std::size_t>(file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
                                    file[offset + 3] << 24);
  };
  const std::size_t table = at(SyntheticPe::kCertificateDirectory);
  ByteBuffer hashed(file.begin(), file.begin() + SyntheticPe::kChecksum);
  hashed.insert(hashed.end(), file.begin() + SyntheticPe::kChecksum + 4,
                file.begin() + SyntheticPe::kCertificateDirectory);
  hashed.insert(hashed.end(), file.begin() + SyntheticPe::kCertificateDirectory + 8,
                file.begin() + static_cast<std::ptrdiff_t>(table));
  const EVP_MD* md = algorithm == kSha1 ? EVP_sha1() : EVP_sha256();
  ByteBuffer digest(static_cast<std::size_t>(EVP_MD_get_size(md)));
  EVP_Digest(hashed.data(), hashed.size(), digest.data(), nullptr, md, nullptr);
  return digest;
}

ByteBuffer signed_pe(SyntheticPe pe, SyntheticSignature signature) {
  // The bytes the digest covers are the same whatever the signature holds.
  pe.certificate_table = certificate_entry(signature.build());
  if (signature.digest_algorithm == kSha1 || signature.digest_algorithm == kSha256) {
    signature.file_digest = authenticode_digest(pe.build(), signature.digest_algorithm);
  }
  pe.certificate_table = certificate_entry(signature.build());
  return pe.build();
}

}  // namespace lumen::test
