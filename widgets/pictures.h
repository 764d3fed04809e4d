// Pictures for GDI: decoded RGBA images as DIB sections and image lists, owners
// for GDI objects, and guards for what must be undone rather than freed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <span>

#include "foundation/backends/win32/unique_handle.h"
#include "foundation/image/image.h"

namespace widgets {

using UniqueHbitmap = found::UniqueOwner<HBITMAP, &::DeleteObject>;
using UniqueHfont = found::UniqueOwner<HFONT, &::DeleteObject>;
using UniqueHbrush = found::UniqueOwner<HBRUSH, &::DeleteObject>;
using UniqueHimagelist = found::UniqueOwner<HIMAGELIST, &::ImageList_Destroy>;
using UniqueMemoryDc = found::UniqueOwner<HDC, &::DeleteDC>;  // CreateCompatibleDC

// AlphaBlend wants colours premultiplied by alpha; image lists premultiply
// when they draw, so they are given the straight colours.
enum class AlphaMode { Premultiplied, Straight };

// A 32-bit top-down DIB section (BGRA) with the image's pixels; empty for an
// empty image or when GDI refuses.
[[nodiscard]] UniqueHbitmap BitmapFromImage(const imaging::Image& image,
                                            AlphaMode mode = AlphaMode::Premultiplied);

// A 32-bit image list holding the images in order; every image must be
// width x height, else (or when GDI refuses) the result is empty.
[[nodiscard]] UniqueHimagelist ImageListFromImages(std::span<const imaging::Image> images, int width,
                                                   int height);

// Draws a premultiplied bitmap (BitmapFromImage) with its alpha into the
// destination rectangle, stretched to it.
bool DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& destination);

// Selects an object into a DC and selects the previous one back at scope end.
class SelectObjectGuard {
 public:
  SelectObjectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectObjectGuard() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// GetDC / ReleaseDC; a null window gives the screen's DC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint for WM_PAINT.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
  ~PaintDc() { EndPaint(hwnd_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const noexcept { return dc_; }
  const PAINTSTRUCT& paint() const noexcept { return paint_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace widgets
