#include "tools/png_conformance/libpng_reference.h"

#include <png.h>

#include "png/pngformat.h"

#include <csetjmp>
#include <cstring>

namespace yomira::pngref {
namespace {

struct Source {
  const uint8_t* data;
  size_t size;
  size_t pos;
  LibpngImage* image;
};

void OnError(png_structp png, png_const_charp) { longjmp(png_jmpbuf(png), 1); }

// libpng reports a chunk longer than its 8 MB chunk limit as a benign error (a warning), then
// allocates and zeroes the whole claimed length anyway before the read fails (1 GiB for a
// huge chunk). Taking that warning as the error it becomes a moment later keeps the verdict
// and saves the gigabyte.
void OnWarning(png_structp png, png_const_charp message) {
  if (std::strstr(message, "chunk data is too large")) longjmp(png_jmpbuf(png), 1);
  static_cast<Source*>(png_get_error_ptr(png))->image->warnings.emplace_back(message);
}

void Read(png_structp png, png_bytep out, png_size_t n) {
  auto* s = static_cast<Source*>(png_get_io_ptr(png));
  if (n > s->size - s->pos) png_error(png, "read past end");
  std::memcpy(out, s->data + s->pos, n);
  s->pos += n;
}

}  // namespace

LibpngImage DecodeLibpng(const uint8_t* data, size_t size) {
  LibpngImage img;
  Source src{data, size, 0, &img};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &src, OnError, OnWarning);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    img.ok = false;
    img.rgba.clear();
    return img;
  }
  png_set_read_fn(png, &src, Read);
  png_read_info(png, info);
  png_set_strip_16(png);
  png_set_expand(png);
  png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const uint32_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  // libpng itself would try to hold any picture its limits allow (26 GB and an abort for a
  // header of 65535 × 100000); the reader refuses one over its cap, so the reference does too.
  if (int64_t{w} * h * 4 > qrn::pngformat::kMaxImageBytes) {
    png_destroy_read_struct(&png, &info, nullptr);
    img.tooLarge = true;
    return img;
  }
  img.width = static_cast<int>(w);
  img.height = static_cast<int>(h);
  img.rgba.assign(static_cast<size_t>(img.width) * img.height * 4, 0);
  rows.resize(static_cast<size_t>(img.height));
  for (int y = 0; y < img.height; ++y) rows[static_cast<size_t>(y)] = img.rgba.data() + static_cast<size_t>(y) * img.width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  img.ok = true;
  return img;
}

}  // namespace yomira::pngref
