#include "engine/render/PageTurn.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace yomira {

namespace {

// Truncates toward zero; a value that is not a number (a frame count of -1) gives 0.
int32_t Trunc(long double v) {
  if (!std::isfinite(v)) return 0;
  v = std::clamp(v, static_cast<long double>(INT32_MIN), static_cast<long double>(INT32_MAX));
  return static_cast<int32_t>(v);
}

// cos of x * 90 / (n + 1) degrees. The angle uses 3.14159, not pi: at the last step the
// cosine stays a little above 0, which the frame formulas rely on.
long double EaseCos(int64_t x, int32_t n) {
  const long double theta = static_cast<long double>(x) * 90.0L / static_cast<long double>(int64_t{n} + 1);
  return cosl(theta * 3.14159L * (1.0L / 180.0L));
}

// 32-bit and 24-bit pictures are handled; all three must agree in size and format.
bool Usable(const QImage& img) { return !img.isNull() && (img.depth() == 32 || img.depth() == 24); }

bool Alike(const QImage& a, const QImage& b) {
  return Usable(a) && Usable(b) && a.size() == b.size() && a.format() == b.format();
}

// One piece of a frame's source-column map: dst columns [dst_x, dst_x + len) take the
// source columns src_x, src_x + step, ...
// The source is held by value: should it share its pixels with dst (the caller passed one
// picture twice), writing dst detaches dst and the source keeps what it showed.
struct Span {
  QImage src;
  int32_t dst_x;
  int32_t src_x;
  int32_t len;
  int32_t step;
};

template <int B>
void GatherRows(QImage& dst, const Span* spans, int count) {
  const int h = dst.height();
  uchar* dbase = dst.bits();  // detaches first
  const qsizetype dbpl = dst.bytesPerLine();
  for (int k = 0; k < count; ++k) {
    const Span& sp = spans[k];
    if (sp.len <= 0) continue;
    const uchar* sbase = sp.src.constBits();
    const qsizetype sbpl = sp.src.bytesPerLine();
    for (int y = 0; y < h; ++y) {
      uchar* d = dbase + y * dbpl + qsizetype{sp.dst_x} * B;
      const uchar* s = sbase + y * sbpl + qsizetype{sp.src_x} * B;
      if (sp.step == 1) {
        std::memcpy(d, s, size_t(sp.len) * B);
      } else if constexpr (B == 4) {
        auto* d32 = reinterpret_cast<uint32_t*>(d);
        const auto* s32 = reinterpret_cast<const uint32_t*>(s);
        for (int32_t i = 0, si = 0; i < sp.len; ++i, si += sp.step) d32[i] = s32[si];
      } else {
        for (int32_t i = 0; i < sp.len; ++i) std::memcpy(d + i * B, s + qsizetype{i} * sp.step * B, B);
      }
    }
  }
}

// Paints the spans into dst. The callers keep every source column inside the picture.
void Gather(QImage& dst, std::initializer_list<Span> spans) {
  if (dst.depth() == 32)
    GatherRows<4>(dst, spans.begin(), int(spans.size()));
  else
    GatherRows<3>(dst, spans.begin(), int(spans.size()));
}

// Left, top, right, bottom with right and bottom exclusive; empty when right <= left.
QRect Ltrb(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (r <= l || b <= t) return QRect();
  return QRect(l, t, r - l, b - t);
}

// The step over source columns for a strip of width len drawn from span columns; 1 when
// the strip is empty (the division would be by zero and nothing is painted anyway).
int32_t Step(int32_t span, int32_t len) { return len > 0 ? std::max(span / len, 1) : 1; }

QRect ShowWhole(QImage& dst, const QImage& newPage) {
  if (dst.constBits() == newPage.constBits()) return dst.rect();  // already the same pixels
  if (Alike(dst, newPage)) {
    const qsizetype row = qsizetype{newPage.width()} * (newPage.depth() / 8);
    for (int y = 0; y < newPage.height(); ++y) std::memcpy(dst.scanLine(y), newPage.constScanLine(y), row);
  } else {
    // Shared until either is drawn on: the first page costs no second picture.
    dst = newPage;
  }
  return dst.rect();
}

}  // namespace

int32_t GetAnimationOffset(int32_t e, int32_t s, int32_t n, int32_t wv) {
  const long double w = wv;
  switch (e) {
    case 1: return Trunc(EaseCos(int64_t{n} - s, n) * w);
    case 2: return Trunc(EaseCos(int64_t{s} + 1, n) * w);
    case 3: return Trunc(w - EaseCos(int64_t{s} + 1, n) * w) / 2;
    case 4: return Trunc(w - EaseCos(int64_t{n} - s, n) * w) / 2;
    default: return 1;
  }
}

QRect DrawTurnFrameNext(QImage& dst, const QImage& newPage, const QImage&, int32_t n, int32_t s) {
  if (!Alike(dst, newPage)) return QRect();
  const int32_t wv = dst.width();
  const int32_t c = std::clamp(GetAnimationOffset(1, s, n, wv), 0, wv);
  Gather(dst, {{newPage, 0, 0, c, Step(wv, c)}});
  return Ltrb(0, 0, c, dst.height());
}

