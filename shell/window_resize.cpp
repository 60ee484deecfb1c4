// The window border drag. Qt reports neither the start nor the end of a drag: each resize
// event is a step (a preview of the font or the grid the new size gives, in the hint
// window), and the drag counts as ended when no step came for a while and no pointer
// button is held.
#include <QCursor>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "engine/render/Fitting.h"
#include "ui/guard.h"
#include "shell/main_window.h"
#include "sources/history.h"
#include "windows/controls/hint_window.h"

#if defined(YOMIRA_HAVE_XCB)
#include <xcb/xcb.h>
#endif

namespace yomira {
namespace {

constexpr int kSizeMoveQuiet = 300;  // ms without a step that end a drag
constexpr int kHeldPoll = 30;        // ms between looks at a held button

// Whether a pointer button is down now, from the X server; elsewhere the quiet time alone
// ends a drag.
bool PointerButtonHeld() {
#if defined(YOMIRA_HAVE_XCB)
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return false;
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
  if (!it.rem) return false;
  xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, it.data->root), nullptr);
  if (!reply) return false;
  const uint16_t buttons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
  const bool held = (reply->mask & buttons) != 0;
  free(reply);
  return held;
#else
  return false;
#endif
}

// What a size would give, clamped to the ranges the record keeps.
struct SizePreview {
  int32_t f, r, c, v;
};

}  // namespace

void TForm1::bindWindowResize() {
  TimerSizeMoveEnd = new QTimer(this);
  TimerSizeMoveEnd->setObjectName(QStringLiteral("TimerSizeMoveEnd"));
  TimerSizeMoveEnd->setSingleShot(true);
  TimerSizeMoveEnd->setInterval(kSizeMoveQuiet);
  connect(TimerSizeMoveEnd, &QTimer::timeout, this, [this] { guarded([this] { WMExitSizeMove(); }); });
  queryKeyboardModifiers = [] { return QGuiApplication::queryKeyboardModifiers(); };
  queryPointerButtonHeld = [] { return PointerButtonHeld(); };
}

void TForm1::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  guarded([&] { WMSizing(e->size()); });
}

bool TForm1::OwnFitAnswered() const { return !fitClock_.isValid() || fitClock_.hasExpired(kSizeMoveQuiet); }

bool TForm1::sizeMoveEndPending() const { return TimerSizeMoveEnd->isActive(); }

void TForm1::SetInputStateQueries(std::function<Qt::KeyboardModifiers()> modifiers,
                                  std::function<bool()> pointerHeld) {
  queryKeyboardModifiers = std::move(modifiers);
  queryPointerButtonHeld = std::move(pointerHeld);
}

void TForm1::WMSizing(QSize client) {
  if (!IsLaidOut() || IsFullScreen() || fitting_) return;
  if (client == PanelBase->size()) return;
  // The window manager's answer to our own fit: the window keeps it until the next drag.
  if (!OwnFitAnswered() && client != fitSize_) return;

  SizePreview p{Option.f_size, Option.ruby_size, Option.c_size, Option.v_size};
  // The step is the latest moment of the drag seen so far: its Ctrl state decides the end.
  dragCtrl_ = CtrlHeld();
  const int mode = dragCtrl_ ? Option.ResizeCtrl : Option.Resize;
  if (mode == 1) {
    const FontFit fit = FontForWindow(Option, client.height(), client.width());
    p.f = fit.f_size;
    p.r = fit.ruby_size;
  } else if (mode == 2) {
    const GridFit fit = GridForWindow(Option, client.height(), client.width());
    p.c = fit.c_size;
    p.v = fit.v_size;
  }
  p.f = std::clamp(p.f, 6, 256);
  p.r = std::clamp(p.r, 0, 256);
  p.c = std::clamp(p.c, 5, 256);
  p.v = std::clamp(p.v, 10, 512);
  const QString text = QStringLiteral("文字サイズ : %1\nルビサイズ : %2\n行数×字数 : %3×%4")
                           .arg(p.f)
                           .arg(p.r)
                           .arg(p.c)
                           .arg(p.v / 2);
  const QSize size = HintWindow_->measure(text, client.width());
  HintWindow_->showAt(QRect(QCursor::pos() + QPoint(16, 0), size), text);
  TimerSizeMoveEnd->start(kSizeMoveQuiet);
}

bool TForm1::CtrlHeld() const { return queryKeyboardModifiers && (queryKeyboardModifiers() & Qt::ControlModifier); }

void TForm1::WMExitSizeMove() {
  // Still dragging, only holding still.
  if (queryPointerButtonHeld && queryPointerButtonHeld()) {
    // Ctrl as it is while the button is still held; the release follows, and Ctrl may be
    // let go right after it. Looked at often, so a Ctrl pressed just before counts.
    dragCtrl_ = CtrlHeld();
    TimerSizeMoveEnd->start(kHeldPoll);
    return;
  }
  TimerSizeMoveEnd->stop();
  hideHint();
  if (!IsLaidOut() || IsFullScreen()) return;
  if (size() == PanelBase->size()) return;
  // Not Ctrl now: a quick release of Ctrl after the button must not change the mode.
  const int mode = dragCtrl_ ? Option.ResizeCtrl : Option.Resize;
  if (mode == 1) {
    // The ruby size follows the new font size.
    const FontFit fit = FontForWindow(Option, height(), width());
    Option.f_size = fit.f_size;
    Option.ruby_size = fit.ruby_size;
    Option.Validate();
    RelayoutKeepingPlace(true, false);
  } else if (mode == 2) {
    const GridFit fit = GridForWindow(Option, height(), width());
    Option.c_size = fit.c_size;
    Option.v_size = fit.v_size;
    Option.Validate();
    // Where the view holds no text, the saved reading position.
    PendingRate = GetHistoryPosition(RecentFiles);
    RelayoutKeepingPlace(true, true);
  } else {
    // The page is drawn again; the window keeps the dragged size.
    Option.Validate();
    RelayoutKeepingPlace(false, false);
  }
}

}  // namespace yomira
