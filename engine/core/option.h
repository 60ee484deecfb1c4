// The option record: every setting that shapes the layout, the reading of the notation,
// kinsoku, the input bindings, the colours and the paths. A constructed record holds
// zeroes and empty strings; DefaultOptions() gives the values of a first start.
// Strings are cp932 bytes (they are matched against document text), except that the
// paths and face names are kept exactly as stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yomira {

// A 24-bit colour, 0x00BBGGRR: red in the low byte.
using TColor = uint32_t;

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const Rect&) const = default;
};

struct TYomiraLine;
using DisplayLines = std::vector<TYomiraLine>;

struct TYomiraOption {
  // Flags (0 off, non-zero on).
  uint8_t bg_image = 0;
  uint8_t strict = 0;
  uint8_t aut_indent = 0;
  uint8_t page_ani = 0;
  uint8_t images = 0;
  uint8_t ruby_tag = 0;
  uint8_t UseCover = 0;
  uint8_t UseSound = 0;
  uint8_t text_aa = 0;
  uint8_t ruby_aa = 0;
  uint8_t bold = 0;
  uint8_t MSS = 0;
  uint8_t UseShadow = 0;
  uint8_t re_wrap = 0;
  uint8_t toRuby = 0;
  uint8_t ParseHTML = 0;

  // Layout numbers, pixels unless said otherwise.
  int32_t f_size = 0;      // body font size (column width, character height)
  int32_t ruby_size = 0;   // ruby font size; ruby is drawn only above 4
  int32_t s_size = 0;      // gap between lines
  int32_t m_size = 0;      // gap between characters
  int32_t c_size = 0;      // lines per column block
  int32_t v_size = 0;      // half-width cells per line (twice the characters per line)
  int32_t yohaku_w = 0;    // left and right margin
  int32_t yohaku_h = 0;    // top and bottom margin
  int32_t Colum = 0;       // column blocks per page, top to bottom
  int32_t yohaku_c = 0;    // gap between blocks
  int32_t Page = 0;        // pages per view, right to left
  int32_t PageMargin = 0;  // gap between pages

  // Input bindings: action codes.
  int32_t click[9] = {};   // slot = button (left, right, middle) + 3 * modifier (none, Shift, Ctrl)
  int32_t wheel[6] = {};   // up, down, Ctrl+up, Ctrl+down, Shift+up, Shift+down
  int32_t Resize = 0;      // end of a resize without Ctrl: 1 fit the font, 2 fit the grid
  int32_t ResizeCtrl = 0;  // the same with Ctrl
  int32_t side[2] = {};    // first and second extra mouse button
  int32_t TrackLeft = 0;
  int32_t TrackRight = 0;
  int32_t TrackMiddle = 0;

  // Other numbers.
  int32_t Quality = 0;     // page-turn animation quality 0..4
  int32_t TimeOut = 0;     // web connect time-out in seconds
  int32_t ReWrapType = 0;  // 0 fixed line length, 1 compel

  // Strings (cp932).
  std::string font_family;
  std::string font2family;
  std::string wrap_words;     // may not start a line
  std::string wrap_word2;     // may not end a line
  std::string indent_words;   // at a paragraph start: no automatic indent
  std::string re_wrap_words;  // a hard-wrapped line ending in one is not joined
  std::string WrapChar;       // ends a paragraph for the compel re-wrap
  std::string str_kaeri;      // annotation texts drawn as kanbun reading marks
  std::string tty_words;      // single-byte characters set two to an upright cell
  std::string tty2words;      // double-byte characters drawn rotated
  std::string kanji_list;     // extra ruby base characters
  std::string bg_image_str;   // background picture path
  std::string SoundPath;      // page-turn sound path
  std::string filelist_ext;   // "*.txt,*.html,*.htm"
  std::string HTTPAgent;      // user agent of the web fetch

  // Colours.
  TColor text_color = 0;
  TColor ruby_color = 0;
  TColor back_color = 0;
  TColor mss_color = 0;
  TColor ShadowColor = 0;

  void Assign(const TYomiraOption& source) { *this = source; }
  bool operator==(const TYomiraOption&) const = default;

  // Clamps every number to its range and tidies the extension list.
  void Validate();
  // True when the extension (with its dot, any case) is one of the masks of filelist_ext.
  bool IsListedExtension(std::string_view extension) const;

  // Geometry (geometry.cpp). Divisions truncate toward zero.
  int32_t GetAnimationFrames() const;
  std::pair<int32_t, int32_t> GetColumnExtent(int32_t n) const;  // width of n lines, block height
  Rect GetPageRect(int32_t page) const;
  int32_t GetFirstLineIndex(int32_t view, int32_t block, int32_t page) const;
  // Views needed for line_count display lines; 0 for none or for a record not yet validated.
  int32_t GetViewCount(const DisplayLines& lines) const;
  int32_t GetViewCount(int64_t line_count) const;
  int32_t GetLineX(int32_t line, int32_t page) const;
  int32_t GetCharY(int32_t cell, int32_t block) const;
  int32_t GetRubyLineX(int32_t line, int32_t page) const;
  int32_t GetRubyCharY(int32_t cell, int32_t block) const;
  int32_t AdjustTextX(int32_t x, int32_t mode) const;
  int32_t AdjustTextY(int32_t y, int32_t mode) const;
  int32_t AdjustRubyX(int32_t x, int32_t mode) const;
  int32_t AdjustRubyY(int32_t y, int32_t mode) const;
  // mode is the orientation field of the ruby metrics.
  Point GetRubyOrigin(int32_t line, int32_t cell, int& mode, int32_t page, int32_t block) const;
  void TrackRubyBase(int32_t line, int32_t cell, int& mode, Point& point, bool& in_letter_run,
                     bool& in_kanji_run, std::string_view ch, int32_t page, int32_t block) const;
  bool IsRubyBaseChar(std::string_view ch) const;
  static bool IsDoubleByteLetter(std::string_view ch);
};

}  // namespace yomira
