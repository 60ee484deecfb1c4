#include "engine/render/PageTurn.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/core/option.h"

namespace yomira {
namespace {

// Column-coded pictures: every pixel of column x holds x in red and green and a tag in blue,
// so each destination column names the picture and the column it came from.
enum Tag { kNew = 1, kOld = 2, kShown = 3 };

QImage Coded(int w, int h, int tag, QImage::Format format = QImage::Format_RGB32) {
  QImage img(w, h, format);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x & 0xFF, x >> 8, tag));
  return img;
}

// "n552": column 552 of the new page; "o300" of the old; "d185" the pixel the picture held.
// Every row must agree, else the rows are listed.
std::string Source(const QImage& img, int x) {
  std::string first;
  for (int y = 0; y < img.height(); ++y) {
    const QRgb p = img.pixel(x, y);
    const char tag = "?nod"[qBlue(p) <= 3 ? qBlue(p) : 0];
    const std::string here = tag + std::to_string(qRed(p) | (qGreen(p) << 8));
    if (y == 0)
      first = here;
    else if (here != first)
      return first + " but row " + std::to_string(y) + " " + here;
  }
  return first;
}

QRect Ltrb(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }

TEST(PageTurn, AnimationOffsetAtWidth600) {
  // n 4, s 0..4.
  const std::vector<std::pair<int, std::vector<int>>> cases = {
      {1, {185, 352, 485, 570, 600}},
      {2, {570, 485, 352, 185, 0}},
      {3, {14, 57, 123, 207, 299}},
      {4, {207, 123, 57, 14, 0}},
  };
  for (const auto& [e, want] : cases)
    for (int s = 0; s <= 4; ++s) EXPECT_EQ(GetAnimationOffset(e, s, 4, 600), want[s]) << "e " << e << " s " << s;
  for (int e : {0, 5, -1}) EXPECT_EQ(GetAnimationOffset(e, 2, 4, 600), 1) << "e " << e;
}

TEST(PageTurn, AnimationOffsetOthers) {
  const int n8[] = {104, 205, 300, 385, 459, 519, 563, 590, 600};
  for (int s = 0; s <= 8; ++s) EXPECT_EQ(GetAnimationOffset(1, s, 8, 600), n8[s]) << "s " << s;
  // 3.14159 instead of pi: pi would give 441 here.
  EXPECT_EQ(GetAnimationOffset(1, 0, 3, 1155), 442);
  EXPECT_EQ(GetAnimationOffset(3, 1, 3, 1393), 203);
  // At the last step the cosine stays just above 0: the strip is empty or one short of half.
  EXPECT_EQ(GetAnimationOffset(2, 12, 12, 1920), 0);
  EXPECT_EQ(GetAnimationOffset(3, 12, 12, 1920), 959);
  // A frame count of -1 would divide by zero: no strip rather than a garbage one.
  EXPECT_EQ(GetAnimationOffset(1, 0, -1, 600), 0);
}

struct FrameCase {
  const char* name;
  int kind;
  int s;
  std::vector<std::pair<int, std::string>> pixels;  // column → expected source
  QRect dirty;
};

TEST(PageTurn, FramesAtWidth600) {
  const int h = 3;
  const FrameCase cases[] = {
      {"kind 1 s 0: c 185, step 3", 1, 0, {{0, "n0"}, {184, "n552"}, {185, "d185"}, {599, "d599"}}, Ltrb(0, 0, 185, h)},
      {"kind 2 s 3: c 185, step 3", 2, 3, {{100, "o300"}, {184, "o552"}, {185, "n185"}, {599, "n599"}},
       Ltrb(0, 0, 352, h)},
      {"kind 2 s 0 repaints all", 2, 0, {{0, "o0"}, {569, "o569"}, {570, "n570"}}, Ltrb(0, 0, 600, h)},
      {"kind 3 s 1: c 57, step 1", 3, 1, {{57, "n57"}, {58, "o1"}, {299, "o242"}, {300, "d300"}},
       Ltrb(14, 0, 300, h)},
      {"kind 3 s 3: c 207, step 3", 3, 3, {{207, "n207"}, {208, "o3"}, {299, "o276"}}, Ltrb(123, 0, 300, h)},
      {"kind 3 s 0 left edge from offset(3, -1) = 0", 3, 0, {{14, "n14"}, {15, "o1"}}, Ltrb(0, 0, 300, h)},
      {"kind 3 s 5: second half, c 92, step 3", 3, 5, {{299, "d299"}, {300, "n300"}, {391, "n573"}, {392, "d392"}},
       Ltrb(300, 0, 392, h)},
      {"kind 4 s 3: c 92, step 3", 4, 3, {{299, "d299"}, {300, "o300"}, {391, "o573"}, {392, "n392"}},
       Ltrb(300, 0, 476, h)},
      {"kind 4 s 0 repaints the right half", 4, 0, {{300, "o300"}, {585, "n585"}}, Ltrb(300, 0, 600, h)},
      {"kind 4 s 5: second half, c 207, step 3", 4, 5, {{206, "d206"}, {207, "n0"}, {299, "n276"}, {300, "d300"}},
       Ltrb(207, 0, 300, h)},
  };
  const QImage newPage = Coded(600, h, kNew), oldPage = Coded(600, h, kOld);
  for (const FrameCase& c : cases) {
    QImage dst = Coded(600, h, kShown);
    const TurnStepResult r = DrawTurnStep(c.kind, c.s, 4, dst, newPage, oldPage);
    EXPECT_FALSE(r.ended) << c.name;
    EXPECT_EQ(r.dirty, c.dirty) << c.name;
    for (const auto& [x, want] : c.pixels) EXPECT_EQ(Source(dst, x), want) << c.name << " column " << x;
  }
}

