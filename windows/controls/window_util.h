// Window placement helpers shared by the main window, the book window and the dialogs.
#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace yomira {

// Where a window with the frame `r` is shown so that the user can reach it. The size is never
// changed. A rectangle that lies entirely inside one screen's available area is kept. Otherwise
// it moves onto the screen nearest its centre among those it overlaps (the first one, the
// primary, when it overlaps none): its top-left corner inside that screen and as much of it
// visible as fits. Without screens the rectangle is kept.
QRect ClampToVisibleScreen(const QRect& r, const QList<QRect>& availableScreens);
// The same over the screens of the running application, primary first.
QRect ClampToVisibleScreen(const QRect& r);

// The size, no wider and no taller than the area all the application's screens span together
// (a saved size from a damaged settings file could ask for a window of gigabytes).
QSize BoundToScreens(const QSize& size);

// Turns the stay-on-top flag of a top-level window on or off, keeping its geometry and its
// visibility (changing window flags hides a window and may lose its place). Null: nothing.
void SetStayOnTop(QWidget* w, bool on);

}  // namespace yomira
