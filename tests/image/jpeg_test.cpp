#include "foundation/image/jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fixture.h"

namespace imaging {
namespace {

std::optional<Image> Decode(const Bytes& bytes) { return DecodeJpeg(bytes.data(), bytes.size()); }

// JPEG is lossy (and the colour planes are subsampled), so colours are
// compared with some slack, away from the edges between areas.
constexpr int kTolerance = 12;

void ExpectNear(const Rgba& actual, const Rgba& expected) {
  for (int c = 0; c < 3; ++c) {
    EXPECT_LE(std::abs(actual[c] - expected[c]), kTolerance)
        << "channel " << c << " is " << actual[c] << ", expected about " << expected[c];
  }
  EXPECT_EQ(actual[3], 255);
}

// quadrants*.jpg: 32x16, red | blue over green | white, saved by ImageMagick
// as baseline, progressive and Adobe CMYK.
TEST(DecodeJpeg, DecodesColourFiles) {
  for (const char* file : {"quadrants.jpg", "quadrants_progressive.jpg", "quadrants_cmyk.jpg"}) {
    SCOPED_TRACE(file);
    const auto image = Decode(ReadFixture(file));
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->width, 32);
    ASSERT_EQ(image->height, 16);
    ASSERT_EQ(image->rgba.size(), 32u * 16 * 4);
    ExpectNear(PixelAt(*image, 4, 3), {200, 30, 30, 255});
    ExpectNear(PixelAt(*image, 27, 3), {30, 60, 200, 255});
    ExpectNear(PixelAt(*image, 4, 12), {40, 170, 60, 255});
    ExpectNear(PixelAt(*image, 27, 12), {240, 240, 240, 255});
  }
}

// grey.jpg: 32x8, grey 40 on the left half, 220 on the right.
TEST(DecodeJpeg, DecodesGreyscaleFiles) {
  const auto image = Decode(ReadFixture("grey.jpg"));
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, 32);
  ASSERT_EQ(image->height, 8);
  ExpectNear(PixelAt(*image, 4, 4), {40, 40, 40, 255});
  ExpectNear(PixelAt(*image, 27, 4), {220, 220, 220, 255});
  for (const Rgba& pixel : Pixels(*image)) {
    ASSERT_EQ(pixel[0], pixel[1]);
    ASSERT_EQ(pixel[1], pixel[2]);
  }
}

// A minimal baseline greyscale JPEG whose blocks are all flat mid-grey: both
// Huffman tables hold a single one-bit code (DC difference 0, end of block),
// so the scan is two zero bits per block and stays small for huge frames.
Bytes FlatGreyJpeg(std::uint16_t width, std::uint16_t height) {
  Bytes out = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
  out.insert(out.end(), 64, 1);  // quantisation table
  const auto hi = [](std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); };
  const auto lo = [](std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); };
  out.insert(out.end(), {0xFF, 0xC0, 0, 11, 8, hi(height), lo(height), hi(width), lo(width), 1, 1, 0x11, 0});
  out.insert(out.end(), {0xFF, 0xC4, 0, 38});
  for (std::uint8_t tableClass : {0x00, 0x10}) {
    out.push_back(tableClass);
    out.push_back(1);  // one code of length 1...
    out.insert(out.end(), 15, 0);
    out.push_back(0);  // ...for symbol 0
  }
  out.insert(out.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 63, 0});
  const std::size_t blocks = std::size_t{(width + 7u) / 8} * ((height + 7u) / 8);
  out.insert(out.end(), (blocks * 2 + 7) / 8, 0);
  // Pad a final partial byte with one bits, as the format asks.
  if (blocks % 4 != 0) out.back() = static_cast<std::uint8_t>(0xFF >> (blocks % 4 * 2));
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

// 65500 x 1025 is just over kMaxPixels (65500 is libjpeg's own limit).
TEST(DecodeJpeg, RefusesFramesAbovePixelCap) {
  const auto small = Decode(FlatGreyJpeg(20, 9));
  ASSERT_TRUE(small.has_value());
  EXPECT_EQ(small->width, 20);
  EXPECT_EQ(small->height, 9);
  EXPECT_EQ(PixelAt(*small, 19, 8), (Rgba{128, 128, 128, 255}));

  EXPECT_FALSE(Decode(FlatGreyJpeg(65500, 1025)).has_value());
}

TEST(DecodeJpeg, RejectsCorruptFilesWithoutExiting) {
  const Bytes good = ReadFixture("quadrants.jpg");
  ASSERT_TRUE(Decode(good).has_value());
  const std::string text = "this is not a picture";
  struct Case {
    const char* name;
    Bytes jpeg;
  };
  const Case cases[] = {
      {"empty input", {}},
      {"text", Bytes(text.begin(), text.end())},
      {"a PNG file", ReadFixture("rgb8.png")},
      {"start marker then garbage", {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}},
      {"cut inside the headers", Bytes(good.begin(), good.begin() + 40)},
      {"cut inside the scan", Bytes(good.begin(), good.end() - 60)},
      {"no end marker", Bytes(good.begin(), good.end() - 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Decode(c.jpeg).has_value());
  }
}

// libjpeg treats running out of data as a warning and pads with grey; every
// prefix must still be refused, and (under the sanitizers) read in bounds.
TEST(DecodeJpeg, RejectsEveryTruncation) {
  for (const char* file : {"quadrants.jpg", "quadrants_progressive.jpg"}) {
    const Bytes whole = ReadFixture(file);
    ASSERT_TRUE(Decode(whole).has_value()) << file;
    for (std::size_t n = 0; n < whole.size(); ++n) {
      const Bytes prefix(whole.begin(), whole.begin() + n);
      EXPECT_FALSE(Decode(prefix).has_value()) << file << " cut to " << n << " bytes";
    }
  }
}

}  // namespace
}  // namespace imaging
