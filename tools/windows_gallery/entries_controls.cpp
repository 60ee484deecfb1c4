// The dialog controls in each of their states, and the live page "controls".
#include "tools/windows_gallery/gallery.h"
#include "windows/controls/ux_speed_edit.h"
#include "windows/controls/ux_spin_edit.h"
#include "windows/controls/ux_static_text.h"

#include <QPalette>

#include <functional>

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

UxSpinEdit* MakeSpin(QWidget* parent, int min, int max, int value) {
  auto* spin = new UxSpinEdit(parent);
  spin->setMinValue(min);
  spin->setMaxValue(max);
  spin->setValue(value);
  return spin;
}

// The settings dialog's font-size box in a picture: 41 x 21 as placed there.
QWidget* SpinEdit(int min, int max, int value, const std::function<void(UxSpinEdit*)>& state = {}) {
  auto* spin = MakeSpin(nullptr, min, max, value);
  spin->resize(41, 21);
  if (state) state(spin);
  return Framed(spin);
}

UxSpeedEdit* MakeSpeedEdit(QWidget* parent, const QString& caption, const QString& text) {
  auto* edit = new UxSpeedEdit(parent);
  edit->setButtonCaption(caption);
  edit->setText(text);
  return edit;
}

QWidget* SpeedEdit(const QString& caption, const QString& text, const std::function<void(UxSpeedEdit*)>& state = {}) {
  auto* edit = MakeSpeedEdit(nullptr, caption, text);
  edit->resize(200, 21);
  if (state) state(edit);
  return Framed(edit);
}

const QString kLongPath = QStringLiteral("/usr/local/share/yomira/filters/aozora-to-text/bin/convert-ruby-notation");

QWidget* PathLabel(bool focused) {
  auto* label = MakePathLabel(nullptr, focused);
  label->resize(200, 16);
  return Framed(label);
}

const GalleryEntries kEntries("controls", {
    {"spin-edit", [] { return SpinEdit(6, 256, 12); }, {}},
    // Typed, not yet left: the text stays as typed while the value is clamped.
    {"spin-edit-typed", [] { return SpinEdit(6, 256, 12, [](UxSpinEdit* s) { s->setText(QStringLiteral("300")); }); }, {}},
    {"spin-edit-negative", [] { return SpinEdit(-5, 256, -5); }, {}},
    {"spin-edit-disabled", [] { return SpinEdit(6, 256, 12, [](UxSpinEdit* s) { s->setEnabled(false); }); }, {}},
    {"path-label", [] { return PathLabel(false); }, {}},
    {"path-label-focused", [] { return PathLabel(true); }, {}},
    {"speed-edit", [] { return SpeedEdit(QStringLiteral("…"), kLongPath); }, {}},
    {"speed-edit-readonly",
     [] { return SpeedEdit(QStringLiteral("×"), QStringLiteral("Ctrl+K"), [](UxSpeedEdit* e) { e->setReadOnly(true); }); },
     {}},
    {"speed-edit-disabled",
     [] { return SpeedEdit(QStringLiteral("…"), kLongPath, [](UxSpeedEdit* e) { e->setEnabled(false); }); }, {}},
});

}  // namespace
}  // namespace yomira::gallery
