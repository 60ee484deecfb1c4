#include "windows/controls/ux_static_text.h"

#include "windows/controls/control_events.h"

#include <QMouseEvent>

namespace yomira {

UxStaticText::UxStaticText(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setFocusPolicy(Qt::StrongFocus);
}

bool UxStaticText::setFilePath(const QString& path) {
  if (path == filePath_) return false;
  filePath_ = path;
  return true;
}

void UxStaticText::focusInEvent(QFocusEvent* e) {
  QLabel::focusInEvent(e);
  if (IsFocusMove(e)) emit entered();
}

void UxStaticText::focusOutEvent(QFocusEvent* e) {
  QLabel::focusOutEvent(e);
  if (IsFocusMove(e)) emit exited();
}

void UxStaticText::keyPressEvent(QKeyEvent* e) {
  if (HolderSwallows(e, [this](QKeyEvent* k, bool& swallow) { emit keyPressed(k, swallow); })) return;
  QLabel::keyPressEvent(e);
}

void UxStaticText::mousePressEvent(QMouseEvent* e) {
  QLabel::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) leftPressed_ = true;
}

void UxStaticText::mouseReleaseEvent(QMouseEvent* e) {
  QLabel::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton || !leftPressed_) return;
  leftPressed_ = false;
  if (rect().contains(e->position().toPoint())) emit clicked();
}

}  // namespace yomira
