// PNG decode speed against libpng (build in Release, build-release/png_bench).
//   png_bench [--reps N] [--encode]
// Three pictures (gradient plus xorshift32 noise, seed 1, ±8 per sample) are encoded with
// libpng's defaults, then decoded from memory by libpng (png_set_bgr, palette indices kept)
// and by TQRNPNG::LoadFromStream, interleaved; the best of N runs of each is printed.
// libpng decodes into a block allocated like our bitmap (zeroed, on huge pages), so the
// figures compare decoding, not page faults.
// --encode adds, per picture and for our filters gpfNone and gpfJust, the encode time and
// size: libpng with its default filters at level 6, ours at CompressionLevel -1. For
// information only: they show what adaptive filtering costs and saves.
#include <png.h>
#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "png/qrnpng.h"
#include "png/stream.h"

namespace {

constexpr size_t kHuge = size_t{2} << 20;
uint32_t g_state = 1;
int Noise() {
  g_state ^= g_state << 13;
  g_state ^= g_state >> 17;
  g_state ^= g_state << 5;
  return static_cast<int>(g_state % 17) - 8;
}
uint8_t Clamp(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void Flush(png_structp) {}

// Row-major samples: RGB for PNG_COLOR_TYPE_RGB, palette indices for PNG_COLOR_TYPE_PALETTE.
std::vector<uint8_t> MakePixels(int w, int h, int colorType) {
  const int channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * channels);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = pixels.data() + (static_cast<size_t>(y) * w + x) * channels;
      if (channels == 3) {
        p[0] = Clamp(x * 256 / w + Noise());
        p[1] = Clamp(y * 256 / h + Noise());
        p[2] = Clamp((x + y) * 128 / (w + h) + 64 + Noise());
      } else {
        p[0] = Clamp((x + y) * 256 / (w + h) + Noise());
      }
    }
  return pixels;
}

png_color PaletteEntry(int i) {
  return png_color{static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i / 2)};
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& pixels, int w, int h, int colorType, bool adam7) {
  const int channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "png_bench: libpng failed to encode\n");
    std::exit(1);
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_compression_level(png, 6);
  png_set_IHDR(png, info, w, h, 8, colorType, adam7 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette(256);
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < 256; ++i) palette[i] = PaletteEntry(i);
    png_set_PLTE(png, info, palette.data(), 256);
  }
  png_write_info(png, info);
  const int passes = adam7 ? png_set_interlace_handling(png) : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < h; ++y) png_write_row(png, pixels.data() + static_cast<size_t>(y) * w * channels);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// The same picture as our graphic holds it: 24-bit B, G, R rows, or 8-bit indices with the palette.
void FillGraphic(yomira::qrn::TQRNPNG& g, const std::vector<uint8_t>& pixels, int w, int h, int colorType) {
  yomira::qrn::Bitmap& b = *g.Image();
  const bool rgb = colorType == PNG_COLOR_TYPE_RGB;
  b.SetPixelFormat(rgb ? yomira::qrn::PixelFormat::pf24bit : yomira::qrn::PixelFormat::pf8bit);
  b.SetSize(w, h);
  if (!rgb) {
    yomira::qrn::TQRNPalette pal;
    for (int i = 0; i < 256; ++i) {
      const png_color c = PaletteEntry(i);
      pal.push_back(yomira::qrn::TQRNPalRGB{c.blue, c.green, c.red, 0});
    }
    b.SetPalette(pal);
  }
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b.ScanLine(y);
    const uint8_t* src = pixels.data() + static_cast<size_t>(y) * w * (rgb ? 3 : 1);
    if (rgb) {
      for (int x = 0; x < w; ++x) row[3 * x] = src[3 * x + 2], row[3 * x + 1] = src[3 * x + 1], row[3 * x + 2] = src[3 * x];
    } else {
      std::memcpy(row, src, static_cast<size_t>(w));
    }
  }
}

struct Reader {
  const std::vector<uint8_t>* data;
  size_t pos;
};
void ReadMem(png_structp png, png_bytep out, png_size_t n) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (r->pos + n > r->data->size()) png_error(png, "read past end");
  std::memcpy(out, r->data->data() + r->pos, n);
  r->pos += n;
}

