#pragma once
// Subclassing by window property: a widget replaces a window's procedure at
// most once, keeps the previous one under its own property name and passes
// on every message it does not handle.

#include <windows.h>

#include "runtime/win/window_property.hpp"

namespace lumen::widgets {

using ProcedureProperty = win::WindowProperty<WNDPROC>;

// Installs `replacement` unless `previous` already holds a procedure; the
// procedure in place before is stored there.
inline void subclass_once(HWND window, const ProcedureProperty& previous, WNDPROC replacement) noexcept {
  if (previous.has(window)) return;
  const auto before = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacement)));
  (void)previous.set(window, before);
}

// The stored previous procedure's answer, or the default one's when none is stored.
inline LRESULT pass_on(const ProcedureProperty& previous, HWND window, UINT message, WPARAM wparam,
                       LPARAM lparam) noexcept {
  if (WNDPROC procedure = previous.get(window)) return CallWindowProcA(procedure, window, message, wparam, lparam);
  return DefWindowProcA(window, message, wparam, lparam);
}

// Clears `remove` and sets `add` in one of the window's style words, writing
// only a real change; with repositioning flags the frame change is then
// applied in place.
inline void change_style(HWND window, int which, LONG_PTR remove, LONG_PTR add, UINT reposition = 0) noexcept {
  const LONG_PTR old_style = GetWindowLongPtrA(window, which);
  const LONG_PTR new_style = (old_style & ~remove) | add;
  if (new_style == old_style) return;
  SetWindowLongPtrA(window, which, new_style);
  if (reposition != 0) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | reposition);
  }
}

}  // namespace lumen::widgets