// The dirty rectangle must cover every column that changed since the previous frame.
void ExpectChangesInside(const QImage& before, const QImage& after, const QRect& dirty, const std::string& what) {
  for (int x = 0; x < after.width(); ++x) {
    if (dirty.contains(x, 0)) continue;
    for (int y = 0; y < after.height(); ++y)
      if (before.pixel(x, y) != after.pixel(x, y)) {
        ADD_FAILURE() << what << ": column " << x << " changed outside the dirty rectangle";
        return;
      }
  }
}

TEST(PageTurn, EveryTurnEndsOnTheNewPage) {
  for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
    for (int kind = 1; kind <= 4; ++kind) {
      for (int quality = 0; quality <= 4; ++quality) {
        TYomiraOption o;
        o.Quality = quality;
        const int n = o.GetAnimationFrames();
        for (int w : {1, 2, 3, 599, 600, 1920}) {
          const std::string what = "kind " + std::to_string(kind) + " quality " + std::to_string(quality) +
                                   " width " + std::to_string(w) + " format " + std::to_string(format);
          const QImage newPage = Coded(w, 3, kNew, format), oldPage = Coded(w, 3, kOld, format);
          QImage dst = oldPage.copy();
          int frames = 0;
          for (int s = 0;; ++s) {
            const QImage before = dst.copy();
            const TurnStepResult r = DrawTurnStep(kind, s, n, dst, newPage, oldPage);
            ++frames;
            ExpectChangesInside(before, dst, r.dirty, what + " s " + std::to_string(s));
            if (r.ended) {
              EXPECT_EQ(r.dirty, dst.rect()) << what;
              break;
            }
            ASSERT_LT(frames, 100) << what;
          }
          EXPECT_EQ(dst, newPage) << what;
          EXPECT_EQ(frames, TurnFrameCount(kind, n)) << what;
          EXPECT_EQ(frames, kind <= 2 ? n + 1 : 2 * n + 2) << what;
        }
      }
    }
  }
  EXPECT_EQ(TurnFrameCount(3, 12), 26);
  EXPECT_EQ(TurnFrameCount(1, 12), 13);
}

TEST(PageTurn, OddWidthSpreadLeavesNoOldColumn) {
  // Width 599, n 4: the first half ends with c = half, and the last column belongs to no half.
  const QImage newPage = Coded(599, 2, kNew), oldPage = Coded(599, 2, kOld);
  QImage dst = oldPage.copy();
  const TurnStepResult mid = DrawTurnStep(3, 4, 4, dst, newPage, oldPage);
  EXPECT_FALSE(mid.ended);
  EXPECT_EQ(Source(dst, 298), "n298");
  EXPECT_EQ(Source(dst, 598), "o598");
  const TurnStepResult last = DrawTurnStep(3, 9, 4, dst, newPage, oldPage);
  EXPECT_TRUE(last.ended);
  EXPECT_EQ(Source(dst, 598), "n598");
}

TEST(PageTurn, ZeroWidthStripsPaintNothing) {
  for (int w : {1, 2}) {
    const QImage newPage = Coded(w, 2, kNew), oldPage = Coded(w, 2, kOld);
    QImage dst = Coded(w, 2, kShown);
    // Width 1 or 2 with n 4: c is 0 in every frame function below.
    EXPECT_TRUE(DrawTurnFrameNext(dst, newPage, oldPage, 4, 0).isEmpty());
    EXPECT_TRUE(DrawSpreadTurnFrameNext2(dst, newPage, oldPage, 4, 5).isEmpty());
    EXPECT_EQ(Source(dst, 0), "d0") << "width " << w;
  }
}