QRect DrawTurnFrameBack(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n, int32_t s) {
  if (!Alike(dst, newPage) || !Alike(dst, oldPage)) return QRect();
  const int32_t wv = dst.width();
  const int32_t c = std::clamp(GetAnimationOffset(2, s, n, wv), 0, wv);
  Gather(dst, {{oldPage, 0, 0, c, Step(wv, c)}, {newPage, c, c, wv - c, 1}});
  // The first frame covers the whole old picture; later ones only the previous, wider strip.
  if (s <= 0) return dst.rect();
  return Ltrb(0, 0, std::clamp(GetAnimationOffset(2, s - 1, n, wv), 0, wv), dst.height());
}

QRect DrawSpreadTurnFrameNext1(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n,
                               int32_t s) {
  if (!Alike(dst, newPage) || !Alike(dst, oldPage)) return QRect();
  const int32_t wv = dst.width(), half = wv / 2;
  const int32_t c = std::clamp(GetAnimationOffset(3, s, n, wv), 0, half);
  // Columns 0..c show the new page; the old left half is squeezed into c + 1..half - 1.
  const int32_t fresh = std::min(c + 1, half);
  const int32_t q = Step(half, half - c);
  Gather(dst, {{newPage, 0, 0, fresh, 1}, {oldPage, fresh, q, half - fresh, q}});
  return Ltrb(std::clamp(GetAnimationOffset(3, s - 1, n, wv), 0, half), 0, half, dst.height());
}

QRect DrawSpreadTurnFrameNext2(QImage& dst, const QImage& newPage, const QImage&, int32_t n, int32_t s) {
  if (!Alike(dst, newPage)) return QRect();
  const int32_t wv = dst.width(), half = wv / 2;
  const int32_t c = std::clamp(GetAnimationOffset(1, s - n - 1, n, wv) / 2, 0, half);
  Gather(dst, {{newPage, half, half, c, Step(half, c)}});
  return Ltrb(half, 0, half + c, dst.height());
}

QRect DrawSpreadTurnFrameBack1(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n,
                               int32_t s) {
  if (!Alike(dst, newPage) || !Alike(dst, oldPage)) return QRect();
  const int32_t wv = dst.width(), half = wv / 2;
  const int32_t c = std::clamp(GetAnimationOffset(2, s, n, wv) / 2, 0, half);
  Gather(dst, {{oldPage, half, half, c, Step(half, c)}, {newPage, half + c, half + c, wv - half - c, 1}});
  // The first frame paints the whole right half, the last column of an odd width included.
  if (s <= 0) return Ltrb(half, 0, wv, dst.height());
  return Ltrb(half, 0, half + std::clamp(GetAnimationOffset(2, s - 1, n, wv) / 2, 0, half), dst.height());
}

QRect DrawSpreadTurnFrameBack2(QImage& dst, const QImage& newPage, const QImage&, int32_t n, int32_t s) {
  if (!Alike(dst, newPage)) return QRect();
  const int32_t wv = dst.width(), half = wv / 2;
  const int32_t c = std::clamp(GetAnimationOffset(4, s - n - 1, n, wv), 0, half);
  const int32_t q = Step(half, half - c);
  Gather(dst, {{newPage, c, 0, half - c, q}});
  return Ltrb(c, 0, half, dst.height());
}

TurnStepResult DrawTurnStep(int32_t kind, int32_t s, int32_t n, QImage& dst, const QImage& newPage,
                            const QImage& oldPage) {
  const bool uses_old = kind == kTurnBack || kind == kTurnSpreadNext || kind == kTurnSpreadBack;
  const bool known = kind >= kTurnNext && kind <= kTurnSpreadBack;
  // A resize or relayout between two ticks leaves pictures of different sizes: show the
  // new page at once rather than read outside one of them.
  if (!known || n < 0 || !Alike(dst, newPage) || (uses_old && !Alike(dst, oldPage)))
    return {ShowWhole(dst, newPage), true};

  const bool one_page = kind == kTurnNext || kind == kTurnBack;
  const bool ended = one_page ? s >= n : int64_t{s} > 2 * int64_t{n};
  // The formulas leave the new page whole at the last step for realistic widths, but not
  // the last column of an odd width in a two-page turn: the last step copies it all.
  if (ended) return {ShowWhole(dst, newPage), true};

  QRect dirty;
  switch (kind) {
    case kTurnNext: dirty = DrawTurnFrameNext(dst, newPage, oldPage, n, s); break;
    case kTurnBack: dirty = DrawTurnFrameBack(dst, newPage, oldPage, n, s); break;
    case kTurnSpreadNext:
      dirty = s > n ? DrawSpreadTurnFrameNext2(dst, newPage, oldPage, n, s)
                    : DrawSpreadTurnFrameNext1(dst, newPage, oldPage, n, s);
      break;
    default:
      dirty = s > n ? DrawSpreadTurnFrameBack2(dst, newPage, oldPage, n, s)
                    : DrawSpreadTurnFrameBack1(dst, newPage, oldPage, n, s);
      break;
  }
  return {dirty, false};
}

int32_t TurnFrameCount(int32_t kind, int32_t n) {
  if (n < 0) return 1;
  if (kind == kTurnNext || kind == kTurnBack) return n + 1;
  if (kind == kTurnSpreadNext || kind == kTurnSpreadBack) return 2 * n + 2;
  return 1;
}

}  // namespace yomira
