#include "widgets/pictures.h"

#include <cstdint>
#include <cstring>

namespace widgets {

UniqueHbitmap BitmapFromImage(const imaging::Image& image, AlphaMode mode) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
    return {};
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // negative: rows top-down, as the image has them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueHbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};

  auto* out = static_cast<std::uint8_t*>(bits);
  const std::uint8_t* in = image.rgba.data();
  const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
  for (std::size_t i = 0; i < pixels; ++i, in += 4, out += 4) {
    const unsigned alpha = in[3];
    // Rounded, so an opaque colour stays exact and 50 % halves evenly.
    const auto premultiply = [&](unsigned c) {
      return static_cast<std::uint8_t>(mode == AlphaMode::Straight ? c : (c * alpha + 127) / 255);
    };
    out[0] = premultiply(in[2]);
    out[1] = premultiply(in[1]);
    out[2] = premultiply(in[0]);
    out[3] = static_cast<std::uint8_t>(alpha);
  }
  GdiFlush();  // GDI may batch; the section is complete before anyone draws it
  return bitmap;
}

UniqueHimagelist ImageListFromImages(std::span<const imaging::Image> images, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  for (const imaging::Image& image : images) {
    if (image.width != width || image.height != height) return {};
  }
  UniqueHimagelist list(ImageList_Create(width, height, ILC_COLOR32, static_cast<int>(images.size()), 4));
  if (!list) return {};
  for (const imaging::Image& image : images) {
    const UniqueHbitmap bitmap = BitmapFromImage(image, AlphaMode::Straight);
    // ImageList_Add copies the pixels, so the bitmap is freed right after.
    if (!bitmap || ImageList_Add(list.get(), bitmap.get(), nullptr) < 0) return {};
  }
  return list;
}

bool DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& destination) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return false;
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return false;
  SelectObjectGuard select(source.get(), bitmap);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return GdiAlphaBlend(dc, destination.left, destination.top, destination.right - destination.left,
                       destination.bottom - destination.top, source.get(), 0, 0, info.bmWidth,
                       info.bmHeight, blend) != FALSE;
}

}  // namespace widgets
