// Rules the dialog controls share for their holder's notices.
#pragma once

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRect>

class QAbstractButton;
class QLineEdit;

namespace yomira {

// A focus change between widgets of one window. Activating another window (a message box,
// a second program) or opening a popup (a context menu) moves no focus within the window:
// a control neither enters nor leaves for those.
inline bool IsFocusMove(const QFocusEvent* e) {
  return e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
}

// Keys offered to the holder before the control's own handling: those that carry text,
// Enter, Esc, Tab and Backspace included.
inline bool CarriesText(const QKeyEvent* e) { return !e->text().isEmpty(); }

// Offers a key that carries text to the holder through offer(e, swallow) before the
// control's own handling; true (and the event accepted) when the holder swallowed it.
template <class Offer>
bool HolderSwallows(QKeyEvent* e, Offer&& offer) {
  if (!CarriesText(e)) return false;
  bool swallow = false;
  offer(e, swallow);
  if (swallow) e->accept();
  return swallow;
}

// The client area of a line edit: its rectangle inside the frame, before text margins (in
// Fusion a 41 x 21 edit has 39 x 19 at (1, 1)). Buttons placed inside an edit go here.
QRect EditClientArea(const QLineEdit& edit);

// Stops a held auto-repeat button for good: its timer, its down state and the press itself
// (else moving the still-held pointer would press it again). For a click handler that threw.
void StopAutoRepeat(QAbstractButton* button);

}  // namespace yomira
