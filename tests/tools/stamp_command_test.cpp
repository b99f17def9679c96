// The built command, run as a distributor runs it.

#include <gtest/gtest.h>

#include "core/stamp.hpp"
#include "tests/tools/shell_command.hpp"
#include "tests/tools/synthetic_pe.hpp"
#include "tools/stamp/pe_image.hpp"

namespace lumen::stamp {
namespace {

namespace fs = std::filesystem;
using test::CommandOutcome;
using test::concat;
using test::read_bytes;
using test::write_bytes;

[[nodiscard]] CommandOutcome run_command(const test::TempFolder& folder, const std::string& args) {
  return test::run_in(folder, "'" LUMEN_STAMP_COMMAND "' " + args);
}

TEST(StampCommand, ExitStatusSaysDoneRefusedOrBadCommandLine) {
  const test::TempFolder folder;
  write_bytes(folder / "installer.exe", test::SyntheticPe{}.build());
  struct Case {
    const char* args;
    int status;
    const char* out;
    const char* err;
  };
  const Case cases[] = {
      {"installer.exe 00000038 -o a.exe", 0, "a.exe: stamped 00000038 after the image\n", ""},
      {"--show a.exe", 0, "00000038\n", ""},
      {"installer.exe 38 -o b.exe", 1, "",
       "stamp: agent id \"38\" is not exactly 8 ASCII digits (zero-padded: 00000038)\n"},
      {"--show installer.exe", 1, "", "stamp: installer.exe: not stamped\n"},
      {"--bogus", 2, "", "stamp: unknown option --bogus\nusage: stamp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CommandOutcome r = run_command(folder, c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_TRUE(r.err.starts_with(c.err)) << r.err;
  }
}

// The installer the Windows build links, when that build is there: the
// linker's own layout must read as unstamped, and stamps must go on and be
// replaced where the installer will find them, its checksum kept right.
TEST(StampCommand, StampsTheInstallerAsBuilt) {
  const fs::path built_path = LUMEN_BUILT_INSTALLER;
  if (!fs::exists(built_path)) GTEST_SKIP() << "no Windows build at " << built_path;
  const ByteBuffer built = read_bytes(built_path);
  const Result<Pe32Layout> layout = read_pe32_layout(built);
  ASSERT_TRUE(layout.ok()) << layout.error();
  EXPECT_EQ(layout.value().image_end, built.size()) << "the installer as built has nothing after its image";
  EXPECT_FALSE(layout.value().certificate_table) << "nor a signature";

  const test::TempFolder folder;
  fs::copy_file(built_path, folder / "installer.exe");
  ASSERT_EQ(run_command(folder, "installer.exe 00000038 -o first.exe").status, 0);
  ASSERT_EQ(run_command(folder, "first.exe 87654321 -o second.exe").status, 0);
  const ByteBuffer second = read_bytes(folder / "second.exe");
  EXPECT_EQ(second, test::with_pe_checksum(concat(built, "87654321"), layout.value().checksum_field));
  EXPECT_EQ(StampFromFileContent(second), "87654321");
  EXPECT_EQ(run_command(folder, "--show second.exe").out, "87654321\n");
}

}  // namespace
}  // namespace lumen::stamp
