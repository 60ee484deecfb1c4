// The dialog controls in each of their states, and the live page "controls".
#include "tools/windows_gallery/gallery.h"
#include "windows/controls/common_button.h"
#include "windows/controls/common_spin.h"
#include "windows/controls/ux_find_dialog.h"
#include "windows/controls/ux_speed_edit.h"
#include "windows/controls/ux_spin_edit.h"
#include "windows/controls/ux_static_text.h"

#include <QLabel>
#include <QPalette>
#include <QToolButton>

#include <algorithm>
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

// Every frame style in a row: up, down, checked, disabled, flat.
QWidget* CommonButtons() {
  static const char* const kNames[] = {"clsNormalButton", "clsCheckButton",    "clsRadioButton",    "clsCloseButton",
                                       "clsHelpButton",   "clsMaximizeButton", "clsMinimizeButton", "clsRestoreButton",
                                       "clsScrollBorder", "clsScrollDown",     "clsScrollLeft",     "clsScrollRight",
                                       "clsScrollUp",     "clsSizeGrip"};
  static const char* const kStates[] = {"up", "down", "checked", "disabled", "flat"};
  constexpr int kLabelW = 130, kCellW = 48, kCellH = 24, kGap = 4, kTop = 20;
  QWidget* sheet = Sheet(kLabelW + 5 * (kCellW + kGap) + kGap, kTop + 14 * (kCellH + kGap) + kGap);
  for (int c = 0; c < 5; ++c) {
    auto* head = new QLabel(QString::fromLatin1(kStates[c]), sheet);
    head->setGeometry(kLabelW + kGap + c * (kCellW + kGap), 2, kCellW, 16);
    head->setAlignment(Qt::AlignCenter);
  }
  for (int s = clsNormalButton; s <= clsSizeGrip; ++s) {
    const int y = kTop + kGap + s * (kCellH + kGap);
    auto* name = new QLabel(QStringLiteral("%1 %2").arg(s).arg(QString::fromLatin1(kNames[s])), sheet);
    name->setGeometry(4, y, kLabelW - 4, kCellH);
    for (int c = 0; c < 5; ++c) {
      auto* b = new CommonButton(sheet);
      b->setComStyle(static_cast<ComBtnStyle>(s));
      if (s == clsNormalButton) b->setText(QStringLiteral("OK"));
      b->setGeometry(kLabelW + kGap + c * (kCellW + kGap), y, kCellW, kCellH);
      switch (c) {
        case 1: b->QAbstractButton::setDown(true); break;  // pressed
        case 2: b->setChecked(true); break;
        case 3: b->setEnabled(false); break;
        case 4: b->setFlat(true); break;
        default: break;
      }
    }
  }
  return sheet;
}

QWidget* CommonSpinButtonPicture() {
  auto* spin = new CommonSpinButton;
  return Framed(spin);
}

CommonSpinEdit* MakeCommonSpin(QWidget* parent) {
  auto* edit = new CommonSpinEdit(parent);
  edit->setMaxValue(10);
  edit->setValue(5);
  edit->resize(60, std::max(24, edit->minimumEditHeight()));
  return edit;
}

QWidget* FindDialogPicture() {
  auto* dialog = new UxFindDialog;
  dialog->setFindItems({QStringLiteral("abc"), QStringLiteral("def")});
  return dialog;
}

