#pragma once
// Typed owners for windows, device contexts and GDI objects, and scopes for
// the paired GDI calls (select/restore, begin/end paint, get/release DC).

#include <windows.h>

#include <utility>

#include "runtime/win/unique_handle.hpp"

namespace lumen::win {

template <typename H>
using GdiObject = UniqueHandle<NullHandleTraits<H, &DeleteObject>>;
using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using RegionHandle = GdiObject<HRGN>;

// Memory device contexts made with CreateCompatibleDC.
using MemoryDc = UniqueHandle<NullHandleTraits<HDC, &DeleteDC>>;

using WindowHandle = UniqueHandle<NullHandleTraits<HWND, &DestroyWindow>>;

// Global memory blocks from GlobalAlloc.
using GlobalMemory = UniqueHandle<NullHandleTraits<HGLOBAL, &GlobalFree>>;

// A window's device context (GetDC), released with its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  [[nodiscard]] HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context for the scope's life.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintSession {
 public:
  explicit PaintSession(HWND window) noexcept : window_(window) { BeginPaint(window_, &paint_); }
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;
  ~PaintSession() { EndPaint(window_, &paint_); }
  [[nodiscard]] HDC dc() const noexcept { return paint_.hdc; }
  [[nodiscard]] const RECT& area() const noexcept { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

// Saves a device context's state (origin, clip, objects) for the scope's life.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) noexcept : dc_(dc), saved_(SaveDC(dc)) {}
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;
  ~SavedDcState() {
    if (saved_) RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};

}  // namespace lumen::win
