#include "windows/controls/ux_static_text.h"

#include "controls_fixture.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>

#include <memory>

namespace yomira {
namespace {

using UxStaticTextTest = test::ControlsTest;

TEST_F(UxStaticTextTest, PathComesBackExactlyAndIsStoredOnlyWhenItDiffers) {
  UxStaticText label;
  const QString path = QStringLiteral("/home/user/my pictures/ä & <i>b</i>.png");
  EXPECT_TRUE(label.setFilePath(path));
  EXPECT_EQ(label.filePath(), path);
  EXPECT_EQ(label.filePath().toUtf8(), path.toUtf8());
  EXPECT_FALSE(label.setFilePath(path));
  EXPECT_TRUE(label.setFilePath(QString()));
  EXPECT_TRUE(label.filePath().isEmpty());
}

TEST_F(UxStaticTextTest, CaptionThatLooksLikeMarkupShowsAsWritten) {
  UxStaticText label;
  const QString caption = QStringLiteral("<b>x</b>.png & <i>y</i>");
  label.setText(caption);
  // As rich text the tags would vanish and the hint shrink to "x.png & y".
  const QFontMetrics fm(label.font());
  EXPECT_GE(label.sizeHint().width(), fm.horizontalAdvance(caption));
  EXPECT_EQ(label.text(), caption);
}

struct TabWindow {
  QWidget window;
  QLineEdit* before = new QLineEdit(&window);
  UxStaticText* label = new UxStaticText(&window);
  QLineEdit* after = new QLineEdit(&window);
  TabWindow() {
    before->setGeometry(0, 0, 80, 21);
    label->setGeometry(0, 30, 200, 16);
    label->setText(QStringLiteral("( 参照 )"));
    after->setGeometry(0, 50, 80, 21);
    window.resize(220, 80);
  }
};

TEST_F(UxStaticTextTest, TabOntoAndAwayEntersAndExitsOnceEach) {
  TabWindow w;
  QSignalSpy entered(w.label, &UxStaticText::entered);
  QSignalSpy exited(w.label, &UxStaticText::exited);
  w.before->setFocus();
  ASSERT_TRUE(ShowActive(w.window));
  QTest::keyClick(w.before, Qt::Key_Tab);
  ASSERT_TRUE(w.label->hasFocus());
  EXPECT_EQ(entered.count(), 1);
  EXPECT_EQ(exited.count(), 0);
  QTest::keyClick(w.label, Qt::Key_Tab);
  EXPECT_TRUE(w.after->hasFocus());
  EXPECT_EQ(entered.count(), 1);
  EXPECT_EQ(exited.count(), 1);
}

TEST_F(UxStaticTextTest, AnotherWindowTakingTheFocusIsNeitherLeavingNorEntering) {
  TabWindow w;
  w.label->setFocus();
  ASSERT_TRUE(ShowActive(w.window));
  QSignalSpy entered(w.label, &UxStaticText::entered);
  QSignalSpy exited(w.label, &UxStaticText::exited);
  {
    QWidget other;
    other.resize(50, 50);
    ASSERT_TRUE(ShowActive(other));
  }
  ASSERT_TRUE(ShowActive(w.window));
  EXPECT_TRUE(w.label->hasFocus());
  EXPECT_EQ(entered.count(), 0);
  EXPECT_EQ(exited.count(), 0);
}

TEST_F(UxStaticTextTest, KeysWithTextReachTheHolderWhoMaySwallowThem) {
  TabWindow w;
  QStringList seen;
  bool swallowEnter = true;
  QObject::connect(w.label, &UxStaticText::keyPressed, [&](QKeyEvent* e, bool& swallow) {
    seen << e->text();
    if (e->key() == Qt::Key_Return) swallow = swallowEnter;
  });
  int reachedWindow = 0;
  struct Counter : QObject {
    int* n;
    explicit Counter(int* count) : n(count) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::KeyPress) ++*n;
      return false;
    }
  } counter(&reachedWindow);
  w.window.installEventFilter(&counter);
  QTest::keyClick(w.label, Qt::Key_Space);
  QTest::keyClick(w.label, Qt::Key_Shift);  // no text: not offered
  QTest::keyClick(w.label, Qt::Key_Return);
  EXPECT_EQ(seen, (QStringList{" ", "\r"}));
  const int afterSwallowed = reachedWindow;
  swallowEnter = false;
  QTest::keyClick(w.label, Qt::Key_Return);
  EXPECT_EQ(reachedWindow, afterSwallowed + 1);  // passed on to the window
}

TEST_F(UxStaticTextTest, LeftClickIsReportedRightClickIsNot) {
  TabWindow w;
  QSignalSpy clicked(w.label, &UxStaticText::clicked);
  QTest::mouseClick(w.label, Qt::RightButton, {}, QPoint(10, 8));
  EXPECT_EQ(clicked.count(), 0);
  QTest::mouseClick(w.label, Qt::LeftButton, {}, QPoint(10, 8));
  EXPECT_EQ(clicked.count(), 1);
  // Pressed inside, released outside: no click.
  QTest::mousePress(w.label, Qt::LeftButton, {}, QPoint(10, 8));
  QTest::mouseRelease(w.label, Qt::LeftButton, {}, QPoint(10, 40));
  EXPECT_EQ(clicked.count(), 1);
}

}  // namespace
}  // namespace yomira
