#include "windows/controls/ux_speed_edit.h"

#include "windows/controls/control_events.h"

#include <QToolButton>

namespace yomira {

UxSpeedEdit::UxSpeedEdit(QWidget* parent) : QLineEdit(parent) {
  button_ = new QToolButton(this);
  button_->setObjectName(QStringLiteral("UxSpeedButton"));
  button_->setAutoRaise(true);
  // Not transparent: the edit's text must not show through the flat button.
  button_->setAutoFillBackground(true);
  button_->setCursor(Qt::ArrowCursor);
  button_->setFocusPolicy(Qt::NoFocus);
  connect(button_, &QToolButton::clicked, this, &UxSpeedEdit::buttonClicked);
  layoutButton();
}

void UxSpeedEdit::setButtonCaption(const QString& caption) {
  buttonCaption_ = caption;
  button_->setText(caption);
}

void UxSpeedEdit::keyPressEvent(QKeyEvent* e) {
  if (HolderSwallows(e, [this](QKeyEvent* k, bool& swallow) { emit keyPressed(k, swallow); })) return;
  QLineEdit::keyPressEvent(e);
}

void UxSpeedEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (IsFocusMove(e)) emit entered();
}

void UxSpeedEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (IsFocusMove(e)) emit exited();
}

void UxSpeedEdit::resizeEvent(QResizeEvent* e) {
  QLineEdit::resizeEvent(e);
  layoutButton();
}

void UxSpeedEdit::changeEvent(QEvent* e) {
  QLineEdit::changeEvent(e);
  if (e->type() == QEvent::StyleChange) layoutButton();
}

void UxSpeedEdit::layoutButton() {
  // Square, as high as the client area, flush with its right edge; text stops before it.
  const QRect client = EditClientArea(*this);
  const int side = client.height();
  button_->setGeometry(client.right() + 1 - side, client.top(), side, side);
  setTextMargins(0, 0, side, 0);
}

}  // namespace yomira
