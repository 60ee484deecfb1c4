#include <QImage>

#include <exception>

#include "png/qrnpng.h"
#include "sources/picture.h"

namespace yomira {

bool LoadPngPicture(const std::string& path, QImage& out) {
  try {
    qrn::TQRNPNG png;
    png.LoadFromFile(path);
    QImage image = png.toQImage();
    if (image.isNull()) return false;
    out = std::move(image);
    return true;
  } catch (const std::exception&) {
    return false;  // not a PNG we can read; the caller keeps its default
  }
}

}  // namespace yomira
