#include "engine/core/special_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/text/cp932.h"

namespace yomira {

namespace {

constexpr std::string_view kIdeoSpace = "\x81\x40";                                  // "　"
constexpr std::string_view kNoteOpen = "\x81\x6d\x81\x94";                           // "［＃"
constexpr std::string_view kFigureEnd = "\x81\x6a\x93\xfc\x82\xe9\x81\x6e";          // "）入る］"
constexpr std::string_view kParenOpen = "\x81\x69";                                  // "（"
constexpr std::string_view kSizeOpen = "\x81\x41\x89\xa1";                           // "、横"
constexpr std::string_view kSizeBy = "\x81\x7e\x8f\x63";                             // "×縦"
constexpr std::string_view kQuoteOpen = "\x81\x75";                                  // "「"
constexpr std::string_view kQuoteClose = "\x81\x76";                                 // "」"
constexpr std::string_view kSideLine = "\x96\x54\x90\xfc";                           // "傍線"
constexpr std::string_view kEmphasis = "\x96\x54\x93\x5f";                           // "傍点"
constexpr std::string_view kGroundAligned = "\x92\x6e\x95\x74\x82\xab";              // "地付き"
constexpr std::string_view kFromGround = "\x92\x6e\x82\xa9\x82\xe7";                 // "地から"
constexpr std::string_view kRaise = "\x8e\x9a\x8f\xe3\x82\xb0";                      // "字上げ"
constexpr std::string_view kLeafBreak = "\x89\xfc\x92\x9a";                          // "改丁"
constexpr std::string_view kPageBreak = "\x89\xfc\x95\xc5";                          // "改頁"
constexpr std::string_view kPageBreak2 = "\x89\xfc\x83\x79\x81\x5b\x83\x57";         // "改ページ"
constexpr std::string_view kBlockBreak = "\x89\xfc\x92\x69";                         // "改段"
constexpr std::string_view kIndentEnd =
    "\x82\xb1\x82\xb1\x82\xc5\x8e\x9a\x89\xba\x82\xb0\x8f\x49\x82\xed\x82\xe8";     // "ここで字下げ終わり"
constexpr std::string_view kFromHere = "\x82\xb1\x82\xb1\x82\xa9\x82\xe7";           // "ここから"
constexpr std::string_view kIndent = "\x8e\x9a\x89\xba\x82\xb0";                     // "字下げ"
constexpr std::string_view kIndentWrap =
    "\x8e\x9a\x89\xba\x82\xb0\x81\x41\x90\xdc\x82\xe8\x95\xd4\x82\xb5\x82\xc4";     // "字下げ、折り返して"
constexpr std::string_view kHangingWrap =
    "\x82\xb1\x82\xb1\x82\xa9\x82\xe7\x89\xfc\x8d\x73\x93\x56\x95\x74\x82\xab"
    "\x81\x41\x90\xdc\x82\xe8\x95\xd4\x82\xb5\x82\xc4";                               // "ここから改行天付き、折り返して"
constexpr std::string_view kColophon = "\x92\xea\x96\x7b\x81\x46\x81\x75";           // "底本：「"

constexpr int kLegendRule = 55;
constexpr int kHorizontalRule = 80;

struct EmphasisName {
  std::string_view name;
  int16_t type;
};
// First match wins: 二重丸 before 丸, and 黒丸傍点 falls to 丸傍点.
constexpr EmphasisName kEmphasisNames[] = {
    {"\x94\x92\x83\x53\x83\x7d\x96\x54\x93\x5f", kWhiteSesame},   // 白ゴマ傍点
    {"\x8d\x95\x8e\x4f\x8a\x70\x96\x54\x93\x5f", kBlackTriangle}, // 黒三角傍点
    {"\x94\x92\x8e\x4f\x8a\x70\x96\x54\x93\x5f", kWhiteTriangle}, // 白三角傍点
    {"\x93\xf1\x8f\x64\x8a\xdb\x96\x54\x93\x5f", kDoubleCircle},  // 二重丸傍点
    {"\x8e\xd6\x82\xcc\x96\xda\x96\x54\x93\x5f", kBullseye},      // 蛇の目傍点
    {"\x94\x92\x8a\xdb\x96\x54\x93\x5f", kWhiteCircle},           // 白丸傍点
    {"\x8a\xdb\x96\x54\x93\x5f", kBlackCircle},                   // 丸傍点
    {"\x82\xc9\x96\x54\x93\x5f", kSesame},                        // に傍点
};

bool HasText(std::string_view text, std::string_view part) { return FindFrom(text, 1, part) > 0; }

bool IsRule(std::string_view line, size_t count) {
  return line.size() == count && line.find_first_not_of('-') == std::string_view::npos;
}

// The suffix starts at a character boundary, so it is a whole-character ending.
bool EndsWithChars(std::string_view text, std::string_view suffix) {
  if (!text.ends_with(suffix)) return false;
  const int at = static_cast<int>(text.size() - suffix.size()) + 1;
  return at > static_cast<int>(text.size()) || ByteTypeAt(text, at) != ByteType::Trail;
}

// Digits in either width; 0 when not a number.
int64_t ParseNumber(std::string_view digits) { return StrToIntDef(ToHalfWidth(digits), 0); }

TYomiraLine BlankLine(int sourceIndex) {
  TYomiraLine line;
  line.ends_paragraph = true;
  line.source_line = sourceIndex;
  return line;
}

TYomiraLine ElementLine(int sourceIndex, int16_t kind, int length) {
  TYomiraLine line = BlankLine(sourceIndex);
  AddElement(line.elements, {.kind = kind, .first = sourceIndex, .column = 1, .length = length});
  return line;
}

// Cells an element takes once laid out: a spacer holds its length of blank cells.
int64_t LaidCells(const TYomiraObject& el) { return TakesCells(el.kind) || el.kind == kSpacer ? el.length : 0; }

int64_t LineCells(const TYomiraLine& line) {
  int64_t cells = line.indent;
  for (const TYomiraObject& el : line.elements) cells += LaidCells(el);
  return cells;
}

// A spacer right after a note: at the end of its source span, over its source line.
TYomiraObject SpacerAfter(const TYomiraObject& note, int64_t length) {
  const SourcePos end = SourceEnd(note);
  TYomiraObject spacer;
  spacer.kind = kSpacer;
  spacer.first = spacer.last = end.line;
  spacer.column = end.end;
  spacer.length = static_cast<int32_t>(length);
  return spacer;
}

bool IsAsciiPrefix(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t k = 0; k < lowerPrefix.size(); ++k) {
    char c = text[k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerPrefix[k]) return false;
  }
  return true;
}

// The boundary after a run of digits (half or full width) that starts at pos; pos itself
// when none is there.
int SkipDigits(std::string_view s, int pos) {
  for (;;) {
    const int n = CharLen(s, pos);
    const unsigned char a = n ? static_cast<unsigned char>(s[pos - 1]) : 0;
    const unsigned char b = n == 2 ? static_cast<unsigned char>(s[pos]) : 0;
    if (n == 1 && a >= '0' && a <= '9') {
      pos += 1;
    } else if (n == 2 && a == 0x82 && b >= 0x4f && b <= 0x58) {  // "０".."９"
      pos += 2;
    } else {
      return pos;
    }
  }
}

// The length of name without a trailing size "、横" digits "×縦" digits; the whole length
// when it has none.
int WithoutSize(std::string_view name) {
  const int at = FindLastFrom(name, kSizeOpen);
  if (at <= 1) return static_cast<int>(name.size());  // a size alone is taken as the name
  const int w = at + static_cast<int>(kSizeOpen.size());
  const int wEnd = SkipDigits(name, w);
  if (wEnd == w || CopyView(name, wEnd, static_cast<int>(kSizeBy.size())) != kSizeBy)
    return static_cast<int>(name.size());
  const int h = wEnd + static_cast<int>(kSizeBy.size());
  const int hEnd = SkipDigits(name, h);
  if (hEnd == h || hEnd != static_cast<int>(name.size()) + 1) return static_cast<int>(name.size());
  return at - 1;
}

}  // namespace

