#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "widgets/pictures.h"

namespace {

using widgets::AlphaMode;
using Bgra = std::array<int, 4>;  // ints, so failures print as numbers

imaging::Image MakeImage(int width, int height, const std::vector<std::array<std::uint8_t, 4>>& rgba) {
  imaging::Image image;
  image.width = width;
  image.height = height;
  for (const auto& pixel : rgba) image.rgba.insert(image.rgba.end(), pixel.begin(), pixel.end());
  return image;
}

imaging::Image Filled(int width, int height, std::array<std::uint8_t, 4> rgba) {
  return MakeImage(width, height, std::vector<std::array<std::uint8_t, 4>>(static_cast<std::size_t>(width) * height, rgba));
}

std::vector<Bgra> Pixels(HBITMAP bitmap) {
  DIBSECTION dib{};
  if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib)) return {};
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
  const auto* bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
  std::vector<Bgra> pixels;
  for (int i = 0; i < dib.dsBm.bmWidth * dib.dsBm.bmHeight; ++i, bits += 4) {
    pixels.push_back({bits[0], bits[1], bits[2], bits[3]});
  }
  return pixels;
}

// A white 32-bit canvas to draw on, with its pixels readable.
struct Canvas {
  explicit Canvas(int size)
      : bitmap(widgets::BitmapFromImage(Filled(size, size, {255, 255, 255, 255}))),
        dc(CreateCompatibleDC(nullptr)),
        select(dc.get(), bitmap.get()) {}
  Bgra At(int x, int y) {
    GdiFlush();
    DIBSECTION dib{};
    GetObjectW(bitmap.get(), sizeof(dib), &dib);
    const auto* p = static_cast<const std::uint8_t*>(dib.dsBm.bmBits) + (y * dib.dsBm.bmWidth + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
  widgets::UniqueHbitmap bitmap;
  widgets::UniqueMemoryDc dc;
  widgets::SelectObjectGuard select;
};

void ExpectNear(const Bgra& got, const Bgra& want, int tolerance) {
  for (int i = 0; i < 3; ++i) EXPECT_LE(std::abs(got[i] - want[i]), tolerance) << "channel " << i;
}

TEST(Pictures, BitmapHoldsTheImageTopDownInBgraPremultipliedOrStraight) {
  // Four distinct pixels catch swapped rows (a bottom-up bitmap), columns and channels alike.
  const imaging::Image image = MakeImage(2, 2, {{10, 20, 30, 255}, {200, 100, 50, 51}, {255, 255, 255, 0}, {0, 0, 255, 255}});
  struct Case {
    const char* name;
    AlphaMode mode;
    std::vector<Bgra> expected;
  };
  const Case cases[] = {
      {"premultiplied", AlphaMode::Premultiplied, {{30, 20, 10, 255}, {10, 20, 40, 51}, {0, 0, 0, 0}, {255, 0, 0, 255}}},
      {"straight", AlphaMode::Straight, {{30, 20, 10, 255}, {50, 100, 200, 51}, {255, 255, 255, 0}, {255, 0, 0, 255}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const widgets::UniqueHbitmap bitmap = widgets::BitmapFromImage(image, c.mode);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(Pixels(bitmap.get()), c.expected);
  }
}

TEST(Pictures, MalformedImagesGiveNoBitmap) {
  imaging::Image shortPixels = Filled(2, 2, {1, 2, 3, 4});
  shortPixels.rgba.pop_back();
  const struct {
    const char* name;
    imaging::Image image;
  } cases[] = {{"empty", imaging::Image{}}, {"pixels missing", shortPixels}, {"negative width", {-2, 2, {}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(widgets::BitmapFromImage(c.image));
  }
}

TEST(Pictures, DrawnBitmapBlendsWithWhatIsBeneath) {
  Canvas canvas(4);
  const widgets::UniqueHbitmap red = widgets::BitmapFromImage(Filled(4, 4, {255, 0, 0, 128}));
  ASSERT_TRUE(widgets::DrawBitmap(canvas.dc.get(), red.get(), RECT{0, 0, 4, 4}));
  ExpectNear(canvas.At(2, 2), {127, 127, 255, 255}, 2);  // half red over white
}

TEST(Pictures, ImageListDrawsEachImageWithItsAlpha) {
  const imaging::Image images[] = {Filled(8, 8, {0, 0, 255, 255}), Filled(8, 8, {255, 0, 0, 128})};
  const widgets::UniqueHimagelist list = widgets::ImageListFromImages(images, 8, 8);
  ASSERT_TRUE(list);
  EXPECT_EQ(ImageList_GetImageCount(list.get()), 2);
  Canvas canvas(8);
  ASSERT_TRUE(ImageList_Draw(list.get(), 1, canvas.dc.get(), 0, 0, ILD_NORMAL));
  ExpectNear(canvas.At(4, 4), {127, 127, 255, 255}, 3);  // the second image, half over white
}

TEST(Pictures, ImageListRefusesImagesOfAnotherSize) {
  const imaging::Image images[] = {Filled(8, 8, {0, 0, 255, 255}), Filled(8, 7, {255, 0, 0, 255})};
  EXPECT_FALSE(widgets::ImageListFromImages(images, 8, 8));
}

}  // namespace
