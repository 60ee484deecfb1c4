#include "windows/controls/window_util.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace yomira {

QRect ClampToVisibleScreen(const QRect& r, const QList<QRect>& screens) {
  if (screens.isEmpty()) return r;
  for (const QRect& s : screens)
    if (s.contains(r)) return r;
  // The screen whose area is nearest the centre; the first wins a tie.
  const QPoint c = r.center();
  qsizetype best = 0;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (qsizetype i = 0; i < screens.size(); ++i) {
    const QRect& s = screens[i];
    const long long dx = c.x() < s.left() ? s.left() - c.x() : c.x() > s.right() ? c.x() - s.right() : 0;
    const long long dy = c.y() < s.top() ? s.top() - c.y() : c.y() > s.bottom() ? c.y() - s.bottom() : 0;
    const long long d = dx * dx + dy * dy;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  const QRect& s = screens[best];
  const int x = std::clamp(r.x(), s.left(), std::max(s.left(), s.left() + s.width() - r.width()));
  const int y = std::clamp(r.y(), s.top(), std::max(s.top(), s.top() + s.height() - r.height()));
  return QRect(QPoint(x, y), r.size());
}

QRect ClampToVisibleScreen(const QRect& r) {
  QList<QRect> screens;
  if (QScreen* primary = QGuiApplication::primaryScreen()) screens.append(primary->availableGeometry());
  for (QScreen* s : QGuiApplication::screens())
    if (s != QGuiApplication::primaryScreen()) screens.append(s->availableGeometry());
  return ClampToVisibleScreen(r, screens);
}

}  // namespace yomira
