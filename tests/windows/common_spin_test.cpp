#include "windows/controls/common_spin.h"

#include "controls_fixture.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QSignalSpy>

#include <memory>
#include <stdexcept>

namespace yomira {
namespace {

using CommonSpinTest = test::ControlsTest;

TEST_F(CommonSpinTest, TimerButtonRepeatsOnlyWhileHeld) {
  TimerSpeedButton b;
  b.resize(20, 12);
  b.setAllowTimer(true);
  b.show();
  QSignalSpy clicks(&b, &QAbstractButton::clicked);
  QTest::mousePress(&b, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);  // the first repeat waits 300 ms
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() >= 3; }));
  QTest::mouseRelease(&b, Qt::LeftButton);
  const int afterRelease = clicks.count();
  QTest::qWait(3 * TimerSpeedButton::kFirstRepeatMs);
  EXPECT_EQ(clicks.count(), afterRelease);

  TimerSpeedButton single;
  single.resize(20, 12);
  single.show();
  QSignalSpy one(&single, &QAbstractButton::clicked);
  QTest::mousePress(&single, Qt::LeftButton);
  QTest::qWait(3 * TimerSpeedButton::kFirstRepeatMs);
  QTest::mouseRelease(&single, Qt::LeftButton);
  EXPECT_EQ(one.count(), 1);
}

