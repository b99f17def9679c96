#pragma once
// What the install action says: its message boxes (texts, titles, styles)
// and the titles of its dialogs.

#include <cstdint>
#include <string_view>

#include "runtime/message_style.hpp"
#include "runtime/text.hpp"

namespace lumen {

struct WizardMessage {
  std::string_view text;
  std::uint32_t style = 0;  // message_style values
  std::string_view title;
};

inline constexpr std::uint32_t kInformationStyle = message_style::kOkButton | message_style::kInformationIcon;
inline constexpr std::uint32_t kTopmostInformationStyle = kInformationStyle | message_style::kTopmost;
inline constexpr std::uint32_t kQuestionOkCancelStyle = message_style::kOkCancelButtons | message_style::kQuestionIcon;
inline constexpr std::uint32_t kQuestionYesNoStyle = message_style::kYesNoButtons | message_style::kQuestionIcon;
static_assert(kInformationStyle == 64 && kTopmostInformationStyle == 262208 && kQuestionOkCancelStyle == 33 &&
              kQuestionYesNoStyle == 36);

inline constexpr WizardMessage kNoDownloadAddressMessage{"下载地址未找到，请联系管理员！", kInformationStyle,
                                                         "错误提示"};
inline constexpr WizardMessage kDownloadFailedMessage{"安装失败，请检测您的IE浏览器是否可以正常访问网页！",
                                                      kInformationStyle, "错误提示"};
inline constexpr WizardMessage kNoProgramFilePathMessage{"请将下载的程序文件的路径输入到指定编辑框内。",
                                                         kInformationStyle, "错误"};
inline constexpr WizardMessage kBadProgramFileMessage{"请检查输入的程序文件路径是否正确。", kInformationStyle,
                                                      "错误"};
inline constexpr WizardMessage kQuitQuestion{"你真的要退出安装程序吗？", kQuestionOkCancelStyle, "提示"};
// Asked at start-up, before any window of the installer exists.
inline constexpr WizardMessage kEndRunningCopiesQuestion{"发现软件正在运行中，请问是否关闭软件立即安装？",
                                                         kQuestionYesNoStyle, "安装向导"};

// The folder cannot take the installation: the folder is named on a line of
// its own in full-width quotation marks.
[[nodiscard]] Text FolderRefusedText(std::string_view folder);
inline constexpr std::string_view kFolderRefusedTitle = "提示";
inline constexpr std::uint32_t kFolderRefusedStyle = kTopmostInformationStyle;

// The folder chooser's title, and the open-file dialog of the manual install.
inline constexpr std::string_view kChooseFolderTitle = "选择安装目录：";
inline constexpr std::string_view kProgramFileDialogTitle = "请选择所需程序文件";
inline constexpr std::string_view kProgramFileDialogFilter = "程序文件（*.exe）|*.exe";

}  // namespace lumen
