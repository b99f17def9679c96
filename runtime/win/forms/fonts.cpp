#include "runtime/win/forms/fonts.hpp"

#include <cstring>

namespace lumen::forms {

namespace {

// The design's face in code page 936; the platform falls back to an
// installed CJK face when it is missing.
constexpr char kFace[] = "微软雅黑";

win::FontHandle make_font(int character_height, bool underline) {
  LOGFONTA font{};
  font.lfHeight = -character_height;
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = GB2312_CHARSET;
  font.lfOutPrecision = OUT_STROKE_PRECIS;
  font.lfClipPrecision = CLIP_STROKE_PRECIS;
  font.lfQuality = DRAFT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  static_assert(sizeof kFace <= sizeof font.lfFaceName);
  std::memcpy(font.lfFaceName, kFace, sizeof kFace);
  return win::FontHandle(CreateFontIndirectA(&font));
}

}  // namespace

HFONT FontSet::get(FontChoice choice, bool underline) {
  if (choice == FontChoice::DefaultGui) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto [at, added] = fonts_.try_emplace({choice, underline});
  if (added) at->second = make_font(choice == FontChoice::Large ? 16 : 12, underline);
  return at->second.get();
}

}  // namespace lumen::forms