TEST(PageTurn, MismatchedPicturesShowTheNewPage) {
  const QImage newPage = Coded(600, 4, kNew);
  struct Case {
    const char* name;
    QImage dst, oldPage;
    int kind;
  };
  const Case cases[] = {
      {"shown picture narrower", Coded(500, 4, kShown), Coded(600, 4, kOld), 2},
      {"shown picture taller", Coded(600, 9, kShown), Coded(600, 4, kOld), 3},
      {"old picture smaller", Coded(600, 4, kShown), Coded(300, 4, kOld), 4},
      {"old picture empty", Coded(600, 4, kShown), QImage(), 2},
      {"old picture of another format", Coded(600, 4, kShown), Coded(600, 4, kOld, QImage::Format_RGB888), 3},
      {"shown picture empty", QImage(), Coded(600, 4, kOld), 1},
      {"kind 0", Coded(600, 4, kShown), Coded(600, 4, kOld), 0},
      {"unknown kind", Coded(600, 4, kShown), Coded(600, 4, kOld), 7},
  };
  for (const Case& c : cases) {
    QImage dst = c.dst;
    const TurnStepResult r = DrawTurnStep(c.kind, 1, 4, dst, newPage, c.oldPage);
    EXPECT_TRUE(r.ended) << c.name;
    EXPECT_EQ(dst, newPage) << c.name;
    EXPECT_EQ(r.dirty, QRect(0, 0, 600, 4)) << c.name;
  }
  // Kind 1 never reads the old page, so a missing one does not stop it.
  QImage dst = Coded(600, 4, kShown);
  EXPECT_FALSE(DrawTurnStep(1, 0, 4, dst, newPage, QImage()).ended);
  // The frame functions alone paint nothing on mismatched pictures.
  QImage small = Coded(300, 4, kShown);
  for (auto* frame : {DrawTurnFrameNext, DrawTurnFrameBack, DrawSpreadTurnFrameNext1, DrawSpreadTurnFrameNext2,
                      DrawSpreadTurnFrameBack1, DrawSpreadTurnFrameBack2}) {
    EXPECT_TRUE(frame(small, newPage, newPage, 4, 2).isEmpty());
    EXPECT_EQ(Source(small, 0), "d0");
  }
}

TEST(PageTurn, PicturesPassedTwiceOrSharedGiveTheSameFrames) {
  const QImage newPage = Coded(600, 2, kNew);
  for (int kind = 1; kind <= 4; ++kind)
    for (int s = 0; s <= 9; ++s) {
      // Reference: three separate pictures, the old one a copy of the shown one.
      QImage want = Coded(600, 2, kOld);
      const QImage old = want.copy();
      const TurnStepResult ref = DrawTurnStep(kind, s, 4, want, newPage, old);
      // The shown picture passed as the old one too, and one sharing its pixels.
      QImage same = Coded(600, 2, kOld);
      EXPECT_EQ(DrawTurnStep(kind, s, 4, same, newPage, same).dirty, ref.dirty);
      EXPECT_EQ(same, want) << "kind " << kind << " s " << s;
      QImage shared = Coded(600, 2, kOld);
      const QImage sharing = shared;
      DrawTurnStep(kind, s, 4, shared, newPage, sharing);
      EXPECT_EQ(shared, want) << "kind " << kind << " s " << s;
      EXPECT_EQ(sharing, old);
    }
  // The new page as the shown picture: the end leaves it as it is.
  QImage dst = newPage;
  EXPECT_TRUE(DrawTurnStep(0, 0, 4, dst, newPage, newPage).ended);
  EXPECT_EQ(dst, newPage);
}

TEST(PageTurn, StepsOutsideTheirRangeStayInsideThePicture) {
  // The driver never calls these, but a stray step must not read or write out of range.
  const QImage newPage = Coded(601, 2, kNew), oldPage = Coded(601, 2, kOld);
  for (auto* frame : {DrawTurnFrameNext, DrawTurnFrameBack, DrawSpreadTurnFrameNext1, DrawSpreadTurnFrameNext2,
                      DrawSpreadTurnFrameBack1, DrawSpreadTurnFrameBack2}) {
    for (int s : {-50, -1, 20, 40, 1000}) {
      QImage dst = Coded(601, 2, kShown);
      const QRect dirty = frame(dst, newPage, oldPage, 4, s);
      EXPECT_TRUE(dirty.isEmpty() || dst.rect().contains(dirty)) << "s " << s;
    }
  }
}

}  // namespace
}  // namespace yomira
