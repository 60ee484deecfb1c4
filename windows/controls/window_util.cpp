#include "windows/controls/window_util.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace yomira {
namespace {

// Squared distance from p to the nearest point of r (0 inside).
int64_t DistanceSquared(const QRect& r, QPoint p) {
  const int64_t dx = p.x() < r.left() ? r.left() - p.x() : (p.x() > r.right() ? p.x() - r.right() : 0);
  const int64_t dy = p.y() < r.top() ? r.top() - p.y() : (p.y() > r.bottom() ? p.y() - r.bottom() : 0);
  return dx * dx + dy * dy;
}

// The offset that puts [pos, pos + size) inside [lo, lo + span) as far as it fits, the
// start never before lo.
int Fit(int pos, int size, int lo, int span) {
  const int hi = lo + span;
  if (pos + size > hi) pos = hi - size;
  return std::max(pos, lo);
}

}  // namespace

QRect ClampToVisibleScreen(const QRect& rect, const QVector<QRect>& screens) {
  if (screens.isEmpty()) return rect;
  for (const QRect& s : screens)
    if (s.contains(rect)) return rect;
  const QPoint centre = rect.center();
  const QRect* best = &screens.front();
  int64_t bestDistance = std::numeric_limits<int64_t>::max();
  for (const QRect& s : screens) {
    const int64_t d = DistanceSquared(s, centre);
    if (d < bestDistance) {
      bestDistance = d;
      best = &s;
    }
  }
  QRect out = rect;
  out.moveTo(Fit(rect.x(), rect.width(), best->x(), best->width()),
             Fit(rect.y(), rect.height(), best->y(), best->height()));
  return out;
}

QRect ClampToVisibleScreen(const QRect& rect) {
  QVector<QRect> screens;
  if (QScreen* primary = QGuiApplication::primaryScreen()) screens.push_back(primary->availableGeometry());
  for (QScreen* s : QGuiApplication::screens())
    if (s != QGuiApplication::primaryScreen()) screens.push_back(s->availableGeometry());
  return ClampToVisibleScreen(rect, screens);
}

void SetStayOnTop(QWidget* window, bool on) {
  if (!window) return;
  if (bool(window->windowFlags() & Qt::WindowStaysOnTopHint) == on) return;
  const QRect geometry = window->geometry();
  const bool visible = window->isVisible();
  // Changing a flag hides the window: put it back where and as it was.
  window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
  window->setGeometry(geometry);
  if (visible) window->show();
}

}  // namespace yomira