// ---- illustrations ----

std::string GetTagAttr(std::string_view tag, std::string_view name) {
  // Lower-casing skips double-byte characters, so positions in both copies agree and the
  // value is cut from the original bytes.
  const std::string lower = AsciiLower(tag);
  std::string key = " ";
  key += AsciiLower(name);
  key += '=';
  const int p = FindFrom(lower, 1, key);
  const int len = static_cast<int>(tag.size());
  if (p <= 0 || p + static_cast<int>(key.size()) >= len) return {};
  int v = p + static_cast<int>(key.size());
  std::string_view closing = " ";
  if (CharLen(tag, v) == 1) {
    if (tag[v - 1] == '"') {
      closing = "\"";
      ++v;
    }
    if (v <= len && tag[v - 1] == '\'') {
      closing = "'";
      ++v;
    }
  }
  if (v > len) return {};
  // The closing is searched from v itself, so an empty quoted value stays empty.
  const int end = FindFrom(tag, v, closing);
  if (end <= 0) return {};
  return Copy(tag, v, end - v);
}

std::optional<Illustration> ParseIllustration(std::string_view line, const TYomiraOption& option) {
  if (option.ruby_tag) {
    std::string_view s = line;
    if (s.size() > 13 && s.starts_with(kIdeoSpace)) s.remove_prefix(kIdeoSpace.size());
    if (s.size() > 13 && s.starts_with(kNoteOpen) && EndsWithChars(s, kFigureEnd)) {
      const int suffixAt = static_cast<int>(s.size() - kFigureEnd.size()) + 1;
      const int open = FindLastFrom(s, kParenOpen, suffixAt);
      if (open > 0) {
        Illustration ill;
        ill.file = Copy(s, open + 2, suffixAt - open - 2);
        // The current notation adds the picture's size after the name.
        const int nameLength = WithoutSize(ill.file);
        if (nameLength < static_cast<int>(ill.file.size())) {
          ill.writtenFile = std::move(ill.file);
          ill.file = ill.writtenFile.substr(0, static_cast<size_t>(nameLength));
        }
        return ill;
      }
    }
  }
  if (option.images && line.size() > 9 && CharLen(line, 5) == 1 && IsAsciiPrefix(line, "<img ") &&
      line.back() == '>') {
    std::string tag(line.substr(1, line.size() - 2));
    tag += ' ';
    Illustration ill;
    ill.file = GetTagAttr(tag, "src");
    if (ill.file.empty()) return std::nullopt;
    ill.width = static_cast<int>(ParseNumber(GetTagAttr(tag, "width")));
    ill.height = static_cast<int>(ParseNumber(GetTagAttr(tag, "height")));
    ill.valign = AsciiLower(GetTagAttr(tag, "valign"));
    return ill;
  }
  return std::nullopt;
}

