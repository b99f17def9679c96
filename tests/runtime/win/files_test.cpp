#include "runtime/win/files.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

using test::ScratchFolder;

Text content_of(const std::string& path) { return to_text(read_file(path)); }

void put(const std::string& path, std::string_view text) { ASSERT_TRUE(write_file(path, to_buffer(text))); }

// What each open mode does to an existing file "old" and to a missing file.
TEST(OpenFile, ModesOpenCreateAndTruncateAsDocumented) {
  struct Case { int mode; bool opens_missing; bool can_read; bool can_write; bool truncates; };
  const Case cases[] = {
      {1, false, true, false, false}, {2, false, false, true, false}, {3, false, true, true, false},
      {4, true, false, true, true},   {5, true, false, true, false},  {6, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    ScratchFolder folder;
    const std::string existing = folder / "existing.bin";
    put(existing, "old");

    FileNumber missing = open_file(folder / "missing.bin", static_cast<OpenMode>(c.mode));
    EXPECT_EQ(missing != nullptr, c.opens_missing);
    close_file(missing);

    FileNumber file = open_file(existing, static_cast<OpenMode>(c.mode));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->position(), 0);
    EXPECT_EQ(read_text(*file) == "old", c.can_read);
    ASSERT_TRUE(seek_to_start(*file));
    EXPECT_EQ(write_text(*file, "N"), c.can_write);
    close_file(file);

    const Text after = content_of(existing);
    const Text want = c.truncates ? "N" : (c.can_write ? "Nld" : "old");
    EXPECT_EQ(after, want);
  }
}

TEST(OpenFile, RejectsBadModesSharesAndPaths) {
  ScratchFolder folder;
  EXPECT_EQ(open_file(folder / "a", static_cast<OpenMode>(7)), nullptr);
  EXPECT_EQ(open_file(folder / "a", static_cast<OpenMode>(0)), nullptr);
  EXPECT_EQ(open_file(folder / "a", OpenMode::CreateWrite, static_cast<ShareMode>(5)), nullptr);
  EXPECT_EQ(open_file("", OpenMode::CreateWrite), nullptr);
  EXPECT_FALSE(file_exists(folder / "a"));
}

TEST(OpenFile, ShareModesDenyOtherOpeners) {
  ScratchFolder folder;
  const std::string path = folder / "shared.bin";
  put(path, "data");
  {
    FileNumber exclusive = open_file(path, OpenMode::ReadWrite, ShareMode::Exclusive);
    ASSERT_NE(exclusive, nullptr);
    EXPECT_EQ(open_file(path, OpenMode::Read), nullptr);
    EXPECT_TRUE(read_file(path).empty());
  }
  {
    FileNumber deny_writing = open_file(path, OpenMode::Read, ShareMode::DenyWrite);
    ASSERT_NE(deny_writing, nullptr);
    EXPECT_EQ(content_of(path), "data");
    EXPECT_FALSE(write_file(path, to_buffer("x")));
  }
  {
    // A file another program holds open for writing is not read.
    FileNumber writer = open_file(path, OpenMode::Write, ShareMode::DenyNone);
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(read_file(path).empty());
  }
}

TEST(Files, BytesSurviveUnchanged) {
  ScratchFolder folder;
  const std::string path = folder / "binary.bin";
  ByteBuffer bytes;
  for (int i = 0; i < 300000; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7));
  bytes.push_back('\r');
  bytes.push_back('\n');
  ASSERT_TRUE(write_file(path, bytes));
  EXPECT_EQ(read_file(path), bytes);
  EXPECT_TRUE(read_file(folder / "missing").empty());
  EXPECT_TRUE(read_file("").empty());
}

TEST(Files, MoveReplacesAnExistingTarget) {
  ScratchFolder folder;
  put(folder / "a.tmp", "new");
  put(folder / "a", "old");
  EXPECT_TRUE(move_file(folder / "a.tmp", folder / "a"));
  EXPECT_EQ(content_of(folder / "a"), "new");
  EXPECT_FALSE(file_exists(folder / "a.tmp"));
  EXPECT_FALSE(move_file(folder / "missing", folder / "b"));
  EXPECT_TRUE(delete_file(folder / "a"));
  EXPECT_FALSE(delete_file(folder / "a"));
}

// A target that cannot be replaced, held open by a program that shares
// nothing, keeps its bytes; no copy is left beside it, and the source stays.
TEST(Files, AFailedMoveLeavesTheTargetAsItWas) {
  ScratchFolder folder;
  put(folder / "a.tmp", "new");
  put(folder / "a", "old");
  {
    const FileNumber held = open_file(folder / "a", OpenMode::Read, ShareMode::Exclusive);
    ASSERT_TRUE(held);
    EXPECT_FALSE(move_file(folder / "a.tmp", folder / "a"));
    EXPECT_FALSE(file_exists(folder / "a.moving"));
  }
  EXPECT_EQ(content_of(folder / "a"), "old");
  EXPECT_EQ(content_of(folder / "a.tmp"), "new");
}

TEST(Files, ExistenceMatchesFilesFoldersAndWildcards) {
  ScratchFolder folder;
  put(folder / "x.txt", "x");
  EXPECT_TRUE(file_exists(folder / "x.txt"));
  EXPECT_TRUE(file_exists(folder / "*.txt"));
  EXPECT_TRUE(file_exists(folder.path().substr(0, folder.path().size() - 1)));
  EXPECT_FALSE(file_exists(folder / "*.exe"));
}

TEST(ProgramLocation, JoinsBackToTheModulePath) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  EXPECT_EQ(program_directory() + "\\" + executable_name(), path);
  EXPECT_EQ(executable_name(), "runtime_win_tests.exe");
}

}  // namespace
}  // namespace lumen
