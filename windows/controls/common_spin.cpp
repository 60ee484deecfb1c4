#include "windows/controls/common_spin.h"

#include "windows/controls/control_events.h"
#include "windows/controls/ux_spin_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace yomira {

namespace {

std::function<void()>& BeepHook() {
  static std::function<void()> hook;
  return hook;
}

void Beep() {
  if (BeepHook())
    BeepHook()();
  else
    QApplication::beep();
}

}  // namespace

// --- TimerSpeedButton ---

TimerSpeedButton::TimerSpeedButton(QWidget* parent) : CommonButton(parent) {
  setAutoRepeatDelay(kFirstRepeatMs);
  setAutoRepeatInterval(kRepeatMs);
}

void TimerSpeedButton::setAllowTimer(bool allow) { setAutoRepeat(allow); }

void TimerSpeedButton::setFocusRect(bool on) {
  if (on == focusRect_) return;
  focusRect_ = on;
  update();
}

void TimerSpeedButton::paintEvent(QPaintEvent* e) {
  CommonButton::paintEvent(e);
  if (!focusRect_) return;
  QPainter p(this);
  QStyleOptionFocusRect opt;
  opt.initFrom(this);
  const int shift = drawnDown() ? 1 : 0;
  opt.rect = rect().adjusted(3, 3, -3, -3).translated(shift, shift);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
}

void TimerSpeedButton::timerEvent(QTimerEvent* e) {
  try {
    CommonButton::timerEvent(e);
  } catch (...) {
    StopAutoRepeat(this);  // a click that threw ends the repeat before the guard reports it
    throw;
  }
}

// --- CommonSpinButton ---

CommonSpinButton::CommonSpinButton(QWidget* parent) : QWidget(parent) {
  setMinimumWidth(kMinWidth);
  setFocusPolicy(Qt::NoFocus);
  up_ = new TimerSpeedButton(this);
  up_->setComStyle(clsScrollUp);
  down_ = new TimerSpeedButton(this);
  down_->setComStyle(clsScrollDown);
  focused_ = up_;
  for (TimerSpeedButton* b : {up_, down_}) {
    b->setAllowTimer(true);
    b->installEventFilter(this);
  }
  connect(up_, &QAbstractButton::clicked, this, &CommonSpinButton::upClicked);
  connect(down_, &QAbstractButton::clicked, this, &CommonSpinButton::downClicked);
  resize(20, 25);
  layoutButtons();
}

void CommonSpinButton::setFlat(bool flat) {
  up_->setFlat(flat);
  down_->setFlat(flat);
}

void CommonSpinButton::layoutButtons() {
  const int w = width();
  const int h = height();
  up_->setGeometry(0, 0, w, h / 2);
  down_->setGeometry(0, h - h / 2, w, h / 2);
}

void CommonSpinButton::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  layoutButtons();
}

void CommonSpinButton::setFocusedButton(TimerSpeedButton* b) {
  if (b == focused_) return;
  focused_->setFocusRect(false);
  focused_ = b;
  focused_->setFocusRect(hasFocus());
}

bool CommonSpinButton::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
      (watched == up_ || watched == down_)) {
    setFocusedButton(static_cast<TimerSpeedButton*>(watched));
    if (focusControl_ && focusControl_->isVisible() && focusControl_->isEnabled() &&
        focusControl_->focusPolicy() != Qt::NoFocus)
      focusControl_->setFocus(Qt::MouseFocusReason);
    else if (tabStop() && isVisible() && isEnabled())
      setFocus(Qt::MouseFocusReason);
  }
  return QWidget::eventFilter(watched, e);
}

void CommonSpinButton::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Up:
      setFocusedButton(up_);
      up_->click();
      break;
    case Qt::Key_Down:
      setFocusedButton(down_);
      down_->click();
      break;
    case Qt::Key_Space:
      focused_->click();
      break;
    default:
      QWidget::keyPressEvent(e);
      return;
  }
  e->accept();
}

void CommonSpinButton::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  focused_->setFocusRect(true);
}

void CommonSpinButton::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  focused_->setFocusRect(false);
}

