#include "windows/controls/ux_spin_edit.h"

#include "controls_fixture.h"

#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>
#include <limits>
#include <stdexcept>
#include <vector>

namespace yomira {
namespace {

using UxSpinEditTest = test::ControlsTest;
constexpr int kIntMax = std::numeric_limits<int>::max();

void Wheel(QWidget* target, int delta) {
  QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &e);
}

void Keys(QWidget* target, Qt::Key key, int times) {
  for (int i = 0; i < times; ++i) QTest::keyClick(target, key);
}

void SelectAllAndType(UxSpinEdit& edit, const char* text) {
  edit.selectAll();
  QTest::keyClicks(&edit, QString::fromLatin1(text));
}

// A spin edit and a plain edit to move the focus to, in a shown, active window.
struct Window {
  QWidget window;
  UxSpinEdit* spin = new UxSpinEdit(&window);
  QLineEdit* other = new QLineEdit(&window);
  Window(int min, int max, int value) {
    spin->setGeometry(10, 10, 41, 21);
    other->setGeometry(10, 40, 80, 21);
    window.resize(120, 70);
    spin->setMinValue(min);
    spin->setMaxValue(max);
    spin->setValue(value);
    spin->setFocus();
  }
};

TEST_F(UxSpinEditTest, StartsAtZeroWithTheDefaults) {
  UxSpinEdit edit;
  EXPECT_EQ(edit.value(), 0);
  EXPECT_EQ(edit.minValue(), 0);
  EXPECT_EQ(edit.maxValue(), 0);
  EXPECT_EQ(edit.increment(), 1);
  EXPECT_EQ(edit.text(), "0");
  EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
  EXPECT_FALSE(edit.testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_EQ(edit.upDown()->objectName(), "UxUpDown");
}

// Typed text is read back at once but shown as typed until the edit is left.
TEST_F(UxSpinEditTest, TypedTextShowsAsTypedUntilLeaving) {
  struct Case {
    const char* what;
    std::function<void(UxSpinEdit&)> type;
    int value;
    QString text;
    QString textAfterLeaving;
  };
  const Case cases[] = {
      {"above the bounds", [](UxSpinEdit& e) { SelectAllAndType(e, "300"); }, 256, "300", "256"},
      {"emptied", [](UxSpinEdit& e) { e.selectAll(); QTest::keyClick(&e, Qt::Key_Delete); }, 6, "", "6"},
      {"beyond int", [](UxSpinEdit& e) { SelectAllAndType(e, "99999999999"); }, 256, "99999999999", "256"},
      {"in range", [](UxSpinEdit& e) { SelectAllAndType(e, "042"); }, 42, "042", "42"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Window w(6, 256, 12);
    ASSERT_TRUE(ShowActive(w.window));
    QSignalSpy exited(w.spin, &UxSpinEdit::exited);
    c.type(*w.spin);
    EXPECT_EQ(w.spin->value(), c.value);
    EXPECT_EQ(w.spin->text(), c.text);
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.spin->text(), c.textAfterLeaving);
    EXPECT_EQ(w.spin->value(), c.value);
    EXPECT_EQ(exited.count(), 1);
  }
}

TEST_F(UxSpinEditTest, EqualBoundsTakeAnyValueAndNeverOverflow) {
  UxSpinEdit edit;  // bounds 0..0
  edit.setValue(-40);
  EXPECT_EQ(edit.value(), -40);
  EXPECT_EQ(edit.text(), "-40");
  QTest::keyClick(&edit, Qt::Key_Up);
  EXPECT_EQ(edit.value(), -39);

  edit.setValue(kIntMax);
  QTest::keyClick(&edit, Qt::Key_Up);
  EXPECT_EQ(edit.value(), kIntMax);
  Wheel(&edit, 120);
  EXPECT_EQ(edit.value(), kIntMax);
  EXPECT_EQ(edit.text(), QString::number(kIntMax));

  edit.setValue(std::numeric_limits<int>::min());
  edit.setIncrement(kIntMax);
  QTest::keyClick(&edit, Qt::Key_Down);
  EXPECT_EQ(edit.value(), std::numeric_limits<int>::min());

  SelectAllAndType(edit, "99999999999");
  EXPECT_EQ(edit.value(), kIntMax);
}

TEST_F(UxSpinEditTest, EveryWayDownStopsAtTheLowerBound) {
  struct Case {
    const char* what;
    std::function<void(UxSpinEdit&)> down;
  };
  const Case cases[] = {
      {"Down key", [](UxSpinEdit& e) { Keys(&e, Qt::Key_Down, 7); }},
      {"Page Down", [](UxSpinEdit& e) { Keys(&e, Qt::Key_PageDown, 7); }},
      {"wheel notches", [](UxSpinEdit& e) { for (int i = 0; i < 7; ++i) Wheel(&e, -120); }},
      {"small wheel deltas", [](UxSpinEdit& e) { for (int i = 0; i < 21; ++i) Wheel(&e, -40); }},
      {"wheel over the arrows", [](UxSpinEdit& e) { for (int i = 0; i < 7; ++i) Wheel(e.downButton(), -120); }},
      {"lower arrow", [](UxSpinEdit& e) { for (int i = 0; i < 7; ++i) QTest::mouseClick(e.downButton(), Qt::LeftButton); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UxSpinEdit edit;
    edit.setMinValue(-5);
    edit.setMaxValue(256);
    c.down(edit);
    EXPECT_EQ(edit.value(), -5);
    EXPECT_EQ(edit.text(), "-5");
  }
}

TEST_F(UxSpinEditTest, StepsByTheIncrement) {
  struct Case {
    const char* what;
    int increment;
    int start;
    Qt::Key key;
    int times;
    int value;
  };
  const Case cases[] = {
      {"Page Up", 5, 12, Qt::Key_PageUp, 1, 17},
      {"Page Down twice", 5, 17, Qt::Key_PageDown, 2, 7},
      {"Page Down twice past the bound", 5, 12, Qt::Key_PageDown, 2, 6},
      {"Up", 1, 12, Qt::Key_Up, 3, 15},
      {"Down at the lower bound", 1, 6, Qt::Key_Down, 1, 6},
      {"Page Down at the lower bound", 1, 6, Qt::Key_PageDown, 1, 6},
      {"Up at the upper bound", 1, 256, Qt::Key_Up, 1, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UxSpinEdit edit;
    edit.setMaxValue(256);
    edit.setMinValue(6);
    edit.setIncrement(c.increment);
    edit.setValue(c.start);
    Keys(&edit, c.key, c.times);
    EXPECT_EQ(edit.value(), c.value);
    EXPECT_EQ(edit.text(), QString::number(c.value));
  }
  UxSpinEdit edit;
  QTest::mouseClick(edit.upButton(), Qt::LeftButton);
  EXPECT_EQ(edit.value(), 1);
  Wheel(&edit, 40);
  Wheel(&edit, 40);
  EXPECT_EQ(edit.value(), 1);  // two thirds of a notch
  Wheel(&edit, 40);
  EXPECT_EQ(edit.value(), 2);
}

TEST_F(UxSpinEditTest, BoundSettersClampTheValueAgain) {
  UxSpinEdit edit;
  edit.setMaxValue(256);
  edit.setMinValue(6);
  EXPECT_EQ(edit.value(), 6);
  EXPECT_EQ(edit.text(), "6");
  edit.setValue(200);
  edit.setMaxValue(100);
  EXPECT_EQ(edit.value(), 100);
  EXPECT_EQ(edit.text(), "100");
}

TEST_F(UxSpinEditTest, OnlyDigitsCanBeTypedOrPasted) {
  UxSpinEdit edit;
  edit.setMinValue(-5);
  edit.setMaxValue(256);
  edit.setValue(-3);
  edit.end(false);
  for (const char* refused : {"-", "x", "+", " ", ".", "a"}) QTest::keyClicks(&edit, QString::fromLatin1(refused));
  QTest::keyClick(&edit, Qt::Key_A, Qt::ShiftModifier);
  EXPECT_EQ(edit.text(), "-3");
  QKeyEvent fullWidth(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("１"));
  QApplication::sendEvent(&edit, &fullWidth);  // a full-width digit is no digit here
  EXPECT_EQ(edit.text(), "-3");
  QTest::keyClick(&edit, Qt::Key_Backspace);  // editing keys still work
  EXPECT_EQ(edit.text(), "-");
  QTest::keyClicks(&edit, QStringLiteral("4"));
  EXPECT_EQ(edit.text(), "-4");
  EXPECT_EQ(edit.value(), -4);

  UxSpinEdit paste;
  paste.setMinValue(6);
  paste.setMaxValue(256);
  paste.setValue(12);
  QApplication::clipboard()->setText(QStringLiteral("1a2"));
  paste.selectAll();
  QTest::keyClick(&paste, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(paste.text(), "12");
  EXPECT_EQ(paste.value(), 12);
  QApplication::clipboard()->setText(QStringLiteral("-x"));
  paste.selectAll();
  QTest::keyClick(&paste, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(paste.text(), "12");  // nothing to insert: the selection stays
}

TEST_F(UxSpinEditTest, InputMethodCommitsOnlyDigits) {
  UxSpinEdit edit;
  edit.selectAll();
  QInputMethodEvent e(QString(), {});
  e.setCommitString(QStringLiteral("4a-2"));
  QApplication::sendEvent(&edit, &e);
  EXPECT_EQ(edit.text(), "42");
  EXPECT_EQ(edit.value(), 42);
}

TEST_F(UxSpinEditTest, DisabledEditIgnoresKeysWheelAndArrows) {
  UxSpinEdit edit;
  edit.setMaxValue(256);
  edit.setMinValue(6);
  edit.setValue(12);
  edit.setEnabled(false);
  EXPECT_FALSE(edit.upButton()->isEnabled());
  EXPECT_FALSE(edit.downButton()->isEnabled());
  QTest::keyClick(&edit, Qt::Key_Up);
  QTest::keyClicks(&edit, QStringLiteral("5"));
  Wheel(&edit, 120);
  QTest::mouseClick(edit.upButton(), Qt::LeftButton);
  EXPECT_EQ(edit.value(), 12);
  EXPECT_EQ(edit.text(), "12");
  edit.setEnabled(true);
  EXPECT_TRUE(edit.upButton()->isEnabled());
}

TEST_F(UxSpinEditTest, ChangedSeesTheValueReadBackAndOnlyRealChanges) {
  UxSpinEdit edit;
  edit.setMaxValue(256);
  edit.setMinValue(6);
  edit.setValue(12);
  std::vector<std::pair<int, QString>> seen;
  QObject::connect(&edit, &UxSpinEdit::changed, [&] { seen.emplace_back(edit.value(), edit.text()); });
  SelectAllAndType(edit, "300");
  using Seen = std::vector<std::pair<int, QString>>;
  EXPECT_EQ(seen, (Seen{{6, "3"}, {30, "30"}, {256, "300"}}));
  seen.clear();
  QTest::keyClick(&edit, Qt::Key_Up);  // 300 -> 256: a new text
  EXPECT_EQ(seen, (Seen{{256, "256"}}));
  QTest::keyClick(&edit, Qt::Key_Up);  // still 256: no change, no notice
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(UxSpinEditTest, ArrowClickStepsAndTakesTheFocus) {
  Window w(6, 256, 12);
  ASSERT_TRUE(ShowActive(w.window));
  w.other->setFocus(Qt::TabFocusReason);
  QSignalSpy entered(w.spin, &UxSpinEdit::entered);
  QTest::mouseClick(w.spin->upButton(), Qt::LeftButton);
  EXPECT_EQ(w.spin->value(), 13);
  EXPECT_TRUE(w.spin->hasFocus());
  EXPECT_EQ(entered.count(), 1);
  EXPECT_EQ(w.spin->upButton()->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(w.spin->upDown()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(UxSpinEditTest, HeldArrowRepeats) {
  UxSpinEdit edit;
  edit.show();
  QTest::mousePress(edit.upButton(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return edit.value() >= 3; }));
  QTest::mouseRelease(edit.upButton(), Qt::LeftButton);
}

// A holder whose handler throws while an arrow is held: the repeat stops, the guard gets it.
class ThrowingSpin : public UxSpinEdit {
 public:
  void setValue(int value) override {
    if (value >= 3) throw std::runtime_error("no more");
    UxSpinEdit::setValue(value);
  }
};

TEST_F(UxSpinEditTest, ThrowingStepStopsTheRepeat) {
  test::CaughtFaults().clear();
  ThrowingSpin edit;
  edit.show();
  QTest::mousePress(edit.upButton(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([] { return test::CaughtFaults().size() == 1; }));
  EXPECT_EQ(test::CaughtFaults().front(), "no more");
  EXPECT_FALSE(edit.upButton()->isDown());
  QTest::mouseMove(edit.upButton(), QPoint(3, 3));  // the pointer still over the held button
  // Nothing may come of it: wait past the first repeat and two more.
  QTest::qWait(edit.upButton()->autoRepeatDelay() + 2 * edit.upButton()->autoRepeatInterval());
  EXPECT_EQ(test::CaughtFaults().size(), 1);
  EXPECT_EQ(edit.value(), 2);
  QTest::mouseRelease(edit.upButton(), Qt::LeftButton);
}

TEST_F(UxSpinEditTest, ModalBoxFromATimerNeitherLeavesNorRewrites) {
  Window w(6, 256, 12);
  ASSERT_TRUE(ShowActive(w.window));
  QSignalSpy entered(w.spin, &UxSpinEdit::entered);
  QSignalSpy exited(w.spin, &UxSpinEdit::exited);
  SelectAllAndType(*w.spin, "300");
  bool boxWasActive = false;
  QTimer::singleShot(0, [&] {
    QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("m"), QMessageBox::Ok);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (QApplication::activeWindow() != &box) return;
      boxWasActive = true;
      box.accept();
    });
    poll.start(10);
    box.exec();
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxWasActive; }));
  // The box is gone; the window gets the keyboard back as a window manager gives it.
  ASSERT_TRUE(ShowActive(w.window));
  EXPECT_TRUE(w.spin->hasFocus());
  EXPECT_EQ(w.spin->text(), "300");
  EXPECT_EQ(exited.count(), 0);
  EXPECT_EQ(entered.count(), 0);
}

TEST_F(UxSpinEditTest, SwallowedEnterDoesNotPressTheDefaultButton) {
  for (bool swallow : {true, false}) {
    SCOPED_TRACE(swallow ? "swallowed" : "passed on");
    QDialog dialog;
    auto* spin = new UxSpinEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    ok->move(0, 30);
    QSignalSpy pressed(ok, &QPushButton::clicked);
    QStringList offered;
    QObject::connect(spin, &UxSpinEdit::keyPressed, [&](QKeyEvent* e, bool& s) {
      offered << e->text();
      s = swallow;
    });
    spin->setFocus();
    ASSERT_TRUE(ShowActive(dialog));
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(offered, QStringList{"\r"});
    EXPECT_EQ(pressed.count(), swallow ? 0 : 1);
  }
}

TEST_F(UxSpinEditTest, UpDownSitsInsideTheRightEdgeAndTextStopsBeforeIt) {
  struct Probe : UxSpinEdit {
    using QLineEdit::cursorRect;
  };
  struct Case {
    QSize size;
    QRect upDown;
  };
  const Case cases[] = {
      {{41, 21}, {26, 1, 14, 19}},
      {{200, 30}, {185, 1, 14, 28}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.width());
    Probe edit;
    edit.resize(c.size);
    edit.show();
    EXPECT_EQ(edit.upDown()->geometry(), c.upDown);
    EXPECT_EQ(edit.upButton()->height() + edit.downButton()->height(), c.upDown.height());
    EXPECT_EQ(edit.downButton()->geometry().bottom(), c.upDown.height() - 1);
    edit.setText(QString(40, u'9'));
    edit.end(false);
    EXPECT_EQ(test::DarkColumnsFrom(edit, c.upDown.left()), 0) << "text under the button";  // painting scrolls to the cursor
    EXPECT_LT(edit.cursorRect().center().x(), c.upDown.left());
    edit.resize(c.size.width() + 20, c.size.height());
    EXPECT_EQ(edit.upDown()->geometry(), c.upDown.translated(20, 0));
  }
}

}  // namespace
}  // namespace yomira
