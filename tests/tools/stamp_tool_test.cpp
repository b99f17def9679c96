#include "tools/stamp/stamp_tool.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "tests/tools/synthetic_pe.hpp"
#include "tests/tools/synthetic_signature.hpp"
#include "tests/tools/temp_folder.hpp"
#include "tools/stamp/system_files.hpp"

namespace lumen::stamp {
namespace {

namespace fs = std::filesystem;
using test::concat;
using test::read_bytes;
using test::write_bytes;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Works inside a fresh folder holding an installer as a linker leaves it
// (symbols after the sections) and the other files the cases need, so that
// command lines read as a distributor types them.
class StampTool : public ::testing::Test {
 protected:
  StampTool() : previous_(fs::current_path()) {
    fs::current_path(folder_.path());
    write_bytes("installer.exe", built_);
    write_bytes("stamped.exe", concat(built_, "00000038"));
  }
  ~StampTool() override { fs::current_path(previous_); }

  [[nodiscard]] Outcome run(std::vector<std::string_view> args, StampFiles& files) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run_stamp_tool(args, files, out, err);
    return {status, out.str(), err.str()};
  }
  [[nodiscard]] Outcome run(std::vector<std::string_view> args) { return run(std::move(args), system_); }

  test::TempFolder folder_;
  fs::path previous_;
  SystemFiles system_;
  const ByteBuffer built_ = test::SyntheticPe{.symbol_count = 12, .string_table_size = 0x40}.build();
  // The same build signed, as a signing tool leaves it.
  const ByteBuffer signed_ = test::signed_pe(test::SyntheticPe{.symbol_count = 12, .string_table_size = 0x40},
                                             test::SyntheticSignature{.certificate_size = 0});
};

// Every refused command line leaves the folder exactly as it was: no output,
// no temporary file, the input untouched.
TEST_F(StampTool, RefusesBadInputAndTouchesNothing) {
  const ByteBuffer text = concat({}, "Agents of the north region, to be stamped on Monday: 00000038, 00000039.\n");
  write_bytes("notes.txt", text);
  write_bytes("x64.exe", test::SyntheticPe{.machine = 0x8664}.build());
  write_bytes("truncated.exe", ByteBuffer(built_.begin(), built_.begin() + 0x900));
  write_bytes("junk.exe", concat(built_, "junk!"));
  write_bytes("double.exe", concat(built_, "0000003800000039"));
  write_bytes("signed.exe", signed_);
  write_bytes("signed-then-appended.exe", concat(signed_, "00000038"));
  const ByteBuffer signature = test::SyntheticSignature{}.build();
  const ByteBuffer entry = test::certificate_entry(signature);
  write_bytes("two-signatures.exe", test::SyntheticPe{.certificate_table = test::joined({entry, entry})}.build());
  const ByteBuffer cut_signature(signature.begin(), signature.end() - 16);
  write_bytes("cut-signature.exe",
              test::SyntheticPe{.certificate_table = test::certificate_entry(cut_signature)}.build());
  write_bytes("ids.txt", concat({}, "00000039\n00000040\n"));
  write_bytes("ids-bad.txt", concat({}, "00000039\n0000040\n\n00000041\n"));
  write_bytes("ids-repeated.txt", concat({}, "00000038\n00000039\n00000038\n"));
  write_bytes("ids-empty.txt", concat({}, "# none yet\n"));
  fs::create_directory("folder");
  fs::create_symlink("installer.exe", "link.exe");
  fs::create_hard_link("installer.exe", "hard.exe");
  fs::create_directory("batch");
  fs::create_symlink("../installer.exe", "batch/installer-00000040.exe");

  struct Case {
    const char* name;
    std::vector<std::string_view> args;
    int status;
    std::string_view err;
  };
  const Case cases[] = {
      // The command line itself.
      {"nothing", {}, kExitUsage, "stamp: expected INSTALLER and AGENT_ID"},
      {"unknown option", {"installer.exe", "00000039", "-o", "a.exe", "--force"}, kExitUsage, "unknown option --force"},
      {"-o without a path", {"installer.exe", "00000039", "-o"}, kExitUsage, "stamp: -o needs a value"},
      {"-o twice", {"installer.exe", "00000039", "-o", "a.exe", "-o", "b.exe"}, kExitUsage, "-o is given twice"},
      {"no output", {"installer.exe", "00000039"}, kExitUsage, "missing -o OUT (or --in-place"},
      {"output and in place", {"installer.exe", "00000039", "-o", "a.exe", "--in-place"}, kExitUsage, "not both"},
      {"no id", {"installer.exe", "-o", "a.exe"}, kExitUsage, "expected INSTALLER and AGENT_ID"},
      {"two ids", {"installer.exe", "00000039", "00000040", "-o", "a.exe"}, kExitUsage, "expected INSTALLER and"},
      {"--show with an output", {"--show", "stamped.exe", "-o", "a.exe"}, kExitUsage, "--show takes no other option"},
      {"--show with two files", {"--show", "stamped.exe", "installer.exe"}, kExitUsage, "--show takes one INSTALLER"},
      {"batch without a folder", {"installer.exe", "--batch", "ids.txt"}, kExitUsage, "--batch needs -o DIR"},
      {"batch in place", {"installer.exe", "--batch", "ids.txt", "--in-place"}, kExitUsage, "does not go with --batch"},
      {"batch with an id", {"installer.exe", "00000039", "--batch", "ids.txt", "-o", "out"}, kExitUsage,
       "--batch takes one INSTALLER"},
      // The id.
      {"short id", {"installer.exe", "38", "-o", "a.exe"}, kExitRefused,
       "stamp: agent id \"38\" is not exactly 8 ASCII digits (zero-padded: 00000038)\n"},
      {"nine digits", {"installer.exe", "123456789", "-o", "a.exe"}, kExitRefused, "not exactly 8 ASCII digits"},
      {"letter in the id", {"installer.exe", "0000003a", "-o", "a.exe"}, kExitRefused, "not exactly 8 ASCII digits"},
      {"zero id", {"installer.exe", "00000000", "-o", "a.exe"}, kExitRefused, "is all zeros"},
      // The output naming the input.
      {"-o the input", {"installer.exe", "00000039", "-o", "installer.exe"}, kExitRefused,
       "stamp: installer.exe: this is the input installer; add --in-place to stamp it itself\n"},
      {"-o the input spelled otherwise", {"installer.exe", "00000039", "-o", "./folder/../installer.exe"},
       kExitRefused, "this is the input installer"},
      {"-o a link to the input", {"installer.exe", "00000039", "-o", "link.exe"}, kExitRefused, "this is the input"},
      {"-o a hard link to the input", {"installer.exe", "00000039", "-o", "hard.exe"}, kExitRefused,
       "this is the input"},
      // The input.
      {"missing input", {"absent.exe", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: cannot open absent.exe: No such file or directory\n"},
      {"input is a folder", {"folder", "00000039", "-o", "a.exe"}, kExitRefused, "stamp: folder is not a regular file"},
      {"text file", {"notes.txt", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: notes.txt: not a PE32 executable: no MZ signature\n"},
      {"AMD64 machine with a PE32 header", {"x64.exe", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: x64.exe: not a PE32 executable: optional header magic 0x10B does not fit machine 0x8664"},
      {"truncated installer", {"truncated.exe", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: truncated.exe: truncated or damaged PE32 executable: section 1 (.text) runs to byte 2560"},
      {"junk after the image", {"junk.exe", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: junk.exe: 5 bytes follow the executable image and they are not one 8-digit stamp"},
      {"stamped twice", {"double.exe", "00000039", "-o", "a.exe"}, kExitRefused, "16 bytes follow"},
      // Signed inputs whose copies would not verify.
      {"stamp after the signature", {"signed-then-appended.exe", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: signed-then-appended.exe: 8 bytes follow the certificate table, which must end a signed installer"},
      {"two signatures", {"two-signatures.exe", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: two-signatures.exe: the certificate table holds more than one entry"},
      {"signature cut short", {"cut-signature.exe", "00000039", "-o", "a.exe"}, kExitRefused,
       "stamp: cut-signature.exe: damaged certificate table: the signature does not parse"},
      {"batch of a signature cut short", {"cut-signature.exe", "--batch", "ids.txt", "-o", "out"}, kExitRefused,
       "stamp: cut-signature.exe: damaged certificate table"},
      // The output.
      {"output folder missing", {"installer.exe", "00000039", "-o", "absent/a.exe"}, kExitRefused,
       "stamp: cannot write absent/a.exe (no temporary file in absent): No such file or directory\n"},
      {"output is a folder", {"installer.exe", "00000039", "-o", "folder"}, kExitRefused,
       "stamp: cannot write folder: Is a directory\n"},
      // Showing.
      {"show an unstamped installer", {"--show", "installer.exe"}, kExitRefused, "stamp: installer.exe: not stamped\n"},
      {"show junk", {"--show", "junk.exe"}, kExitRefused, "junk.exe: 5 bytes follow"},
      {"show a signed installer", {"--show", "signed.exe"}, kExitRefused, "stamp: signed.exe: not stamped\n"},
      {"show a stamp after the signature", {"--show", "signed-then-appended.exe"}, kExitRefused, "8 bytes follow"},
      {"show a text file", {"--show", "notes.txt"}, kExitRefused, "notes.txt: not a PE32 executable"},
      // Batches: nothing is written unless everything is good.
      {"bad lines in the list", {"installer.exe", "--batch", "ids-bad.txt", "-o", "out"}, kExitRefused,
       "stamp: ids-bad.txt: line 2: agent id \"0000040\" is not exactly 8 ASCII digits (zero-padded: 00000040)\n"},
      {"repeated id", {"installer.exe", "--batch", "ids-repeated.txt", "-o", "out"}, kExitRefused,
       "stamp: ids-repeated.txt: line 3: 00000038 repeats line 1\n"},
      {"empty list", {"installer.exe", "--batch", "ids-empty.txt", "-o", "out"}, kExitRefused,
       "stamp: ids-empty.txt: lists no agent ids\n"},
      {"missing list", {"installer.exe", "--batch", "absent.txt", "-o", "out"}, kExitRefused,
       "stamp: cannot open absent.txt"},
      {"batch of a text file", {"notes.txt", "--batch", "ids.txt", "-o", "out"}, kExitRefused,
       "notes.txt: not a PE32 executable"},
      {"batch overwriting the input", {"installer.exe", "--batch", "ids.txt", "-o", "batch"}, kExitRefused,
       "stamp: batch/installer-00000040.exe: this is the input installer; the batch would overwrite it\n"},
      {"batch folder is a file", {"installer.exe", "--batch", "ids.txt", "-o", "notes.txt"}, kExitRefused,
       "stamp: cannot create folder notes.txt: Not a directory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto before = folder_.snapshot();
    const Outcome r = run(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    if (c.status == kExitUsage) {
      EXPECT_NE(r.err.find("usage: stamp"), std::string::npos);
    }
    EXPECT_TRUE(folder_.snapshot() == before) << "the folder changed";
  }
}

TEST_F(StampTool, WritesAStampedCopyAndReplacesTheStampOfOne) {
  fs::permissions("installer.exe", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);

  Outcome r = run({"installer.exe", "00000038", "-o", "a.exe"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(r.out, "a.exe: stamped 00000038 after the image\n");
  EXPECT_EQ(read_bytes("a.exe"), test::stamped(built_, "00000038"));
  EXPECT_EQ(fs::status("a.exe").permissions(), fs::status("installer.exe").permissions());

  r = run({"a.exe", "12345678", "-o", "b.exe"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(r.out, "b.exe: stamped 12345678 after the image (was 00000038)\n");
  EXPECT_EQ(read_bytes("b.exe"), test::stamped(built_, "12345678"));

  r = run({"--show", "b.exe"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(r.out, "12345678\n");

  // An existing output that is not the input is replaced whole.
  r = run({"installer.exe", "00000039", "--output", "b.exe"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(read_bytes("b.exe"), test::stamped(built_, "00000039"));

  EXPECT_EQ(read_bytes("installer.exe"), built_);
  std::vector<std::string> names;
  for (const auto& [name, bytes] : folder_.snapshot()) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.exe", "b.exe", "installer.exe", "stamped.exe"}));
}

TEST_F(StampTool, StampsTheInputItselfWhenAskedTo) {
  const Outcome r = run({"stamped.exe", "00000039", "--in-place"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(r.out, "stamped.exe: stamped 00000039 after the image (was 00000038)\n");
  EXPECT_EQ(read_bytes("stamped.exe"), test::stamped(built_, "00000039"));
  EXPECT_EQ(folder_.snapshot().size(), 2u) << "no temporary file is left";
}

TEST_F(StampTool, BatchWritesOneCopyPerListedId) {
  write_bytes("ids.txt", concat({}, "# north\r\n00000039\r\n\r\n00000040\r\n"));
  const Outcome r = run({"stamped.exe", "--batch", "ids.txt", "-o", "out/north"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(r.out,
            "out/north/stamped-00000039.exe: stamped 00000039 after the image (was 00000038)\n"
            "out/north/stamped-00000040.exe: stamped 00000040 after the image (was 00000038)\n");
  EXPECT_EQ(read_bytes("out/north/stamped-00000039.exe"), test::stamped(built_, "00000039"));
  EXPECT_EQ(read_bytes("out/north/stamped-00000040.exe"), test::stamped(built_, "00000040"));
  EXPECT_EQ(folder_.snapshot().size(), 7u) << "two installers, ids.txt, two copies and two folders";
}

TEST_F(StampTool, BatchCopiesNeverShowAnIdTheyDoNotCarry) {
  write_bytes("ids.txt", concat({}, "00000039\n"));
  struct Case {
    const char* input;
    const char* output;
  };
  const Case cases[] = {
      {"installer-00000038.exe", "out/installer-00000039.exe"},   // its own stamp is dropped
      {"installer-00000037.exe", "out/installer-00000037-00000039.exe"},  // not its stamp: kept
      {"00000038.exe", "out/00000038-00000039.exe"},              // nothing but the stamp: kept
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    fs::copy_file("stamped.exe", c.input);
    const Outcome r = run({c.input, "--batch", "ids.txt", "-o", "out"});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_EQ(read_bytes(c.output), test::stamped(built_, "00000039"));
  }
}

TEST_F(StampTool, StampsSignedInstallersInsideTheSignatureOneByOneOrInABatch) {
  write_bytes("signed.exe", signed_);
  write_bytes("ids.txt", concat({}, "00000039\n00000040\n"));
  const auto stamp_at_end = [](const ByteBuffer& file) {
    return std::string(file.end() - 8, file.end());
  };

  Outcome r = run({"signed.exe", "00000038", "-o", "a.exe"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(r.out, "a.exe: stamped 00000038 inside the signature\n");
  EXPECT_EQ(stamp_at_end(read_bytes("a.exe")), "00000038");

  r = run({"a.exe", "--batch", "ids.txt", "-o", "out"});
  EXPECT_EQ(r.status, kExitDone) << r.err;
  EXPECT_EQ(r.out,
            "out/a-00000039.exe: stamped 00000039 inside the signature (was 00000038)\n"
            "out/a-00000040.exe: stamped 00000040 inside the signature (was 00000038)\n");
  for (const char* id : {"00000039", "00000040"}) {
    const std::string copy = std::string("out/a-") + id + ".exe";
    EXPECT_EQ(stamp_at_end(read_bytes(copy)), id);
    EXPECT_EQ(run({"--show", copy}).out, std::string(id) + "\n");
  }
  EXPECT_EQ(read_bytes("signed.exe"), signed_);
}

// The machine's files, except that one write fails as on a full disk.
class FilesFailingOneWrite final : public StampFiles {
 public:
  explicit FilesFailingOneWrite(int failing) : failing_(failing) {}
  Result<FileContent> read(const fs::path& file) override { return system_.read(file); }
  bool same_file(const fs::path& a, const fs::path& b) override { return system_.same_file(a, b); }
  Status make_folder(const fs::path& folder) override { return system_.make_folder(folder); }
  Status replace(const fs::path& target, std::span<const std::uint8_t> content, fs::perms permissions) override {
    if (++writes_ == failing_) return Error{"cannot write " + target.string() + ": " + std::strerror(ENOSPC)};
    return system_.replace(target, content, permissions);
  }

 private:
  SystemFiles system_;
  int failing_;
  int writes_ = 0;
};

TEST_F(StampTool, ABatchStoppedByAFailedWriteSaysHowFarItGot) {
  write_bytes("ids.txt", concat({}, "00000039\n00000040\n00000041\n"));
  FilesFailingOneWrite files(2);
  const Outcome r = run({"installer.exe", "--batch", "ids.txt", "-o", "out"}, files);
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_EQ(r.out, "out/installer-00000039.exe: stamped 00000039 after the image\n");
  EXPECT_EQ(r.err,
            "stamp: cannot write out/installer-00000040.exe: No space left on device\n"
            "stamp: batch stopped after 1 of 3 stamped copies\n");
  EXPECT_EQ(read_bytes("out/installer-00000039.exe"), test::stamped(built_, "00000039"));
  EXPECT_FALSE(fs::exists("out/installer-00000040.exe"));
  EXPECT_FALSE(fs::exists("out/installer-00000041.exe"));
}

TEST_F(StampTool, HelpIsTheUsage) {
  const Outcome r = run({"--help"});
  EXPECT_EQ(r.status, kExitDone);
  EXPECT_TRUE(r.out.starts_with("usage: stamp INSTALLER AGENT_ID -o OUT"));
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace lumen::stamp
