// The length a program's file must have, by its first bytes: the check that
// tells a download cut short from a whole one when no length was announced.

#include "http/pe_extent.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tools/synthetic_pe.hpp"

namespace lumen {
namespace {

using test::SyntheticPe;

[[nodiscard]] std::int64_t least_length(const ByteBuffer& bytes, std::size_t first) {
  return LeastImageLength(std::span(bytes).first(first));
}

SyntheticPe signed_with_symbols() {
  SyntheticPe pe;
  pe.symbol_count = 3;
  pe.string_table_size = 12;
  pe.certificate_table = ByteBuffer(0x300, 0x30);
  return pe;
}

// The builder lays out PE32's data directories; PE32+ keeps them 16 bytes
// further on.
ByteBuffer signed_pe32_plus() {
  SyntheticPe pe;
  pe.machine = 0x8664;
  pe.magic = 0x20B;
  pe.optional_size = 240;
  pe.certificate_table = ByteBuffer(0x100, 0x30);
  ByteBuffer bytes = pe.build();
  constexpr std::size_t kPe32Directories = SyntheticPe::kOptionalHeader + 96;
  constexpr std::size_t kPe32PlusDirectories = SyntheticPe::kOptionalHeader + 112;
  std::copy_backward(bytes.begin() + kPe32Directories, bytes.begin() + kPe32Directories + 16 * 8,
                     bytes.begin() + kPe32PlusDirectories + 16 * 8);
  test::put_u32(bytes, SyntheticPe::kOptionalHeader + 108, 16);
  return bytes;
}

// A whole program needs exactly its own length; any shorter part of it,
// cut anywhere from its first byte to the last of its certificate table,
// needs more than it holds.
TEST(PeExtent, EveryCutOfAProgramIsShortOfItsLength) {
  struct Case { const char* name; ByteBuffer program; };
  const Case cases[] = {
      {"sections only", SyntheticPe{}.build()},
      {"symbols and a signature", signed_with_symbols().build()},
      {"PE32+, signed", signed_pe32_plus()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ByteBuffer& program = c.program;
    EXPECT_EQ(least_length(program, program.size()), std::ssize(program));
    for (std::size_t cut = 0; cut < program.size(); ++cut) {
      ASSERT_GT(least_length(program, cut), std::int64_t(cut)) << "cut after " << cut << " bytes";
    }
  }
}

// Only what the headers name counts: data after the image (a stamp, an
// appended archive) is no part of its length, and bytes that are no program
// give nothing to judge by.
TEST(PeExtent, MeasuresOnlyWhatTheHeadersName) {
  const ByteBuffer program = SyntheticPe{}.build();
  const ByteBuffer with_overlay = test::concat(program, "00000038");
  ByteBuffer far_header = program;
  test::put_u32(far_header, 0x3C, 0x00200000);
  ByteBuffer dos_program = program;
  dos_program[SyntheticPe::kPeHeader] = 'N';
  ByteBuffer unknown_optional_header = program;
  test::put_u16(unknown_optional_header, SyntheticPe::kOptionalHeader, 0x0107);
  struct Case { const char* name; ByteBuffer bytes; std::int64_t least; };
  const Case cases[] = {
      {"data after the image", with_overlay, std::ssize(program)},
      {"not a program", to_buffer("<html>Service Unavailable</html>"), 0},
      {"an MS-DOS program", dos_program, 64},
      {"PE header past the bytes read", far_header, 0x00200000 + 24},
      {"an optional header of no known kind: its sections still count", unknown_optional_header,
       std::ssize(program)},
  };
  for (const Case& c : cases) EXPECT_EQ(least_length(c.bytes, c.bytes.size()), c.least) << c.name;
}

}  // namespace
}  // namespace lumen
