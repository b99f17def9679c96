#include "core/win/running_copies.hpp"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "runtime/win/files.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

bool contains(const Array<ProcessId>& ids, ProcessId id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Two copies of a program named like the application, started from a folder
// of their own, as a user's running application would be.
class RunningCopies : public testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_ / "starlitpad.exe";
    ASSERT_TRUE(write_file(path_, read_file(test::built_program("idle_probe.exe"))));
    first_.emplace(path_);
    second_.emplace(path_);
    ASSERT_TRUE(first_->started() && second_->started());
  }
  void TearDown() override {
    first_->kill();
    second_->kill();
    (void)first_->wait();
    (void)second_->wait();
  }

  test::ScratchFolder folder_;
  std::string path_;
  std::optional<test::RunningProgram> first_;
  std::optional<test::RunningProgram> second_;
};

TEST_F(RunningCopies, AreFoundByFileNameWithAsciiCaseFolded) {
  ProgramState state;
  state.AppInfo.name = "StarlitPad";
  Array<ProcessId> ids;
  EXPECT_EQ(FindRunningCopies(state, ids), 2);
  EXPECT_TRUE(contains(ids, first_->id()));
  EXPECT_TRUE(contains(ids, second_->id()));

  EXPECT_EQ(FindProcessesByName("STARLITPAD.EXE", ids), 2);
  EXPECT_EQ(FindProcessesByName("starlitpad", ids), 0) << "the name must include .exe";
  EXPECT_EQ(FindProcessesByName(path_, ids), 0) << "a path never matches";
}

TEST_F(RunningCopies, AreEndedOneByOne) {
  EXPECT_TRUE(TerminateProcessById(first_->id(), true));
  EXPECT_EQ(first_->wait(), 0u);
  EXPECT_FALSE(second_->wait(std::chrono::milliseconds(200)).has_value()) << "only the named process ends";
  EXPECT_TRUE(TerminateProcessById(second_->id(), true));
  EXPECT_EQ(second_->wait(), 0u);
}

TEST(RunningCopiesOfItself, LeaveTheInstallerOut) {
  ProgramState state;
  state.AppInfo.name = "core_win_tests";
  Array<ProcessId> ids;
  EXPECT_EQ(FindProcessesByName("core_win_tests.exe", ids), 1);
  EXPECT_EQ(FindRunningCopies(state, ids), 0);
}

TEST(RunningCopiesOfNothing, FindNone) {
  ProgramState state;
  state.AppInfo.name = "no-such-program-anywhere";
  Array<ProcessId> ids;
  EXPECT_EQ(FindRunningCopies(state, ids), 0);
  EXPECT_FALSE(TerminateProcessById(0x7FFFFFF0u, true));
}

}  // namespace
}  // namespace lumen
