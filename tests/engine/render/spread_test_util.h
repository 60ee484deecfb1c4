// Display lines built by hand and a painter that records what the spread drawing asks of
// it, so positions are checked exactly with no font.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/annotation_map.h"
#include "engine/core/display_line.h"
#include "engine/core/option.h"
#include "engine/core/option_defaults.h"
#include "engine/render/GlyphPainter.h"
#include "engine/render/RenderHost.h"
#include "support/test_support.h"

namespace yomira::test {

struct PaintCall {
  std::string what;  // "text", "repeat", "sideline", "rule", "emphasis", "picture"
  int32_t x = 0;
  int32_t y = 0;
  int mode = 0;      // orientation of the metrics (text, repeat), line mode (marks)
  std::string text;  // cp932
  std::string face;
  int32_t n = 0;     // cells (marks), cell (repeat), font height (text)
  Rect rect;         // picture
};

class RecordingPainter : public GlyphPainter {
 public:
  std::vector<PaintCall> calls;
  int32_t pairWidth = 14;

  void DrawString(int32_t x, int32_t y, const TYomiraTextMetrics& m, bool, std::string_view text) override {
    calls.push_back({"text", x, y, m.Orientation, std::string(text), m.LogFont.lfFaceName, m.LogFont.lfHeight, {}});
  }
  int32_t PairWidth(const TYomiraTextMetrics&, std::string_view) override { return pairWidth; }
  void DrawRepeatMark(std::string_view glyph, TYomiraTextMetrics& m, int, bool, int split, int32_t cell, int32_t x,
                      int32_t y) override {
    calls.push_back({"repeat", x, y, split, std::string(glyph), m.LogFont.lfFaceName, cell, {}});
  }
  void DrawSideLine(int32_t n, int32_t, int mode, int32_t x, int32_t y) override {
    calls.push_back({"sideline", x, y, mode, "", "", n, {}});
  }
  void DrawSideRule(int32_t x, int32_t y, int32_t n) override { calls.push_back({"rule", x, y, 0, "", "", n, {}}); }
  void BlendEmphasisMark(int32_t n, int32_t type, int mode, int32_t x, int32_t y) override {
    calls.push_back({"emphasis", x, y, mode, std::to_string(type), "", n, {}});
  }
  void DrawPicture(const QImage&, const Rect& rect) override {
    calls.push_back({"picture", rect.left, rect.top, 0, "", "", 0, rect});
  }

  std::vector<PaintCall> Of(const std::string& what) const {
    std::vector<PaintCall> out;
    for (const PaintCall& c : calls)
      if (c.what == what) out.push_back(c);
    return out;
  }
};

// One piece of a hand-built line: kind and its text (UTF-8, converted), or raw cp932.
struct Part {
  int kind = kText;
  std::u8string text;
  std::string raw;  // used instead of text when not empty
  int16_t split = 0;
  int16_t emphasis = 0;
  int16_t side = 0;
};

inline Part MakePart(int kind, std::u8string text, std::string raw = {}, int16_t split = 0) {
  Part p;
  p.kind = kind;
  p.text = std::move(text);
  p.raw = std::move(raw);
  p.split = split;
  return p;
}
inline Part T(std::u8string t) { return MakePart(kText, std::move(t)); }
inline Part Raw(std::string bytes) { return MakePart(kText, u8"", std::move(bytes)); }
inline Part RubyPart(std::u8string t) { return MakePart(kRuby, std::move(t)); }
inline Part Base() { return MakePart(kRubyBase, u8""); }
inline Part Note(std::u8string t) { return MakePart(kAnnotation, std::move(t)); }
inline Part Repeat(int16_t split = 0) { return MakePart(kRepeat, u8"", "", split); }
inline Part Voiced() { return MakePart(kVoicedRepeat, u8""); }
inline Part Spacer(int n) { return MakePart(kSpacer, u8"", std::string(static_cast<size_t>(n), ' ')); }

// The default record with the layout the tables are written for.
inline TYomiraOption SpreadOptions() {
  TYomiraOption o = DefaultOptions();
  o.f_size = 14;
  o.ruby_size = 8;
  o.s_size = 4;
  o.m_size = 0;
  o.c_size = 16;
  o.v_size = 64;
  o.yohaku_w = 40;
  o.yohaku_h = 25;
  o.Page = 1;
  o.Colum = 1;
  o.text_aa = 0;
  o.ruby_aa = 1;
  return o;
}

// Appends one source line made of the parts and the display line pointing into it.
inline TYomiraLine AddLine(SourceLines& src, const std::vector<Part>& parts, int16_t indent = 0, bool ends = true) {
  TYomiraLine dl;
  dl.indent = indent;
  dl.ends_paragraph = ends;
  dl.source_line = static_cast<int32_t>(src.size());
  std::string line;
  for (const Part& p : parts) {
    const std::string body = p.raw.empty() ? sj(p.text) : p.raw;
    TYomiraObject e;
    e.kind = static_cast<int16_t>(p.kind);
    e.split = p.split;
    e.emphasis = p.emphasis;
    e.side_line = p.side;
    e.first = e.last = dl.source_line;
    e.column = static_cast<int32_t>(line.size()) + 1;
    std::string piece;
    switch (p.kind) {
      case kRuby: piece = sj(u8"《") + body + sj(u8"》"); break;
      case kRubyBase: piece = sj(u8"｜"); break;
      case kAnnotation: piece = sj(u8"［＃") + body + sj(u8"］"); break;
      case kRepeat: piece = p.split ? sj(p.split == 1 ? u8"／" : u8"＼") : sj(u8"／＼"); break;
      case kVoicedRepeat: piece = sj(u8"／″＼"); break;
      case kSpacer: piece.clear(); break;
      default: piece = body; break;
    }
    e.length = static_cast<int32_t>(piece.size());
    if (p.kind == kVoicedRepeat) e.length = 4;
    if (p.kind == kSpacer) {
      e.column = 1;
      e.length = static_cast<int32_t>(p.raw.size());
    }
    line += piece;
    dl.elements.push_back(e);
  }
  src.push_back(line);
  return dl;
}

}  // namespace yomira::test
