// The graphic's assignment, external bitmaps, resizing, drawing and clipboard images.
#include <QImage>
#include <QPainter>
#include <QRect>

#include "png/qrnpng.h"

namespace yomira::qrn {

void TQRNPNG::Assign(const TQRNPNG& source) {
  if (&source == this) return;
  extImage_ = nullptr;
  ownImage_->Assign(source.ownImage_.get());
  ownAlpha_->Assign(source.ownAlpha_.get());
  extImage_ = source.extImage_;
  extAlpha_ = source.extAlpha_;
  CompressionLevel = source.CompressionLevel;
  Filter = source.Filter;
  IDATSize_ = source.IDATSize_;
  Interlace = source.Interlace;
  GrayScale = source.GrayScale;
  Comment = source.Comment;
  BackgroundColor = source.BackgroundColor;
  TransColor = source.TransColor;
  Gamma = source.Gamma;
  SignificantBits = source.SignificantBits;
  PixelUnit = source.PixelUnit;
  PixelsPerUnitX = source.PixelsPerUnitX;
  PixelsPerUnitY = source.PixelsPerUnitY;
  UseCurrentTime = source.UseCurrentTime;
  time_ = source.time_;
  chrm_ = source.chrm_;
  // HasAlpha is kept as it was: the copied alpha bitmap is saved only once the caller says so.
  SetTransFlag(*ownImage_);
}

void TQRNPNG::Assign(const Bitmap& source) {
  extImage_ = nullptr;
  ownImage_->Assign(&source);
  SetTransFlag(*ownImage_);
}

void TQRNPNG::Assign(const QImage& source) {
  extImage_ = nullptr;
  ownImage_->fromQImage(source);
  SetTransFlag(*ownImage_);
}

void TQRNPNG::AssignTo(Bitmap& dest) const { dest.Assign(Image()); }

void TQRNPNG::AssignTo(TQRNPNG& dest) const { dest.Assign(*Image()); }

void TQRNPNG::SetImage(Bitmap* image) {
  // The own bitmaps are never external ones: the image and the alpha bitmap would be one
  // object, and a load would write the alpha over the picture.
  if (image == ownImage_.get() || image == ownAlpha_.get()) image = nullptr;
  if (image && image == extAlpha_) extAlpha_ = nullptr;
  extImage_ = image;
  SetTransFlag(image ? *image : *ownImage_);
}

void TQRNPNG::SetABmp(Bitmap* alpha) {
  // Image() rather than the external image alone: the own image cannot be the alpha bitmap
  // either. The own alpha bitmap is what no external reference means.
  extAlpha_ = (alpha == Image() || alpha == ownAlpha_.get()) ? nullptr : alpha;
}

void TQRNPNG::AlphaBitmapAssign(const Bitmap* source) {
  extAlpha_ = nullptr;
  ownAlpha_->Assign(source);
}

void TQRNPNG::AlphaBitmapAssign(const TQRNPNG& source) { AlphaBitmapAssign(source.ownAlpha_.get()); }

bool TQRNPNG::AlphaBitmapAssignTo(Bitmap* dest) const {
  if (ownAlpha_->Empty()) return false;
  if (dest) dest->Assign(ownAlpha_.get());
  return true;
}

void TQRNPNG::FreeAlphaBitmap() { ownAlpha_->Assign(nullptr); }

void TQRNPNG::SetWidth(int width) {
  for (Bitmap* b : {Image(), GetAlphaBitmap()})
    if (!b->Empty()) b->SetWidth(width);
  Changed();
}

void TQRNPNG::SetHeight(int height) {
  for (Bitmap* b : {Image(), GetAlphaBitmap()})
    if (!b->Empty()) b->SetHeight(height);
  Changed();
}

void TQRNPNG::SetPalette(const TQRNPalette& palette) {
  Image()->SetPalette(palette);
  Changed();
}

void TQRNPNG::Draw(QPainter& painter, const QRect& rect) const {
  if (GetEmpty()) return;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect, toQImage());
  painter.restore();
}

void TQRNPNG::LoadFromClipboardFormat(const QImage& image) { Assign(image); }

QImage TQRNPNG::SaveToClipboardFormat() const { return Image()->toQImage(); }

}  // namespace yomira::qrn
