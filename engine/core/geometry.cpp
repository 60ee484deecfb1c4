// Layout numbers to counts and pixel positions. Every product is taken in 64 bits, so a
// validated record never overflows whatever the 32-bit arguments; a constructed record
// (all zero) gives zeros instead of dividing by zero. Divisions truncate toward zero.
#include <algorithm>

#include "engine/core/display_line.h"
#include "engine/core/option.h"
#include "platform/text/cp932.h"

namespace yomira {

namespace {

int32_t Narrow(int64_t v) { return static_cast<int32_t>(v); }

}  // namespace

int32_t TYomiraOption::GetAnimationFrames() const {
  switch (Quality) {
    case 0: return 3;
    case 1: return 4;
    case 2: return 6;
    case 3: return 8;
    case 4: return 12;
    default: return 4;
  }
}

std::pair<int32_t, int32_t> TYomiraOption::GetColumnExtent(int32_t n) const {
  const int64_t lw = int64_t{f_size} + ruby_size + s_size;
  const int64_t height = (int64_t{v_size} + 3) * (int64_t{f_size} + m_size) / 2;
  return {Narrow(int64_t{n} * lw), Narrow(height)};
}

int32_t TYomiraOption::GetLineX(int32_t line, int32_t page) const {
  const int64_t lw = int64_t{f_size} + ruby_size + s_size;
  const int64_t pages_right = int64_t{Page} - page;  // pages standing left of this one
  return Narrow(yohaku_w + lw * (int64_t{c_size} - line - 1) + pages_right * lw * c_size +
                pages_right * PageMargin - pages_right * s_size);
}

int32_t TYomiraOption::GetRubyLineX(int32_t line, int32_t page) const {
  return Narrow(int64_t{GetLineX(line, page)} + f_size);
}

int32_t TYomiraOption::GetCharY(int32_t cell, int32_t block) const {
  const int64_t pitch2 = int64_t{f_size} + m_size;  // two cells
  const int64_t blocks_above = int64_t{block} - 1;
  // The two halvings truncate separately.
  return Narrow(yohaku_h + (int64_t{cell} - 1) * pitch2 / 2 +
                blocks_above * (int64_t{v_size} + 3) * pitch2 / 2 + blocks_above * yohaku_c -
                blocks_above * m_size);
}

int32_t TYomiraOption::GetRubyCharY(int32_t cell, int32_t block) const { return GetCharY(cell, block); }

Rect TYomiraOption::GetPageRect(int32_t page) const {
  Rect r;
  r.left = GetLineX(c_size - 1, page);
  r.top = GetCharY(1, 1);
  r.right = Narrow(int64_t{f_size} + GetLineX(0, page) + ruby_size);
  r.bottom = GetCharY(v_size + 1, Colum);
  return r;
}

int32_t TYomiraOption::GetFirstLineIndex(int32_t view, int32_t block, int32_t page) const {
  const int64_t L = c_size, T = Colum, P = Page;
  return Narrow(L * (block + T * (page + P * (int64_t{view} - 1) - 1) - 1));
}

int32_t TYomiraOption::GetViewCount(int64_t line_count) const {
  const int64_t per_view = int64_t{c_size} * Colum * Page;
  if (per_view <= 0 || line_count <= 0) return 0;
  return Narrow(line_count / per_view + (line_count % per_view > 0 ? 1 : 0));
}

int32_t TYomiraOption::GetViewCount(const DisplayLines& lines) const {
  return GetViewCount(static_cast<int64_t>(lines.size()));
}

int32_t TYomiraOption::AdjustTextX(int32_t x, int32_t mode) const {
  if (text_aa || mode == 1) return x;
  return Narrow(int64_t{x} + f_size);
}

int32_t TYomiraOption::AdjustTextY(int32_t y, int32_t mode) const {
  int64_t v = y;
  if (!text_aa && mode == 2) v += f_size;
  if (mode == 3) v += m_size / 2;
  return Narrow(v);
}

int32_t TYomiraOption::AdjustRubyX(int32_t x, int32_t mode) const {
  if (ruby_aa || mode == 1) return x;
  return Narrow(int64_t{x} + ruby_size);
}

int32_t TYomiraOption::AdjustRubyY(int32_t y, int32_t mode) const {
  if (ruby_aa || mode != 2) return y;
  return Narrow(int64_t{y} + ruby_size);
}

Point TYomiraOption::GetRubyOrigin(int32_t line, int32_t cell, int& mode, int32_t page,
                                   int32_t block) const {
  return {AdjustRubyX(GetRubyLineX(line, page), mode), AdjustRubyY(GetRubyCharY(cell, block), mode)};
}

bool TYomiraOption::IsDoubleByteLetter(std::string_view ch) {
  if (ch.size() != 2 || !IsLeadRange(ch[0])) return false;
  const int code = static_cast<unsigned char>(ch[0]) * 256 + static_cast<unsigned char>(ch[1]);
  // 0x8140-0x889E: punctuation, symbols, digits, Latin, kana, Greek, Cyrillic, box drawing.
  return code < 0x8140 || code > 0x889E;
}

bool TYomiraOption::IsRubyBaseChar(std::string_view ch) const {
  return Contains(kanji_list, ch) || IsDoubleByteLetter(ch);
}

void TYomiraOption::TrackRubyBase(int32_t line, int32_t cell, int& mode, Point& point,
                                  bool& in_letter_run, bool& in_kanji_run, std::string_view ch,
                                  int32_t page, int32_t block) const {
  if (ch.empty()) return;
  mode = 0;
  // Classified by the first byte: a lead byte with a byte after it opens a double-byte
  // character; anything else (a tate-chu-yoko pair included) counts as single-byte.
  if (CharLen(ch, 1) == 2) {
    if (!IsRubyBaseChar(ch.substr(0, 2))) {
      in_letter_run = false;
      in_kanji_run = false;
    } else if (!in_kanji_run) {
      point = GetRubyOrigin(line, cell, mode, page, block);
      in_kanji_run = true;
      in_letter_run = false;
    }
    return;
  }
  if (!in_letter_run) {
    point = GetRubyOrigin(line, cell, mode, page, block);
    in_kanji_run = false;
    in_letter_run = true;
  }
  // A blank ends a Latin word, so the next letter opens a new run.
  if (ch[0] == ' ') in_letter_run = false;
}

}  // namespace yomira
