#include <gtest/gtest.h>

#include "runtime/convert.hpp"
#include "runtime/win/files.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

// A copy of the probe, which reads its stamp exactly as the installer does,
// gets bytes appended and reports what it read.
TEST(StampedExecutable, ReadsTheLastEightBytesOfItsOwnFile) {
  struct Case { const char* name; ByteBuffer tail; Text want; };
  const Case cases[] = {
      {"agent 38", to_buffer("00000038"), "00000038"},
      {"restamped", to_buffer("0000003812345678"), "12345678"},
      {"zero in the stamp", {'x', 'x', 'x', 'x', '3', '8', 0, '1'}, "xxxx38"},
  };
  const ByteBuffer probe = read_file(test::built_program("stamp_probe.exe"));
  ASSERT_FALSE(probe.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScratchFolder folder;
    const std::string stamped = folder / "stamped.exe";
    ASSERT_TRUE(write_file(stamped, std::vector<ByteBuffer>{probe, c.tail}));
    const std::string report = folder / "stamp.txt";
    ASSERT_EQ(test::run_program(stamped, "\"" + report + "\""), 0u);
    EXPECT_EQ(to_text(read_file(report)), c.want);
  }
}

}  // namespace
}  // namespace lumen