// The live page: every control of the settings and tools dialogs, to be driven by hand or
// by tests/e2e/check_controls.sh; Ctrl+Q prints each control's state.
class ControlsPage : public QWidget {
 public:
  ControlsPage() {
    setFixedSize(320, 184);
    spinFont = MakeSpin(this, 6, 256, 12);
    spinFont->setObjectName(QStringLiteral("spin_font"));
    spinFont->setGeometry(10, 10, 41, 21);
    spinRowExtent = MakeSpin(this, -5, 256, 0);
    spinRowExtent->setGeometry(60, 10, 41, 21);
    spinFree = MakeSpin(this, 0, 0, 0);
    spinFree->setGeometry(110, 10, 100, 21);

    pathImage = MakePathLabel(this, false);
    pathImage->setGeometry(10, 40, 200, 16);
    connect(pathImage, &UxStaticText::entered, this, [this] { ++enters; });
    connect(pathImage, &UxStaticText::exited, this, [this] { ++exits; });
    auto pick = [this] {
      ++labelClicks;
      pathImage->setFilePath(QStringLiteral("/srv/gallery/picture.png"));
    };
    connect(pathImage, &UxStaticText::clicked, this, pick);
    connect(pathImage, &UxStaticText::keyPressed, this, [pick](QKeyEvent* e, bool& swallow) {
      if (e->key() != Qt::Key_Space) return;
      swallow = true;
      pick();
    });

    editFile = MakeSpeedEdit(this, QStringLiteral("…"), kLongPath);
    editFile->setGeometry(10, 62, 200, 21);
    connect(editFile, &UxSpeedEdit::buttonClicked, this, [this] { ++fileClicks; });
    editShortcut = MakeSpeedEdit(this, QStringLiteral("×"), QStringLiteral("Ctrl+K"));
    editShortcut->setReadOnly(true);
    editShortcut->setGeometry(10, 90, 200, 21);
    connect(editShortcut, &UxSpeedEdit::buttonClicked, this, [this] {
      ++shortcutClicks;
      editShortcut->clear();
    });

    commonSpin = MakeCommonSpin(this);
    commonSpin->move(10, 118);

    buttonCheck = new CommonButton(this);
    buttonCheck->setComStyle(clsCheckButton);
    buttonCheck->setGeometry(10, 150, 60, 24);
    radioA = new CommonButton(this);
    radioB = new CommonButton(this);
    for (CommonButton* r : {radioA, radioB}) {
      r->setComStyle(clsRadioButton);
      r->setGroupIndex(1);
    }
    radioA->setGeometry(80, 150, 60, 24);
    radioB->setGeometry(150, 150, 60, 24);
    radioA->setChecked(true);
    spinFont->setFocus();
  }

  QStringList state() const {
    auto spin = [](const char* name, int value, const QString& text) {
      return QStringLiteral("%1 value=%2 text=%3").arg(QString::fromLatin1(name)).arg(value).arg(text);
    };
    auto flag = [](const char* name, bool on) {
      return QStringLiteral("%1 checked=%2").arg(QString::fromLatin1(name)).arg(on ? 1 : 0);
    };
    return {spin("spin_font", spinFont->value(), spinFont->text()),
            spin("spin_row_extent", spinRowExtent->value(), spinRowExtent->text()),
            spin("spin_free", spinFree->value(), spinFree->text()),
            QStringLiteral("path_image path=%1 enters=%2 exits=%3 clicks=%4")
                .arg(pathImage->filePath())
                .arg(enters)
                .arg(exits)
                .arg(labelClicks),
            QStringLiteral("edit_file text=%1 clicks=%2").arg(editFile->text()).arg(fileClicks),
            QStringLiteral("edit_shortcut text=%1 clicks=%2").arg(editShortcut->text()).arg(shortcutClicks),
            spin("common_spin", commonSpin->value(), commonSpin->text()),
            flag("button_check", buttonCheck->checked()),
            flag("radio_a", radioA->checked()),
            flag("radio_b", radioB->checked())};
  }

 private:
  UxSpinEdit* spinFont;
  UxSpinEdit* spinRowExtent;
  UxSpinEdit* spinFree;
  UxStaticText* pathImage;
  UxSpeedEdit* editFile;
  UxSpeedEdit* editShortcut;
  CommonSpinEdit* commonSpin;
  CommonButton* buttonCheck;
  CommonButton* radioA;
  CommonButton* radioB;
  int enters = 0, exits = 0, labelClicks = 0, fileClicks = 0, shortcutClicks = 0;
};

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
    {"common-buttons", CommonButtons, {}},
    {"common-spin-button", CommonSpinButtonPicture, {}},
    {"common-spin-edit", [] { return Framed(MakeCommonSpin(nullptr)); }, {}},
    {"find-dialog", FindDialogPicture,
     [](QWidget* w) {
       auto* d = static_cast<UxFindDialog*>(w);
       return QStringList{QStringLiteral("find_dialog text=%1 items=%2 options=%3")
                              .arg(d->findText(), d->findItems().join(u','))
                              .arg(int(d->options()))};
     }},
    {"controls", [] { return static_cast<QWidget*>(new ControlsPage); },
     [](QWidget* w) { return static_cast<ControlsPage*>(w)->state(); }},
});

}  // namespace
}  // namespace yomira::gallery
