#include "engine/core/convert.h"

#include <algorithm>
#include <array>
#include <climits>

#include "engine/core/line_break.h"
#include "engine/core/rewrap.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace yomira {

namespace {

constexpr std::string_view kBaseMark = "\x81\x62";               // "｜"
constexpr std::string_view kNoteOpen = "\x81\x6d\x81\x94";        // "［＃"
constexpr std::string_view kNoteClose = "\x81\x6e";               // "］"
constexpr std::string_view kRepeatMark = "\x81\x5e\x81\x5f";          // "／＼"
constexpr std::string_view kVoicedRepeatMark = "\x81\x5e\x81\x8d\x81\x5f";  // "／″＼"
constexpr std::string_view kRubyOpen = "\x81\x73";                // "《"
constexpr std::string_view kRubyClose = "\x81\x74";               // "》"
constexpr std::string_view kParenOpen = "\x81\x69";               // "（"
constexpr std::string_view kParenClose = "\x81\x6a";              // "）"
constexpr std::string_view kHtmlRubyOpen = "\x0b\x81\x73\x0b";
constexpr std::string_view kHtmlRubyClose = "\x0b\x81\x74\x0b";

enum Seq { kSeqBase, kSeqRuby, kSeqNote, kSeqRepeat, kSeqVoiced, kSeqCount };

void AddEl(std::vector<TYomiraObject>& elements, int kind, int column, int length, int first,
           int last) {
  AddElement(elements, {.kind = static_cast<int16_t>(kind), .first = first, .last = last, .column = column, .length = length});
}

TYomiraLine MakeLine(int sourceIndex, std::vector<TYomiraObject> elements) {
  TYomiraLine line;
  line.ends_paragraph = true;
  line.indent = 0;
  line.source_line = sourceIndex;
  line.elements = std::move(elements);
  return line;
}

}  // namespace

struct Converter::Scan {
  int line = 0;
  std::string_view text;
  int pos = 1;        // where the next search starts
  int textStart = 1;  // first byte not yet given to an element
  // Openings after these positions have no closing (nothing in the line or the joined
  // lines after it), so the search is not repeated for each of them.
  int noCloseAfter[2];

  void MoveTo(const SourceLines& source, int newLine, int newPos) {
    if (newLine != line || text.data() == nullptr) {
      line = newLine;
      text = source[static_cast<size_t>(newLine)];
      noCloseAfter[0] = noCloseAfter[1] = INT_MAX;
    }
    pos = textStart = newPos;
  }
};

Converter::Converter(const TYomiraOption& option, const SourceLines& source, ConvertSwitches switches)
    : option_(option), source_(source), switches_(switches) {
  if (switches_.toRuby) {
    open_ = kParenOpen;
    close_ = kParenClose;
    d_ = 2;
  } else if (switches_.htmlImported) {
    open_ = kHtmlRubyOpen;
    close_ = kHtmlRubyClose;
    d_ = 4;
  } else {
    open_ = kRubyOpen;
    close_ = kRubyClose;
    d_ = 2;
  }
  static_assert(kSeqCount == kOpeningCount);
  const std::array<std::string_view, kSeqCount> seqs = Openings();
  for (int k = 0; k < kSeqCount; ++k) {
    const std::string_view seq = seqs[static_cast<size_t>(k)];
    openingFirst_[static_cast<unsigned char>(seq[0])] |= static_cast<uint8_t>(1u << k);
    openingSecond_[static_cast<unsigned char>(seq[1])] |= static_cast<uint8_t>(1u << k);
  }
}

std::array<std::string_view, Converter::kOpeningCount> Converter::Openings() const {
  return {kBaseMark, open_, kNoteOpen, kRepeatMark, kVoicedRepeatMark};
}

bool Converter::IsRubyReading(std::string_view text) {
  const int len = static_cast<int>(text.size());
  for (int pos = 1; pos <= len; pos = NextChar(text, pos)) {
    const unsigned char c = static_cast<unsigned char>(text[pos - 1]);
    if (CharLen(text, pos) == 1) {
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return false;
      continue;
    }
    const int code = (c << 8) | static_cast<unsigned char>(text[pos]);
    if (code >= 0x889F && code <= 0x9872) return false;
    if (code >= 0x989F && code <= 0xEAA4 && !(code >= 0x9FFD && code <= 0xE03F)) return false;
  }
  return true;
}

std::string Converter::TitleFromText(const DisplayLines& lines, const SourceLines& source, int c_size,
                                     std::string_view fileName) {
  if (lines.size() <= 2) return std::string(fileName);
  const int last = std::min<int>(c_size, static_cast<int>(lines.size()) - 1);
  std::string title;
  int taken = 0;
  for (int j = 0; j <= last && taken < 2; ++j) {
    const std::string text = lines[static_cast<size_t>(j)].GetText(source, true);
    if (text.empty()) continue;
    if (text.size() > 254) break;
    if (taken++) title += " / ";
    title += text;
  }
  return taken ? Cp932ToUtf8(title) : std::string(fileName);
}

