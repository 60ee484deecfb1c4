// The dialog controls in each of their states, and the live page "controls".
#include "tools/windows_gallery/gallery.h"
#include "windows/controls/ux_static_text.h"

#include <QPalette>

namespace yomira::gallery {
namespace {

// What the settings dialog does with its path labels: an underlined link with a hand
// cursor that turns blue while it has the focus.
void SetLinkColor(UxStaticText* label, bool focused) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, focused ? Qt::blue : Qt::black);
  label->setPalette(pal);
}

UxStaticText* MakePathLabel(QWidget* parent, bool focused) {
  auto* label = new UxStaticText(parent);
  label->setText(QStringLiteral("( 参照 )"));
  QFont font = label->font();
  font.setUnderline(true);
  label->setFont(font);
  label->setCursor(Qt::PointingHandCursor);
  SetLinkColor(label, focused);
  QObject::connect(label, &UxStaticText::entered, label, [label] { SetLinkColor(label, true); });
  QObject::connect(label, &UxStaticText::exited, label, [label] { SetLinkColor(label, false); });
  return label;
}

QWidget* PathLabel(bool focused) {
  auto* label = MakePathLabel(nullptr, focused);
  label->resize(200, 16);
  return Framed(label);
}

const GalleryEntries kEntries("controls", {
    {"path-label", [] { return PathLabel(false); }, {}},
    {"path-label-focused", [] { return PathLabel(true); }, {}},
});

}  // namespace
}  // namespace yomira::gallery
