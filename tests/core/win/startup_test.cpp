#include <gtest/gtest.h>

#include <windows.h>

#include "runtime/win/files.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/scratch_folder.hpp"
#include "tests/support/win/service.hpp"

namespace lumen {
namespace {

using namespace std::chrono_literals;

constexpr const char* kWizardClass = "LumenForm";

// Whether the program showed any window before it ended.
bool showed_a_window_before_ending(test::RunningProgram& program) {
  for (int i = 0; i < 600; ++i) {
    if (program.wait(50ms)) return false;
    if (!program.windows("#32770", 0ms).empty() || !program.windows(kWizardClass, 0ms).empty()) return true;
  }
  return true;
}

TEST(StartUp, EndsSilentlyWhenTheServiceDoesNotAnswer) {
  test::RunningProgram installer(test::built_program("installer_offline.exe"));
  ASSERT_TRUE(installer.started());
  EXPECT_FALSE(showed_a_window_before_ending(installer));
  EXPECT_EQ(installer.wait(), 0u);
}

// A copy of the application, as the user might have it running, and the
// installer for the rig's service, which names that application.
class StartUpWithRunningCopy : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::service_url().empty()) << "the rig runs no reference service";
    const std::string copy = folder_ / "StarlitPad.exe";
    ASSERT_TRUE(write_file(copy, read_file(test::built_program("idle_probe.exe"))));
    running_.emplace(copy);
    ASSERT_TRUE(running_->started());
    installer_.emplace(test::built_program("installer_rig.exe"));
    ASSERT_TRUE(installer_->started());
  }
  void TearDown() override {
    installer_->kill();
    running_->kill();
    (void)installer_->wait();
    (void)running_->wait();
  }

  // The question the installer asks, checked for its text.
  HWND question() {
    const auto boxes = installer_->windows("#32770");
    if (boxes.size() != 1u) return nullptr;
    const test::MessageBoxText box = test::read_message_box(boxes[0]);
    EXPECT_EQ(box.title, "安装向导");
    EXPECT_EQ(box.message, "发现软件正在运行中，请问是否关闭软件立即安装？");
    return boxes[0];
  }

  test::ScratchFolder folder_;
  std::optional<test::RunningProgram> running_;
  std::optional<test::RunningProgram> installer_;
};

TEST_F(StartUpWithRunningCopy, YesEndsTheCopyAndOpensTheWizard) {
  HWND box = question();
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(installer_->windows(kWizardClass, 0ms).empty()) << "the wizard waits for the answer";
  test::press_message_box_button(box, IDYES);
  EXPECT_EQ(running_->wait(), 0u) << "the running copy is ended";
  EXPECT_EQ(installer_->windows(kWizardClass).size(), 1u);
}

TEST_F(StartUpWithRunningCopy, NoEndsTheInstallerAndKeepsTheCopy) {
  HWND box = question();
  ASSERT_NE(box, nullptr);
  test::press_message_box_button(box, IDNO);
  EXPECT_EQ(installer_->wait(), 0u);
  EXPECT_FALSE(running_->wait(200ms).has_value()) << "the running copy is untouched";
}

}  // namespace
}  // namespace lumen
