#pragma once
// The fonts of a form: the design's two sizes of one face, plain or
// underlined, and the system's default GUI font.

#include <windows.h>

#include <map>
#include <utility>

#include "runtime/form_design.hpp"
#include "runtime/win/gdi_handles.hpp"

namespace lumen::forms {

class FontSet {
 public:
  // Created on first use and kept for the form's life; the default GUI
  // font is the system's stock object.
  [[nodiscard]] HFONT get(FontChoice choice, bool underline);

 private:
  std::map<std::pair<FontChoice, bool>, win::FontHandle> fonts_;
};

}  // namespace lumen::forms
