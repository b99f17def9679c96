#include "tools/stamp/installer.hpp"

#include <gtest/gtest.h>

#include "core/stamp.hpp"
#include "tests/tools/synthetic_pe.hpp"

namespace lumen::stamp {
namespace {

using test::concat;
using test::SyntheticPe;

[[nodiscard]] Stamp stamp_of(std::string_view id) { return Stamp::from_agent_id(id).value(); }

// Builds as a linker leaves them: sections only, with symbols after them,
// and signed.
[[nodiscard]] std::vector<std::pair<const char*, ByteBuffer>> built_installers() {
  return {{"sections only", SyntheticPe{}.build()},
          {"with symbols", SyntheticPe{.symbol_count = 7, .string_table_size = 0x25}.build()},
          {"signed", SyntheticPe{.symbol_count = 2, .certificate_size = 0x30}.build()}};
}

TEST(Installer, StampsAreAppendedOnceAndThenReplaced) {
  for (const auto& [name, built] : built_installers()) {
    SCOPED_TRACE(name);
    const Result<Installer> unstamped = Installer::from_file_content(built);
    ASSERT_TRUE(unstamped.ok()) << unstamped.error();
    EXPECT_FALSE(unstamped.value().stamp());

    const ByteBuffer first = unstamped.value().stamped_with(stamp_of("00000038"));
    EXPECT_EQ(first, concat(built, "00000038"));
    // What the installer itself will read from the end of its file.
    EXPECT_EQ(StampFromFileContent(first), "00000038");

    const Result<Installer> stamped = Installer::from_file_content(first);
    ASSERT_TRUE(stamped.ok()) << stamped.error();
    EXPECT_EQ(stamped.value().stamp(), stamp_of("00000038"));
    EXPECT_EQ(stamped.value().stamped_with(stamp_of("12345678")), concat(built, "12345678"));
  }
}

TEST(Installer, AZeroStampWrittenByOtherMeansIsStillReplaced) {
  const ByteBuffer built = SyntheticPe{}.build();
  const Result<Installer> stamped = Installer::from_file_content(concat(built, "00000000"));
  ASSERT_TRUE(stamped.ok()) << stamped.error();
  EXPECT_EQ(stamped.value().stamp()->digits(), "00000000");
  EXPECT_EQ(stamped.value().stamped_with(stamp_of("00000038")), concat(built, "00000038"));
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

TEST(Installer, PassesOnWhyAFileIsNoInstaller) {
  ByteBuffer x64 = SyntheticPe{.machine = 0x8664}.build();
  const Result<Installer> installer = Installer::from_file_content(concat(x64, "00000038"));
  ASSERT_FALSE(installer.ok());
  EXPECT_EQ(installer.error(), "not a PE32 executable: machine 0x8664 is not i386 (0x14C)");
}

}  // namespace
}  // namespace lumen::stamp
