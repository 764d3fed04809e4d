#include "foundation/image/png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fixture.h"

namespace imaging {
namespace {

std::optional<Image> Decode(const Bytes& bytes) { return DecodePng(bytes.data(), bytes.size()); }

Rgba Grey(int v, int a = 255) { return {v, v, v, a}; }

// --- Files from tests/data with hand-picked samples ---

struct KnownImage {
  const char* file;
  int width, height;
  std::vector<Rgba> pixels;
};

// Rows ordered like the format list in the PNG standard; each fixture uses
// every filter type its row count allows. 16-bit samples reduce to the
// nearest 8-bit value (0x12FF -> 19, not its high byte 18 nor low byte 255).
const std::vector<KnownImage> kKnownImages = {
    {"grey1.png", 10, 2,
     {Grey(255), Grey(0), Grey(255), Grey(255), Grey(0), Grey(0), Grey(255), Grey(0), Grey(255), Grey(255),
      Grey(0), Grey(255), Grey(0), Grey(0), Grey(255), Grey(255), Grey(0), Grey(255), Grey(0), Grey(0)}},
    {"grey2.png", 4, 2, {Grey(0), Grey(85), Grey(170), Grey(255), Grey(255), Grey(170), Grey(85), Grey(0)}},
    {"grey4.png", 3, 2, {Grey(17), Grey(119), Grey(136), Grey(255), Grey(0), Grey(204)}},
    {"grey8.png", 3, 2, {Grey(0), Grey(100), Grey(255), Grey(37), Grey(200), Grey(5)}},
    // 0x0000 0x12FF 0xFFFF 0x8000 0x00FF
    {"grey16.png", 5, 1, {Grey(0), Grey(19), Grey(255), Grey(128), Grey(1)}},
    {"grey_alpha8.png", 2, 2, {Grey(10, 255), Grey(20, 128), Grey(30, 0), Grey(40, 64)}},
    {"grey_alpha16.png", 2, 1, {Grey(19, 255), Grey(255, 1)}},
    {"rgb8.png", 3, 2,
     {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {1, 2, 3, 255}, {250, 128, 7, 255},
      {255, 255, 255, 255}}},
    {"rgb16.png", 2, 1, {{19, 1, 255, 255}, {128, 0, 170, 255}}},
    {"rgba8.png", 2, 2, {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0}, {9, 8, 7, 6}}},
    {"rgba16.png", 2, 1, {{19, 1, 255, 128}, {170, 0, 255, 1}}},
    {"palette1.png", 9, 1,
     {{200, 150, 100, 255}, {10, 20, 30, 255}, {10, 20, 30, 255}, {200, 150, 100, 255}, {200, 150, 100, 255},
      {200, 150, 100, 255}, {10, 20, 30, 255}, {10, 20, 30, 255}, {200, 150, 100, 255}}},
    // tRNS covers only the first two of four entries; the rest stay opaque.
    {"palette2_trns.png", 5, 2,
     {{255, 0, 0, 0}, {0, 255, 0, 128}, {0, 0, 255, 255}, {9, 9, 9, 255}, {255, 0, 0, 0}, {9, 9, 9, 255},
      {9, 9, 9, 255}, {0, 255, 0, 128}, {255, 0, 0, 0}, {0, 0, 255, 255}}},
    {"palette4.png", 3, 2,
     {{200, 55, 10, 255}, {0, 255, 0, 255}, {60, 195, 3, 255}, {20, 235, 1, 255}, {40, 215, 2, 255},
      {200, 55, 10, 255}}},
    {"palette8_trns.png", 3, 1, {{0, 0, 0, 7}, {5, 10, 15, 77}, {9, 18, 27, 255}}},
    // Colour keys: exactly the keyed sample value is transparent.
    {"grey2_trns.png", 4, 1, {Grey(0), Grey(85), Grey(170, 0), Grey(255)}},
    {"grey8_trns.png", 3, 1, {Grey(0), Grey(77, 0), Grey(255)}},
    // Key 0x1234; 0x1235 reduces to the same 8-bit grey but is not the key.
    {"grey16_trns.png", 2, 1, {Grey(18, 0), Grey(18, 255)}},
    {"rgb8_trns.png", 3, 1, {{1, 2, 3, 0}, {1, 2, 4, 255}, {3, 2, 1, 255}}},
    {"rgb16_trns.png", 2, 1, {{1, 3, 5, 0}, {1, 3, 5, 255}}},
    // Six of the seven Adam7 passes are empty and must contribute nothing.
    {"grey8_1x1_adam7.png", 1, 1, {Grey(42)}},
};

TEST(DecodePng, DecodesEveryColourTypeAndBitDepth) {
  for (const KnownImage& known : kKnownImages) {
    SCOPED_TRACE(known.file);
    const auto image = Decode(ReadFixture(known.file));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, known.width);
    EXPECT_EQ(image->height, known.height);
    EXPECT_EQ(Pixels(*image), known.pixels);
  }
}

