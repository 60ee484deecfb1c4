#include "engine/core/line_break.h"

#include <algorithm>
#include <limits>

#include "platform/text/cp932.h"

namespace yomira {

namespace {

// The kinsoku lists as tables, rebuilt when a list's text differs from the one they were
// built from: a line break asks up to a line's worth of membership questions.
class KinsokuTables {
 public:
  const CharSet& head() const { return head_.set; }
  const CharSet& foot() const { return foot_.set; }
  const CharSet& pair() const { return pair_.set; }
  void follow(const TYomiraOption& option) {
    head_.follow(option.wrap_words);
    foot_.follow(option.wrap_word2);
    pair_.follow(option.tty_words);
  }

 private:
  struct Table {
    std::string list;
    CharSet set;
    void follow(const std::string& now) {
      if (now == list) return;
      list = now;
      set = CharSet(list);
    }
  };
  Table head_, foot_, pair_;
};

const KinsokuTables& TablesFor(const TYomiraOption& option) {
  thread_local KinsokuTables tables;
  tables.follow(option);
  return tables;
}

// The character that starts at the boundary pos; empty past the end.
std::string_view CharView(std::string_view text, int pos) { return CopyView(text, pos, CharLen(text, pos)); }

// Offset k (4 <= k < w) of the nearest character before s + w that starts at s + k and may
// stand at a line edge: a single-byte character, or a double-byte one not in list. -1 when
// there is none. The character starts are found by walking forward from the boundary s;
// the check runs backward so that the list is searched only as far as needed.
int NearestAllowed(std::string_view text, int s, int w, const CharSet& list) {
  const int len = static_cast<int>(text.size());
  if (s < 1) return -1;
  const int end = static_cast<int>(std::min<int64_t>(int64_t{s} + w - 1, len));  // last start looked at
  std::vector<int> starts;
  for (int pos = s; pos <= end; pos = NextChar(text, pos))
    if (pos - s >= 4) starts.push_back(pos);
  for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
    if (CharLen(text, *it) == 1 || !list.contains(CharView(text, *it))) return *it - s;
  }
  return -1;
}

// Splits el so that it keeps all but its last r cells (split 1); returns the rest (split 2).
TYomiraObject SplitOff(TYomiraObject& el, int32_t r) {
  TYomiraObject rest = el;
  rest.split = 2;
  rest.column = el.column + el.length - r;
  rest.length = r;
  el.length -= r;
  el.split = 1;
  return rest;
}

// Elements that take no cells stay on the line of the text before them; a ruby-base
// marker opens the next base and so goes with the text after it.
bool StaysWithTextBefore(const TYomiraObject& el) { return !TakesCells(el.kind) && el.kind != kRubyBase; }

int16_t ClampIndent(int indent) {
  return static_cast<int16_t>(std::clamp<int>(indent, std::numeric_limits<int16_t>::min(),
                                               std::numeric_limits<int16_t>::max()));
}

}  // namespace

bool NeedAutoIndent(std::string_view text, const TYomiraOption& option) {
  if (text.empty()) return false;
  const std::string_view first = CharView(text, 1);
  if (first == "\x81\x40" || first == " ") return false;  // full-width or ASCII blank
  return !Contains(option.indent_words, first);
}

int FindLineBreak(std::string_view text, int s, int indent, const TYomiraOption& option) {
  const int64_t len = static_cast<int64_t>(text.size());
  s = std::max(s, 1);
  // An indent at or past the line length still leaves one character, so breaking ends.
  int w = static_cast<int>(std::clamp<int64_t>(int64_t{option.v_size} - indent, 2, 1 << 20));
  if (len < int64_t{s} + w) return w;

  // Walk from the line start to the character that holds the line's last byte t.
  const int t = s + w - 1;
  int prev = s, cur = s;
  for (int next = NextChar(text, cur); next <= t; next = NextChar(text, cur)) {
    prev = cur;
    cur = next;
  }
  // The character holding byte s + w - 2: the last one when it is double-byte, else the
  // one before it.
  int foot = cur == t && CharLen(text, t) == 1 ? prev : cur;
  if (cur == t && CharLen(text, t) == 2) {
    ++w;  // do not cut the last character
    foot = cur;
  }
  if (!option.strict) return w;

  const int a_pos = s + w;
  const std::string_view a = CharView(text, a_pos);
  const int a_len = static_cast<int>(a.size());
  const std::string_view b = CharView(text, a_pos + a_len);
  const int b_len = static_cast<int>(b.size());
  // b matters for the head list only when a is in it.
  const KinsokuTables& lists = TablesFor(option);
  const bool a_head = lists.head().contains(a);
  const bool b_head = a_head && lists.head().contains(b);
  if (a_head && !b_head) return w + a_len;  // a hangs into the spare cells
  if (lists.pair().contains(a) && lists.pair().contains(b)) {
    const std::string_view c = CharView(text, a_pos + a_len + b_len);
    // Exactly a pair: it stays on this line as one upright cell.
    if (c.empty() || c.size() == 2 || !lists.pair().contains(c)) return w + a_len + b_len;
  }
  if (a_head && b_head) return PushOutHead(text, s, w, option);
  if (lists.foot().contains(CharView(text, foot))) return PullBackFoot(text, s, w, option);
  return w;
}

