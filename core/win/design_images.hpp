#pragma once
// The wizard's images, stored in the executable as resources under the
// names the design gives them.

#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "runtime/win/forms/picture.hpp"
#include "widgets/widget_state.hpp"
#include "widgets/win/gdiplus.hpp"

namespace lumen::wizard {

// The bytes of the named resource; empty when there is none.
[[nodiscard]] ByteBuffer resource_bytes(std::string_view name);

// The named design image decoded; empty when it is missing or undecodable.
[[nodiscard]] widgets::GdiplusImage design_image(std::string_view name, const widgets::WidgetState& state);

// The pictures the window design draws: the banner and the wide buttons.
[[nodiscard]] forms::Pictures design_pictures(const widgets::WidgetState& state);

}  // namespace lumen::wizard
