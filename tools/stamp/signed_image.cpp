#include "tools/stamp/signed_image.hpp"

#include <cstdio>
#include <string>
#include <utility>

#include "tools/stamp/authenticode_digest.hpp"
#include "tools/stamp/certificate_table.hpp"
#include "tools/stamp/little_endian.hpp"
#include "tools/stamp/pe_checksum.hpp"
#include "tools/stamp/signed_digests.hpp"

namespace lumen::stamp {
namespace {

[[nodiscard]] std::uint64_t field_sum(std::span<const std::uint8_t> file, std::uint64_t field) noexcept {
  return checksum_sum(file.subspan(field, kU32Size), field);
}

// The checksum's sum over the bytes before the certificate table, the two
// header fields that change with the table counted as zero. Both lie in the
// headers, before the image ends and so before the table.
[[nodiscard]] std::uint64_t image_sum(std::span<const std::uint8_t> file, const Pe32Layout& layout) noexcept {
  const CertificateTable& table = *layout.certificate_table;
  const std::span<const std::uint8_t> image = file.first(table.offset);
  return checksum_sum_without_field(image, layout.checksum_field) - field_sum(image, table.size_field);
}

[[nodiscard]] std::string hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", b);
    text += digits;
  }
  return text;
}

}  // namespace

SignedImage::SignedImage(CertificateTable table, std::uint64_t checksum_field, std::uint64_t image_sum,
                         Signature signature) noexcept
    : table_(table), checksum_field_(checksum_field), image_sum_(image_sum), signature_(std::move(signature)) {}

Result<SignedImage> SignedImage::read(std::span<const std::uint8_t> file, const Pe32Layout& layout) {
  const CertificateTable& table = *layout.certificate_table;
  if (table.offset < layout.image_end) {
    return Error{"the certificate table starts at byte " + std::to_string(table.offset) +
                 ", inside the executable image, which ends at byte " + std::to_string(layout.image_end)};
  }
  if (table.end() != file.size()) {
    return Error{std::to_string(file.size() - table.end()) +
                 " bytes follow the certificate table, which must end a signed installer (start from the "
                 "installer as signed: bytes after the signature break it)"};
  }
  const Result<std::span<const std::uint8_t>> der = read_certificate_entry(file.subspan(table.offset, table.size));
  if (!der.ok()) return Error{der.error()};
  Result<Signature> signature = Signature::read(der.value());
  if (!signature.ok()) return Error{signature.error()};
  return SignedImage(table, layout.checksum_field, image_sum(file, layout), std::move(signature).value());
}

Status SignedImage::check_signs(std::span<const std::uint8_t> file) const {
  const Result<std::vector<SignedDigest>> signed_digests = read_signed_digests(signature_.encoding());
  if (!signed_digests.ok()) return Error{signed_digests.error()};
  for (const SignedDigest& signed_digest : signed_digests.value()) {
    const Result<ByteBuffer> digest = authenticode_digest(file, table_, checksum_field_, signed_digest.algorithm);
    if (!digest.ok()) return Error{digest.error()};
    if (digest.value() != signed_digest.digest) {
      return Error{"the file is not the one " + signed_digest.signature + " signed: its " + signed_digest.algorithm +
                   " Authenticode digest is " + hex(digest.value()) + ", the signed one " +
                   hex(signed_digest.digest) +
                   "\n(the installer or its signature changed after signing: sign the installer again, then stamp)"};
    }
  }
  return Done{};
}

ByteBuffer SignedImage::with_signature(std::span<const std::uint8_t> file, std::span<const std::uint8_t> der) const {
  const ByteBuffer table = certificate_table_of(der);
  ByteBuffer signed_file;
  signed_file.reserve(table_.offset + table.size());
  signed_file.insert(signed_file.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(table_.offset));
  signed_file.insert(signed_file.end(), table.begin(), table.end());
  put_u32(signed_file, table_.size_field, table.size());
  put_pe_checksum(signed_file, checksum_field_,
                  image_sum_ + field_sum(signed_file, table_.size_field) + checksum_sum(table, table_.offset));
  return signed_file;
}

}  // namespace lumen::stamp
