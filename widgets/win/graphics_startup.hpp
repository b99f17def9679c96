#pragma once
// Module start-up of the widgets: the graphics library, the frame-dimension
// identifier the image loader selects frames with, and the window class of
// loading windows, which can be dragged and release their animation's
// thread, image and memory when destroyed.

#include <windows.h>

#include "widgets/widget_state.hpp"

namespace lumen::widgets {

inline constexpr const char* kLoadingWindowClass = "LumenLoadDialog";

// Starts the graphics library unless it already runs.
void StartGraphics(WidgetState& state) noexcept;

// Starts the library for loading windows, parses the time frame dimension's
// identifier and registers the loading-window class.
void PrepareLoadingWindow(WidgetState& state) noexcept;

// Both start-up steps, in order: the module initialiser.
inline void InitialiseWidgets(WidgetState& state) noexcept {
  StartGraphics(state);
  PrepareLoadingWindow(state);
}

// The loading-window class's window procedure.
LRESULT CALLBACK LoadingWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

}  // namespace lumen::widgets
