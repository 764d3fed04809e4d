// A decoded picture, independent of the file format it came from.
#pragma once
#include <cstdint>
#include <vector>

namespace imaging {

// 8-bit RGBA, rows top-down, not premultiplied; rgba.size() == width * height * 4.
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
};

// Decoders refuse anything larger: icons and logos are far smaller, and the
// cap keeps a few hostile header bytes from asking for gigabytes.
inline constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;

}  // namespace imaging
