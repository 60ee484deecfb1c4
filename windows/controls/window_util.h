// Window placement helpers shared by the main window, the book window and the dialogs.
#pragma once

#include <QList>
#include <QRect>

namespace yomira {

// Where a window with the frame r is shown so that the user can reach it. The size never
// changes. A rectangle inside one screen's available area is kept; otherwise it moves onto
// the screen nearest its centre (the first, the primary, when none is near) with its
// top-left corner inside and as much of it visible as fits. Without screens it is kept.
QRect ClampToVisibleScreen(const QRect& r, const QList<QRect>& availableScreens);
// The same over the screens of the running application, primary first.
QRect ClampToVisibleScreen(const QRect& r);

}  // namespace yomira