// --- CommonSpinEdit ---

void CommonSpinEdit::setBeepHook(std::function<void()> hook) { BeepHook() = std::move(hook); }

CommonSpinEdit::CommonSpinEdit(QWidget* parent) : QLineEdit(parent) {
  setText(QStringLiteral("0"));
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setTextMargins(0, 0, kButtonWidth + 2, 0);
  button_ = new CommonSpinButton(this);
  button_->setCursor(Qt::ArrowCursor);
  button_->setFocusControl(this);
  connect(button_, &CommonSpinButton::upClicked, this, &CommonSpinEdit::upClick);
  connect(button_, &CommonSpinButton::downClicked, this, &CommonSpinEdit::downClick);
  setMinimumHeight(minimumEditHeight());
  layoutButton();
}

int CommonSpinEdit::value() const {
  const QString t = text();
  const std::optional<int> read = ReadSpinText(t);
  int v = read.value_or(0);
  if (v == 0 && t != QStringLiteral("0")) v = minValue_;
  return ClampSpinValue(v, minValue_, maxValue_);
}

void CommonSpinEdit::setValue(int value) {
  setText(QString::number(ClampSpinValue(value, minValue_, maxValue_)));
}

void CommonSpinEdit::step(int direction) {
  if (isReadOnly()) {
    Beep();
    return;
  }
  setText(QString::number(ClampSpinValue(int64_t{value()} + int64_t{direction} * increment_, minValue_, maxValue_)));
}

void CommonSpinEdit::upClick() { step(1); }
void CommonSpinEdit::downClick() { step(-1); }

int CommonSpinEdit::minimumEditHeight() const {
  constexpr int kBorder = 1;
  const int appFont = QFontMetrics(QApplication::font()).height();
  const int font = fontMetrics().height();
  return 4 * kBorder + std::min(appFont, font) / 4 + font + 2;
}

void CommonSpinEdit::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Up:
      upClick();
      e->accept();
      return;
    case Qt::Key_Down:
      downClick();
      e->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      QLineEdit::keyPressEvent(e);
      return;
    default:
      break;
  }
  const bool editable = editorEnabled_ && !isReadOnly();
  if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut)) {
    if (editable) QLineEdit::keyPressEvent(e);
    e->accept();
    return;
  }
  const QString t = e->text();
  if (!t.isEmpty()) {
    const QChar c = t.front();
    const bool control = c.unicode() < 0x20;
    const QString point = QLocale().decimalPoint();
    const bool allowed = control || c == u'+' || c == u'-' || (c >= u'0' && c <= u'9') || t == point;
    // With the editor off, printable characters, Backspace and Delete are refused.
    const bool editing = !control || c == u'\b' || c.unicode() == 0x7f;
    if (!allowed || (!editorEnabled_ && editing)) {
      Beep();
      e->accept();
      return;
    }
  } else if (!editorEnabled_ && e->key() == Qt::Key_Delete) {
    Beep();
    e->accept();
    return;
  }
  QLineEdit::keyPressEvent(e);
}

void CommonSpinEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (autoSelect_ && QApplication::mouseButtons() == Qt::NoButton) selectAll();
}

void CommonSpinEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (!IsFocusMove(e)) return;
  // A value outside the bounds, or a text that is no number, shows the value it stands for.
  const std::optional<int> read = ReadSpinText(text());
  const bool outside = read && minValue_ != maxValue_ && (*read < minValue_ || *read > maxValue_);
  if (!read || outside) setText(QString::number(value()));
}

void CommonSpinEdit::resizeEvent(QResizeEvent* e) {
  QLineEdit::resizeEvent(e);
  layoutButton();
}

void CommonSpinEdit::changeEvent(QEvent* e) {
  QLineEdit::changeEvent(e);
  if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) {
    setMinimumHeight(minimumEditHeight());
    layoutButton();
  }
}

void CommonSpinEdit::layoutButton() {
  const QRect client = EditClientArea(*this);
  button_->setGeometry(client.right() + 1 - kButtonWidth, client.top(), kButtonWidth, client.height());
}

}  // namespace yomira
