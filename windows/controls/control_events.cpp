#include "windows/controls/control_events.h"

#include <QLineEdit>
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

}  // namespace yomira
