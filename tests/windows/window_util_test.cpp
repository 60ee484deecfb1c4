#include "windows/controls/window_util.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace yomira {
namespace {

TEST(ClampToVisibleScreen, KeepsInsideMovesOutsideAndNeverResizes) {
  const QVector<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 800, 600)};
  struct Case {
    QRect in, out;
  } cases[] = {
      {QRect(100, 50, 492, 539), QRect(100, 50, 492, 539)},       // inside the first
      {QRect(1300, 10, 400, 300), QRect(1300, 10, 400, 300)},     // inside the second
      {QRect(5000, 5000, 700, 500), QRect(1380, 100, 700, 500)},  // nearest: the second
      {QRect(-300, 900, 700, 500), QRect(0, 524, 700, 500)},      // partly off the first
      {QRect(1200, 100, 300, 200), QRect(1280, 100, 300, 200)},   // across both: centre on the second
      {QRect(10, 10, 3000, 2000), QRect(0, 0, 3000, 2000)},       // larger: corner on the screen
  };
  for (const Case& c : cases) EXPECT_EQ(ClampToVisibleScreen(c.in, screens), c.out) << c.in.x() << "," << c.in.y();
  EXPECT_EQ(ClampToVisibleScreen(QRect(5000, 5000, 10, 10), {}), QRect(5000, 5000, 10, 10));
}

TEST(SetStayOnTop, KeepsGeometryAndVisibilityAndIgnoresNull) {
  SetStayOnTop(nullptr, true);
  QWidget w;
  w.setGeometry(120, 80, 300, 200);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QRect before = w.geometry();
  SetStayOnTop(&w, true);
  EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(w.geometry(), before);
  EXPECT_TRUE(w.isVisible());
  SetStayOnTop(&w, false);
  EXPECT_FALSE(w.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(w.geometry(), before);
  EXPECT_TRUE(w.isVisible());
  QWidget hidden;
  SetStayOnTop(&hidden, true);
  EXPECT_FALSE(hidden.isVisible());
}

}  // namespace
}  // namespace yomira
