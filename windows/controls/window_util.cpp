#include "windows/controls/window_util.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace yomira {
namespace {

// Squared distance from a point to a rectangle (0 inside); 64-bit: coordinates from a
// settings file can be anything.
int64_t DistanceSquared(const QRect& s, int64_t x, int64_t y) {
  const int64_t dx = x < s.left() ? s.left() - x : (x > s.right() ? x - s.right() : 0);
  const int64_t dy = y < s.top() ? s.top() - y : (y > s.bottom() ? y - s.bottom() : 0);
  return dx * dx + dy * dy;
}

// One axis: the start inside [lo, lo + room), and the whole length inside when it fits.
int ClampAxis(int start, int length, int lo, int room) {
  const int64_t last = int64_t{lo} + room - length;  // largest start that keeps it all inside
  int64_t v = std::min<int64_t>(start, last);
  v = std::max<int64_t>(v, lo);
  return static_cast<int>(v);
}

}  // namespace

QRect ClampToVisibleScreen(const QRect& r, const QList<QRect>& availableScreens) {
  if (availableScreens.isEmpty()) return r;
  // A rectangle without area (a size never saved) still has a corner that must be on screen.
  const QRect box(r.topLeft(), QSize(std::max(r.width(), 1), std::max(r.height(), 1)));
  for (const QRect& s : availableScreens)
    if (s.contains(box)) return r;
  const int64_t cx = (int64_t{box.left()} + box.right()) / 2;
  const int64_t cy = (int64_t{box.top()} + box.bottom()) / 2;
  const QRect* target = &availableScreens.front();
  int64_t best = std::numeric_limits<int64_t>::max();
  for (const QRect& s : availableScreens) {
    if (!s.intersects(box)) continue;
    const int64_t d = DistanceSquared(s, cx, cy);
    if (d < best) {
      best = d;
      target = &s;
    }
  }
  // Built afresh: moving r itself would subtract its old corner, which may lie at the
  // integer limits.
  return QRect(QPoint(ClampAxis(box.left(), box.width(), target->left(), target->width()),
                      ClampAxis(box.top(), box.height(), target->top(), target->height())),
               r.size());
}

QList<QRect> AvailableScreens() {
  QList<QRect> screens;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) screens.append(primary->availableGeometry());
  for (const QScreen* s : QGuiApplication::screens())
    if (s != primary) screens.append(s->availableGeometry());
  return screens;
}

QRect ClampToVisibleScreen(const QRect& r) { return ClampToVisibleScreen(r, AvailableScreens()); }

QRect PlaceBeside(const QRect& owner, const QSize& size, const QList<QRect>& availableScreens) {
  QRect out(owner.right() + 1, owner.top(), size.width(), size.height());
  if (availableScreens.isEmpty()) return out;
  const QRect* screen = &availableScreens.front();
  int64_t most = -1;
  for (const QRect& s : availableScreens) {
    const QRect common = s.intersected(owner);
    const int64_t area = common.isEmpty() ? 0 : int64_t{common.width()} * common.height();
    if (area > most) {
      most = area;
      screen = &s;
    }
  }
  // A side counts when the whole width lies on the screen there.
  auto fits = [&](int64_t left) { return left >= screen->left() && left + size.width() - 1 <= screen->right(); };
  const int64_t right = int64_t{owner.right()} + 1, left = int64_t{owner.left()} - size.width();
  int x;
  if (fits(right)) x = static_cast<int>(right);
  else if (fits(left)) x = static_cast<int>(left);
  else x = ClampAxis(screen->right() + 1 - size.width(), size.width(), screen->left(), screen->width());
  out.moveTo(x, ClampAxis(owner.top(), size.height(), screen->top(), screen->height()));
  return out;
}

QFont UiFont() {
  QFont font(QStringLiteral("IPAex Gothic"));
  font.setPixelSize(std::max(12, QFontInfo(QGuiApplication::font()).pixelSize()));
  return font;
}

QSize BoundToScreens(const QSize& size) {
  QRect all;
  for (const QScreen* s : QGuiApplication::screens()) all |= s->availableGeometry();
  if (all.isEmpty()) return size;
  return size.boundedTo(all.size());
}

void SetStayOnTop(QWidget* w, bool on) {
  if (!w) return;
  if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const QRect frame = w->geometry();
  const bool shown = w->isVisible();
  w->setWindowFlag(Qt::WindowStaysOnTopHint, on);
  w->setGeometry(frame);
  if (shown) w->show();
}

}  // namespace yomira
