#include "foundation/image/jpeg.h"

#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <new>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace imaging {
namespace {

// Progressive files can hold any number of scans, each one a full pass over
// the coefficients; real ones have about ten.
constexpr int kMaxScans = 500;
// Enough for the coefficient buffers of a kMaxPixels progressive picture.
constexpr long kMaxLibraryMemory = 512L * 1024 * 1024;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// libjpeg reports corrupt or missing entropy data as a warning and pads the
// picture with grey; we would rather show nothing than a damaged picture.
// Only the warnings that leave the pixels intact are let through.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace output
  switch (cinfo->err->msg_code) {
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
      return;
    default:
      OnError(cinfo);
  }
}

void OnOutput(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) OnError(cinfo);
}

std::uint8_t Scale(int a, int b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// Widens one decoded row, `components` bytes per pixel at the start of `row`,
// to RGBA in place. Walks right to left since the output is the wider one.
void ExpandRow(std::uint8_t* row, std::size_t width, int components, bool invertedCmyk) {
  for (std::size_t x = width; x-- > 0;) {
    const std::uint8_t* in = row + x * static_cast<std::size_t>(components);
    std::uint8_t* out = row + x * 4;
    switch (components) {
      case 1:
        out[0] = out[1] = out[2] = in[0];
        break;
      case 3:
        out[2] = in[2];
        out[1] = in[1];
        out[0] = in[0];
        break;
      default: {
        // Photoshop-style files (Adobe marker) store CMYK inverted.
        const int c = invertedCmyk ? in[0] : 255 - in[0];
        const int m = invertedCmyk ? in[1] : 255 - in[1];
        const int y = invertedCmyk ? in[2] : 255 - in[2];
        const int k = invertedCmyk ? in[3] : 255 - in[3];
        out[0] = Scale(c, k);
        out[1] = Scale(m, k);
        out[2] = Scale(y, k);
        break;
      }
    }
    out[3] = 255;
  }
}

// Owns the libjpeg state. Run() is the only place that calls setjmp; it keeps
// no locals with destructors, as longjmp would skip them.
class Decompressor {
 public:
  Decompressor() {
    cinfo_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = OnError;
    errors_.base.emit_message = OnMessage;
    errors_.base.output_message = OnOutput;
    progress_.progress_monitor = OnProgress;
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  bool Run(const std::uint8_t* data, std::size_t size, Image& image) {
    if (setjmp(errors_.jump) != 0) return false;
    jpeg_create_decompress(&cinfo_);
    cinfo_.progress = &progress_;
    cinfo_.mem->max_memory_to_use = kMaxLibraryMemory;
    // Older libjpeg headers lack the const; the source only reads.
    jpeg_mem_src(&cinfo_, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo_, TRUE) != JPEG_HEADER_OK) return false;
    if (std::uint64_t{cinfo_.image_width} * cinfo_.image_height > kMaxPixels) return false;

    int components;
    switch (cinfo_.jpeg_color_space) {
      case JCS_GRAYSCALE:
        cinfo_.out_color_space = JCS_GRAYSCALE;
        components = 1;
        break;
      case JCS_YCbCr:
      case JCS_RGB:
        cinfo_.out_color_space = JCS_RGB;
        components = 3;
        break;
      case JCS_CMYK:
      case JCS_YCCK:
        cinfo_.out_color_space = JCS_CMYK;
        components = 4;
        break;
      default:
        return false;
    }
    jpeg_start_decompress(&cinfo_);
    if (cinfo_.output_components != components) return false;

    const std::size_t width = cinfo_.output_width;
    const std::size_t stride = width * 4;
    image.width = static_cast<int>(cinfo_.output_width);
    image.height = static_cast<int>(cinfo_.output_height);
    image.rgba.resize(stride * cinfo_.output_height);
    while (cinfo_.output_scanline < cinfo_.output_height) {
      std::uint8_t* row = image.rgba.data() + cinfo_.output_scanline * stride;
      JSAMPROW rows[1] = {row};
      if (jpeg_read_scanlines(&cinfo_, rows, 1) != 1) return false;
      ExpandRow(row, width, components, cinfo_.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo_);
    return true;
  }

 private:
  jpeg_decompress_struct cinfo_{};  // zeroed so destroying a half-made one is safe
  ErrorManager errors_{};
  jpeg_progress_mgr progress_{};
};

}  // namespace

std::optional<Image> DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size == 0 || size > ULONG_MAX) return std::nullopt;
  try {
    Image image;
    Decompressor decompressor;
    if (!decompressor.Run(data, size, image)) return std::nullopt;
    return image;
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a legal but huge picture on a fragmented 32-bit heap
  }
}

}  // namespace imaging