Converter::ClosePos Converter::CrossLineClose(int closeIndex, std::string_view closing, int line) {
  std::vector<ClosePos>& memo = crossMemo_[closeIndex];
  const int n = static_cast<int>(source_.size());
  if (memo.size() != source_.size() || crossKey_[closeIndex] != closing) {
    memo.assign(source_.size(), ClosePos{-2, 0});
    crossKey_[closeIndex] = closing;
  }
  // Walk forward to a known answer or the end of the joined run, then fill the path back.
  std::vector<int> path;
  ClosePos found{-1, 0};
  for (int j = line; j < n; ++j) {
    if (memo[static_cast<size_t>(j)].line != -2) {
      found = memo[static_cast<size_t>(j)];
      break;
    }
    path.push_back(j);
    const int p = FindFrom(source_[static_cast<size_t>(j)], 1, closing);
    if (p > 0) {
      found = {j, p};
      break;
    }
    const bool joined = static_cast<size_t>(j) < joins_.size() && joins_[static_cast<size_t>(j)];
    if (!joined) break;
  }
  for (int j : path) memo[static_cast<size_t>(j)] = found;
  return found;
}

Converter::ClosePos Converter::FindClose(bool nested, std::string_view opening, std::string_view closing,
                                         int openPos, int line) {
  const std::string_view text = source_[static_cast<size_t>(line)];
  const int from = openPos + static_cast<int>(opening.size());
  int close = FindFrom(text, from, closing);
  if (close > 0) {
    // One level of nesting: an inner opening before the first closing takes that closing.
    if (nested && FindFrom(text.substr(0, static_cast<size_t>(close - 1)), from, opening) > 0) {
      const int next = FindFrom(text, close + static_cast<int>(closing.size()), closing);
      if (next > 0) close = next;
    }
    return {line, close};
  }
  const bool joined = static_cast<size_t>(line) < joins_.size() && joins_[static_cast<size_t>(line)];
  if (!joined || line + 1 >= static_cast<int>(source_.size())) return {};
  return CrossLineClose(closing == kNoteClose ? 1 : 0, closing, line + 1);
}

// The character before an opening at pos: in the line, or at the end of the paragraph's
// text when the opening starts a joined line.
static std::string_view CharBefore(std::string_view text, int pos, const std::vector<TYomiraObject>& paragraph,
                                   const SourceLines& source) {
  if (pos > 1) return CharAt(text, pos - 1);
  if (paragraph.empty() || paragraph.back().kind != kText) return {};
  const TYomiraObject& el = paragraph.back();
  const std::string_view line = source[static_cast<size_t>(el.first)];
  const std::string_view own = CopyView(line, 1, el.column + el.length - 1);
  return CharAt(own, static_cast<int>(own.size()));
}

// A ｜ placed after the paragraph's last ruby still waits for its reading.
static bool BaseMarkOpen(const std::vector<TYomiraObject>& paragraph) {
  for (auto it = paragraph.rbegin(); it != paragraph.rend(); ++it) {
    if (it->kind == kRubyBase) return true;
    if (it->kind == kRuby) return false;
  }
  return false;
}

void Converter::ScanLine(Scan& sc) {
  const std::array<std::string_view, kSeqCount> seqs = Openings();
  auto flush = [&](int upTo) {
    AddEl(paragraph_, kText, sc.textStart, upTo - sc.textStart, sc.line, sc.line);
  };
  // One character-aligned walk finds the nearest of the openings; at most one of them can
  // start at a given position. Every opening has two bytes or more, and most characters
  // share neither of their first two bytes, so only those pairs are compared in full.
  auto nextOpening = [&](int& found) {
    const int len = static_cast<int>(sc.text.size());
    const unsigned char* text = reinterpret_cast<const unsigned char*>(sc.text.data());
    int pos = std::max(sc.pos, 1);
    if (ByteTypeAt(sc.text, pos) == ByteType::Trail) ++pos;
    for (; pos < len; pos += IsLeadRange(text[pos - 1]) ? 2 : 1) {
      const unsigned mask = openingFirst_[text[pos - 1]] & openingSecond_[text[pos]];
      if (mask == 0) continue;
      const std::string_view rest = sc.text.substr(static_cast<size_t>(pos - 1));
      for (int k = 0; k < kSeqCount; ++k) {
        if ((mask >> k & 1) && rest.starts_with(seqs[static_cast<size_t>(k)])) {
          found = pos;
          return k;
        }
      }
    }
    return -1;
  };
  for (;;) {
    int p = 0;
    const int best = nextOpening(p);
    if (best < 0) return;
    switch (best) {
      case kSeqBase:
        flush(p);
        AddEl(paragraph_, kRubyBase, p, 2, sc.line, sc.line);
        sc.MoveTo(source_, sc.line, p + 2);
        break;
      case kSeqRuby:
      case kSeqNote: {
        const bool ruby = best == kSeqRuby;
        const int slot = ruby ? 0 : 1;
        const std::string_view closing = ruby ? std::string_view(close_) : kNoteClose;
        ClosePos c;
        if (p < sc.noCloseAfter[slot]) c = FindClose(!ruby, seqs[best], closing, p, sc.line);
        if (c.line < 0) sc.noCloseAfter[slot] = std::min(sc.noCloseAfter[slot], p);
        const int width = ruby ? d_ : 2;
        const int length = c.line == sc.line ? c.pos + width - p : c.pos + width;
        if (c.line >= 0 && ruby && switches_.toRuby) {
          std::vector<TYomiraObject> probe;
          AddEl(probe, kRuby, p, length, sc.line, c.line);
          const bool base = BaseMarkOpen(paragraph_) ||
                            option_.IsRubyBaseChar(CharBefore(sc.text, p, paragraph_, source_));
          if (probe.empty() || !base || !IsRubyReading(probe.front().GetText(source_, true, false))) c = {};
        }
        if (c.line < 0) {
          // No reading here: the opening stays text and the search goes on after it.
          sc.pos = p + (ruby ? 2 : 4);
          break;
        }
        flush(p);
        AddEl(paragraph_, ruby ? kRuby : kAnnotation, p, length, sc.line, c.line);
        sc.MoveTo(source_, c.line, c.pos + width);
        break;
      }
      case kSeqRepeat:
      case kSeqVoiced:
        flush(p);
        AddEl(paragraph_, best == kSeqRepeat ? kRepeat : kVoicedRepeat, p, 4, sc.line, sc.line);
        sc.MoveTo(source_, sc.line, p + static_cast<int>(seqs[best].size()));
        break;
    }
  }
}

