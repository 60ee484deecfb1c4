// What the control suites share: the gallery's look (Fusion and the reader's UI font), so
// that sizes match the pictures, and a shown, active window to take the keyboard focus.
#pragma once

#include <QApplication>
#include <QFont>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace yomira::test {

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