// ---- emphasis and side lines ----

int16_t GetEmphasisType(std::string_view rest) {
  for (const EmphasisName& e : kEmphasisNames)
    if (HasText(rest, e.name)) return e.type;
  return kEmphasisNone;
}

std::optional<EmphasisNote> ParseEmphasisNote(std::string_view noteText) {
  const int u = FindFrom(noteText, 1, kQuoteOpen);
  const int v = FindFrom(noteText, 1, kQuoteClose);
  if (u <= 0 || v <= 0 || v < u) return std::nullopt;
  EmphasisNote note;
  note.quoted = Copy(noteText, u + 2, v - u - 2);
  const std::string_view rest = CopyView(noteText, v + 2, static_cast<int>(noteText.size()));
  if (HasText(rest, kSideLine)) {
    note.sideLine = true;
  } else if (HasText(rest, kEmphasis)) {
    note.type = GetEmphasisType(rest);
  } else {
    return std::nullopt;
  }
  return note;
}

namespace {

// The character starts of one source line, so that the notes of a paragraph find their spans
// walking back from the note, never from the start of the line. A note's quoted text occurs in
// the note itself, so a later note on the same text stops at the latest such note at the most.
class QuotedFinder {
 public:
  explicit QuotedFinder(std::string_view line) : line_(line) {
    const int len = static_cast<int>(line.size());
    for (int pos = 1; pos <= len; pos = NextChar(line, pos)) starts_.push_back(pos);
  }

