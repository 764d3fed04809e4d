// Shared helpers for the picture decoder tests.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/image/image.h"
#include "test_paths.h"

namespace imaging {

using Bytes = std::vector<std::uint8_t>;
// Ints rather than bytes so GoogleTest prints failures as numbers.
using Rgba = std::array<int, 4>;

// A whole file from tests/data.
inline Bytes ReadFixture(const std::string& name) {
  const std::string path = testing_paths::DataFile(name);
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot open " << path;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<Rgba> Pixels(const Image& image) {
  std::vector<Rgba> pixels;
  for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
    pixels.push_back({image.rgba[i], image.rgba[i + 1], image.rgba[i + 2], image.rgba[i + 3]});
  }
  return pixels;
}

inline Rgba PixelAt(const Image& image, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 4;
  return {image.rgba.at(i), image.rgba.at(i + 1), image.rgba.at(i + 2), image.rgba.at(i + 3)};
}

}  // namespace imaging
