// Mouse input of the main window on a real layout: clicks on the page image, the wheel,
// the side buttons in every window, and the annotation hint under the pointer.
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/shell/recording_form.h"
#include "windows/controls/hint_window.h"

namespace yomira {
namespace {

using test::RecordingForm;

void Press(QWidget* w, Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p, QEvent::Type t = QEvent::MouseButtonPress) {
  QMouseEvent e(t, QPointF(p), QPointF(w->mapToGlobal(p)), b, t == QEvent::MouseButtonRelease ? Qt::NoButton : b, m);
  QApplication::sendEvent(w, &e);
}

// A whole click: press and release.
void Click(QWidget* w, Qt::MouseButton b, Qt::KeyboardModifiers m = Qt::NoModifier, QPoint p = {250, 250}) {
  Press(w, b, m, p);
  Press(w, b, m, p, QEvent::MouseButtonRelease);
}

void Wheel(QWidget* w, QPoint angle, Qt::KeyboardModifiers m = Qt::NoModifier) {
  QWheelEvent e(QPointF(250, 250), QPointF(w->mapToGlobal(QPoint(250, 250))), QPoint(), angle, Qt::NoButton, m,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

class InputBindings : public test::FormFixture {
 protected:
  // A laid-out 160-line document at view 5.
  std::unique_ptr<RecordingForm> AtView5() {
    auto f = Make();
    Open(*f);
    f->sliderShowView(5);
    EXPECT_EQ(f->session().CurrentView(), 5);
    return f;
  }
};

TEST_F(InputBindings, ClicksOnThePageImage) {
  struct Case {
    const char* name;
    std::function<void(TYomiraOption&)> bind;
    Qt::MouseButton button;
    Qt::KeyboardModifiers mods;
    int x;
    int view;
    bool menu = false;
  };
  const std::vector<Case> cases = {
      {"left", nullptr, Qt::LeftButton, Qt::NoModifier, 250, 6},
      {"right", nullptr, Qt::RightButton, Qt::NoModifier, 250, 4},
      {"middle", nullptr, Qt::MiddleButton, Qt::NoModifier, 250, 5},
      {"side button on the page", nullptr, Qt::BackButton, Qt::NoModifier, 250, 5},
      {"shift right", nullptr, Qt::RightButton, Qt::ShiftModifier, 250, 5, true},
      {"alt is ignored", nullptr, Qt::LeftButton, Qt::AltModifier, 250, 6},
      {"ctrl wins over shift", [](TYomiraOption& o) { o.click[6] = 1; }, Qt::LeftButton,
       Qt::ControlModifier | Qt::ShiftModifier, 250, 6},
      {"ctrl right unbound", nullptr, Qt::RightButton, Qt::ControlModifier, 250, 5},
      {"by side, middle pixel", [](TYomiraOption& o) { o.click[0] = 3; }, Qt::LeftButton, Qt::NoModifier, 246, 6},
      {"by side, right half", [](TYomiraOption& o) { o.click[0] = 3; }, Qt::LeftButton, Qt::NoModifier, 247, 4},
      {"code 7 does nothing", [](TYomiraOption& o) { o.click[0] = 7; }, Qt::LeftButton, Qt::NoModifier, 250, 5},
      {"code -1 does nothing", [](TYomiraOption& o) { o.click[0] = -1; }, Qt::LeftButton, Qt::NoModifier, 250, 5},
      {"shift middle bound", [](TYomiraOption& o) { o.click[5] = 2; }, Qt::MiddleButton, Qt::ShiftModifier, 250, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = AtView5();
    ASSERT_EQ(f->child<ImageView>("ImageView")->width(), 492);
    if (c.bind) c.bind(f->session().state().option);
    Click(f->child<ImageView>("ImageView"), c.button, c.mods, QPoint(c.x, 250));
    EXPECT_EQ(f->session().CurrentView(), c.view);
    EXPECT_EQ(f->mainMenu().menu->isVisible(), c.menu);
    f->mainMenu().menu->hide();
  }
}

TEST_F(InputBindings, ClickCode5OpensTheNextFileOfTheFolder) {
  Write("e.txt", test::NumberedLines(20));
  auto f = AtView5();
  f->session().state().option.click[0] = 5;
  Click(f->child<ImageView>("ImageView"), Qt::LeftButton);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[e.txt] - yomira"));
  f->session().state().option.click[0] = 6;
  Click(f->child<ImageView>("ImageView"), Qt::LeftButton);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[doc.txt] - yomira"));
}

TEST_F(InputBindings, BothPressesOfADoubleClickTurn) {
  auto f = AtView5();
  // What the window system delivers for a quick pair.
  Press(f->child<ImageView>("ImageView"), Qt::LeftButton, Qt::NoModifier, {250, 250});
  Press(f->child<ImageView>("ImageView"), Qt::LeftButton, Qt::NoModifier, {250, 250}, QEvent::MouseButtonRelease);
  Press(f->child<ImageView>("ImageView"), Qt::LeftButton, Qt::NoModifier, {250, 250}, QEvent::MouseButtonDblClick);
  Press(f->child<ImageView>("ImageView"), Qt::LeftButton, Qt::NoModifier, {250, 250}, QEvent::MouseButtonRelease);
  EXPECT_EQ(f->session().CurrentView(), 7);
  // Nothing reached the window's own handler (a right press there opens the menu).
  Press(f->child<ImageView>("ImageView"), Qt::RightButton, Qt::NoModifier, {250, 250}, QEvent::MouseButtonDblClick);
  EXPECT_EQ(f->session().CurrentView(), 6);
  EXPECT_FALSE(f->IsFullScreen());
}

TEST_F(InputBindings, NothingRunsBeforeALayout) {
  auto f = Make();
  const int page = f->session().CurrentView();
  f->session().state().option.click[3] = 4;  // Shift + left: the menu
  f->session().state().option.wheel[1] = 4;  // down: font down
  Click(f->child<ImageView>("ImageView"), Qt::LeftButton, Qt::ShiftModifier);
  Wheel(f.get(), {0, -120});
  EXPECT_FALSE(f->mainMenu().menu->isVisible());
  EXPECT_EQ(f->session().CurrentView(), page);
  EXPECT_EQ(f->session().state().option.f_size, 14);
  EXPECT_TRUE(f->relayouts.empty());
}

TEST_F(InputBindings, TheWheel) {
  struct Case {
    const char* name;
    std::vector<int> deltas;
    Qt::KeyboardModifiers mods;
    std::function<void(TYomiraOption&)> bind;
    int view;
    int font;
    std::vector<std::pair<bool, bool>> relayouts;
  };
  const std::vector<Case> cases = {
      {"toward the user", {-120}, Qt::NoModifier, nullptr, 6, 14, {}},
      {"away", {120}, Qt::NoModifier, nullptr, 4, 14, {}},
      {"two notches in one event", {-240}, Qt::NoModifier, nullptr, 7, 14, {}},
      {"ctrl up: font up", {120}, Qt::ControlModifier, [](TYomiraOption& o) { o.wheel[2] = 3; }, 5, 15,
       {{true, false}}},
      {"ctrl wins over shift", {120}, Qt::ControlModifier | Qt::ShiftModifier,
       [](TYomiraOption& o) {
         o.wheel[2] = 3;
         o.wheel[4] = 4;
       },
       5, 15, {{true, false}}},
      {"shift down: font down", {-120}, Qt::ShiftModifier, [](TYomiraOption& o) { o.wheel[5] = 4; }, 5, 13,
       {{true, false}}},
      {"horizontal scroll", {0}, Qt::NoModifier, nullptr, 5, 14, {}},
      {"eight small steps make a notch", {-15, -15, -15, -15, -15, -15, -15, -15}, Qt::NoModifier, nullptr, 6, 14, {}},
      {"seven do not", {-15, -15, -15, -15, -15, -15, -15}, Qt::NoModifier, nullptr, 5, 14, {}},
      {"a change of direction drops the rest", {-60, 60, -60}, Qt::NoModifier, nullptr, 5, 14, {}},
      {"unbound ctrl", {-120}, Qt::ControlModifier, nullptr, 5, 14, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = AtView5();
    if (c.bind) c.bind(f->session().state().option);
    for (int d : c.deltas) Wheel(f.get(), c.name == std::string("horizontal scroll") ? QPoint(120, 0) : QPoint(0, d), c.mods);
    EXPECT_EQ(f->session().CurrentView(), c.view);
    EXPECT_EQ(f->session().state().option.f_size, c.font);
    EXPECT_EQ(f->relayouts, c.relayouts);
  }
}

// Counts the presses that reach it.
class PressCounter : public QWidget {
 public:
  int presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void mouseDoubleClickEvent(QMouseEvent*) override { ++presses; }
};

TEST_F(InputBindings, SideButtonsAreTakenInEveryWindow) {
  auto f = AtView5();
  f->session().state().option.side[0] = 1;
  f->session().state().option.side[1] = 2;
  int pagePresses = 0;
  f->child<ImageView>("ImageView")->onPress = [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { ++pagePresses; };
  PressCounter other;
  other.resize(100, 100);
  std::vector<QWidget*> targets = {f->child<ImageView>("ImageView"), f->child("PanelBottomBase"), &other};
  for (QWidget* t : targets) {
    SCOPED_TRACE(t->objectName().toStdString());
    f->sliderShowView(5);
    Press(t, Qt::BackButton, Qt::NoModifier, {5, 5});
    EXPECT_EQ(f->session().CurrentView(), 6);
    Press(t, Qt::ForwardButton, Qt::NoModifier, {5, 5});
    Press(t, Qt::ForwardButton, Qt::NoModifier, {5, 5}, QEvent::MouseButtonRelease);
    Press(t, Qt::ForwardButton, Qt::NoModifier, {5, 5});
    EXPECT_EQ(f->session().CurrentView(), 4);
  }
  EXPECT_EQ(pagePresses, 0);
  EXPECT_EQ(other.presses, 0);

  // Unbound: still taken, nothing runs.
  f->session().state().option.side[0] = 0;
  f->session().state().option.side[1] = 0;
  Press(&other, Qt::BackButton, Qt::NoModifier, {5, 5});
  Press(&other, Qt::ForwardButton, Qt::NoModifier, {5, 5});
  EXPECT_EQ(other.presses, 0);
  EXPECT_EQ(f->session().CurrentView(), 4);

  // Code 3: the main menu.
  f->session().state().option.side[0] = 3;
  Press(&other, Qt::BackButton, Qt::NoModifier, {5, 5});
  EXPECT_TRUE(f->mainMenu().menu->isVisible());
  f->mainMenu().menu->hide();
  EXPECT_EQ(other.presses, 0);

  // Other buttons pass.
  Press(&other, Qt::LeftButton, Qt::NoModifier, {5, 5});
  EXPECT_EQ(other.presses, 1);
}

TEST_F(InputBindings, OneSideButtonActionPerPhysicalPress) {
  // What Qt delivers: the second press of a quick pair is a press and then a double click.
  using T = QEvent::Type;
  const T press = QEvent::MouseButtonPress, release = QEvent::MouseButtonRelease, dbl = QEvent::MouseButtonDblClick;
  struct Case {
    const char* name;
    std::vector<T> events;
    int view;  // from 5, next page bound
  };
  const Case cases[] = {
      {"single", {press, release}, 6},
      {"double", {press, release, press, dbl, release}, 7},
      {"triple", {press, release, press, dbl, release, press, release}, 8},
      {"a double click alone", {dbl, release}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = AtView5();
    f->session().state().option.side[0] = 1;
    PressCounter other;
    for (T t : c.events) Press(&other, Qt::BackButton, Qt::NoModifier, {5, 5}, t);
    EXPECT_EQ(f->session().CurrentView(), c.view);
    // Taken all the same: the widget sees none of them.
    EXPECT_EQ(other.presses, 0);
  }
}

TEST_F(InputBindings, SideButtonsBeforeALayoutAreTakenAndDoNothing) {
  auto f = Make();
  f->session().state().option.side[0] = 3;
  PressCounter other;
  Press(&other, Qt::BackButton, Qt::NoModifier, {5, 5});
  EXPECT_EQ(other.presses, 0);
  EXPECT_FALSE(f->mainMenu().menu->isVisible());
}

TEST_F(InputBindings, AModalDialogKeepsTheSideButtons) {
  auto f = AtView5();
  f->session().state().option.side[0] = 1;
  QDialog dialog;
  dialog.setWindowModality(Qt::ApplicationModal);
  PressCounter inDialog;
  inDialog.setParent(&dialog);
  dialog.show();
  ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
  Press(&inDialog, Qt::BackButton, Qt::NoModifier, {5, 5});
  EXPECT_EQ(inDialog.presses, 1);
  EXPECT_EQ(f->session().CurrentView(), 5);
  dialog.hide();
  Press(&inDialog, Qt::BackButton, Qt::NoModifier, {5, 5});
  EXPECT_EQ(inDialog.presses, 1);
  EXPECT_EQ(f->session().CurrentView(), 6);
}

TEST_F(InputBindings, TheAnnotationUnderThePointerIsShownInTheHint) {
  const std::string notes = test::sj(u8"猫［＃注記一］がいる。\r\n犬がいて［＃注記二］吠える。\r\n");
  auto move = [](QWidget* w, QPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  };
  auto f = Make();
  OpenBytes(*f, "notes.txt", notes);
  EXPECT_TRUE(f->child<ImageView>("ImageView")->hasMouseTracking());
  move(f->child<ImageView>("ImageView"), {448, 31});
  EXPECT_TRUE(f->child<HintWindow>("HintWindow")->isVisible());
  EXPECT_EQ(f->child<HintWindow>("HintWindow")->text(), QStringLiteral("注記一"));
  // Placed 16 px right of the pointer.
  EXPECT_EQ(f->child<HintWindow>("HintWindow")->geometry().topLeft(), f->child<ImageView>("ImageView")->mapToGlobal(QPoint(448 + 16, 31)));
  move(f->child<ImageView>("ImageView"), {300, 300});
  EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());

  // Deactivating the window hides a note.
  move(f->child<ImageView>("ImageView"), {448, 31});
  ASSERT_TRUE(f->child<HintWindow>("HintWindow")->isVisible());
  f->FormDeactivate();
  EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());

  // Without the notation nothing is shown.
  f->session().state().option.ruby_tag = 0;
  move(f->child<ImageView>("ImageView"), {448, 31});
  EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());
}

TEST(CursorSize, ComesFromTheSessionWhenItGivesOne) {
  struct Case {
    const char* env;
    int side;
  };
  for (const Case& c : {Case{nullptr, 32}, Case{"48", 48}, Case{"junk", 32}, Case{"-4", 32}, Case{"0", 32}}) {
    SCOPED_TRACE(c.env ? c.env : "unset");
    if (c.env) qputenv("XCURSOR_SIZE", c.env);
    else qunsetenv("XCURSOR_SIZE");
    test::FakeShellEnv env;
    test::TempDir home;
    TForm1::Setup s;
    s.env = &env;
    s.dataFolder = home.path().string();
    TForm1 f(std::move(s));
    EXPECT_EQ(f.cursorSize(), QSize(c.side, c.side));
  }
  qunsetenv("XCURSOR_SIZE");
}

}  // namespace
}  // namespace yomira
