#pragma once
// Message box styles by name, for code that must not include Windows headers.
// The values are the system's own (runtime/win/message_box.cpp checks them),
// so a style combines with | and travels as the number the box is given.

#include <cstdint>

namespace lumen::message_style {

inline constexpr std::uint32_t kOkButton = 0x0;
inline constexpr std::uint32_t kOkCancelButtons = 0x1;
inline constexpr std::uint32_t kYesNoButtons = 0x4;
inline constexpr std::uint32_t kStopIcon = 0x10;
inline constexpr std::uint32_t kQuestionIcon = 0x20;
inline constexpr std::uint32_t kInformationIcon = 0x40;
inline constexpr std::uint32_t kTopmost = 0x40000;

}  // namespace lumen::message_style
