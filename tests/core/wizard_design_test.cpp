#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/licence_text.hpp"
#include "core/wizard_design.hpp"
#include "runtime/form_layout.hpp"
#include "runtime/text.hpp"

namespace lumen::wizard {
namespace {

using forms::ControlIndex;
using forms::FormLayout;
using forms::Rect;

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for ([[maybe_unused]] std::string_view c : characters_of(text)) ++count;
  return count;
}

// Every handler is bound once; the close question twice, to the close button
// and to the system's close command.
TEST(WizardDesign, IsSoundAndBindsEveryHandler) {
  const forms::FormDesign& design = wizard_design();
  EXPECT_EQ(forms::first_design_fault(design), std::nullopt);
  for (std::size_t handler = 0; handler < kWizardHandlerCount; ++handler) {
    SCOPED_TRACE(handler);
    const auto id = static_cast<forms::HandlerId>(handler);
    EXPECT_EQ(std::count_if(design.events.begin(), design.events.end(),
                            [&](const forms::EventBinding& b) { return b.handler == id; }),
              id == static_cast<forms::HandlerId>(WizardHandler::OnCloseClicked) ? 2 : 1);
  }
  EXPECT_EQ(design.events.size(), kWizardHandlerCount + 1);
}

TEST(WizardDesign, TextsAreCodePage936Bytes) {
  // "开始安装" in code page 936.
  const forms::ControlDesign* install = forms::find_control(wizard_design(), kInstallButton);
  ASSERT_NE(install, nullptr);
  EXPECT_EQ(install->text, "\xBF\xAA\xCA\xBC\xB0\xB2\xD7\xB0");
  const forms::ControlDesign* run = forms::find_control(wizard_design(), kRunButton);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->text.substr(2, 2), "  ");  // the run caption keeps its two inner spaces
}

TEST(WizardDesign, PlacesTheControlsWhereTheWindowShowsThem) {
  FormLayout layout(wizard_design());
  auto rect = [&](std::string_view name) { return layout.rect_in_host(*layout.index_of(name)); };
  struct Case { std::string_view name; Rect rect; };
  const Case cases[] = {
      {kBanner, {0, 0, 600, 300}},
      {kCloseButton, {567, 3, 591, 27}},
      {kMinimiseButton, {541, 3, 565, 27}},
      {kBrowseButton, {506, 309, 554, 333}},  // inside the frame 外形框4 (505, 308)
      {kChooseButton, {506, 309, 554, 333}},  // in frame 外形框1 on page 3, one pixel in
      {kInstallButton, {170, 351, 430, 386}},
      {kProgressBar, {-1, 298, 601, 316}},    // over the banner's last two rows
      {kLicencePanel, {608, 0, 1208, 432}},  // right of the 600-px window until opened
      {kLicenceEdit, {48, 48, 552, 376}},    // inside the panel, its own window
      {kBackButton, {276, 393, 324, 417}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name));
    EXPECT_EQ(rect(c.name), c.rect);
  }
  // The page container reaches 50 px beyond the 430 px the window shows.
  EXPECT_EQ(rect(kPages).bottom - kShownHeight, 50);
}

TEST(WizardDesign, StartsOnTheFirstPageWithTheLicencePanelOnTop) {
  FormLayout layout(wizard_design());
  auto shown = [&](std::string_view name) { return layout.shown(*layout.index_of(name)); };
  EXPECT_TRUE(shown(kInstallButton));
  EXPECT_TRUE(shown(kLicenceBox));
  EXPECT_FALSE(shown(kProgressBar));
  EXPECT_FALSE(shown(kRunButton));
  EXPECT_FALSE(shown(kManualInstallButton));
  EXPECT_FALSE(shown(kFileDialog));
  // The panel is the topmost window; the banner the bottom layer.
  const std::vector<ControlIndex> windows = layout.windows_of(std::nullopt);
  ASSERT_FALSE(windows.empty());
  EXPECT_EQ(layout.control(windows.front()).name, kLicencePanel);
  EXPECT_EQ(layout.control(layout.painted_by(std::nullopt).front()).name, kBanner);
}

TEST(LicenceText, HasTheAgreedLengthAndStructure) {
  EXPECT_EQ(kLicenceText.size(), 2021u);
  EXPECT_EQ(character_count(kLicenceText), 1055u);
  EXPECT_TRUE(text_starts_with(kLicenceText,
                               "如果您安装、复制或以其它方式使用了本软件产品，则视为您已同意下列条款，并已和我司"
                               "签定了本《软件许可协议》（以下简称“协议”）。\r\n\r\n"));
  const char* headings[] = {"1：使用权:", "2：备份:",   "3：技术支持:", "4：版本升级:",        "5：一般限制:",
                            "6：使用:",   "7：其他:",   "8：声明:",     "9：知识产权和保密：", "10：其它："};
  int from = 1;
  for (const char* heading : headings) {
    SCOPED_TRACE(heading);
    const int at = find_text(kLicenceText, std::string("\r\n\r\n") + heading, from);
    EXPECT_GT(at, from);
    from = at;
  }
}

}  // namespace
}  // namespace lumen::wizard
