// Loading helpers shared by the PNG suites.
#pragma once

#include <QImage>

#include <string>

#include "png/qrnpng.h"
#include "png/stream.h"

namespace yomira::test::png {

// Loads bytes into png; returns the EQRNPNG message, or "" on success. Any other exception
// escapes and fails the test.
inline std::string LoadMessage(qrn::TQRNPNG& png, const std::string& bytes) {
  qrn::MemoryStream stream(bytes);
  try {
    png.LoadFromStream(stream);
  } catch (const qrn::EQRNPNG& e) {
    return e.what();
  }
  return "";
}

inline std::string LoadMessage(const std::string& bytes) {
  qrn::TQRNPNG png;
  return LoadMessage(png, bytes);
}

// ARGB of one pixel of the composed picture.
inline QRgb PixelAt(const qrn::TQRNPNG& png, int x, int y) { return png.toQImage().pixel(x, y); }

}  // namespace yomira::test::png