TEST_F(CommonSpinTest, ThrowingRepeatStopsAndReachesTheGuard) {
  test::CaughtFaults().clear();
  TimerSpeedButton b;
  b.resize(20, 12);
  b.setAllowTimer(true);
  b.show();
  int clicks = 0;
  QObject::connect(&b, &QAbstractButton::clicked, [&] {
    ++clicks;
    throw std::runtime_error("handler failed");
  });
  QTest::mousePress(&b, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([] { return test::CaughtFaults().size() == 1; }));
  QTest::mouseMove(&b, QPoint(4, 4));
  QTest::qWait(3 * TimerSpeedButton::kFirstRepeatMs);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b.isDown());
  QTest::mouseRelease(&b, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST_F(CommonSpinTest, SpinButtonSplitsItsHeight) {
  struct Case {
    QSize size;
    int width;
    QRect up, down;
  };
  const Case cases[] = {
      {{20, 25}, 20, {0, 0, 20, 12}, {0, 13, 20, 12}},
      {{10, 24}, 15, {0, 0, 15, 12}, {0, 12, 15, 12}},
  };
  CommonSpinButton fresh;
  EXPECT_EQ(fresh.size(), QSize(20, 25));
  EXPECT_FALSE(fresh.tabStop());
  for (const Case& c : cases) {
    CommonSpinButton s;
    s.resize(c.size);
    s.show();  // a hidden widget gets its resize event when shown
    EXPECT_EQ(s.width(), c.width);
    EXPECT_EQ(s.upButton()->geometry(), c.up);
    EXPECT_EQ(s.downButton()->geometry(), c.down);
    EXPECT_EQ(s.upButton()->comStyle(), clsScrollUp);
    EXPECT_EQ(s.downButton()->comStyle(), clsScrollDown);
  }
}

TEST_F(CommonSpinTest, SpinButtonKeysAndFocusControl) {
  QWidget w;
  auto* s = new CommonSpinButton(&w);
  s->setTabStop(true);
  QSignalSpy up(s, &CommonSpinButton::upClicked);
  QSignalSpy down(s, &CommonSpinButton::downClicked);
  QTest::keyClick(s, Qt::Key_Up);
  EXPECT_EQ(up.count(), 1);
  QTest::keyClick(s, Qt::Key_Space);  // the up button was focused by Up
  EXPECT_EQ(up.count(), 2);
  QTest::keyClick(s, Qt::Key_Down);
  QTest::keyClick(s, Qt::Key_Space);
  EXPECT_EQ(down.count(), 2);
  EXPECT_EQ(s->focusedButton(), s->downButton());

  auto* edit = new QLineEdit(&w);
  edit->move(0, 40);
  s->setFocusControl(edit);
  ASSERT_TRUE(ShowActive(w));
  QTest::mouseClick(s->upButton(), Qt::LeftButton);
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_EQ(s->focusedButton(), s->upButton());
  EXPECT_EQ(up.count(), 3);
  delete edit;
  EXPECT_EQ(s->focusControl(), nullptr);
  QTest::mouseClick(s->downButton(), Qt::LeftButton);  // no control left: the spin button itself
  EXPECT_TRUE(s->hasFocus());
  EXPECT_EQ(down.count(), 3);
}

TEST_F(CommonSpinTest, SpinEditValueComesFromTheText) {
  struct Case {
    int min, max;
    const char* text;
    int value;
  };
  const Case cases[] = {
      {0, 10, "7", 7},   {0, 10, "70", 10}, {0, 10, "00", 0},        {0, 10, "abc", 0},
      {0, 10, "", 0},    {3, 10, "abc", 3}, {3, 10, "0", 3},         {3, 10, "5.5", 3},
      {0, 0, "-40", -40}, {0, 0, "99999999999", std::numeric_limits<int>::max()},
  };
  for (const Case& c : cases) {
    CommonSpinEdit e;
    e.setMinValue(c.min);
    e.setMaxValue(c.max);
    e.setText(QString::fromLatin1(c.text));
    EXPECT_EQ(e.value(), c.value) << c.text << " in " << c.min << ".." << c.max;
  }
}

struct Beeps {
  int count = 0;
  Beeps() {
    CommonSpinEdit::setBeepHook([this] { ++count; });
  }
  ~Beeps() { CommonSpinEdit::setBeepHook(nullptr); }
};

TEST_F(CommonSpinTest, SpinEditLeavingRewritesWhatIsNoValue) {
  struct Case {
    const char* text;
    const char* after;
  };
  const Case cases[] = {{"abc", "3"}, {"5.5", "3"}, {"70", "10"}, {"7", "7"}, {"", "3"}};
  for (const Case& c : cases) {
    QWidget w;
    auto* e = new CommonSpinEdit(&w);
    auto* other = new QLineEdit(&w);
    other->move(0, 40);
    e->setMinValue(3);
    e->setMaxValue(10);
    e->setFocus();
    ASSERT_TRUE(ShowActive(w));
    e->setText(QString::fromLatin1(c.text));
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(e->text(), QString::fromLatin1(c.after)) << c.text;
  }
}

TEST_F(CommonSpinTest, SpinEditTypingAndStepping) {
  Beeps beeps;
  CommonSpinEdit e;
  e.setMaxValue(10);
  e.setValue(5);
  QTest::keyClick(&e, Qt::Key_Up);
  EXPECT_EQ(e.value(), 6);
  QTest::mouseClick(e.button()->downButton(), Qt::LeftButton);
  EXPECT_EQ(e.value(), 5);
  e.clear();
  QTest::keyClicks(&e, QStringLiteral("+-") + QLocale().decimalPoint() + QStringLiteral("4"));
  EXPECT_EQ(e.text(), QStringLiteral("+-") + QLocale().decimalPoint() + QStringLiteral("4"));
  EXPECT_EQ(beeps.count, 0);
  QTest::keyClicks(&e, QStringLiteral("a"));
  EXPECT_EQ(beeps.count, 1);

  e.setValue(5);
  e.setReadOnly(true);
  QTest::keyClick(&e, Qt::Key_Up);
  EXPECT_EQ(e.value(), 5);
  EXPECT_EQ(beeps.count, 2);

  e.setReadOnly(false);
  e.setEditorEnabled(false);
  e.end(false);
  QTest::keyClicks(&e, QStringLiteral("5"));
  QTest::keyClick(&e, Qt::Key_Backspace);
  EXPECT_EQ(e.text(), "5");
  EXPECT_EQ(beeps.count, 4);
  QTest::keyClick(&e, Qt::Key_Up);
  EXPECT_EQ(e.value(), 6);
  QApplication::clipboard()->setText(QStringLiteral("9"));
  QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e.text(), "6");  // no paste with the editor off

  e.setMinValue(0);
  e.setMaxValue(0);
  e.setIncrement(std::numeric_limits<int>::max());
  e.setValue(std::numeric_limits<int>::max());
  QTest::keyClick(&e, Qt::Key_Up);
  EXPECT_EQ(e.value(), std::numeric_limits<int>::max());
}

TEST_F(CommonSpinTest, SpinEditSelectsAllOnEnteringWhenAsked) {
  for (bool autoSelect : {true, false}) {
    QWidget w;
    auto* e = new CommonSpinEdit(&w);
    e->setText(QStringLiteral("42"));
    e->setAutoSelect(autoSelect);
    ASSERT_TRUE(ShowActive(w));
    e->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(e->selectedText(), autoSelect ? "42" : "") << autoSelect;
  }
}

TEST_F(CommonSpinTest, SpinEditIsRaisedToItsMinimumHeight) {
  CommonSpinEdit e;
  const int app = QFontMetrics(QApplication::font()).height();
  QFont big = e.font();
  big.setPixelSize(30);
  e.setFont(big);
  const int font = QFontMetrics(big).height();
  e.resize(60, 5);
  e.show();
  EXPECT_EQ(e.height(), 4 + std::min(app, font) / 4 + font + 2);
  EXPECT_EQ(e.button()->width(), CommonSpinEdit::kButtonWidth);
  EXPECT_EQ(e.button()->geometry().right(), e.width() - 2);  // inside the 1-pixel frame
}

}  // namespace
}  // namespace yomira
