// Window placement helpers shared by the main window, the book window and the dialogs.
#pragma once

#include <QFont>
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
// The available areas of the running application's screens, primary first.
QList<QRect> AvailableScreens();

// Where a window of frame size `size` first opens beside the frame `owner` of the window it
// belongs to, on the screen that holds most of owner: to owner's right when that screen has
// room, else to its left, else where it fits (at the screen's right edge, over owner). Its top
// is owner's top, moved down or up as far as it must to lie on the screen.
QRect PlaceBeside(const QRect& owner, const QSize& size, const QList<QRect>& availableScreens);

// The windows' UI font: IPAex Gothic at 12 pixels, or at the desktop's size where that is
// larger (a desktop font one size up makes every window's text one size up).
QFont UiFont();

// The size, no wider and no taller than the area all the application's screens span together
// (a saved size from a damaged settings file could ask for a window of gigabytes).
QSize BoundToScreens(const QSize& size);

// Turns the stay-on-top flag of a top-level window on or off, keeping its geometry and its
// visibility (changing window flags hides a window and may lose its place). Null: nothing.
void SetStayOnTop(QWidget* w, bool on);

}  // namespace yomira
