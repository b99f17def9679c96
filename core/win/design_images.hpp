#pragma once
// The wizard's images, stored in the executable as resources under the
// names the design gives them.

#include <future>

#include "runtime/win/forms/picture.hpp"
#include "widgets/widget_state.hpp"
#include "widgets/win/gdiplus.hpp"

namespace lumen::wizard {

// The title bar's glyphs, light and dark, for the close and minimise buttons.
struct TitleGlyphs {
  widgets::GdiplusImage close_light;
  widgets::GdiplusImage close_dark;
  widgets::GdiplusImage minimise_light;
  widgets::GdiplusImage minimise_dark;
};

// Every image the wizard draws, decoded once: the pictures of the design
// (the banner and the wide buttons) and the title bar's glyphs.
struct DesignImages {
  forms::Pictures pictures;
  TitleGlyphs glyphs;
};
[[nodiscard]] DesignImages decode_design_images(const widgets::WidgetState& state);

// The same on a thread of its own, so that the decoding overlaps the start-up's
// query; the images are handed over whole when the window needs them. The
// state must outlive the decoding.
[[nodiscard]] std::future<DesignImages> start_decoding_design_images(const widgets::WidgetState& state);

}  // namespace lumen::wizard
