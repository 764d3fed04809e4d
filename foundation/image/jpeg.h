// JPEG reader on top of libjpeg.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "foundation/image/image.h"

namespace imaging {

// Decodes a whole JPEG file held in memory (greyscale, YCbCr/RGB or CMYK).
// nullopt for corrupt or truncated data, or anything larger than kMaxPixels;
// libjpeg is never allowed to print or exit.
[[nodiscard]] std::optional<Image> DecodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace imaging
