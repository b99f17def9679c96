#include "tools/stamp/pe_checksum.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/temp_folder.hpp"
#include "tools/stamp/pe_image.hpp"

namespace lumen::stamp {
namespace {

[[nodiscard]] std::uint32_t checksum_of(ByteBuffer file, std::uint64_t field) {
  update_pe_checksum(file, field);
  return static_cast<std::uint32_t>(file[field] | file[field + 1] << 8 | file[field + 2] << 16 | file[field + 3] << 24);
}

TEST(PeChecksum, SumsWordsWithCarriesFoldedInPlusTheSize) {
  struct Case {
    const char* name;
    ByteBuffer file;
    std::uint64_t field;
    std::uint32_t want;
  };
  const Case cases[] = {
      {"a carry folded back in", {0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34, 0x56, 0x78}, 4, 0xFFFF + 8},
      {"the old checksum counts as zero", {0xAA, 0xAA, 0xAA, 0xAA, 0x34, 0x12, 0x56}, 0, 0x1234 + 0x56 + 7},
      {"a field off word boundaries", {0x01, 0xEE, 0xEE, 0xEE, 0xEE, 0x02}, 1, 0x0001 + 0x0200 + 6},
  };
  for (const Case& c : cases) EXPECT_EQ(checksum_of(c.file, c.field), c.want) << c.name;
}

// The linker that builds the installer writes the same checksum.
TEST(PeChecksum, IsTheOneTheLinkerWroteIntoTheInstaller) {
  const std::filesystem::path built_path = LUMEN_BUILT_INSTALLER;
  if (!std::filesystem::exists(built_path)) GTEST_SKIP() << "no Windows build at " << built_path;
  const ByteBuffer built = test::read_bytes(built_path);
  const Result<Pe32Layout> layout = read_pe32_layout(built);
  ASSERT_TRUE(layout.ok()) << layout.error();
  ByteBuffer recomputed = built;
  update_pe_checksum(recomputed, layout.value().checksum_field);
  EXPECT_EQ(recomputed, built);
}

}  // namespace
}  // namespace lumen::stamp