  // FindLastOf over this line.
  int FindLastBefore(std::string_view quoted, int column) const {
    const int m = static_cast<int>(quoted.size());
    if (column <= 1 || m == 0) return 0;
    const int limit = std::min(static_cast<int>(line_.size()), column - 1);  // last byte a match may use
    for (auto p = std::upper_bound(starts_.begin(), starts_.end(), limit - m + 1); p != starts_.begin();) {
      --p;
      if (std::memcmp(line_.data() + *p - 1, quoted.data(), static_cast<size_t>(m)) == 0) return *p;
    }
    return 0;
  }

 private:
  std::string_view line_;
  std::vector<int> starts_;
};

}  // namespace

int FindLastOf(std::string_view line, std::string_view quoted, int column) {
  return QuotedFinder(line).FindLastBefore(quoted, column);
}

namespace {

// Where an element ends within sourceLine; past every column when it runs on into a later line.
int64_t EndInLine(const TYomiraObject& el, int sourceLine) {
  const SourcePos e = SourceEnd(el);
  return e.line > sourceLine ? std::numeric_limits<int64_t>::max() : e.end;
}

// Whether the span that starts at column starts at el (or inside it).
bool StartsSpan(const TYomiraObject& el, int sourceLine, int column) {
  return el.first == sourceLine && (el.column == column || (el.column < column && column < EndInLine(el, sourceLine)));
}

// MarkSpan once the element where the span starts is known.
int MarkSpanFrom(std::vector<TYomiraObject>& elements, int first, int sourceLine, int column, int16_t type,
                 bool sideLine, int length) {
  const int64_t spanEnd = int64_t{column} + length;
  auto endOf = [&](const TYomiraObject& el) { return EndInLine(el, sourceLine); };
  const int count = static_cast<int>(elements.size());
  // Find the end before changing anything, so an unmatched span leaves no split behind.
  int last = -1;
  for (int k = first; k < count; ++k) {
    const TYomiraObject& el = elements[static_cast<size_t>(k)];
    if (el.first != sourceLine) return 0;
    if (endOf(el) >= spanEnd) {
      last = k;
      break;
    }
  }
  if (last < 0) return 0;

  int inserted = 0;
  // Text is split at a byte column; repeat marks and other kinds are never cut.
  auto splitAt = [&](int k, int64_t at) {
    TYomiraObject& el = elements[static_cast<size_t>(k)];
    if (el.kind != kText || at <= el.column || at >= int64_t{el.column} + el.length) return false;
    TYomiraObject tail = el;
    tail.column = static_cast<int32_t>(at);
    tail.length = static_cast<int32_t>(int64_t{el.column} + el.length - at);
    tail.split = 2;
    el.length = static_cast<int32_t>(at - el.column);
    el.split = 1;
    elements.insert(elements.begin() + k + 1, tail);
    ++inserted;
    return true;
  };
  if (splitAt(first, column)) {
    ++first;
    ++last;
  }
  splitAt(last, spanEnd);
  for (int k = first; k <= last; ++k) {
    TYomiraObject& el = elements[static_cast<size_t>(k)];
    if (sideLine) el.side_line = 1;
    if (type > 0) el.emphasis = type;
  }
  return inserted;
}

}  // namespace

int MarkSpan(std::vector<TYomiraObject>& elements, int sourceLine, int column, int16_t type, bool sideLine,
             int length) {
  if (length <= 0 || column <= 0) return 0;
  const auto start = std::find_if(elements.begin(), elements.end(),
                                  [&](const TYomiraObject& el) { return StartsSpan(el, sourceLine, column); });
  if (start == elements.end()) return 0;
  return MarkSpanFrom(elements, static_cast<int>(start - elements.begin()), sourceLine, column, type, sideLine,
                      length);
}

// ---- bottom alignment and padding ----

