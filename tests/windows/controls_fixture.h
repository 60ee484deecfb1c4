// What the control suites share: the gallery's look (Fusion and the reader's UI font), so
// that sizes match the pictures, and a shown, active window to take the keyboard focus.
#pragma once

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QStyle>
#include <QStringList>
#include <QStyleFactory>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace yomira::test {

// Messages of the exceptions that handlers threw into the event loop (guarded_main.cpp).
QStringList& CaughtFaults();

// Columns from x on to the right edge that hold a dark (text) pixel in the widget's own
// drawing, without its children.
inline int DarkColumnsFrom(QWidget& w, int x) {
  QImage img(w.size(), QImage::Format_RGB32);
  img.fill(Qt::white);
  w.render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  int dark = 0;
  for (int cx = x; cx < img.width(); ++cx) {
    bool any = false;
    for (int y = 2; y < img.height() - 2 && !any; ++y) any = qGray(img.pixel(cx, y)) < 96;
    dark += any ? 1 : 0;
  }
  return dark;
}

class ControlsTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("IPAexGothic"));
    font.setPixelSize(12);
    QApplication::setFont(font);
  }

  // Shows w and waits until it is the active window (false when it never became active).
  static bool ShowActive(QWidget& w) {
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
  }
};

}  // namespace yomira::test
