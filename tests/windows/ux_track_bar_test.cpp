#include "windows/controls/ux_track_bar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

namespace yomira {
namespace {

TEST(UxTrackBar, StartsAsTheDisabledOneStepSliderThatNeverTakesTheKeyboard) {
  UxTrackBar bar;
  EXPECT_FALSE(bar.isEnabled());
  EXPECT_EQ(bar.orientation(), Qt::Horizontal);
  EXPECT_EQ(bar.minimum(), 0);
  EXPECT_EQ(bar.maximum(), 1);
  EXPECT_EQ(bar.value(), 1);
  EXPECT_EQ(bar.pageStep(), 1);
  EXPECT_EQ(bar.singleStep(), 1);
  EXPECT_EQ(bar.tickPosition(), QSlider::NoTicks);
  EXPECT_EQ(bar.focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(bar.contextMenuPolicy(), Qt::PreventContextMenu);
}

TEST(UxTrackBar, RectsComeFromTheStyle) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  ASSERT_TRUE(fusion);
  UxTrackBar bar;
  bar.setStyle(fusion.get());
  bar.setGeometry(0, 0, 352, 20);
  bar.setEnabled(true);
  bar.setRange(0, 9);
  const QRect groove = bar.channelRect();
  EXPECT_EQ(groove.left(), 0);
  EXPECT_EQ(groove.right(), 351);
  for (int v : {0, 9}) {
    bar.setValue(v);
    const QRect thumb = bar.thumbRect();
    EXPECT_EQ(thumb.width(), 15);
    EXPECT_EQ(v == 0 ? thumb.left() : thumb.right(), v == 0 ? 0 : 351) << "value " << v;
  }
}

TEST(UxTrackBar, MouseSignalsCarryButtonModifiersAndClientPosition) {
  QWidget parent;
  auto* bar = new UxTrackBar(&parent);
  bar->setGeometry(0, 0, 200, 20);
  bar->setEnabled(true);
  QSignalSpy down(bar, &UxTrackBar::mouseDown);
  QSignalSpy up(bar, &UxTrackBar::mouseUp);
  QSignalSpy move(bar, &UxTrackBar::mouseMove);
  QSignalSpy changed(bar, &UxTrackBar::changed);

  const QPoint at(30, 7);
  QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::MiddleButton, Qt::MiddleButton,
                    Qt::ShiftModifier);
  QApplication::sendEvent(bar, &press);
  QMouseEvent drag(QEvent::MouseMove, QPoint(40, 8), bar->mapToGlobal(QPoint(40, 8)), Qt::NoButton, Qt::MiddleButton,
                   Qt::NoModifier);
  QApplication::sendEvent(bar, &drag);
  QMouseEvent release(QEvent::MouseButtonRelease, QPoint(41, 9), bar->mapToGlobal(QPoint(41, 9)), Qt::MiddleButton,
                      Qt::NoButton, Qt::ControlModifier);
  QApplication::sendEvent(bar, &release);

  ASSERT_EQ(down.count(), 1);
  EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::MiddleButton);
  EXPECT_EQ(down[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
  EXPECT_EQ(down[0][2].toPoint(), at);
  ASSERT_EQ(move.count(), 1);
  EXPECT_EQ(move[0][0].value<Qt::MouseButtons>(), Qt::MouseButtons(Qt::MiddleButton));
  EXPECT_EQ(move[0][2].toPoint(), QPoint(40, 8));
  ASSERT_EQ(up.count(), 1);
  EXPECT_EQ(up[0][0].value<Qt::MouseButton>(), Qt::MiddleButton);
  EXPECT_EQ(up[0][1].value<Qt::KeyboardModifiers>(), Qt::ControlModifier);
  EXPECT_EQ(up[0][2].toPoint(), QPoint(41, 9));

  bar->setValue(0);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].toInt(), 0);
}

TEST(UxTrackBar, ARightClickOffersNoMenuOfItsOwnNorPassesOneOn) {
  QWidget parent;
  parent.setContextMenuPolicy(Qt::CustomContextMenu);
  int parentMenus = 0;
  QObject::connect(&parent, &QWidget::customContextMenuRequested, [&] { ++parentMenus; });
  auto* bar = new UxTrackBar(&parent);
  bar->setGeometry(0, 0, 200, 20);
  bar->setEnabled(true);
  int ownMenus = 0;
  QObject::connect(bar, &QWidget::customContextMenuRequested, [&] { ++ownMenus; });
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 5), bar->mapToGlobal(QPoint(20, 5)));
  QApplication::sendEvent(bar, &menu);
  EXPECT_EQ(parentMenus, 0);
  EXPECT_EQ(ownMenus, 0);
}

}  // namespace
}  // namespace yomira