std::optional<int> ParseBottomAlign(std::string_view noteText, int indent, const TYomiraOption& option) {
  if (noteText == kGroundAligned) return 0;
  if (noteText.size() < 14 || noteText.size() > 18 || !noteText.starts_with(kFromGround) ||
      !EndsWithChars(noteText, kRaise))
    return std::nullopt;
  const std::string_view digits =
      noteText.substr(kFromGround.size(), noteText.size() - kFromGround.size() - kRaise.size());
  const int64_t offset = 2 * ParseNumber(digits);
  if (offset < 0 || offset > int64_t{option.v_size} - indent - 8) return std::nullopt;
  return static_cast<int>(offset);
}

int PadLines(DisplayLines& lines, int sourceIndex, int mode, const TYomiraOption& option) {
  int64_t unit = 1;
  const int64_t L = option.c_size, T = option.Colum, P = option.Page;
  if (mode == 0) unit = L;
  else if (mode == 1) unit = L * T;
  else if (mode == 2) unit = L * T * P;
  if (unit <= 0) unit = 1;  // a record never validated: no boundaries to pad to
  while (static_cast<int64_t>(lines.size()) % unit != 0) lines.push_back(BlankLine(sourceIndex));
  return static_cast<int>(static_cast<int64_t>(lines.size()) / unit);
}

// ---- the hooks ----

void SpecialLines::Begin(ConvertState& state) {
  lastLegendRule_ = -1;
  for (int i = static_cast<int>(state.source.size()) - 1; i >= 0; --i) {
    if (IsRule(state.source[static_cast<size_t>(i)], kLegendRule)) {
      lastLegendRule_ = i;
      break;
    }
  }
}

int SpecialLines::PadLines(ConvertState& state, int sourceIndex, int mode) {
  return yomira::PadLines(state.lines, sourceIndex, mode, state.option);
}

bool SpecialLines::HandleSpecialLine(ConvertState& state, int i) {
  const std::string& line = state.source[static_cast<size_t>(i)];
  const TYomiraOption& o = state.option;
  DisplayLines& lines = state.lines;

  if (o.images && line.size() == 5 && AsciiLower(line) == "<pbr>") {
    PadLines(state, i, 2);
    return true;
  }

  if (state.legendCount != 1) {
    if (const std::optional<Illustration> ill = ParseIllustration(line, o)) {
      const int length = static_cast<int>(line.size());
      const int64_t L = std::max(1, o.c_size);
      const int64_t lw = int64_t{o.f_size} + o.ruby_size + o.s_size;
      const int64_t w = ill->width;
      const int64_t left = static_cast<int64_t>(lines.size()) % L;
      if (w <= 0) {
        PadLines(state, i, 1);
        lines.push_back(ElementLine(i, kIllustration, length));
        PadLines(state, i, 1);
      } else if (w <= o.GetColumnExtent(static_cast<int32_t>(L - left)).first) {
        lines.push_back(ElementLine(i, kIllustration, length));
        const int64_t blanks = lw > 0 ? (w + lw - 1) / lw - 1 : 0;
        for (int64_t k = 0; k < blanks; ++k) lines.push_back(BlankLine(i));
      } else {
        PadLines(state, i, 0);
        lines.push_back(ElementLine(i, kIllustration, length));
        PadLines(state, i, 0);
      }
      return true;
    }
  }

  // A rule opens a legend only when another rule follows; a lone rule is text.
  if (o.ruby_tag && IsRule(line, kLegendRule) && (state.legendCount > 0 || lastLegendRule_ > i)) {
    ++state.legendCount;
    if (state.legendCount == 1) {
      if (state.coverState < 3) CenterCoverBlock(state, true);
    } else if (state.legendCount > 2 || state.coverState < 3) {
      PadLines(state, i, 1);
    }
    return true;
  }

  if (state.legendCount != 1 && IsRule(line, kHorizontalRule)) {
    lines.push_back(ElementLine(i, kRule, o.v_size));
    return true;
  }

  if (state.legendCount > 1 && line.size() > 8 && line.starts_with(kColophon)) PadLines(state, i, 1);
  return false;
}

