#include "tools/stamp/installer.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/stamp.hpp"
#include "tests/tools/synthetic_pe.hpp"
#include "tests/tools/synthetic_signature.hpp"
#include "tools/stamp/pe_checksum.hpp"

namespace lumen::stamp {
namespace {

using test::certificate_entry;
using test::concat;
using test::joined;
using test::put_u32;
using test::SyntheticPe;
using test::SyntheticSignature;

[[nodiscard]] Stamp stamp_of(std::string_view id) { return Stamp::from_agent_id(id).value(); }

// Builds as a linker leaves them: sections only, and with symbols after them.
[[nodiscard]] std::vector<std::pair<const char*, ByteBuffer>> built_installers() {
  return {{"sections only", SyntheticPe{}.build()},
          {"with symbols", SyntheticPe{.symbol_count = 7, .string_table_size = 0x25}.build()}};
}

TEST(Installer, StampsAreAppendedOnceAndThenReplaced) {
  for (const auto& [name, built] : built_installers()) {
    SCOPED_TRACE(name);
    const Result<Installer> unstamped = Installer::from_file_content(built);
    ASSERT_TRUE(unstamped.ok()) << unstamped.error();
    EXPECT_FALSE(unstamped.value().stamp());
    EXPECT_EQ(unstamped.value().stamp_place(), StampPlace::AfterImage);

    const ByteBuffer first = unstamped.value().stamped_with(stamp_of("00000038"));
    // The checksum is the stamped file's, as a signing tool leaves it.
    EXPECT_EQ(first, test::stamped(built, "00000038"));
    // What the installer itself will read from the end of its file.
    EXPECT_EQ(StampFromFileContent(first), "00000038");

    const Result<Installer> stamped = Installer::from_file_content(first);
    ASSERT_TRUE(stamped.ok()) << stamped.error();
    EXPECT_EQ(stamped.value().stamp(), stamp_of("00000038"));
    EXPECT_EQ(stamped.value().stamped_with(stamp_of("12345678")), test::stamped(built, "12345678"));
  }
}

TEST(Installer, AZeroStampWrittenByOtherMeansIsStillReplaced) {
  const ByteBuffer built = SyntheticPe{}.build();
  const Result<Installer> stamped = Installer::from_file_content(concat(built, "00000000"));
  ASSERT_TRUE(stamped.ok()) << stamped.error();
  EXPECT_EQ(stamped.value().stamp()->digits(), "00000000");
  EXPECT_EQ(stamped.value().stamped_with(stamp_of("00000038")), test::stamped(built, "00000038"));
}

// Anything after the image but a single stamp could be part of the
// installer or two stamps: the tool must neither cut it off nor stamp after it.
TEST(Installer, RefusesAnythingButOneStampAfterTheImage) {
  using namespace std::string_view_literals;
  struct Case {
    const char* name;
    std::string_view appended;
  };
  const Case cases[] = {
      {"a letter in the stamp", "0000003a"sv},
      {"a zero byte in the stamp", "000000\0" "8"sv},
      {"a line feed after the stamp", "00000038\n"sv},
      {"seven digits", "0000038"sv},
      {"nine digits", "000000038"sv},
      {"two stamps", "0000003812345678"sv},
      {"a stamp after other data", "payload:00000038"sv},
      {"one byte", "x"sv},
  };
  for (const auto& [build, built] : built_installers()) {
    for (const Case& c : cases) {
      const Result<Installer> installer = Installer::from_file_content(concat(built, c.appended));
      ASSERT_FALSE(installer.ok()) << build << ", " << c.name;
      EXPECT_EQ(installer.error(), std::to_string(c.appended.size()) +
                                       " bytes follow the executable image and they are not one 8-digit stamp; not "
                                       "guessing where the installer ends (start from the installer as built)")
          << build << ", " << c.name;
    }
  }
}

// A signed build as a signing tool leaves it: symbols, then the signature,
// 8-byte aligned, ending the file.
[[nodiscard]] ByteBuffer signed_build(const ByteBuffer& certificate_table) {
  return SyntheticPe{.symbol_count = 2, .certificate_table = certificate_table}.build();
}

[[nodiscard]] std::uint32_t u32_at(const ByteBuffer& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                    bytes[offset + 3] << 24);
}

// The bytes in front of the certificate table, with the two header fields
// that change with it (the checksum and the table's size) blanked.
[[nodiscard]] ByteBuffer image_part(const ByteBuffer& file) {
  const std::uint32_t table = u32_at(file, SyntheticPe::kCertificateDirectory);
  ByteBuffer image(file.begin(), file.begin() + table);
  for (const std::uint32_t field : {SyntheticPe::kChecksum, SyntheticPe::kCertificateDirectory + 4}) {
    std::fill_n(image.begin() + field, 4, 0xEE);
  }
  return image;
}

TEST(Installer, SignedInstallersAreStampedInsideTheSignatureAlone) {
  const ByteBuffer built = signed_build(certificate_entry(SyntheticSignature{}.build()));
  const Result<Installer> unstamped = Installer::from_file_content(built);
  ASSERT_TRUE(unstamped.ok()) << unstamped.error();
  EXPECT_FALSE(unstamped.value().stamp());
  EXPECT_EQ(unstamped.value().stamp_place(), StampPlace::InSignature);

  const ByteBuffer first = unstamped.value().stamped_with(stamp_of("00000038"));
  EXPECT_EQ(StampFromFileContent(first), "00000038");
  EXPECT_EQ(image_part(first), image_part(built)) << "only the checksum and the table's size change before it";
  const std::uint32_t table = u32_at(first, SyntheticPe::kCertificateDirectory);
  EXPECT_EQ(table, u32_at(built, SyntheticPe::kCertificateDirectory)) << "the table stays where it was";
  EXPECT_EQ(u32_at(first, SyntheticPe::kCertificateDirectory + 4), first.size() - table);
  EXPECT_EQ(u32_at(first, table), first.size() - table) << "the entry fills the table, without padding";
  EXPECT_EQ(u32_at(first, table + 4), 0x00020200u) << "revision 2.0, PKCS#7 SignedData";
  const std::span<const std::uint8_t> whole = first;
  EXPECT_EQ(u32_at(first, SyntheticPe::kChecksum),
            pe_checksum(checksum_sum(whole, 0) - checksum_sum(whole.subspan(SyntheticPe::kChecksum, 4),
                                                              SyntheticPe::kChecksum),
                        first.size()))
      << "the checksum is the whole stamped file's";

  const Result<Installer> stamped = Installer::from_file_content(first);
  ASSERT_TRUE(stamped.ok()) << stamped.error();
  EXPECT_EQ(stamped.value().stamp(), stamp_of("00000038"));
  EXPECT_EQ(stamped.value().stamped_with(stamp_of("12345678")),
            unstamped.value().stamped_with(stamp_of("12345678")))
      << "a new stamp replaces the old one";
}

// Anything a stamp inside the signature would leave unverifiable, or that
// the tool cannot tell is a signature at all.
TEST(Installer, RefusesSignedInstallersItCannotStampAndKeepValid) {
  const ByteBuffer der = SyntheticSignature{}.build();
  const ByteBuffer entry = certificate_entry(der);
  const auto with_entry_header = [&](std::uint32_t length, std::uint32_t revision_and_type) {
    ByteBuffer table = entry;
    put_u32(table, 0, length);
    put_u32(table, 4, revision_and_type);
    return table;
  };
  ByteBuffer cut_der(der.begin(), der.end() - 8);
  ASSERT_NE(der.size() % 8, 0u) << "the entry has padding";
  ByteBuffer zeros_not_padding = entry;
  zeros_not_padding.back() = 0x01;
  ByteBuffer table_inside_image = signed_build(entry);
  put_u32(table_inside_image, SyntheticPe::kCertificateDirectory,
          u32_at(table_inside_image, SyntheticPe::kCertificateDirectory) - 0x400);
  put_u32(table_inside_image, SyntheticPe::kCertificateDirectory + 4, static_cast<std::uint32_t>(entry.size() + 0x400));

  struct Case {
    const char* name;
    ByteBuffer file;
    std::string want;
  };
  const Case cases[] = {
      {"a stamp after the signature", concat(signed_build(entry), "00000038"),
       "8 bytes follow the certificate table, which must end a signed installer (start from the installer as "
       "signed: bytes after the signature break it)"},
      {"two entries", signed_build(joined({entry, entry})),
       "the certificate table holds more than one entry; stamping one signature of several is not supported"},
      {"an entry longer than the table", signed_build(with_entry_header(static_cast<std::uint32_t>(entry.size() + 8),
                                                                        0x00020200)),
       "damaged certificate table: its entry's length"},
      {"an entry of revision 1.0", signed_build(with_entry_header(static_cast<std::uint32_t>(entry.size()),
                                                                  0x00020100)),
       "the certificate entry (revision 0x100, type 0x2) is not an Authenticode signature"},
      {"an X.509 certificate entry", signed_build(with_entry_header(static_cast<std::uint32_t>(entry.size()),
                                                                    0x00010200)),
       "(revision 0x200, type 0x1) is not an Authenticode signature"},
      {"padding that is not zeros", signed_build(zeros_not_padding),
       "bytes after the signature are not its padding"},
      {"a signature cut short", signed_build(certificate_entry(cut_der)),
       "damaged certificate table: the signature does not parse: an element of"},
      {"a table inside the image", table_inside_image,
       "the certificate table starts at byte 2088, inside the executable image, which ends at byte 3112"},
  };
  for (const Case& c : cases) {
    const Result<Installer> installer = Installer::from_file_content(c.file);
    ASSERT_FALSE(installer.ok()) << c.name;
    EXPECT_NE(installer.error().find(c.want), std::string::npos) << c.name << ": " << installer.error();
  }
}

// Before copies are stamped, a signed installer must still be the one its
// signature signed; the bytes outside the file's Authenticode digest may
// change as they like.
TEST(Installer, StampsOnlyInstallersTheirSignatureStillSigns) {
  const SyntheticPe pe{.symbol_count = 2};
  const auto signed_with = [&](SyntheticSignature signature) {
    signature.certificate_size = 0;  // the made-up certificate decodes as none
    return test::signed_pe(pe, std::move(signature));
  };
  const ByteBuffer good = signed_with({});
  const auto changed = [&](std::size_t offset) {
    ByteBuffer file = good;
    file[offset] ^= 0x01;
    return file;
  };
  ByteBuffer digest_changed = good;
  const ByteBuffer digest = test::authenticode_digest(good, test::kSha256);
  ++*std::search(digest_changed.begin(), digest_changed.end(), digest.begin(), digest.end());
  const std::string_view mismatch = "the file is not the one the signature signed: its SHA256 Authenticode digest is ";
  struct Case {
    const char* name;
    ByteBuffer file;
    std::string_view refused;  // empty: stamped
  };
  const Case cases[] = {
      {"unsigned", pe.build(), ""},
      {"signed with SHA-256", good, ""},
      {"signed with SHA-1", signed_with({.digest_algorithm = test::kSha1, .file_digest = ByteBuffer(20, 0)}), ""},
      {"a changed checksum", changed(SyntheticPe::kChecksum + 1), ""},
      {"a changed code byte", changed(0x500), mismatch},
      {"a changed header byte", changed(SyntheticPe::kCoffHeader + 4), mismatch},
      {"a changed digest", digest_changed, mismatch},
      {"a digest algorithm no one knows", signed_with({.digest_algorithm = {0x2A, 0x03, 0x04}}),
       "the signature's digest algorithm 1.2.3.4 is not one this tool can compute"},
      {"a certificate no decoder reads", test::signed_pe(pe, {}),
       "the signature does not decode as a PKCS#7 SignedData ("},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result<Installer> installer = Installer::from_file_content(c.file);
    ASSERT_TRUE(installer.ok()) << installer.error();
    const Status checked = installer.value().check_signature();
    if (c.refused.empty()) {
      EXPECT_TRUE(checked.ok()) << checked.error();
    } else {
      ASSERT_FALSE(checked.ok());
      EXPECT_TRUE(checked.error().starts_with(c.refused)) << checked.error();
    }
  }
}

TEST(Installer, PassesOnWhyAFileIsNoInstaller) {
  ByteBuffer x64 = SyntheticPe{.machine = 0x8664}.build();
  const Result<Installer> installer = Installer::from_file_content(concat(x64, "00000038"));
  ASSERT_FALSE(installer.ok());
  EXPECT_EQ(installer.error(), "not a PE32 executable: optional header magic 0x10B does not fit machine 0x8664 (0x20B)");
}

}  // namespace
}  // namespace lumen::stamp
