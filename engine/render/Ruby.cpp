#include "engine/render/Ruby.h"

#include <algorithm>

#include "platform/text/cp932.h"

namespace yomira {

namespace {

constexpr std::string_view kRepeatMark = "\x81\x5E\x81\x5F";             // ／＼
constexpr std::string_view kVoicedRepeatMark = "\x81\x5E\x81\x8D\x81\x5F";  // ／″＼
constexpr std::string_view kRepeatGlyph = "\x82\xAD";                     // く
constexpr std::string_view kVoicedRepeatGlyph = "\x82\xAE";               // ぐ
constexpr std::string_view kOpenParen = "\x81\x69";                       // （
constexpr std::string_view kCloseParen = "\x81\x6A";                      // ）

// Bytes taken by the repeat mark starting at the boundary pos, 0 for none.
int RepeatMarkAt(std::string_view text, int pos) {
  const std::string_view rest = text.substr(static_cast<size_t>(pos - 1));
  if (rest.starts_with(kVoicedRepeatMark)) return 6;
  if (rest.starts_with(kRepeatMark)) return 4;
  return 0;
}

bool InTtyWords(const TYomiraOption& option, std::string_view text, int pos) {
  if (CharLen(text, pos) != 1) return false;
  return Contains(option.tty_words, text.substr(static_cast<size_t>(pos - 1), 1));
}

}  // namespace

bool IsTateChuYoko(const TYomiraOption& option, std::string_view text, int p) {
  const int n = static_cast<int>(text.size());
  if (p < 1 || p + 1 > n) return false;
  if (!InTtyWords(option, text, p) || !InTtyWords(option, text, p + 1)) return false;
  return p + 1 == n || !InTtyWords(option, text, p + 2);
}

int32_t DisplayLength(std::string_view text) {
  const int n = static_cast<int>(text.size());
  if (n <= 5) return n;
  int count = 0;
  for (int pos = 1; pos <= n;) {
    if (RepeatMarkAt(text, pos) == 6) {
      ++count;
      pos += 6;
    } else {
      pos = NextChar(text, pos);
    }
  }
  return n - 2 * count;
}

void SplitRuby(std::string_view text, int32_t n, std::string& second, std::string& first, int32_t a, int32_t bb) {
  const int64_t total = std::max<int64_t>(int64_t{a} + bb, 1);
  const int64_t share = int64_t{bb} * n / total;
  const int64_t limit = std::max<int64_t>(share, 1) + 1;
  const int size = static_cast<int>(text.size());
  int pos = 1;
  int64_t counter = 1;
  while (pos <= size) {
    const int mark = RepeatMarkAt(text, pos);
    if (mark) {
      counter += 4;
      pos += mark;
    } else {
      const int len = CharLen(text, pos);
      counter += len;
      pos += len;
    }
    if (counter >= limit) break;
  }
  first = std::string(text.substr(0, static_cast<size_t>(std::min(pos - 1, size))));
  second = std::string(text.substr(first.size()));
}

void DrawTextRun(const RubyContext& ctx, std::string_view text, Point& pen, bool draw, int32_t gap, int32_t x,
                 int32_t y) {
  const TYomiraOption& o = ctx.option;
  const int32_t r = o.ruby_size;
  const int size = static_cast<int>(text.size());
  int64_t acc = 0;
  for (int pos = 1; pos <= size;) {
    std::string_view ch;
    int32_t advance = 0;
    int mode = goVertical;
    if (const int mark = RepeatMarkAt(text, pos)) {
      mode = goLongRepeat;
      UseGlyphForm(ctx.ruby, mode, o.font_family);
      ch = mark == 6 ? kVoicedRepeatGlyph : kRepeatGlyph;
      advance = (gap + r) * 2;
      pos += mark;
    } else if (CharLen(text, pos) == 2) {
      ch = text.substr(static_cast<size_t>(pos - 1), 2);
      mode = Contains(o.tty2words, ch) ? goRotated : goVertical;
      UseGlyphForm(ctx.ruby, mode, o.font_family);
      advance = gap + r;
      pos += 2;
    } else {
      ch = text.substr(static_cast<size_t>(pos - 1), 1);
      UseGlyphForm(ctx.ruby, goVertical, o.font2family);
      advance = (gap + r) / 2;
      pos += 1;
    }
    if (draw) {
      // The canvas draws a turned glyph from the cell's far corner: the ruby origin only
      // moved right for it, so move it down a cell too.
      const int32_t turn = mode == goRotated && !o.ruby_aa ? r : 0;
      ctx.painter.DrawString(x, static_cast<int32_t>(y + acc + turn), ctx.ruby, o.ruby_aa != 0, ch);
    }
    acc += advance;
  }
  pen = {x, static_cast<int32_t>(y + acc)};
}

void PlaceRuby(const RubyContext& ctx, std::string_view text, Point& pen, int mode, int32_t b, int32_t c,
               Point start, Point baseEnd) {
  if (start == baseEnd) return;
  const int32_t r = ctx.option.ruby_size;
  const int32_t length = DisplayLength(text);
  const int64_t rh = int64_t{length} * r / 2;
  int32_t gap = 0;
  Point local{0, 0};
  int32_t d = start.x, e = start.y;
  const int32_t fx = baseEnd.x, g = baseEnd.y;
  // A ruby never starts above the end of the previous ruby in the same column.
  const Point before = pen;
  auto clamp = [&before](int32_t x, int32_t& y) {
    if (x == before.x && y < before.y) y = before.y;
  };
  clamp(d, e);
  std::string rest(text);
  if (d == fx) {
    if (rh < int64_t{g} - e) {
      gap = static_cast<int32_t>((int64_t{g} - e - rh) / (length / 2 + 1));
      e += gap;
    } else {
      const int64_t o = rh + e - g;
      e = static_cast<int32_t>(e - o / 2);
    }
  } else {
    std::string first, second;
    SplitRuby(text, length, second, first, g - b, c - e);
    c = static_cast<int32_t>(c - int64_t{DisplayLength(first)} * r / 2);
    clamp(d, c);
    DrawTextRun(ctx, first, local, mode == 2 || mode == 3, gap, d, std::max(c, 0));
    rest = second;
    d = fx;
    e = b;
  }
  clamp(d, e);
  DrawTextRun(ctx, rest, local, mode == 1 || mode == 2, gap, d, std::max(e, 0));
  if (mode != 3) pen = local;
}

bool DrawKaeriten(const RubyContext& ctx, std::string_view text, int32_t x, int32_t y) {
  const TYomiraOption& o = ctx.option;
  const int32_t f = o.f_size, r = o.ruby_size, s = o.s_size, m = o.m_size;
  auto isKaeri = [&o](std::string_view ch) { return CharLen(ch, 1) == 2 && Contains(o.str_kaeri, ch); };
  auto draw = [&](int32_t px, int32_t py, std::string_view ch) {
    UseGlyphForm(ctx.ruby, goVertical, o.font_family);
    ctx.painter.DrawString(px, py, ctx.ruby, o.ruby_aa != 0, ch);
  };
  if (text.size() == 2 && isKaeri(text)) {
    if (r > 4) draw(x - std::min(r, s), y - (r + m) / 2, text);
    return true;
  }
  if (text.size() == 4 && isKaeri(text.substr(0, 2)) && isKaeri(text.substr(2, 2))) {
    if (r > 4) draw(x - std::min(r, s), y - r - m / 2, text);
    return true;
  }
  if (text.size() == 6 && text.starts_with(kOpenParen) && text.ends_with(kCloseParen) && IsLeadRange(text[2])) {
    draw(f + x - r / 2, y - (r + m) / 2, text.substr(2, 2));
    return true;
  }
  return false;
}

}  // namespace yomira