// scene_rgba8.png is 7x6 noise with every row using a different filter
// type; scene.rgba is what ImageMagick decodes it to.
TEST(DecodePng, AllFilterTypesMatchAReferenceDecoder) {
  const auto image = Decode(ReadFixture("scene_rgba8.png"));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 7);
  EXPECT_EQ(image->height, 6);
  const Bytes reference = ReadFixture("scene.rgba");
  EXPECT_EQ(Pixels(*image), Pixels(Image{7, 6, reference}));
}

TEST(DecodePng, Adam7MatchesTheSameImageNotInterlaced) {
  struct Pair {
    const char* name;
    const char* plain;
    const char* interlaced;
  };
  const Pair pairs[] = {
      {"8-bit RGBA, 8 bytes per pixel", "scene_rgba8.png", "scene_rgba8_adam7.png"},
      {"16-bit RGBA, 8 bytes per pixel", "scene_rgba8.png", "scene_rgba16_adam7.png"},
      {"2-bit palette, passes end mid-byte", "dots_palette2.png", "dots_palette2_adam7.png"},
      {"1-bit grey, passes end mid-byte", "dots_grey1.png", "dots_grey1_adam7.png"},
  };
  for (const Pair& pair : pairs) {
    SCOPED_TRACE(pair.name);
    const auto plain = Decode(ReadFixture(pair.plain));
    const auto interlaced = Decode(ReadFixture(pair.interlaced));
    ASSERT_TRUE(plain.has_value());
    ASSERT_TRUE(interlaced.has_value());
    EXPECT_EQ(interlaced->width, plain->width);
    EXPECT_EQ(interlaced->height, plain->height);
    EXPECT_EQ(Pixels(*interlaced), Pixels(*plain));
  }
}

// --- Files built in memory, to break exactly one rule at a time ---

struct Chunk {
  std::string type;
  Bytes data;
  bool corruptCrc = false;
};

std::uint32_t Crc32(const Bytes& bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::uint8_t b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void PutU32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A zlib stream of stored (uncompressed) blocks: the bytes inside are plain
// to see, and the tests do not lean on the zlib the decoder uses.
Bytes Zlib(const Bytes& raw) {
  Bytes out = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
    out.push_back(pos + n == raw.size() ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32(out, (b << 16) | a);
  return out;
}

Bytes Png(const std::vector<Chunk>& chunks) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (const Chunk& chunk : chunks) {
    Bytes typed(chunk.type.begin(), chunk.type.end());
    typed.insert(typed.end(), chunk.data.begin(), chunk.data.end());
    PutU32(out, static_cast<std::uint32_t>(chunk.data.size()));
    out.insert(out.end(), typed.begin(), typed.end());
    PutU32(out, Crc32(typed) ^ (chunk.corruptCrc ? 1 : 0));
  }
  return out;
}

enum : std::uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kRgba = 6 };

