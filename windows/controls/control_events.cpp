#include "windows/controls/control_events.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace yomira {

QRect EditClientArea(const QLineEdit& edit) {
  // As QLineEdit fills its own style option for painting.
  QStyleOptionFrame opt;
  opt.initFrom(&edit);
  opt.rect = edit.rect();
  opt.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, &edit) : 0;
  opt.midLineWidth = 0;
  opt.state |= QStyle::State_Sunken;
  if (edit.isReadOnly()) opt.state |= QStyle::State_ReadOnly;
  opt.features = QStyleOptionFrame::None;
  return edit.style()->subElementRect(QStyle::SE_LineEditContents, &opt, &edit);
}

void StopAutoRepeat(QAbstractButton* button) {
  const bool repeat = button->autoRepeat();
  button->setAutoRepeat(false);  // stops the timer whatever the down state
  button->setDown(false);
  button->setAutoRepeat(repeat);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), QPointF(-1, -1), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(button, &release);
}

}  // namespace yomira
