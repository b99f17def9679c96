#pragma once
// Typed owners for windows, device contexts and GDI objects, and scopes for
// the paired GDI calls (select/restore, begin/end paint, get/release DC).

#include <windows.h>

#include <utility>

#include "runtime/win/unique_handle.hpp"

namespace lumen::win {

template <typename H>
struct GdiObjectTraits {
  using Handle = H;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { DeleteObject(h); }
};
using BitmapHandle = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using FontHandle = UniqueHandle<GdiObjectTraits<HFONT>>;
using BrushHandle = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using RegionHandle = UniqueHandle<GdiObjectTraits<HRGN>>;

// Memory device contexts made with CreateCompatibleDC.
struct MemoryDcTraits {
  using Handle = HDC;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { DeleteDC(h); }
};
using MemoryDc = UniqueHandle<MemoryDcTraits>;

struct WindowTraits {
  using Handle = HWND;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { DestroyWindow(h); }
};
using WindowHandle = UniqueHandle<WindowTraits>;

// Global memory blocks from GlobalAlloc.
struct GlobalMemoryTraits {
  using Handle = HGLOBAL;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { GlobalFree(h); }
};
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;

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