Chunk Ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colour,
           std::uint8_t interlace = 0, std::uint8_t compression = 0, std::uint8_t filter = 0) {
  Bytes data;
  PutU32(data, width);
  PutU32(data, height);
  data.insert(data.end(), {depth, colour, compression, filter, interlace});
  return {"IHDR", data};
}
Chunk Idat(const Bytes& filteredRows) { return {"IDAT", Zlib(filteredRows)}; }
Chunk Iend() { return {"IEND", {}}; }
Chunk Text() { return {"tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i'}}; }

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Head(const Bytes& bytes, std::size_t n) { return Bytes(bytes.begin(), bytes.begin() + n); }

// 2x2 8-bit RGB; each row is a filter byte (None) and two pixels.
const Bytes kRgbRows = {0, 10, 20, 30, 40, 50, 60, 0, 70, 80, 90, 100, 110, 120};
const std::vector<Rgba> kRgbPixels = {{10, 20, 30, 255}, {40, 50, 60, 255}, {70, 80, 90, 255}, {100, 110, 120, 255}};
// 2x2 8-bit palette indices, and the two-entry palette they need.
const Bytes kIndexRows = {0, 0, 1, 0, 1, 0};
const Chunk kTwoColours = {"PLTE", {10, 20, 30, 40, 50, 60}};

Bytes RgbPng() { return Png({Ihdr(2, 2, 8, kRgb), Idat(kRgbRows), Iend()}); }

struct Case {
  const char* name;
  Bytes png;
};

// The in-memory builder itself, and the liberties a valid file may take.
TEST(DecodePng, AcceptsValidVariationsOfAFile) {
  struct Valid {
    const char* name;
    Bytes png;
    std::vector<Rgba> pixels;
  };
  const Bytes stream = Zlib(kRgbRows);
  const Bytes firstHalf = Head(stream, 9);
  const Bytes secondHalf(stream.begin() + 9, stream.end());
  const Valid cases[] = {
      {"plain file", RgbPng(), kRgbPixels},
      {"data split over IDAT chunks, one empty",
       Png({Ihdr(2, 2, 8, kRgb), {"IDAT", firstHalf}, {"IDAT", {}}, {"IDAT", secondHalf}, Iend()}), kRgbPixels},
      {"ancillary chunks before and after the data",
       Png({Ihdr(2, 2, 8, kRgb), Text(), Idat(kRgbRows), {"prIv", {1, 2, 3}}, Iend()}), kRgbPixels},
      {"suggested palette in an RGB file", Png({Ihdr(2, 2, 8, kRgb), kTwoColours, Idat(kRgbRows), Iend()}),
       kRgbPixels},
      {"palette file", Png({Ihdr(2, 2, 8, kPalette), kTwoColours, Idat(kIndexRows), Iend()}),
       {{10, 20, 30, 255}, {40, 50, 60, 255}, {40, 50, 60, 255}, {10, 20, 30, 255}}},
      // Sub 50 -> 50; Up 10 -> 60; Average 20 -> 20 + 60/2; Paeth 30 -> 30 + 50.
      {"Sub, Up, Average and Paeth on one-pixel rows",
       Png({Ihdr(1, 4, 8, kGrey), Idat({1, 50, 2, 10, 3, 20, 4, 30}), Iend()}),
       {Grey(50), Grey(60), Grey(50), Grey(80)}},
      // Second Paeth byte: left 60, up 30, up-left 50 ties up with up-left; up wins.
      {"Paeth tie", Png({Ihdr(2, 2, 8, kGrey), Idat({0, 50, 30, 4, 10, 5}), Iend()}),
       {Grey(50), Grey(30), Grey(60), Grey(35)}},
  };
  for (const Valid& c : cases) {
    SCOPED_TRACE(c.name);
    const auto image = Decode(c.png);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(Pixels(*image), c.pixels);
  }
}

TEST(DecodePng, RejectsMalformedFiles) {
  const Bytes good = RgbPng();
  const std::size_t iend = good.size() - 12;
  auto patched = [&](std::size_t offset, std::uint8_t value) {
    Bytes copy = good;
    copy[offset] = value;
    return copy;
  };
  const std::size_t idatLength = 8 + 25;  // after the signature and IHDR
  auto withIdatLength = [&](std::uint32_t length) {
    Bytes copy = Head(good, idatLength);
    PutU32(copy, length);
    return Concat(copy, Bytes(good.begin() + idatLength + 4, good.end()));
  };
  Bytes missingRow(kRgbRows.begin(), kRgbRows.begin() + 7);
  Bytes extraRow = Concat(kRgbRows, {0, 1, 2, 3, 4, 5, 6});
  Bytes badFilter = kRgbRows;
  badFilter[7] = 5;
  const Bytes stream = Zlib(kRgbRows);
  Bytes shortStream = stream;
  shortStream.resize(shortStream.size() - 4);
  Bytes badChecksum = stream;
  badChecksum.back() ^= 1;

  const Case cases[] = {
      {"empty input", {}},
      {"bad signature", patched(1, 'Q')},
      {"signature only", Head(good, 8)},
      {"truncated inside IHDR", Head(good, 20)},
      {"truncated inside IDAT", Head(good, iend - 6)},
      {"no IEND", Head(good, iend)},
      {"bad IHDR CRC", patched(29, good[29] ^ 0x80)},
      {"bad IDAT CRC", patched(iend - 1, good[iend - 1] ^ 1)},
      {"bad CRC on a skipped chunk", Png({Ihdr(2, 2, 8, kRgb), {"tEXt", {'a', 0}, true}, Idat(kRgbRows), Iend()})},
      {"chunk length past the end", withIdatLength(0x7FFFFFF0)},
      {"chunk length above 2^31", withIdatLength(0xFFFFFFFF)},
      {"zero width", Png({Ihdr(0, 2, 8, kRgb), Idat(kRgbRows), Iend()})},
      {"zero height", Png({Ihdr(2, 0, 8, kRgb), Idat(kRgbRows), Iend()})},
      // Data sized as these depths would need, so only the depth is wrong.
      {"4-bit RGB", Png({Ihdr(2, 2, 4, kRgb), Idat({0, 1, 2, 3, 0, 4, 5, 6}), Iend()})},
      {"16-bit palette", Png({Ihdr(2, 2, 16, kPalette), kTwoColours, Idat({0, 0, 0, 0, 1, 0, 0, 1, 0, 0}), Iend()})},
      {"colour type 5", Png({Ihdr(2, 2, 8, 5), Idat(kRgbRows), Iend()})},
      {"compression method 1", Png({Ihdr(2, 2, 8, kRgb, 0, 1), Idat(kRgbRows), Iend()})},
      {"filter method 1", Png({Ihdr(2, 2, 8, kRgb, 0, 0, 1), Idat(kRgbRows), Iend()})},
      {"interlace method 2", Png({Ihdr(2, 2, 8, kRgb, 2), Idat(kRgbRows), Iend()})},
      {"IHDR one byte short", Png({{"IHDR", Head(Ihdr(2, 2, 8, kRgb).data, 12)}, Idat(kRgbRows), Iend()})},
      {"IHDR not first", Png({Text(), Ihdr(2, 2, 8, kRgb), Idat(kRgbRows), Iend()})},
      {"second IHDR", Png({Ihdr(2, 2, 8, kRgb), Ihdr(2, 2, 8, kRgb), Idat(kRgbRows), Iend()})},
      {"unknown critical chunk", Png({Ihdr(2, 2, 8, kRgb), {"CRIT", {}}, Idat(kRgbRows), Iend()})},
      {"chunk type not letters", Png({Ihdr(2, 2, 8, kRgb), {"te#t", {}}, Idat(kRgbRows), Iend()})},
      {"IEND with data", Png({Ihdr(2, 2, 8, kRgb), Idat(kRgbRows), {"IEND", {0}}})},
      {"no IDAT", Png({Ihdr(2, 2, 8, kRgb), Iend()})},
      {"IDAT chunks not consecutive",
       Png({Ihdr(2, 2, 8, kRgb), {"IDAT", Head(stream, 9)}, Text(), {"IDAT", Bytes(stream.begin() + 9, stream.end())},
            Iend()})},
      {"IDAT not a zlib stream", Png({Ihdr(2, 2, 8, kRgb), {"IDAT", {'n', 'o', 'p', 'e', '!', '!'}}, Iend()})},
      {"zlib stream without its checksum", Png({Ihdr(2, 2, 8, kRgb), {"IDAT", shortStream}, Iend()})},
      {"zlib checksum wrong", Png({Ihdr(2, 2, 8, kRgb), {"IDAT", badChecksum}, Iend()})},
      {"bytes after the zlib stream", Png({Ihdr(2, 2, 8, kRgb), {"IDAT", Concat(stream, {0})}, Iend()})},
      {"one row too few", Png({Ihdr(2, 2, 8, kRgb), Idat(missingRow), Iend()})},
      {"one byte too few", Png({Ihdr(2, 2, 8, kRgb), Idat(Head(kRgbRows, kRgbRows.size() - 1)), Iend()})},
      {"one row too many", Png({Ihdr(2, 2, 8, kRgb), Idat(extraRow), Iend()})},
      {"interlaced header, plain data", Png({Ihdr(2, 2, 8, kRgb, 1), Idat(kRgbRows), Iend()})},
      {"filter type 5", Png({Ihdr(2, 2, 8, kRgb), Idat(badFilter), Iend()})},
      {"palette image without PLTE", Png({Ihdr(2, 2, 8, kPalette), Idat(kIndexRows), Iend()})},
      {"PLTE after IDAT", Png({Ihdr(2, 2, 8, kRgb), Idat(kRgbRows), kTwoColours, Iend()})},
      {"PLTE not whole entries", Png({Ihdr(2, 2, 8, kPalette), {"PLTE", {1, 2, 3, 4}}, Idat(kIndexRows), Iend()})},
      {"PLTE in a greyscale image", Png({Ihdr(2, 2, 8, kGrey), kTwoColours, Idat(kIndexRows), Iend()})},
      {"index beyond the palette",
       Png({Ihdr(2, 2, 8, kPalette), kTwoColours, Idat({0, 0, 1, 0, 2, 0}), Iend()})},
      {"tRNS before PLTE", Png({Ihdr(2, 2, 8, kPalette), {"tRNS", {0}}, kTwoColours, Idat(kIndexRows), Iend()})},
      {"tRNS longer than the palette",
       Png({Ihdr(2, 2, 8, kPalette), kTwoColours, {"tRNS", {0, 0, 0}}, Idat(kIndexRows), Iend()})},
      {"tRNS in an image with alpha",
       Png({Ihdr(1, 1, 8, kRgba), {"tRNS", {0, 0, 0, 0, 0, 0}}, Idat({0, 1, 2, 3, 4}), Iend()})},
      {"grey tRNS of the wrong size", Png({Ihdr(2, 1, 8, kGrey), {"tRNS", {0}}, Idat({0, 1, 2}), Iend()})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Decode(c.png).has_value());
  }
}

// Everything short of IEND is incomplete; under the sanitizers this also
// shows no prefix makes the decoder read past the buffer.
TEST(DecodePng, RejectsEveryTruncation) {
  for (const char* file : {"scene_rgba8_adam7.png", "palette2_trns.png"}) {
    const Bytes whole = ReadFixture(file);
    ASSERT_TRUE(Decode(whole).has_value()) << file;
    for (std::size_t n = 0; n < whole.size(); ++n) {
      // An exact-size copy, so reading one byte too far is caught.
      const Bytes prefix = Head(whole, n);
      EXPECT_FALSE(Decode(prefix).has_value()) << file << " cut to " << n << " bytes";
    }
  }
}

// One 1-bit row of kMaxPixels + 1 pixels is only 8 MiB of data, yet would
// take 256 MiB as RGBA. The narrower row shows such rows are otherwise fine.
TEST(DecodePng, RefusesImagesAbovePixelCap) {
  const auto tooWide = static_cast<std::uint32_t>(kMaxPixels + 1);
  EXPECT_FALSE(Decode(Png({Ihdr(tooWide, 1, 1, kGrey), Idat(Bytes(1 + (tooWide + 7) / 8, 0)), Iend()})).has_value());

  const std::uint32_t wide = 1 << 20;
  const auto image = Decode(Png({Ihdr(wide, 1, 1, kGrey), Idat(Bytes(1 + wide / 8, 0)), Iend()}));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, static_cast<int>(wide));
  EXPECT_EQ(PixelAt(*image, wide - 1, 0), Grey(0));
}

}  // namespace
}  // namespace imaging
