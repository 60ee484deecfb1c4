// Mouse input of the main window: clicks on the page image, the wheel, the side buttons
// (through an application-wide hook, so every window of the program takes them), the
// annotation hint under the pointer, and the hint window itself.
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <cstdlib>

#include "ui/guard.h"
#include "shell/main_window.h"
#include "windows/controls/hint_window.h"

namespace yomira {
namespace {

// Sees every event of the program before its receiver does.
class ApplicationHook : public QObject {
 public:
  explicit ApplicationHook(TForm1& form) : form_(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override { return form_.ApplicationMessage(watched, e); }

 private:
  TForm1& form_;
};

// Ctrl wins over Shift; Alt is ignored.
int ModifierRow(Qt::KeyboardModifiers m) {
  if (m & Qt::ControlModifier) return 2;
  if (m & Qt::ShiftModifier) return 1;
  return 0;
}

constexpr int kNotch = 120;

}  // namespace

void TForm1::bindInputBindings() {
  appHook_ = std::make_unique<ApplicationHook>(*this);
  ImageView_->setMouseTracking(true);
  ImageView_->onPress = [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint p) {
    guarded([&] { MouseClickAction(button, modifiers, p.x()); });
  };
  ImageView_->onMove = [this](QPoint p) { guarded([&] { ImageViewMouseMove(p.x(), p.y()); }); };
  // A note stays no longer than the pointer stays on the page.
  ImageView_->onLeave = [this] {
    if (!TimerSizeMoveEnd || !TimerSizeMoveEnd->isActive()) hideHint();
  };
}

void TForm1::MouseClickAction(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x) {
  if (!IsLaidOut()) return;
  int slot;
  switch (button) {
    case Qt::LeftButton: slot = 0; break;
    case Qt::RightButton: slot = 1; break;
    case Qt::MiddleButton: slot = 2; break;
    default: return;
  }
  slot += 3 * ModifierRow(modifiers);
  RunClickCode(Option.click[slot], x);
}

void TForm1::RunClickCode(int code, int x) {
  switch (code) {
    case 1: ActionPageNextExecute(ImageView_); break;
    case 2: ActionPageBackExecute(ImageView_); break;
    case 3:
      if (x > ImageView_->width() / 2) ActionPageBackExecute(ImageView_);
      else ActionPageNextExecute(ImageView_);
      break;
    case 4: ActionWindowPopUpExecute(ImageView_); break;
    case 5: ActionPageFileNextExecute(ImageView_); break;
    case 6: ActionPageFileBackExecute(ImageView_); break;
    default: break;
  }
}

void TForm1::WheelAction(int delta, Qt::KeyboardModifiers modifiers) {
  if (!IsLaidOut()) return;
  // A horizontal scroll or a touchpad's phase event has no vertical delta: not a turn.
  if (delta == 0) return;
  // A touchpad sends small deltas: a step for each full notch in one direction.
  if ((delta > 0) != (wheelRest_ > 0)) wheelRest_ = 0;
  wheelRest_ += delta;
  // Wheel slots: 10 up, 11 down; Ctrl 12, 13; Shift 14, 15 (wheel[0..5]).
  const int row = ModifierRow(modifiers);
  const int base = row == 2 ? 12 : row == 1 ? 14 : 10;
  while (wheelRest_ >= kNotch || wheelRest_ <= -kNotch) {
    const bool towardUser = wheelRest_ < 0;
    wheelRest_ += towardUser ? kNotch : -kNotch;
    switch (Option.wheel[base + (towardUser ? 1 : 0) - 10]) {
      case 1: ActionPageNextExecute(this); break;
      case 2: ActionPageBackExecute(this); break;
      case 3: ActionWindowFontUpExecute(this); break;
      case 4: ActionWindowFontDownExecute(this); break;
      case 5: ActionWindowRubyUpExecute(this); break;
      case 6: ActionWindowRubyDownExecute(this); break;
      default: break;
    }
    // An action may have opened another document or closed this one.
    if (!IsLaidOut()) {
      wheelRest_ = 0;
      return;
    }
  }
}

void TForm1::wheelEvent(QWheelEvent* e) {
  e->accept();
  guarded([&] { WheelAction(e->angleDelta().y(), e->modifiers()); });
}

void TForm1::SideButtonAction(int index) {
  if (!IsLaidOut()) return;
  index = index < 0 ? 0 : index > 1 ? 1 : index;
  // The side codes are the click codes without the one that reads the click's side.
  const int code = Option.side[index];
  if (code >= 1 && code <= 2) RunClickCode(code, 0);
  else if (code >= 3 && code <= 5) RunClickCode(code + 1, 0);
}

bool TForm1::ApplicationMessage(QObject*, QEvent* e) {
  if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick) return false;
  const Qt::MouseButton button = static_cast<QMouseEvent*>(e)->button();
  if (button != Qt::BackButton && button != Qt::ForwardButton) return false;
  // A modal dialog keeps its own use of the side buttons.
  if (QApplication::activeModalWidget()) return false;
  // Taken the first time it is seen, bound or not: no widget gets it after us. A quick
  // second press comes as a press and then a double click: the press is the one action.
  if (e->type() == QEvent::MouseButtonPress) guarded([&] { SideButtonAction(button == Qt::BackButton ? 0 : 1); });
  return true;
}

void TForm1::ImageViewMouseMove(int x, int y) {
  if (Option.ruby_tag && Annotations.any) renderer().ShowAnnotationHint(x, y, Annotations);
}

// ---------------------------------------------------------------- hint window

QSize TForm1::hintSize(const std::string& textUtf8, int32_t maxWidth) {
  return HintWindow_->measure(QString::fromStdString(textUtf8), maxWidth);
}

QSize TForm1::cursorSize() {
  // The pointer theme's size when the session gives one.
  const QByteArray env = qgetenv("XCURSOR_SIZE");
  bool ok = false;
  const int n = env.toInt(&ok);
  if (ok && n > 0 && n <= 1024) return QSize(n, n);
  return QSize(32, 32);
}

void TForm1::showHint(const std::string& textUtf8, const QRect& rect) {
  HintWindow_->showAt(rect, QString::fromStdString(textUtf8));
}

void TForm1::hideHint() {
  if (HintWindow_) HintWindow_->hide();
}

}  // namespace yomira
