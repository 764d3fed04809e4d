// PNG reader: every standard colour type and bit depth, Adam7 included.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "foundation/image/image.h"

namespace imaging {

// Decodes a whole PNG file held in memory. nullopt for anything malformed
// (bad CRC, truncation, inconsistent sizes, ...) or larger than kMaxPixels.
[[nodiscard]] std::optional<Image> DecodePng(const std::uint8_t* data, std::size_t size);

}  // namespace imaging
