#include "engine/render/Renderer.h"

#include <QDir>
#include <QString>

#include "engine/render/Background.h"
#include "platform/color.h"
#include "engine/render/EmphasisStrip.h"
#include "engine/render/Pixels.h"
#include "platform/text/utf8.h"

namespace yomira {

PanelLayout Renderer::CurrentLayout() const { return layout_ ? *layout_ : ComputePanelSizes(option_); }

void Renderer::BuildBackground() {
  const PanelLayout layout = CurrentLayout();
  ResizeBitmap(bitmaps_.BackBitmap, layout.backWidth, layout.backHeight);
  QImage picture;
  if (option_.bg_image) {
    picture = host_.loadPicture(Cp932ToUtf8(option_.bg_image_str));
    // A picture that cannot be shown switches the setting off for good (it is saved so).
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) {
      picture = QImage();
      option_.bg_image = 0;
    }
  }
  FillBackground(bitmaps_.BackBitmap, option_, picture);
  ClearPageBitmap();
  if (option_.MSS) DrawManuscriptLines(bitmaps_.BackBitmap, option_);
  DrawShadow(bitmaps_.BackBitmap, option_);
  const BottomBars bars = CopyBottomBars(bitmaps_.BackBitmap, layout, option_);
  host_.setBottomBars(bars.slider, bars.text, bars.menu);
  host_.setPageLabelColour(BgrToQRgb(ColorToRgb(option_.text_color)));
}

void Renderer::ClearPageBitmap() {
  const PanelLayout layout = CurrentLayout();
  ResizeBitmap(bitmaps_.PageBitmap, layout.pageWidth, layout.pageHeight);
  if (!bitmaps_.PageBitmap.isNull()) bitmaps_.PageBitmap.fill(BgrToQRgb(ColorToRgb(option_.back_color)));
}

void Renderer::LoadEmphasisMarks() {
  if (option_.ruby_size <= 0) {
    bitmaps_.EmphasisBitmap = QImage();
    return;
  }
  QImage replacement;
  const std::string folder = host_.dataFolder();
  if (!folder.empty())
    replacement = host_.loadPicture(
        QDir(QString::fromStdString(folder)).filePath(QStringLiteral("Image/yomira_emphasis.bmp")).toStdString());
  QImage builtin;
  if (!IsEmphasisStripShape(replacement)) builtin = host_.loadResourcePicture("IMG_EMPHASIS", "GIF");
  bitmaps_.EmphasisBitmap = BuildEmphasisStrip(option_.ruby_size, replacement, builtin);
}

void Renderer::SetTextLayers(const TextLayer& body, const TextLayer& ruby) {
  auto set = [](TYomiraTextMetrics& m, const TextLayer& layer) {
    m.TextColor = layer.textColor;
    m.BackColor = layer.backColor;
    m.SetFont(layer.face, layer.bold, layer.height);
  };
  set(BodyMetrics, body);
  set(RubyMetrics, ruby);
}

uint32_t Renderer::BackgroundPixel(int32_t x, int32_t y) const {
  const QImage& back = bitmaps_.BackBitmap;
  if (back.isNull() || x < 0 || y < 0 || x >= back.width() || y >= back.height()) return 0;
  return QRgbToBgr(reinterpret_cast<const QRgb*>(back.constScanLine(y))[x]);
}

}  // namespace yomira
