#include <gtest/gtest.h>

#include "engine/render/TextMetrics.h"

namespace yomira {
namespace {

// Metrics set by hand: A 17, D 3, Hf 20, no font needed.
TYomiraTextMetrics Synthetic(int mode, int internalLeading = 0) {
  TYomiraTextMetrics m;
  m.Metrics.tmAscent = 17;
  m.Metrics.tmDescent = 3;
  m.Metrics.tmInternalLeading = internalLeading;
  m.LogFont.lfHeight = 20;
  m.Orientation = mode;
  return m;
}

GlyphMetrics Origin(int ox, int oy) {
  GlyphMetrics gm;
  gm.gmptGlyphOrigin = {ox, oy};
  return gm;
}

TEST(TextMetrics, ConstructedState) {
  TYomiraTextMetrics m;
  EXPECT_EQ(m.ExtraAdvance, 0);
  EXPECT_EQ(m.Orientation, 0);
  EXPECT_EQ(m.TextColor, clWindowText);
  EXPECT_EQ(m.BackColor, clWindow);
  EXPECT_EQ(m.Font(), nullptr);
}

TEST(TextMetrics, AdjustGlyphOriginPerMode) {
  struct Case {
    int mode;
    bool flipped;
    int il;
    int dx, dy;
  } cases[] = {
      {1, false, 0, 2, 2},   {1, true, 0, 2, -32}, {2, false, 0, 22, -12}, {0, false, 0, 5, -15},
      {3, false, 0, 5, -15}, {4, false, 0, 5, -15}, {5, false, 0, 5, -15}, {7, false, 0, 5, -15},
      {0, false, 2, 3, -15},
  };
  for (const Case& c : cases) {
    const TYomiraTextMetrics m = Synthetic(c.mode, c.il);
    int x = 100, y = 200;
    m.AdjustGlyphOrigin(x, y, c.flipped, Origin(2, 15));
    EXPECT_EQ(x - 100, c.dx) << "mode " << c.mode << " flipped " << c.flipped << " IL " << c.il;
    EXPECT_EQ(y - 200, c.dy) << "mode " << c.mode << " flipped " << c.flipped << " IL " << c.il;
  }
}

TEST(TextMetrics, AdvanceGlyph) {
  TYomiraTextMetrics m = Synthetic(0);
  m.LogFont.lfHeight = 15;
  int x = 10, y = 10;
  m.AdvanceGlyph(x, y, 1, {});
  EXPECT_EQ(y, 17);  // odd height: 15 / 2 = 7
  m.AdvanceGlyph(x, y, 2, {});
  EXPECT_EQ(y, 32);
  EXPECT_EQ(x, 10);
  m.Orientation = goHorizontal;
  GlyphMetrics gm;
  gm.gmCellIncX = 65535;  // read as 16-bit signed: -1
  m.AdvanceGlyph(x, y, 1, gm);
  EXPECT_EQ(x, 9);
  EXPECT_EQ(y, 32);
}

TEST(TextMetrics, ColoursSplitFromTheResolvedTextColour) {
  TYomiraTextMetrics m;
  m.TextColor = 0x00F0FAFF;
  m.ReadMetrics();
  EXPECT_EQ(m.Red, 0xFF);
  EXPECT_EQ(m.Green, 0xFA);
  EXPECT_EQ(m.Blue, 0xF0);
  m.TextColor = clWindowText;
  m.ReadMetrics();
  EXPECT_EQ(m.Red, 0);
  EXPECT_EQ(m.Green, 0);
  EXPECT_EQ(m.Blue, 0);
  m.TextColor = clWindow;
  m.ReadMetrics();
  EXPECT_EQ(m.Red + m.Green + m.Blue, 3 * 255);
}

TEST(TextMetrics, ModeOutsideTheRangeIsStoredAndTheFontKept) {
  TYomiraTextMetrics m;
  m.SetFont("", false, 0);  // no font: the state machine alone
  m.SetOrientation(2);
  EXPECT_EQ(m.FontMode(), 2);
  EXPECT_EQ(m.LogFont.lfEscapement, 1800);
  m.SetOrientation(7);
  EXPECT_EQ(m.Orientation, 7);
  EXPECT_EQ(m.FontMode(), 2);
  EXPECT_EQ(m.LogFont.lfEscapement, 1800);
  m.SetOrientation(-1);
  EXPECT_EQ(m.Orientation, -1);
  EXPECT_EQ(m.FontMode(), 2);
}

TEST(TextMetrics, SetFontLeavesTheStoredOrientation) {
  TYomiraTextMetrics m;
  m.SetOrientation(3);
  m.SetFont("x", true, 0);
  EXPECT_EQ(m.Orientation, 3);
  EXPECT_EQ(m.LogFont.lfEscapement, 0);
  EXPECT_EQ(m.LogFont.lfWeight, 700);
  EXPECT_EQ(m.FontMode(), goHorizontal);
}

TEST(TextMetrics, LongRepeatWidthIsAlwaysDoubleTheNaturalOne) {
  TYomiraTextMetrics m;
  m.SetOrientation(0);
  m.SetOrientation(3);
  EXPECT_EQ(m.LogFont.lfWidth, 2);
  m.SetOrientation(4);  // a second switch within 3-5 does not double again
  EXPECT_EQ(m.LogFont.lfWidth, 2);
  m.SetOrientation(0);
  EXPECT_EQ(m.LogFont.lfWidth, 0);
}

TEST(TextMetrics, HeightZeroGivesNoFont) {
  TYomiraTextMetrics m;
  m.SetFont("@IPAexMincho", false, 0);
  EXPECT_EQ(m.Font(), nullptr);
  EXPECT_EQ(m.Glyph(0x8EBF), nullptr);
  EXPECT_EQ(m.Metrics.tmHeight, 0);
}

}  // namespace
}  // namespace yomira
