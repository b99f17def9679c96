#include "tools/stamp/signed_image.hpp"

#include <string>
#include <utility>

#include "tools/stamp/certificate_table.hpp"
#include "tools/stamp/pe_checksum.hpp"

namespace lumen::stamp {
namespace {

void put_u32(ByteBuffer& bytes, std::uint64_t offset, std::uint64_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

SignedImage::SignedImage(CertificateTable table, std::uint64_t checksum_field, Signature signature) noexcept
    : table_(table), checksum_field_(checksum_field), signature_(std::move(signature)) {}

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
  return SignedImage(table, layout.checksum_field, std::move(signature).value());
}

ByteBuffer SignedImage::with_signature(std::span<const std::uint8_t> file, std::span<const std::uint8_t> der) const {
  const ByteBuffer table = certificate_table_of(der);
  ByteBuffer signed_file;
  signed_file.reserve(table_.offset + table.size());
  signed_file.insert(signed_file.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(table_.offset));
  signed_file.insert(signed_file.end(), table.begin(), table.end());
  put_u32(signed_file, table_.size_field, table.size());
  update_pe_checksum(signed_file, checksum_field_);
  return signed_file;
}

}  // namespace lumen::stamp
