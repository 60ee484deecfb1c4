#include "windows/controls/hint_window.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace yomira {
namespace {

TEST(HintWindow, MeasureWrapsWithinTheWidthAndGrowsByTheLines) {
  HintWindow hint;
  const QString word = QStringLiteral("注記注記注記");
  const QSize one = hint.measure(word, 1000);
  ASSERT_GT(one.width(), 2 * (HintWindow::kFrame + HintWindow::kPadding));
  // Twice the text with a break between, in a width that holds one copy only.
  const QSize two = hint.measure(word + QStringLiteral(" ") + word, one.width() + 4);
  EXPECT_LE(two.width(), one.width() + 4);
  EXPECT_GT(two.height(), one.height());
  // A run with no break opportunity still keeps to the width.
  const QString run(40, QLatin1Char('x'));
  const QSize narrow = hint.measure(run, 60);
  EXPECT_LE(narrow.width(), 60);
  EXPECT_GT(narrow.height(), hint.measure(QStringLiteral("x"), 60).height());
  // Explicit line breaks are lines.
  EXPECT_GT(hint.measure(QStringLiteral("a\nb\nc"), 1000).height(), hint.measure(QStringLiteral("a\nb"), 1000).height());
}

TEST(HintWindow, ShowsAtTheRectangleWithoutTakingTheActiveWindow) {
  QWidget main;
  main.setGeometry(100, 100, 300, 200);
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

  HintWindow hint(&main);
  EXPECT_TRUE(hint.isWindow());
  const QRect r(420, 130, 90, 40);
  hint.showAt(r, QStringLiteral("注記一"));
  QApplication::processEvents();
  EXPECT_TRUE(hint.isVisible());
  EXPECT_EQ(hint.geometry(), r);
  EXPECT_EQ(hint.text(), QStringLiteral("注記一"));
  EXPECT_EQ(QApplication::activeWindow(), &main);
  EXPECT_TRUE(main.isActiveWindow());

  hint.hide();
  EXPECT_FALSE(hint.isVisible());
  EXPECT_EQ(QApplication::activeWindow(), &main);
}

TEST(HintWindow, PaintsTheInfoColoursInsideADarkFrame) {
  HintWindow hint;
  hint.showAt(QRect(0, 0, 60, 30), QString());
  const QImage img = hint.grab().toImage();
  ASSERT_EQ(img.size(), QSize(60, 30));
  EXPECT_EQ(QColor(img.pixel(30, 15)), QColor(0xFF, 0xFF, 0xE1));
  EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(Qt::black));
  EXPECT_EQ(QColor(img.pixel(59, 29)), QColor(Qt::black));
  hint.hide();
}

}  // namespace
}  // namespace yomira
