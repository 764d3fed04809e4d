#include "foundation/image/png.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace imaging {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr std::uint32_t kMaxDimension = 0x7FFFFFFF;

enum ColourType : std::uint8_t {
  kGrey = 0,
  kRgb = 2,
  kPalette = 3,
  kGreyAlpha = 4,
  kRgba = 6,
};

struct Header {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  int colourType = 0;
  bool interlaced = false;

  [[nodiscard]] int Channels() const {
    switch (colourType) {
      case kRgb: return 3;
      case kGreyAlpha: return 2;
      case kRgba: return 4;
      default: return 1;
    }
  }
  [[nodiscard]] int BitsPerPixel() const { return Channels() * bitDepth; }
};

// One Adam7 pass, or the whole image when not interlaced.
struct Pass {
  std::uint32_t x0, y0, dx, dy;
};
constexpr std::array<Pass, 7> kAdam7 = {{
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
}};
constexpr Pass kWholeImage = {0, 0, 1, 1};

std::uint32_t ReadU32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

std::uint32_t PassExtent(std::uint32_t full, std::uint32_t start, std::uint32_t step) {
  return full > start ? (full - start + step - 1) / step : 0;
}

std::uint64_t RowBytes(std::uint32_t width, int bitsPerPixel) {
  return (std::uint64_t{width} * static_cast<std::uint64_t>(bitsPerPixel) + 7) / 8;
}

bool ValidDepth(int colourType, int bitDepth) {
  switch (colourType) {
    case kGrey:
      return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case kPalette:
      return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case kRgb:
    case kGreyAlpha:
    case kRgba:
      return bitDepth == 8 || bitDepth == 16;
    default:
      return false;
  }
}

std::optional<Header> ParseHeader(const std::uint8_t* data, std::uint32_t length) {
  if (length != 13) return std::nullopt;
  Header header;
  header.width = ReadU32(data);
  header.height = ReadU32(data + 4);
  header.bitDepth = data[8];
  header.colourType = data[9];
  const int compression = data[10], filter = data[11], interlace = data[12];
  if (header.width == 0 || header.height == 0) return std::nullopt;
  if (header.width > kMaxDimension || header.height > kMaxDimension) return std::nullopt;
  if (std::uint64_t{header.width} * header.height > kMaxPixels) return std::nullopt;
  if (!ValidDepth(header.colourType, header.bitDepth)) return std::nullopt;
  if (compression != 0 || filter != 0 || interlace > 1) return std::nullopt;
  header.interlaced = interlace == 1;
  return header;
}

// Filtered image data as it must come out of the zlib stream.
std::uint64_t ExpectedDataSize(const Header& header) {
  std::uint64_t total = 0;
  auto add = [&](const Pass& pass) {
    const std::uint32_t w = PassExtent(header.width, pass.x0, pass.dx);
    const std::uint32_t h = PassExtent(header.height, pass.y0, pass.dy);
    if (w != 0 && h != 0) total += std::uint64_t{h} * (1 + RowBytes(w, header.BitsPerPixel()));
  };
  if (header.interlaced) {
    for (const Pass& pass : kAdam7) add(pass);
  } else {
    add(kWholeImage);
  }
  return total;
}

// Inflates the concatenated IDAT payloads, refusing to produce more than the
// header allows so a small file cannot balloon memory.
class Inflater {
 public:
  explicit Inflater(std::size_t limit) : limit_(limit) { ok_ = inflateInit(&stream_) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  [[nodiscard]] bool Feed(const std::uint8_t* data, std::size_t size) {
    if (!ok_) return false;
    if (size == 0) return true;
    if (finished_) return false;  // bytes after the end of the zlib stream
    stream_.next_in = const_cast<Bytef*>(data);  // zlib may be built without z_const
    stream_.avail_in = static_cast<uInt>(size);
    std::array<std::uint8_t, 16384> buffer;
    while (true) {
      stream_.next_out = buffer.data();
      stream_.avail_out = static_cast<uInt>(buffer.size());
      const int result = inflate(&stream_, Z_NO_FLUSH);
      const std::size_t produced = buffer.size() - stream_.avail_out;
      if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return false;
      if (produced > limit_ - output_.size()) return false;
      output_.insert(output_.end(), buffer.data(), buffer.data() + produced);
      if (result == Z_STREAM_END) {
        finished_ = true;
        return stream_.avail_in == 0;
      }
      // Z_BUF_ERROR means no progress was possible, i.e. all input is used.
      if (result == Z_BUF_ERROR) return stream_.avail_in == 0;
      if (stream_.avail_in == 0 && stream_.avail_out != 0) return true;
    }
  }

  [[nodiscard]] bool Finished() const { return finished_; }
  std::vector<std::uint8_t>& Output() { return output_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
  bool finished_ = false;
  std::size_t limit_;
  std::vector<std::uint8_t> output_;
};

std::uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
  if (pb <= pc) return static_cast<std::uint8_t>(b);
  return static_cast<std::uint8_t>(c);
}

// Undoes the per-row filters in place. Each row is a filter byte followed by
// rowBytes of data; the first row's "previous row" is all zeros.
bool Unfilter(std::uint8_t* rows, std::uint32_t height, std::size_t rowBytes, std::size_t bpp) {
  const std::uint8_t* previous = nullptr;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* line = rows + static_cast<std::size_t>(y) * (rowBytes + 1);
    const std::uint8_t filter = line[0];
    if (filter > 4) return false;
    std::uint8_t* cur = line + 1;
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const int left = i >= bpp ? cur[i - bpp] : 0;
      const int up = previous ? previous[i] : 0;
      const int upLeft = previous && i >= bpp ? previous[i - bpp] : 0;
      int predictor = 0;
      switch (filter) {
        case 1: predictor = left; break;
        case 2: predictor = up; break;
        case 3: predictor = (left + up) / 2; break;
        case 4: predictor = Paeth(left, up, upLeft); break;
        default: break;
      }
      cur[i] = static_cast<std::uint8_t>(cur[i] + predictor);
    }
    previous = cur;
  }
  return true;
}

