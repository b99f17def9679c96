#include "tools/stamp/pe_image.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/tools/synthetic_pe.hpp"

namespace lumen::stamp {
namespace {

using test::put_u16;
using test::put_u32;
using test::SyntheticPe;

// Where everything the executable holds ends: its image or its signature.
[[nodiscard]] std::uint64_t end_of(const Pe32Layout& layout) {
  return layout.certificate_table ? std::max(layout.image_end, layout.certificate_table->end()) : layout.image_end;
}

TEST(Pe32Layout, EndsAtTheFurthestOfHeadersSectionsSymbolsAndSignature) {
  struct Case {
    const char* name;
    SyntheticPe pe;
    std::uint64_t want;
  };
  const Case cases[] = {
      {"sections only", {}, 0x400 + 0x600 + 0x200},
      {"a .bss listed last adds nothing", {.sections = {{".text", 0x200}, {".bss", 0}}}, 0x600},
      {"no sections: the headers", {.sections = {}}, SyntheticPe::kSizeOfHeaders},
      {"symbols and strings after the sections",
       {.symbol_count = 10, .string_table_size = 0x31},
       0x400 + 0x600 + 0x200 + 10 * 18 + 0x31},
      {"an empty string table still has its size field", {.symbol_count = 2, .string_table_size = 0},
       0xC00 + 2 * 18 + 4},
      {"a signature, 8-byte aligned, ends the file",
       {.symbol_count = 3, .certificate_table = ByteBuffer(0x48, 0xCC)},
       0xC00 + 3 * 18 + 4 + 6 + 0x48},
  };
  for (const Case& c : cases) {
    const Result<Pe32Layout> layout = read_pe32_layout(c.pe.build());
    ASSERT_TRUE(layout.ok()) << c.name << ": " << layout.error();
    EXPECT_EQ(end_of(layout.value()), c.want) << c.name;
    EXPECT_EQ(end_of(layout.value()), c.pe.build().size()) << c.name << ": a built file ends where its image ends";
    EXPECT_EQ(layout.value().checksum_field, SyntheticPe::kChecksum) << c.name;
  }
}

TEST(Pe32Layout, KeepsTheSignatureApartFromTheImage) {
  const SyntheticPe pe{.symbol_count = 3, .certificate_table = ByteBuffer(0x48, 0xCC)};
  const Result<Pe32Layout> layout = read_pe32_layout(pe.build());
  ASSERT_TRUE(layout.ok()) << layout.error();
  EXPECT_EQ(layout.value().image_end, 0xC00u + 3 * 18 + 4);
  ASSERT_TRUE(layout.value().certificate_table);
  const CertificateTable& table = *layout.value().certificate_table;
  EXPECT_EQ(table.offset, 0xC00u + 3 * 18 + 4 + 6) << "aligned to 8";
  EXPECT_EQ(table.size, 0x48u);
  EXPECT_EQ(table.size_field, SyntheticPe::kCertificateDirectory + 4);
  EXPECT_FALSE(read_pe32_layout(SyntheticPe{}.build()).value().certificate_table);
}

TEST(Pe32Layout, FindsTheFurthestSectionWhateverItsPlaceInTheTable) {
  ByteBuffer pe = SyntheticPe{}.build();
  const std::size_t text = SyntheticPe{}.section_table();
  const std::size_t data = text + 40;
  // Swap where the two sections' data lie: .text now comes last in the file.
  put_u32(pe, text + 20, 0x400 + 0x200);
  put_u32(pe, data + 20, 0x400);
  const Result<Pe32Layout> layout = read_pe32_layout(pe);
  ASSERT_TRUE(layout.ok()) << layout.error();
  EXPECT_EQ(layout.value().image_end, 0xC00u);
}

// Every header field the measurement relies on, damaged one at a time.
TEST(Pe32Layout, RefusesWhatIsNotAnIntactPe32) {
  const SyntheticPe plain;
  const SyntheticPe with_symbols{.symbol_count = 4, .string_table_size = 8};
  const SyntheticPe signed_pe{.certificate_table = ByteBuffer(0x40, 0xCC)};
  const std::uint32_t coff = SyntheticPe::kCoffHeader;
  const std::uint32_t optional = SyntheticPe::kOptionalHeader;
  const std::uint32_t table = plain.section_table();
  struct Case {
    const char* name;
    const SyntheticPe& pe;
    std::function<void(ByteBuffer&)> damage;
    const char* want;
  };
  const Case cases[] = {
      {"empty file", plain, [](ByteBuffer& b) { b.clear(); }, "not a PE32 executable: too short"},
      {"shorter than an MZ header", plain, [](ByteBuffer& b) { b.resize(63); }, "too short for an MZ header"},
      {"no MZ", plain, [](ByteBuffer& b) { b[0] = 'Z'; }, "no MZ signature"},
      {"PE offset past the end", plain, [](ByteBuffer& b) { put_u32(b, 0x3C, 0x100000); }, "0x100000 lies outside"},
      {"PE offset at the top of 32 bits", plain, [](ByteBuffer& b) { put_u32(b, 0x3C, 0xFFFFFFFE); }, "lies outside"},
      {"no PE signature", plain, [](ByteBuffer& b) { b[SyntheticPe::kPeHeader + 2] = 'X'; }, "no PE signature"},
      {"cut inside the COFF header", plain, [](ByteBuffer& b) { b.resize(coff + 10); }, "the COFF header runs to"},
      {"AMD64 machine with a PE32 header", plain, [](ByteBuffer& b) { put_u16(b, coff, 0x8664); },
       "magic 0x10B does not fit machine 0x8664"},
      {"ARM", plain, [](ByteBuffer& b) { put_u16(b, coff, 0x01C4); }, "machine 0x1C4 is not i386"},
      {"PE32+ magic on i386", plain, [](ByteBuffer& b) { put_u16(b, optional, 0x20B); },
       "magic 0x20B does not fit machine 0x14C"},
      {"optional header too small", plain, [](ByteBuffer& b) { put_u16(b, coff + 16, 95); }, "fewer than 96 needed"},
      {"optional header past the end", plain, [](ByteBuffer& b) { b.resize(optional + 100); }, "the optional header runs to"},
      {"section table past the end", plain, [](ByteBuffer& b) { put_u16(b, coff + 2, 0xFFFF); }, "the section table runs to"},
      {"headers size past the end", plain, [](ByteBuffer& b) { put_u32(b, optional + 60, 0x10000); }, "the header block runs to"},
      {"cut inside the last section", plain, [](ByteBuffer& b) { b.resize(b.size() - 0x100); },
       "section 2 (.data) runs to byte 3072, past the end of the file (2816 bytes)"},
      {"section data at the top of 32 bits", plain, [=](ByteBuffer& b) { put_u32(b, table + 20, 0xFFFFFF00); },
       "section 1 (.text) runs to byte 4294968576"},
      {"symbols cut off", with_symbols, [](ByteBuffer& b) { b.resize(b.size() - 20); }, "the COFF symbol table runs to"},
      {"symbols past the end", plain, [=](ByteBuffer& b) { put_u32(b, coff + 8, 0xFFFFFFF0); }, "the COFF symbol table"},
      {"string table cut off", with_symbols, [](ByteBuffer& b) { b.resize(b.size() - 2); }, "the COFF string table runs to"},
      {"signature cut off", signed_pe, [](ByteBuffer& b) { b.resize(b.size() - 8); }, "the certificate table runs to"},
  };
  for (const Case& c : cases) {
    ByteBuffer file = c.pe.build();
    c.damage(file);
    const Result<Pe32Layout> layout = read_pe32_layout(file);
    ASSERT_FALSE(layout.ok()) << c.name << " measured " << end_of(layout.value());
    EXPECT_NE(layout.error().find(c.want), std::string::npos) << c.name << ": " << layout.error();
  }
}

}  // namespace
}  // namespace lumen::stamp