bool SpecialLines::CenterCoverBlock(ConvertState& state, bool force) {
  DisplayLines& lines = state.lines;
  const int64_t L = state.option.c_size, V = state.option.v_size;
  const int64_t count = static_cast<int64_t>(lines.size());
  if (count == 0 || count >= L) return false;
  if (!force)
    for (const TYomiraLine& line : lines)
      if (line.GetTextWidth() >= V) return false;
  bool previousEnds = true;
  for (size_t j = 0; j < lines.size(); ++j) {
    TYomiraLine& line = lines[j];
    const int candidate = j == 0 ? 4 : 6;
    if (line.ends_paragraph && previousEnds && int64_t{line.indent} + line.GetTextWidth() + candidate < V)
      line.indent = static_cast<int16_t>(candidate);
    previousEnds = line.ends_paragraph;
  }
  lines.insert(lines.begin(), static_cast<size_t>((L - count) / 2), BlankLine(0));
  return true;
}

bool SpecialLines::HandleBlockAnnotation(ConvertState& state, const TYomiraObject& note, int i) {
  const std::string text = note.GetText(state.source, true);
  if (text.empty()) return false;
  if (text == kLeafBreak) return PadLines(state, i, 2), true;
  if (text == kPageBreak || text == kPageBreak2) return PadLines(state, i, 1), true;
  if (text == kBlockBreak) return PadLines(state, i, 0), true;
  if (text == kIndentEnd) {
    state.blockIndent = state.wrapIndent = 0;
    return true;
  }

  const int size = static_cast<int>(text.size());
  std::optional<std::string_view> first, wrap;  // the digits of N and M
  const std::string_view t = text;
  if (size >= 16 && size <= 20 && t.starts_with(kFromHere) && EndsWithChars(t, kIndent)) {
    first = wrap = t.substr(kFromHere.size(), t.size() - kFromHere.size() - kIndent.size());
  } else if (size >= 36 && size <= 40 && t.starts_with(kHangingWrap) && EndsWithChars(t, kIndent)) {
    first = std::string_view();
    wrap = t.substr(kHangingWrap.size(), t.size() - kHangingWrap.size() - kIndent.size());
  } else if (size >= 36 && size <= 40 && t.starts_with(kFromHere) && EndsWithChars(t, kIndent)) {
    const int p = FindFrom(t, 1, kIndentWrap);
    if (p >= 10 && p <= 13 && p + static_cast<int>(kIndentWrap.size()) <= size - static_cast<int>(kIndent.size()) + 1) {
      first = t.substr(kFromHere.size(), static_cast<size_t>(p - 1) - kFromHere.size());
      const size_t from = static_cast<size_t>(p - 1) + kIndentWrap.size();
      wrap = t.substr(from, t.size() - kIndent.size() - from);
    }
  }
  if (!first) return false;
  // Indents are counted in cells and must leave room on the line.
  const int64_t limit = int64_t{state.option.v_size} - 8;
  const int64_t n = first->empty() ? 0 : 2 * ParseNumber(*first);
  const int64_t m = 2 * ParseNumber(*wrap);
  if (n < 0 || n > limit || m < 0 || m > limit) {
    state.blockIndent = state.wrapIndent = 0;
    return false;
  }
  state.blockIndent = static_cast<int>(n);
  state.wrapIndent = static_cast<int>(m);
  return true;
}

