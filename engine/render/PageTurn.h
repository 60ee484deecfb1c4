// Page-turn frames: each frame squeezes one page horizontally, by nearest-pixel sampling,
// into a strip whose width follows a cosine easing, painted into the shown picture from the
// new view and a copy of the view shown before. The driver (page navigation) owns the kind,
// the frame count and the step counter and calls DrawTurnStep once per timer tick.
//
// All three images share one size and one format (32-bit or 24-bit); every row is treated
// alike. Each frame returns the rectangle it changed, right and bottom exclusive.
#pragma once

#include <cstdint>

#include <QImage>
#include <QRect>

namespace yomira {

enum TPageTurnKind : int32_t {
  kTurnNone = 0,
  kTurnNext = 1,        // one-page view, next page
  kTurnBack = 2,        // one-page view, previous page
  kTurnSpreadNext = 3,  // two-page view, next page
  kTurnSpreadBack = 4,  // two-page view, previous page
};

// Strip width for easing kind e (1..4) at step s of n frames across a view width wv; any
// other e gives 1. Computed in extended precision with the constant 3.14159; every
// conversion to an integer truncates.
int32_t GetAnimationOffset(int32_t e, int32_t s, int32_t n, int32_t wv);

// The six frames. dst is the shown picture, newPage the view turned to, oldPage the view
// turned from. Each paints the columns its formula names and returns the changed rectangle.
// Images of different sizes or formats paint nothing and return an empty rectangle.
QRect DrawTurnFrameNext(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n, int32_t s);
QRect DrawTurnFrameBack(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n, int32_t s);
QRect DrawSpreadTurnFrameNext1(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n,
                               int32_t s);
QRect DrawSpreadTurnFrameNext2(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n,
                               int32_t s);
QRect DrawSpreadTurnFrameBack1(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n,
                               int32_t s);
QRect DrawSpreadTurnFrameBack2(QImage& dst, const QImage& newPage, const QImage& oldPage, int32_t n,
                               int32_t s);

struct TurnStepResult {
  QRect dirty;         // the part of dst to repaint
  bool ended = false;  // the turn is over; dst equals newPage
};

// One tick of a turn of the given kind at step s (from 0) of n frames. Kinds 1 and 2 end
// after step n, kinds 3 and 4 after step 2n + 1. The ending step, and any step of kind 0,
// of an unknown kind or with images that do not match (a resize between two ticks), leaves
// the whole new page in dst and reports the whole image dirty.
TurnStepResult DrawTurnStep(int32_t kind, int32_t s, int32_t n, QImage& dst, const QImage& newPage,
                            const QImage& oldPage);

// Frames a whole turn takes: n + 1 for kinds 1 and 2, 2n + 2 for kinds 3 and 4, 1 otherwise.
int32_t TurnFrameCount(int32_t kind, int32_t n);

}  // namespace yomira
