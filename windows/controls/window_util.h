// Small helpers shared by the program's windows: keeping a restored window on a screen and
// the stay-on-top flag.
#pragma once

#include <QRect>
#include <QVector>

class QWidget;

namespace yomira {

// A window rectangle as it may be shown: kept when it lies entirely inside some screen's
// available area; otherwise moved (never resized) onto the screen nearest its centre, its
// top-left corner inside that screen and as much of it visible as fits. No screens: kept.
QRect ClampToVisibleScreen(const QRect& rect, const QVector<QRect>& screens);
// The same with the available geometry of the screens of the running application.
QRect ClampToVisibleScreen(const QRect& rect);

// Puts a top-level window into the stay-on-top band or out of it, keeping its geometry and
// whether it is shown. Null does nothing.
void SetStayOnTop(QWidget* window, bool on);

}  // namespace yomira
