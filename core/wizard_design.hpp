#pragma once
// The wizard window's design: its controls as data (kinds, parents,
// geometry, texts, fonts, colours, looks, images, stacking order) and the
// bindings of their events to the wizard's handlers.

#include <cstddef>
#include <string_view>

#include "runtime/form_design.hpp"

namespace lumen::wizard {

// Names of the controls the wizard's handlers address.
inline constexpr std::string_view kCloseButton = "图片框_关闭按钮";
inline constexpr std::string_view kMinimiseButton = "图片框_最小化按钮";
inline constexpr std::string_view kTitleLabel = "标题W";
inline constexpr std::string_view kFolderEdit = "编辑框_安装文件夹";
inline constexpr std::string_view kProgramFileEdit = "编辑框_程序文件";
inline constexpr std::string_view kLicenceBox = "选择框_许可协议";
inline constexpr std::string_view kLicenceLabel = "透明标签_用户协议";
inline constexpr std::string_view kLicencePanel = "外形框2";
inline constexpr std::string_view kLicenceEdit = "编辑框1";
inline constexpr std::string_view kBackButton = "超级按钮_返回";
inline constexpr std::string_view kInstallButton = "超级按钮_安装";
inline constexpr std::string_view kBrowseButton = "超级按钮_浏览";
inline constexpr std::string_view kRunButton = "超级按钮_运行";
inline constexpr std::string_view kChooseButton = "超级按钮_选择";
inline constexpr std::string_view kManualInstallButton = "超级按钮_手动安装";
inline constexpr std::string_view kPages = "选择夹1";
inline constexpr std::string_view kProgressBar = "进度条1";
inline constexpr std::string_view kStatusLabel = "透明标签_安装中";
inline constexpr std::string_view kFailureNotice = "透明标签_安装中3";
inline constexpr std::string_view kFileDialog = "通用对话框1";
inline constexpr std::string_view kBanner = "图片框1";

// Pages of the page container.
enum Page : int { kChooseFolderPage = 0, kInstallingPage = 1, kFinishedPage = 2, kManualInstallPage = 3 };

// Names of the design's images, which are also their resource names.
inline constexpr std::string_view kBannerImage = "BANNER";
inline constexpr std::string_view kWideButtonImage = "WIDE_BUTTON";
inline constexpr std::string_view kWideButtonOverImage = "WIDE_BUTTON_OVER";
inline constexpr std::string_view kCloseGlyphLight = "CLOSE_LIGHT";
inline constexpr std::string_view kCloseGlyphDark = "CLOSE_DARK";
inline constexpr std::string_view kMinimiseGlyphLight = "MINIMISE_LIGHT";
inline constexpr std::string_view kMinimiseGlyphDark = "MINIMISE_DARK";

// The install button's look 1 face, blue while the licence is accepted.
inline constexpr forms::Colour kInstallEnabledFace = forms::rgb(0, 136, 255);
inline constexpr forms::Colour kInstallDisabledFace = forms::rgb(128, 128, 128);
// The shadow cast around the window.
inline constexpr forms::Colour kShadowColour = forms::rgb(128, 128, 128);

// Size of the visible window once it is created (the design is taller).
inline constexpr int kShownWidth = 600;
inline constexpr int kShownHeight = 430;

// The handlers the design binds. The window supplies one function for each
// (core/win/wizard_form.cpp maps them to its members, checked by the compiler).
enum class WizardHandler : forms::HandlerId {
  OnCreated,
  OnCloseClicked,
  OnMinimiseClicked,
  OnBrowseClicked,
  OnLicenceBoxClicked,
  OnLicenceLabelPressed,
  OnBackClicked,
  OnInstallClicked,
  OnRunClicked,
  OnChooseClicked,
  OnManualInstallClicked,
  OnSessionEnding,
  OnFailureNoticePressed,
};
inline constexpr std::size_t kWizardHandlerCount = static_cast<std::size_t>(WizardHandler::OnFailureNoticePressed) + 1;

[[nodiscard]] const forms::FormDesign& wizard_design() noexcept;

}  // namespace lumen::wizard
