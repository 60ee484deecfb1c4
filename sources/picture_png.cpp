#include <QImage>

#include <exception>

#include "png/qrnpng.h"
#include "png/stream.h"
#include "sources/picture.h"

namespace yomira {

namespace {

// load fills the reader; false when it raises or leaves no picture.
template <typename Load>
bool DecodePng(Load&& load, QImage& out) {
  try {
    qrn::TQRNPNG png;
    load(png);
    QImage image = png.toQImage();
    if (image.isNull()) return false;
    out = std::move(image);
    return true;
  } catch (const std::exception&) {
    return false;  // not a PNG we can read; the caller keeps its default
  }
}

}  // namespace

bool LoadPngPicture(const std::string& path, QImage& out) {
  return DecodePng([&](qrn::TQRNPNG& png) { png.LoadFromFile(path); }, out);
}

bool LoadPngPictureBytes(std::string_view bytes, QImage& out) {
  return DecodePng(
      [&](qrn::TQRNPNG& png) {
        qrn::MemoryStream stream(bytes);
        png.LoadFromStream(stream);
      },
      out);
}

}  // namespace yomira