void SpecialLines::ApplyEmphasisNotes(ConvertState& state, std::vector<TYomiraObject>& elements) {
  // One pass: the elements are in source order, so a note's span lies among those already
  // copied, found by binary search; the paragraph is rebuilt without the applied notes.
  std::vector<TYomiraObject> out;
  out.reserve(elements.size());
  std::optional<QuotedFinder> finder;
  int finderLine = -1;
  auto before = [](const TYomiraObject& el, std::pair<int, int> at) {
    return std::pair<int, int>(el.first, el.column) <= at;
  };
  for (const TYomiraObject& note : elements) {
    std::optional<EmphasisNote> parsed;
    if (note.kind == kAnnotation) parsed = ParseEmphasisNote(note.GetText(state.source, true));
    if (!parsed || note.first < 0 || static_cast<size_t>(note.first) >= state.source.size()) {
      out.push_back(note);
      continue;
    }
    if (note.first != finderLine) {
      finder.emplace(state.source[static_cast<size_t>(note.first)]);
      finderLine = note.first;
    }
    const int at = finder->FindLastBefore(parsed->quoted, note.column);
    if (at <= 0) {
      out.push_back(note);  // no match: the note stays an annotation
      continue;
    }
    // The note itself closes the search for the span's end, as it did in the paragraph.
    out.push_back(note);
    const auto next = std::partition_point(out.begin(), out.end(),
                                           [&](const TYomiraObject& el) { return before(el, {note.first, at}); });
    if (next != out.begin() && StartsSpan(*(next - 1), note.first, at))
      MarkSpanFrom(out, static_cast<int>(next - 1 - out.begin()), note.first, at, parsed->type, parsed->sideLine,
                   static_cast<int>(parsed->quoted.size()));
    out.pop_back();  // applied: the note is removed, whether or not a span was marked
  }
  elements.swap(out);
}

void SpecialLines::AlignBottomNotes(ConvertState& state, int firstLine) {
  DisplayLines& lines = state.lines;
  const int64_t V = state.option.v_size;
  bool nextEnds = false;
  int64_t nextWidth = 0;
  for (int j = static_cast<int>(lines.size()) - 1; j >= std::max(firstLine, 0); --j) {
    std::optional<TYomiraLine> inserted;
    TYomiraLine& line = lines[static_cast<size_t>(j)];
    const bool hasNext = j + 1 < static_cast<int>(lines.size());
    if (line.ends_paragraph || (hasNext && nextEnds)) {
      for (int idx = static_cast<int>(line.elements.size()) - 1; idx >= 0; --idx) {
        const TYomiraObject note = line.elements[static_cast<size_t>(idx)];
        if (note.kind != kAnnotation) continue;
        const std::optional<int> k = ParseBottomAlign(note.GetText(state.source, true), line.indent, state.option);
        if (!k) continue;
        int64_t before = line.indent, after = 0;
        for (int e = 0; e < static_cast<int>(line.elements.size()); ++e)
          (e < idx ? before : after) += LaidCells(line.elements[static_cast<size_t>(e)]);
        const auto tailBegin = line.elements.begin() + idx + 1;
        if (line.ends_paragraph && V - before >= after + *k) {
          line.elements.erase(line.elements.begin() + idx);
          const int64_t length = V - before - after - *k;
          if (length > 0) line.elements.insert(line.elements.begin() + idx, SpacerAfter(note, length));
        } else if (line.ends_paragraph && V - line.indent >= after + *k) {
          TYomiraLine next = BlankLine(line.source_line);
          next.indent = line.indent;
          const int64_t length = V - line.indent - after - *k;
          if (length > 0) next.elements.push_back(SpacerAfter(note, length));
          next.elements.insert(next.elements.end(), tailBegin, line.elements.end());
          line.elements.erase(line.elements.begin() + idx, line.elements.end());
          inserted = std::move(next);
        } else if (!line.ends_paragraph && hasNext && nextEnds && after + *k + nextWidth < V) {
          TYomiraLine& next = lines[static_cast<size_t>(j) + 1];
          std::vector<TYomiraObject> head;
          const int64_t length = V - after - *k - nextWidth;
          if (length > 0) head.push_back(SpacerAfter(note, length));
          head.insert(head.end(), tailBegin, line.elements.end());
          line.elements.erase(line.elements.begin() + idx, line.elements.end());
          next.elements.insert(next.elements.begin(), head.begin(), head.end());
        }
        break;  // only the last accepted note of a line counts
      }
    }
    nextEnds = line.ends_paragraph;
    nextWidth = LineCells(line);
    if (inserted) lines.insert(lines.begin() + j + 1, std::move(*inserted));
  }
}

}  // namespace yomira
