#include "windows/tools_dialog/shortcut_capture.h"

#include <QKeyEvent>

#include "ui/shortcut_codec.h"

namespace yomira {

namespace {

// Tab and Shift+Tab without Ctrl or Alt move the focus; every other key is captured.
bool MovesFocus(const QKeyEvent& e) {
  const bool tab = e.key() == Qt::Key_Tab || e.key() == Qt::Key_Backtab;
  return tab && !(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

}  // namespace

ShortcutCaptureEdit::ShortcutCaptureEdit(QWidget* parent) : UxSpeedEdit(parent) {
  setReadOnly(true);
  setButtonCaption(QStringLiteral("×"));
  connect(this, &UxSpeedEdit::buttonClicked, this, [this] { setCode(0); });
}

void ShortcutCaptureEdit::setCode(uint16_t code) {
  code_ = code;
  setText(ShortcutText(code));
  emit codeChanged(code);
}

std::optional<uint16_t> ShortcutCaptureEdit::CodeOfKey(const QKeyEvent& e) {
  int key = e.key();
  if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_AltGr ||
      key == Qt::Key_Meta)
    return uint16_t{0};
  // Shift+digit arrives as the shifted symbol: the X key codes 10-19 are the digit row.
  const quint32 scan = e.nativeScanCode();
  if ((e.modifiers() & Qt::ShiftModifier) && !(key >= Qt::Key_0 && key <= Qt::Key_9) && scan >= 10 && scan <= 19)
    key = scan == 19 ? Qt::Key_0 : Qt::Key_1 + static_cast<int>(scan - 10);
  return QtToShortcut(QKeyCombination(e.modifiers(), static_cast<Qt::Key>(key)));
}

bool ShortcutCaptureEdit::event(QEvent* e) {
  // The window's shortcuts and the edit's own (Ctrl+A, Ctrl+C) must not take the key first.
  if (e->type() == QEvent::ShortcutOverride && !MovesFocus(*static_cast<QKeyEvent*>(e))) {
    e->accept();
    return true;
  }
  return UxSpeedEdit::event(e);
}

void ShortcutCaptureEdit::keyPressEvent(QKeyEvent* e) {
  if (MovesFocus(*e)) {
    UxSpeedEdit::keyPressEvent(e);
    return;
  }
  e->accept();
  if (const auto code = CodeOfKey(*e)) setCode(*code);
}

}  // namespace yomira
