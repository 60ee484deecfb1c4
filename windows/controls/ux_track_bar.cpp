#include "windows/controls/ux_track_bar.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

namespace yomira {

UxTrackBar::UxTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setEnabled(false);
  setRange(0, 1);
  setValue(1);
  setPageStep(1);
  setSingleStep(1);
  setTickPosition(QSlider::NoTicks);
  setFocusPolicy(Qt::NoFocus);
  // A right press belongs to the holder's binding; a menu of our own would be a second one.
  setContextMenuPolicy(Qt::PreventContextMenu);
  connect(this, &QSlider::valueChanged, this, &UxTrackBar::changed);
}

QRect UxTrackBar::thumbRect() const {
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
}

QRect UxTrackBar::channelRect() const {
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
}

void UxTrackBar::mousePressEvent(QMouseEvent* e) {
  QSlider::mousePressEvent(e);
  emit mouseDown(e->button(), e->modifiers(), e->position().toPoint());
}

void UxTrackBar::mouseReleaseEvent(QMouseEvent* e) {
  QSlider::mouseReleaseEvent(e);
  emit mouseUp(e->button(), e->modifiers(), e->position().toPoint());
}

void UxTrackBar::mouseMoveEvent(QMouseEvent* e) {
  QSlider::mouseMoveEvent(e);
  emit mouseMove(e->buttons(), e->modifiers(), e->position().toPoint());
}

void UxTrackBar::focusInEvent(QFocusEvent* e) {
  QSlider::focusInEvent(e);
  emit entered();
}

}  // namespace yomira
