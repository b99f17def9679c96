#include "runtime/win/message_box.hpp"

#include <string>

#include "runtime/message_style.hpp"

namespace lumen {
namespace {

static_assert(message_style::kOkButton == MB_OK && message_style::kOkCancelButtons == MB_OKCANCEL &&
              message_style::kYesNoButtons == MB_YESNO && message_style::kStopIcon == MB_ICONSTOP &&
              message_style::kQuestionIcon == MB_ICONQUESTION &&
              message_style::kInformationIcon == MB_ICONINFORMATION && message_style::kTopmost == MB_TOPMOST);

[[nodiscard]] MessageBoxAnswer declining_answer(std::uint32_t style) noexcept {
  switch (style & MB_TYPEMASK) {
    case MB_OK: return MessageBoxAnswer::Ok;
    case MB_ABORTRETRYIGNORE: return MessageBoxAnswer::Abort;
    case MB_YESNO: return MessageBoxAnswer::No;
    default: return MessageBoxAnswer::Cancel;
  }
}

[[nodiscard]] MessageBoxAnswer answer_of(int button, std::uint32_t style) noexcept {
  switch (button) {
    case IDOK: return MessageBoxAnswer::Ok;
    case IDCANCEL: return MessageBoxAnswer::Cancel;
    case IDABORT: return MessageBoxAnswer::Abort;
    case IDRETRY:
    case IDTRYAGAIN: return MessageBoxAnswer::Retry;
    case IDIGNORE:
    case IDCONTINUE: return MessageBoxAnswer::Ignore;
    case IDYES: return MessageBoxAnswer::Yes;
    case IDNO: return MessageBoxAnswer::No;
    default: return declining_answer(style);
  }
}

}  // namespace

MessageBoxAnswer message_box(std::string_view text, std::uint32_t style, std::string_view title, HWND owner) {
  const std::uint32_t modality = (style & MB_SYSTEMMODAL) != 0 ? 0 : MB_TASKMODAL;
  const std::string text_z(text);
  const std::string title_z(title);
  const int button = MessageBoxA(owner, text_z.c_str(), title_z.c_str(), style | modality);
  return answer_of(button, style);
}

}  // namespace lumen
