#include "windows/controls/window_util.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>

namespace yomira {
namespace {

// One 1920x1080 screen whose available area leaves a 40 px panel at the top, and a second
// 1280x1024 screen to its right.
const QRect kPrimary(0, 40, 1920, 1040);
const QRect kSecond(1920, 0, 1280, 1024);

struct ClampCase {
  const char* what;
  QRect in;
  QList<QRect> screens;
  QPoint topLeft;
};

TEST(ClampToVisibleScreen, MovesOnlyWhatIsNotWhollyOnOneScreen) {
  const QList<QRect> one{kPrimary};
  const QList<QRect> two{kPrimary, kSecond};
  const ClampCase cases[] = {
      {"inside: kept", QRect(100, 100, 640, 480), one, {100, 100}},
      {"touching every edge: kept", QRect(0, 40, 1920, 1040), one, {0, 40}},
      {"off to the left", QRect(-300, 100, 640, 480), one, {0, 100}},
      {"off to the right", QRect(1700, 100, 640, 480), one, {1280, 100}},
      {"above the panel", QRect(100, 0, 640, 480), one, {100, 40}},
      {"off the bottom", QRect(100, 900, 640, 480), one, {100, 600}},
      {"far off every screen: onto the primary", QRect(5000, 5000, 640, 480), one, {1280, 600}},
      {"far off, negative", QRect(-9000, -9000, 640, 480), one, {0, 40}},
      {"wholly on the second screen: kept", QRect(2000, 10, 640, 480), two, {2000, 10}},
      {"hanging off the second screen's right", QRect(3000, 10, 640, 480), two, {2560, 10}},
      {"across both, centre on the second", QRect(1800, 100, 640, 480), two, {1920, 100}},
      {"across both, centre on the primary", QRect(1500, 100, 640, 480), two, {1280, 100}},
      {"off every screen with two: the primary", QRect(5000, 5000, 640, 480), two, {1280, 600}},
      {"wider and taller than the screen: top-left on it", QRect(-50, -50, 2500, 1500), one,
       {0, 40}},
      {"larger than the screen to the right", QRect(1000, 500, 2500, 1500), one, {0, 40}},
      {"wider only: top-left at the left edge, height fitted", QRect(300, 900, 2500, 300), one,
       {0, 780}},
      {"no size: its corner onto the screen", QRect(5000, 300, 0, 0), one, {1919, 300}},
      {"no screens: kept", QRect(5000, 5000, 640, 480), {}, {5000, 5000}},
      {"corner at the integer limits", QRect(QPoint(INT_MIN, INT_MAX - 480), QSize(640, 480)), one, {0, 600}},
      {"corner at the other limits", QRect(QPoint(INT_MAX - 640, INT_MIN), QSize(640, 480)), two, {1280, 40}},
  };
  for (const ClampCase& c : cases) {
    SCOPED_TRACE(c.what);
    const QRect out = ClampToVisibleScreen(c.in, c.screens);
    EXPECT_EQ(out.topLeft(), c.topLeft);
    EXPECT_EQ(out.size(), c.in.size()) << "the size is never changed";
  }
}

TEST(ClampToVisibleScreen, TheApplicationsScreensHoldTheWindow) {
  // The offscreen platform has one screen; a window far off it comes back.
  const QRect far(50000, 50000, 300, 200);
  const QRect out = ClampToVisibleScreen(far);
  ASSERT_FALSE(QGuiApplication::screens().isEmpty());
  EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(out));
  EXPECT_EQ(out.size(), far.size());
}

TEST(SetStayOnTop, KeepsGeometryAndVisibility) {
  QWidget w;
  w.setGeometry(120, 130, 300, 200);
  w.show();
  SetStayOnTop(&w, true);
  EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.geometry(), QRect(120, 130, 300, 200));
  SetStayOnTop(&w, false);
  EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.geometry(), QRect(120, 130, 300, 200));

  QWidget hidden;
  SetStayOnTop(&hidden, true);
  EXPECT_TRUE(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(hidden.isVisible()) << "a hidden window is not shown by the flag";

  SetStayOnTop(nullptr, true);  // nothing, no crash
}

// The book window's first place beside the main window: right where the screen has room,
// else left, else where it fits; its top follows the main window's, kept on the screen.
TEST(PlaceBeside, RightElseLeftElseWhereItFits) {
  const QRect small(0, 0, 1600, 1000);
  struct Case {
    const char* what;
    QRect owner;
    QSize size;
    QList<QRect> screens;
    QRect want;
  } cases[] = {
      {"room on the right", QRect(100, 50, 500, 560), QSize(210, 330), {small}, QRect(600, 50, 210, 330)},
      {"right edge exactly", QRect(1000, 50, 390, 560), QSize(210, 330), {small}, QRect(1390, 50, 210, 330)},
      {"no room right: left", QRect(1000, 50, 500, 560), QSize(210, 330), {small}, QRect(790, 50, 210, 330)},
      {"neither side: at the screen's right edge", QRect(100, 50, 1400, 900), QSize(210, 330), {small},
       QRect(1390, 50, 210, 330)},
      {"top kept on the screen", QRect(100, 800, 500, 560), QSize(210, 330), {small}, QRect(600, 670, 210, 330)},
      {"the screen holding most of the owner", QRect(1900, 100, 500, 500), QSize(210, 330), {kPrimary, kSecond},
       QRect(2400, 100, 210, 330)},
      {"owner off every screen: the first", QRect(5000, 5000, 100, 100), QSize(210, 330), {small},
       QRect(1390, 670, 210, 330)},
      {"taller than the screen: its top at the screen's", QRect(100, 50, 500, 560), QSize(210, 1200), {small},
       QRect(600, 0, 210, 1200)},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceBeside(c.owner, c.size, c.screens), c.want) << c.what;
}

}  // namespace
}  // namespace yomira