void Converter::FinishParagraph(ConvertState& state, NotationHooks& hooks, int sourceIndex) {
  if (option_.ruby_tag) hooks.ApplyEmphasisNotes(state, paragraph_);
  DisplayLines& lines = state.lines;
  const int firstLine = static_cast<int>(lines.size());
  const std::string text = GetLineText(paragraph_, source_);
  if (!text.empty()) {
    const int extra = switches_.autoIndent && NeedAutoIndent(text, option_) ? 2 : 0;
    BreakParagraph(paragraph_, text, sourceIndex, state.blockIndent + extra, state.wrapIndent, option_, lines);
  } else if (paragraph_.size() == 1 && paragraph_.front().kind == kAnnotation) {
    if (!hooks.HandleBlockAnnotation(state, paragraph_.front(), sourceIndex))
      lines.push_back(MakeLine(sourceIndex, paragraph_));
  } else {
    lines.push_back(MakeLine(sourceIndex, paragraph_));
  }
  paragraph_.clear();
  if (option_.ruby_tag) hooks.AlignBottomNotes(state, firstLine);
}

ConvertResult Converter::ConvertText(std::string_view documentName, const ProgressFn& progress,
                                     NotationHooks* hooks, int progressWidth) {
  NotationHooks none;
  if (!hooks) hooks = &none;
  ConvertResult result;
  result.delimiterWidth = d_;
  const int n = static_cast<int>(source_.size());
  joins_ = switches_.reWrap ? ReWrapLines(option_, source_, switches_.htmlImported)
                            : std::vector<uint8_t>(source_.size(), 0);
  for (auto& memo : crossMemo_) memo.clear();
  paragraph_.clear();

  ConvertState state{option_, source_, switches_, result.lines};
  state.delimiterWidth = d_;
  hooks->Begin(state);
  // A step of about 5 pixels of the bar: more would only repaint the same picture.
  const int step = progressWidth > 0 ? static_cast<int>(std::max<int64_t>(1, int64_t{n} * 5 / progressWidth))
                                     : std::max(1, n / 256);
  for (int i = 0; i < n; ++i) {
    if (progress && i % step == 0) progress(i, n);
    if (hooks->HandleSpecialLine(state, i)) continue;
    const std::string& line = source_[static_cast<size_t>(i)];
    if (option_.UseCover && state.coverState < 2 && state.legendCount == 0) {
      if (state.coverState == 0) {
        if (!line.empty()) state.coverState = 1;
      } else if (line.empty()) {
        state.coverState = 2;
        if (hooks->CenterCoverBlock(state, switches_.htmlImported && option_.ruby_tag)) {
          hooks->PadLines(state, i, 1);
          state.coverState = 3;
        }
      }
    }
    if (state.legendCount == 1) continue;  // the legend is not shown

    Scan scan;
    scan.MoveTo(source_, i, 1);
    if (option_.ruby_tag) ScanLine(scan);
    i = scan.line;  // a ruby or note may have ended in a later, joined line
    AddEl(paragraph_, kText, scan.textStart, static_cast<int>(scan.text.size()) - scan.textStart + 1, i, i);
    if (joins_[static_cast<size_t>(i)] && i + 1 < n) continue;
    FinishParagraph(state, *hooks, i);
  }
  // A paragraph left open (its last line consumed or skipped) still shows.
  if (!paragraph_.empty()) FinishParagraph(state, *hooks, n - 1);
  if (result.lines.empty()) result.lines.push_back(MakeLine(0, {}));

  result.legendCount = state.legendCount;
  result.title = state.legendCount < 2
                     ? std::string(documentName)
                     : TitleFromText(result.lines, source_, option_.c_size, documentName);
  if (progress) progress(n, n);
  return result;
}

}  // namespace yomira