// Returns the checksum of the decoded rows so that the work cannot be optimised away.
uint64_t DecodeLibpng(const std::vector<uint8_t>& file) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Reader reader{&file, 0};
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "png_bench: libpng failed to decode\n");
    std::exit(1);
  }
  png_set_read_fn(png, &reader, ReadMem);
  png_read_info(png, info);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  const int h = static_cast<int>(png_get_image_height(png, info));
  // The same zeroed huge-page block our bitmap uses, so that only decoding is compared.
  const size_t bytes = rowBytes * h;
  const size_t rounded = (bytes + kHuge - 1) & ~(kHuge - 1);
  auto* image = static_cast<uint8_t*>(std::aligned_alloc(kHuge, rounded));
  if (!image) std::exit(1);
  madvise(image, rounded, MADV_HUGEPAGE);
  std::memset(image, 0, bytes);
  for (int y = 0; y < h; ++y) rows.push_back(image + rowBytes * y);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  const uint64_t sum = image[bytes / 2] + image[bytes - 1];
  std::free(image);
  return sum;
}

uint64_t DecodeOurs(yomira::qrn::MemoryStream& stream) {
  stream.Seek(0);
  yomira::qrn::TQRNPNG png;
  png.LoadFromStream(stream);
  const auto* img = png.Image();
  return img->ScanLine(img->Height() / 2)[0] + img->ScanLine(img->Height() - 1)[0];
}

template <typename F>
double TimeMs(F&& f, uint64_t& sink) {
  const auto t0 = std::chrono::steady_clock::now();
  sink += f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  int reps = 7;
  bool encode = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) reps = std::max(1, std::atoi(argv[++i]));
    if (std::strcmp(argv[i], "--encode") == 0) encode = true;
  }
  struct Image {
    const char* name;
    int w, h, colorType;
    bool adam7;
  } images[] = {{"rgb8-4096x3072", 4096, 3072, PNG_COLOR_TYPE_RGB, false},
                {"rgb8-4096x3072-adam7", 4096, 3072, PNG_COLOR_TYPE_RGB, true},
                {"pal8-2048x2048", 2048, 2048, PNG_COLOR_TYPE_PALETTE, false}};
  uint64_t sink = 0;
  for (const auto& im : images) {
    g_state = 1;
    const std::vector<uint8_t> pixels = MakePixels(im.w, im.h, im.colorType);
    const std::vector<uint8_t> file = Encode(pixels, im.w, im.h, im.colorType, im.adam7);
    yomira::qrn::MemoryStream stream(file);  // built once: the copy is not part of decoding
    double bestLib = 1e300, bestOurs = 1e300;
    for (int r = 0; r < reps; ++r) {
      bestLib = std::min(bestLib, TimeMs([&] { return DecodeLibpng(file); }, sink));
      bestOurs = std::min(bestOurs, TimeMs([&] { return DecodeOurs(stream); }, sink));
    }
    std::printf("decode %s libpng %.1f ms ours %.1f ms ratio %.2f\n", im.name, bestLib, bestOurs, bestOurs / bestLib);
    std::fflush(stdout);
    if (!encode) continue;

    // Encoding is slower than decoding: fewer runs suffice for a stable best.
    const int encodeReps = std::max(1, std::min(reps, 3));
    yomira::qrn::TQRNPNG graphic;
    FillGraphic(graphic, pixels, im.w, im.h, im.colorType);
    graphic.Interlace = im.adam7 ? yomira::qrn::gptAdam7 : yomira::qrn::gptNone;
    graphic.CompressionLevel = -1;
    double libMs = 1e300;
    size_t libSize = 0;
    for (int r = 0; r < encodeReps; ++r)
      libMs = std::min(libMs, TimeMs([&] {
                         const auto out = Encode(pixels, im.w, im.h, im.colorType, im.adam7);
                         libSize = out.size();
                         return static_cast<uint64_t>(out.size());
                       }, sink));
    for (auto filter : {yomira::qrn::gpfNone, yomira::qrn::gpfJust}) {
      graphic.Filter = filter;
      double oursMs = 1e300;
      size_t oursSize = 0;
      for (int r = 0; r < encodeReps; ++r)
        oursMs = std::min(oursMs, TimeMs([&] {
                            yomira::qrn::MemoryStream out;
                            graphic.SaveToStream(out);
                            oursSize = static_cast<size_t>(out.Size());
                            return static_cast<uint64_t>(out.Size());
                          }, sink));
      char line[256];
      std::snprintf(line, sizeof line, "encode %s %s libpng %.1f ms ours %.1f ms ratio %.2f size libpng %zu ours %zu",
                    im.name, filter == yomira::qrn::gpfNone ? "gpfNone" : "gpfJust", libMs, oursMs, oursMs / libMs,
                    libSize, oursSize);
      std::printf("%s\n", line);
      std::fflush(stdout);
    }
  }
  return sink == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;
}