// Raw sample `index` of an unfiltered row, at the file's bit depth.
std::uint32_t Sample(const std::uint8_t* row, std::size_t index, int bitDepth) {
  switch (bitDepth) {
    case 8: return row[index];
    case 16: return (std::uint32_t{row[2 * index]} << 8) | row[2 * index + 1];
    default: {
      const std::size_t bit = index * static_cast<std::size_t>(bitDepth);
      const int shift = 8 - bitDepth - static_cast<int>(bit % 8);
      return (row[bit / 8] >> shift) & ((1u << bitDepth) - 1);
    }
  }
}

std::uint8_t To8Bit(std::uint32_t sample, int bitDepth) {
  if (bitDepth == 8) return static_cast<std::uint8_t>(sample);
  // Nearest 8-bit value rather than the high byte, so 16-bit and 8-bit
  // versions of a picture agree.
  if (bitDepth == 16) return static_cast<std::uint8_t>((sample * 255 + 32767) / 65535);
  return static_cast<std::uint8_t>(sample * 255 / ((1u << bitDepth) - 1));
}

struct Decoder {
  Header header;
  std::array<std::uint8_t, 256 * 4> palette{};  // RGBA
  std::size_t paletteSize = 0;
  bool hasPalette = false;
  bool hasTransparency = false;
  std::array<std::uint32_t, 3> colourKey{};  // grey or RGB samples made transparent

  bool ReadPalette(const std::uint8_t* data, std::uint32_t length) {
    if (hasPalette) return false;
    if (header.colourType == kGrey || header.colourType == kGreyAlpha) return false;
    if (length == 0 || length % 3 != 0 || length / 3 > 256) return false;
    hasPalette = true;
    paletteSize = length / 3;
    for (std::size_t i = 0; i < paletteSize; ++i) {
      std::memcpy(&palette[i * 4], data + i * 3, 3);
      palette[i * 4 + 3] = 255;
    }
    return true;
  }

  bool ReadTransparency(const std::uint8_t* data, std::uint32_t length) {
    if (hasTransparency) return false;
    hasTransparency = true;
    switch (header.colourType) {
      case kPalette:
        if (!hasPalette || length > paletteSize) return false;
        for (std::size_t i = 0; i < length; ++i) palette[i * 4 + 3] = data[i];
        return true;
      case kGrey:
        if (length != 2) return false;
        colourKey[0] = (std::uint32_t{data[0]} << 8) | data[1];
        return true;
      case kRgb:
        if (length != 6) return false;
        for (int i = 0; i < 3; ++i) colourKey[i] = (std::uint32_t{data[2 * i]} << 8) | data[2 * i + 1];
        return true;
      default:
        return false;  // these already carry alpha
    }
  }

  // Converts one unfiltered pass to RGBA, scattering it into the image.
  bool Expand(const std::uint8_t* rows, const Pass& pass, std::uint32_t w, std::uint32_t h,
              std::size_t rowBytes, Image& image) const {
    const int depth = header.bitDepth;
    const bool keyed = hasTransparency && header.colourType != kPalette;
    for (std::uint32_t j = 0; j < h; ++j) {
      const std::uint8_t* row = rows + static_cast<std::size_t>(j) * (rowBytes + 1) + 1;
      const std::size_t y = pass.y0 + static_cast<std::size_t>(j) * pass.dy;
      for (std::uint32_t i = 0; i < w; ++i) {
        const std::size_t x = pass.x0 + static_cast<std::size_t>(i) * pass.dx;
        std::uint8_t* out = &image.rgba[(y * header.width + x) * 4];
        switch (header.colourType) {
          case kGrey: {
            const std::uint32_t v = Sample(row, i, depth);
            out[0] = out[1] = out[2] = To8Bit(v, depth);
            out[3] = keyed && v == colourKey[0] ? 0 : 255;
            break;
          }
          case kRgb: {
            bool matches = keyed;
            for (int c = 0; c < 3; ++c) {
              const std::uint32_t v = Sample(row, std::size_t{i} * 3 + c, depth);
              matches = matches && v == colourKey[c];
              out[c] = To8Bit(v, depth);
            }
            out[3] = matches ? 0 : 255;
            break;
          }
          case kPalette: {
            const std::uint32_t index = Sample(row, i, depth);
            if (index >= paletteSize) return false;
            std::memcpy(out, &palette[index * 4], 4);
            break;
          }
          case kGreyAlpha: {
            out[0] = out[1] = out[2] = To8Bit(Sample(row, std::size_t{i} * 2, depth), depth);
            out[3] = To8Bit(Sample(row, std::size_t{i} * 2 + 1, depth), depth);
            break;
          }
          case kRgba: {
            for (int c = 0; c < 4; ++c) out[c] = To8Bit(Sample(row, std::size_t{i} * 4 + c, depth), depth);
            break;
          }
        }
      }
    }
    return true;
  }