int PushOutHead(std::string_view text, int s, int w, const TYomiraOption& option) {
  const int k = NearestAllowed(text, s, w, TablesFor(option).head());
  return k < 0 ? w : k;
}

int PullBackFoot(std::string_view text, int s, int w, const TYomiraOption& option) {
  const int k = NearestAllowed(text, s, w, TablesFor(option).foot());
  return k < 0 ? w : k + CharLen(text, s + k);
}

std::string GetLineText(const std::vector<TYomiraObject>& elements, const SourceLines& sources) {
  return GetElementsText(elements, sources, true);
}

int SplitElementsAt(std::vector<TYomiraObject>& elements, int p) {
  const int n = static_cast<int>(elements.size());
  int64_t b = 1;
  for (int i = 0; i < n; ++i) {
    TYomiraObject& el = elements[static_cast<size_t>(i)];
    if (TakesCells(el.kind)) {
      const int64_t e = b + el.length;
      if (e == p) {
        while (i + 1 < n && StaysWithTextBefore(elements[static_cast<size_t>(i) + 1])) ++i;
        return i;
      }
      if (e > p) {
        if (p <= b) return std::max(i - 1, 0);  // p before the first cell: nothing to split
        const TYomiraObject rest = SplitOff(el, static_cast<int32_t>(e - p));
        elements.insert(elements.begin() + i + 1, rest);
        return i;
      }
      b = e;
    }
  }
  return std::max(n - 1, 0);
}

void BreakParagraph(std::vector<TYomiraObject>& elements, std::string_view text, int32_t source_index,
                    int first_indent, int wrap_indent, const TYomiraOption& option, DisplayLines& out) {
  const int len = static_cast<int>(text.size());
  const size_t n = elements.size();
  size_t next = 0;  // first element not yet placed
  int64_t b = 1;    // text position where elements[next] starts
  int pos = 1;
  int indent = first_indent;
  if (len == 0) indent = 0;
  do {
    const int width = len == 0 ? 1 : FindLineBreak(text, pos, indent, option);
    const int p = pos + width;
    TYomiraLine& line = out.emplace_back();
    line.indent = ClampIndent(indent);
    line.source_line = source_index;
    std::vector<TYomiraObject>& placed = line.elements;
    if (p > len) {
      line.ends_paragraph = true;
      placed.assign(elements.begin() + static_cast<std::ptrdiff_t>(next), elements.end());
      break;
    }
    // The same walk as SplitElementsAt, resumed where the previous line ended; the part of
    // a split element that belongs to the next line stays in elements[next].
    while (next < n) {
      TYomiraObject& el = elements[next];
      if (!TakesCells(el.kind)) {
        placed.push_back(el);
        ++next;
        continue;
      }
      const int64_t e = b + el.length;
      if (e <= p) {
        placed.push_back(el);
        ++next;
        b = e;
        if (e < p) continue;
        while (next < n && StaysWithTextBefore(elements[next])) placed.push_back(elements[next++]);
        break;
      }
      if (p > b) {
        const TYomiraObject rest = SplitOff(el, static_cast<int32_t>(e - p));
        placed.push_back(el);
        el = rest;
        b = p;
      }
      break;
    }
    indent = wrap_indent;
    pos = p;
  } while (pos <= len);
  elements.clear();
}

}  // namespace yomira
