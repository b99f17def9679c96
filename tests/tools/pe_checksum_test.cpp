#include "tools/stamp/pe_checksum.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/temp_folder.hpp"
#include "tools/stamp/pe_image.hpp"

namespace lumen::stamp {
namespace {

// The checksum of a whole file whose checksum field lies at `field`.
[[nodiscard]] std::uint32_t checksum_of(std::span<const std::uint8_t> file, std::uint64_t field) {
  const std::uint64_t sum = checksum_sum(file, 0) - checksum_sum(file.subspan(field, 4), field);
  return pe_checksum(sum, file.size());
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
      {"an odd last byte", {0xAA, 0xAA, 0xAA, 0xAA, 0x34, 0x12, 0x56}, 0, 0x1234 + 0x56 + 7},
      {"a field off word boundaries", {0x01, 0xEE, 0xEE, 0xEE, 0xEE, 0x02}, 1, 0x0001 + 0x0200 + 6},
  };
  for (const Case& c : cases) EXPECT_EQ(checksum_of(c.file, c.field), c.want) << c.name;
}

// What lets a batch sum the part its copies share once.
TEST(PeChecksum, PartsSumToTheWholeWhereverTheySplit) {
  const ByteBuffer file = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x0F};
  const std::span<const std::uint8_t> bytes = file;
  for (std::size_t split = 0; split <= file.size(); ++split) {
    EXPECT_EQ(checksum_sum(bytes.first(split), 0) + checksum_sum(bytes.subspan(split), split), checksum_sum(bytes, 0))
        << "split at " << split;
  }
}

// The linker that builds the installer writes the same checksum.
TEST(PeChecksum, IsTheOneTheLinkerWroteIntoTheInstaller) {
  const std::filesystem::path built_path = LUMEN_BUILT_INSTALLER;
  if (!std::filesystem::exists(built_path)) GTEST_SKIP() << "no Windows build at " << built_path;
  const ByteBuffer built = test::read_bytes(built_path);
  const Result<Pe32Layout> layout = read_pe32_layout(built);
  ASSERT_TRUE(layout.ok()) << layout.error();
  const std::uint64_t field = layout.value().checksum_field;
  const std::uint32_t stored = built[field] | built[field + 1] << 8 | built[field + 2] << 16 | built[field + 3] << 24;
  EXPECT_EQ(checksum_of(built, field), stored);
}

}  // namespace
}  // namespace lumen::stamp
