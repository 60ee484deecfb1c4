// Window and option actions: full screen, the book window's options, stepping the mouse
// through the annotations of the view, and the main menu's rules as it opens.
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>

#include "platform/shell_env.h"
#include "shell/main_menu.h"
#include "ui/guard.h"
#include "shell/main_window.h"
#include "windows/controls/window_util.h"

namespace yomira {
namespace {

// Runs fn on a left click of the watched widget.
class ClickFilter : public QObject {
 public:
  ClickFilter(QObject* parent, std::function<void()> fn) : QObject(parent), fn_(std::move(fn)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
      guarded(fn_);
      return true;
    }
    return QObject::eventFilter(watched, e);
  }

 private:
  std::function<void()> fn_;
};

}  // namespace

void TForm1::bindWindowActions() {
  bindAction("ActionOptionBookStayOnTop", &TForm1::ActionOptionBookStayOnTopExecute);
  bindAction("ActionWindowAnnotate", &TForm1::ActionWindowAnnotateExecute);
  ImageEasterEgg->installEventFilter(new ClickFilter(ImageEasterEgg, [this] { ImageEasterEggClick(); }));
  connect(menu_.menu, &QMenu::aboutToShow, this, [this] { guarded([this] { PopupMenuMainPopup(); }); });
}

void TForm1::ActionOptionFullScreenExecute(QObject*) {
  if (!IsLaidOut()) return;
  // The state goes first: the resizes below are the program's own, not the user's.
  session_.fullScreen = !session_.fullScreen;
  if (Action* action = actions_.find("ActionOptionFullScreen")) action->checked = session_.fullScreen;
  menu_.mirrorAll();
  hideHint();
  if (session_.fullScreen) {
    NormalPos = pos();
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->geometry() : QRect(0, 0, 1280, 1024);
    setWindowFlag(Qt::FramelessWindowHint, true);
    // Set explicitly: without a window manager nothing acts on a full-screen state.
    setGeometry(area);
    PanelBase->move((area.width() - PanelBase->width()) / 2, (area.height() - PanelBase->height()) / 2);
  } else {
    PanelBase->move(0, 0);
    // The frame comes back before the client is sized.
    setWindowFlag(Qt::FramelessWindowHint, false);
    resize(PanelBase->size());
    move(ClampToVisibleScreen(QRect(NormalPos, frameGeometry().size())).topLeft());
  }
  show();
  // A window mapped again gets the keyboard only when given it (no window manager), and Qt,
  // which took the hidden window's activation away, does not hand it back by itself.
  activateWindow();
  if (!isActiveWindow()) QApplication::setActiveWindow(this);
}

void TForm1::ActionOptionBookStayOnTopExecute(QObject*) {
  Action& action = actions_.at("ActionOptionBookStayOnTop");
  action.checked = !action.checked;
  if (book_) SetStayOnTop(book_->widget(), action.checked);
}

void TForm1::ActionWindowAnnotateExecute(QObject*) {
  if (!Option.ruby_tag || !Annotations.any) return;
  int32_t cell = 0, line = 0, page = 0, block = 0;
  if (Annotations.FindNext(cell, line, page, block)) {
    // The map counts from 0; the geometry counts cells, pages and blocks from 1.
    const int32_t f = Option.f_size, r = Option.ruby_size;
    const QPoint point(Option.GetLineX(line, page + 1) + f + r / 2, Option.GetCharY(cell + 1, block + 1) + f / 2 - 1);
    int32_t index = -1;
    Annotations.Get(cell, line, page, block, index);
    Annotations.current = index;
    const QPoint global = ImageView_->mapToGlobal(point);
    env_->setCursorPos(global.x(), global.y());
    // Shown at once: the pointer cannot be moved on every desktop.
    renderer_->ShowAnnotationHint(point.x(), point.y(), Annotations);
    return;
  }
  hideHint();
  Annotations.current = -1;  // the next step starts again at the first
  const QPoint global = SpeedButtonMenu->mapToGlobal(QPoint(SpeedButtonMenu->width() / 2, SpeedButtonMenu->height() / 2));
  env_->setCursorPos(global.x(), global.y());
}

void TForm1::ImageEasterEggClick() {
  ImageEasterEgg->hide();
  ImageIcon->show();
}

void TForm1::PopupMenuMainPopup() {
  hideHint();
  // Keys change checks without passing the menu.
  menu_.mirrorAll();
  ApplyMainMenuRules(menu_, MainMenuState{IsLaidOut(), !env_->clipboardText().empty(), RecentFiles.size(),
                                          StyleNames.size(), Option.ruby_tag != 0});
}

}  // namespace yomira