  std::optional<Image> Reconstruct(std::vector<std::uint8_t>& data) const {
    Image image;
    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(header.height);
    image.rgba.resize(std::size_t{header.width} * header.height * 4);
    const std::size_t bpp = static_cast<std::size_t>((header.BitsPerPixel() + 7) / 8);
    std::size_t offset = 0;
    auto decodePass = [&](const Pass& pass) {
      const std::uint32_t w = PassExtent(header.width, pass.x0, pass.dx);
      const std::uint32_t h = PassExtent(header.height, pass.y0, pass.dy);
      if (w == 0 || h == 0) return true;  // empty passes carry no filter bytes either
      const auto rowBytes = static_cast<std::size_t>(RowBytes(w, header.BitsPerPixel()));
      std::uint8_t* rows = data.data() + offset;
      offset += std::size_t{h} * (rowBytes + 1);
      return Unfilter(rows, h, rowBytes, bpp) && Expand(rows, pass, w, h, rowBytes, image);
    };
    if (header.interlaced) {
      for (const Pass& pass : kAdam7) {
        if (!decodePass(pass)) return std::nullopt;
      }
    } else if (!decodePass(kWholeImage)) {
      return std::nullopt;
    }
    return image;
  }
};

bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::optional<Image> Decode(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kSignature.size()) return std::nullopt;
  if (std::memcmp(data, kSignature.data(), kSignature.size()) != 0) return std::nullopt;

  Decoder decoder;
  std::optional<Inflater> inflater;
  bool seenHeader = false;
  enum class IdatState { kBefore, kInside, kAfter } idat = IdatState::kBefore;

  std::size_t pos = kSignature.size();
  while (true) {
    if (size - pos < 8) return std::nullopt;  // ran out before IEND
    const std::uint32_t length = ReadU32(data + pos);
    const std::uint8_t* type = data + pos + 4;
    const std::uint8_t* body = type + 4;
    const std::size_t remaining = size - pos - 8;
    if (length > kMaxChunkLength || length > remaining || remaining - length < 4) return std::nullopt;
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), type, static_cast<uInt>(length + 4));
    if (crc != ReadU32(body + length)) return std::nullopt;
    pos += std::size_t{length} + 12;

    if (!IsLetter(type[0]) || !IsLetter(type[1]) || !IsLetter(type[2]) || !IsLetter(type[3])) {
      return std::nullopt;
    }
    const auto is = [type](const char* name) { return std::memcmp(type, name, 4) == 0; };
    if (!seenHeader) {
      if (!is("IHDR")) return std::nullopt;
      auto header = ParseHeader(body, length);
      if (!header) return std::nullopt;
      decoder.header = *header;
      seenHeader = true;
      const std::uint64_t expected = ExpectedDataSize(decoder.header);
      if (expected > SIZE_MAX) return std::nullopt;
      inflater.emplace(static_cast<std::size_t>(expected));
      continue;
    }
    if (idat == IdatState::kInside && !is("IDAT")) idat = IdatState::kAfter;

    if (is("IDAT")) {
      if (idat == IdatState::kAfter) return std::nullopt;  // IDAT chunks must be consecutive
      if (decoder.header.colourType == kPalette && !decoder.hasPalette) return std::nullopt;
      idat = IdatState::kInside;
      if (!inflater->Feed(body, length)) return std::nullopt;
    } else if (is("IEND")) {
      if (length != 0 || idat == IdatState::kBefore || !inflater->Finished()) return std::nullopt;
      std::vector<std::uint8_t>& filtered = inflater->Output();
      if (filtered.size() != ExpectedDataSize(decoder.header)) return std::nullopt;
      return decoder.Reconstruct(filtered);
    } else if (is("PLTE")) {
      if (idat != IdatState::kBefore || !decoder.ReadPalette(body, length)) return std::nullopt;
    } else if (is("tRNS")) {
      if (idat != IdatState::kBefore || !decoder.ReadTransparency(body, length)) return std::nullopt;
    } else if (is("IHDR") || (type[0] & 0x20) == 0) {
      return std::nullopt;  // a second header, or a critical chunk we cannot honour
    }
    // Anything else is ancillary: gamma, text, timestamps... all safe to ignore.
  }
}

}  // namespace

std::optional<Image> DecodePng(const std::uint8_t* data, std::size_t size) {
  try {
    return Decode(data, size);
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a legal but huge picture on a fragmented 32-bit heap
  }
}

}  // namespace imaging
