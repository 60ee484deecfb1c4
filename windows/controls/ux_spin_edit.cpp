#include "windows/controls/ux_spin_edit.h"

#include "platform/text/cp932.h"
#include "windows/controls/control_events.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>

namespace yomira {

namespace {

constexpr int kWheelNotch = 120;
// Carries a fault of an arrow's step to the application's guard.
const QEvent::Type kRaiseFault = static_cast<QEvent::Type>(QEvent::registerEventType());

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool AllDigits(const QString& s) { return std::all_of(s.begin(), s.end(), IsDigit); }

QString DigitsOf(const QString& s) {
  QString out;
  for (QChar c : s)
    if (IsDigit(c)) out += c;
  return out;
}

// Text of editing and control keys (Backspace, Enter, Esc, Ctrl+letter), never inserted.
bool IsControlText(const QString& s) {
  return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow) {
  auto* b = new QToolButton(parent);
  b->setArrowType(arrow);
  b->setAutoRepeat(true);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

std::optional<int> ReadSpinText(const QString& text) {
  const QByteArray ascii = text.toLatin1();
  if (auto v = TryStrToIntDecimal(std::string_view(ascii.constData(), ascii.size()))) return *v;
  // A digit string too long for int reads as the nearest int rather than as no number.
  const bool negative = text.startsWith(u'-');
  const QString digits = (negative || text.startsWith(u'+')) ? text.mid(1) : text;
  if (digits.isEmpty() || !AllDigits(digits)) return std::nullopt;
  return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
}

int ClampSpinValue(int64_t v, int min, int max) {
  int value = static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  if (min != max) value = std::min(std::max(value, min), max);
  return value;
}

UxSpinEdit::UxSpinEdit(QWidget* parent) : QLineEdit(parent) {
  setText(QStringLiteral("0"));
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  // Dropped text would bypass the digit filter.
  setAcceptDrops(false);
  setTextMargins(0, 0, kUpDownWidth, 0);

  upDown_ = new QWidget(this);
  upDown_->setObjectName(QStringLiteral("UxUpDown"));
  upDown_->setCursor(Qt::ArrowCursor);
  up_ = MakeArrow(upDown_, Qt::UpArrow);
  down_ = MakeArrow(upDown_, Qt::DownArrow);
  connect(up_, &QToolButton::clicked, this, [this] { arrowClicked(up_, 1); });
  connect(down_, &QToolButton::clicked, this, [this] { arrowClicked(down_, -1); });
  // The wheel over the arrows steps the edit as over its text.
  for (QWidget* w : {upDown_, static_cast<QWidget*>(up_), static_cast<QWidget*>(down_)}) w->installEventFilter(this);
  layoutUpDown();

  connect(this, &QLineEdit::textChanged, this, &UxSpinEdit::readBack);
}

void UxSpinEdit::setValue(int value) {
  value_ = ClampSpinValue(value, minValue_, maxValue_);
  if (!inChange_) setText(QString::number(value_));
}

void UxSpinEdit::setMaxValue(int value) {
  maxValue_ = value;
  setValue(value_);
}

void UxSpinEdit::setMinValue(int value) {
  minValue_ = value;
  setValue(value_);
}

void UxSpinEdit::setIncrement(int value) { increment_ = value; }

void UxSpinEdit::stepBy(int steps) {
  // Saturated here, so that setValue (which holders may override) sees an int in range.
  setValue(ClampSpinValue(int64_t{value_} + int64_t{steps} * increment_, 0, 0));
}

void UxSpinEdit::readBack(const QString& text) {
  {
    inChange_ = true;
    const std::unique_ptr<bool, void (*)(bool*)> reset(&inChange_, [](bool* b) { *b = false; });
    if (text.isEmpty())
      value_ = minValue_;
    else
      setValue(ReadSpinText(text).value_or(0));
  }
  emit changed();
}

void UxSpinEdit::pasteDigits(const QString& text) {
  if (isReadOnly()) return;
  const QString digits = DigitsOf(text);
  if (!digits.isEmpty()) insert(digits);
}

void UxSpinEdit::arrowClicked(QToolButton* button, int steps) {
  try {
    stepBy(steps);
  } catch (...) {
    // The repeat stops at once; the fault then goes to the guard from our own event, not
    // through the button's timer code, which does not expect to be unwound.
    StopAutoRepeat(button);
    pendingFault_ = std::current_exception();
    QCoreApplication::postEvent(this, new QEvent(kRaiseFault));
    return;
  }
  if (isVisible() && isEnabled() && focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
}

void UxSpinEdit::keyPressEvent(QKeyEvent* e) {
  if (HolderSwallows(e, [this](QKeyEvent* k, bool& swallow) { emit keyPressed(k, swallow); })) return;
  switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_PageUp:
      stepBy(1);
      e->accept();
      return;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
      stepBy(-1);
      e->accept();
      return;
    default:
      break;
  }
  if (e->matches(QKeySequence::Paste)) {
    pasteDigits(QApplication::clipboard()->text());
    e->accept();
    return;
  }
  const QString text = e->text();
  if (!text.isEmpty() && !IsControlText(text) && !AllDigits(text)) {
    e->accept();  // refused: only digits can be typed
    return;
  }
  QLineEdit::keyPressEvent(e);
}

void UxSpinEdit::inputMethodEvent(QInputMethodEvent* e) {
  if (isReadOnly() || e->commitString().isEmpty()) {
    QLineEdit::inputMethodEvent(e);
    return;
  }
  QInputMethodEvent filtered(e->preeditString(), e->attributes());
  filtered.setCommitString(DigitsOf(e->commitString()), e->replacementStart(), e->replacementLength());
  QLineEdit::inputMethodEvent(&filtered);
}

void UxSpinEdit::wheelEvent(QWheelEvent* e) {
  const int dy = e->angleDelta().y();
  if ((dy > 0 && wheelRest_ < 0) || (dy < 0 && wheelRest_ > 0)) wheelRest_ = 0;
  wheelRest_ += dy;
  const int notches = wheelRest_ / kWheelNotch;
  wheelRest_ -= notches * kWheelNotch;
  if (notches != 0) stepBy(notches);
  e->accept();
}

bool UxSpinEdit::event(QEvent* e) {
  if (e->type() == kRaiseFault) {
    if (std::exception_ptr fault = std::exchange(pendingFault_, nullptr)) std::rethrow_exception(fault);
    return true;
  }
  return QLineEdit::event(e);
}

bool UxSpinEdit::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Wheel && isEnabled()) {
    wheelEvent(static_cast<QWheelEvent*>(e));
    return true;
  }
  return QLineEdit::eventFilter(watched, e);
}

void UxSpinEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (IsFocusMove(e)) emit entered();
}

void UxSpinEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (!IsFocusMove(e)) return;
  setText(QString::number(value_));
  emit exited();
}

int UxSpinEdit::widthForDigits(int digits) const {
  // As the line edit measures itself: its text margins of 2, the caret, then the frame.
  QStyleOptionFrame opt;
  initStyleOption(&opt);
  const QMargins m = textMargins();
  const int text = fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) + 2 * 2 + 1 + m.left() + m.right();
  return style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(text, fontMetrics().height()), this).width();
}

QSize UxSpinEdit::sizeHint() const {
  return QSize(std::max(kMinWidth, widthForDigits(kShownDigits)), QLineEdit::sizeHint().height());
}

void UxSpinEdit::resizeEvent(QResizeEvent* e) {
  QLineEdit::resizeEvent(e);
  layoutUpDown();
}

void UxSpinEdit::changeEvent(QEvent* e) {
  QLineEdit::changeEvent(e);
  if (e->type() == QEvent::StyleChange) layoutUpDown();
}

void UxSpinEdit::mouseReleaseEvent(QMouseEvent* e) {
  // The X11 selection pasted by the middle button goes through the digit filter too.
  if (e->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
    pasteDigits(QApplication::clipboard()->text(QClipboard::Selection));
    e->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(e);
}

void UxSpinEdit::contextMenuEvent(QContextMenuEvent* e) {
  std::unique_ptr<QMenu> menu(createStandardContextMenu());
  if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
    QObject::disconnect(paste, &QAction::triggered, this, nullptr);
    connect(paste, &QAction::triggered, this, [this] { pasteDigits(QApplication::clipboard()->text()); });
  }
  menu->exec(e->globalPos());
}

void UxSpinEdit::layoutUpDown() {
  const QRect client = EditClientArea(*this);
  upDown_->setGeometry(client.right() + 1 - kUpDownWidth, client.top(), kUpDownWidth, client.height());
  const int half = client.height() / 2;
  up_->setGeometry(0, 0, kUpDownWidth, half);
  down_->setGeometry(0, half, kUpDownWidth, client.height() - half);
}

}  // namespace yomira
