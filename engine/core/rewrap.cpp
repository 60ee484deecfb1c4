#include "engine/core/rewrap.h"

#include <array>
#include <cstdlib>

#include "platform/text/cp932.h"

namespace yomira {

namespace {

constexpr std::string_view kFullSpace = "\x81\x40";      // "　"
constexpr std::string_view kNoteOpen = "\x81\x6d\x81\x94";  // "［＃"
constexpr std::string_view kNoteClose = "\x81\x6e";        // "］"

bool StartsWithBlank(std::string_view line) {
  return (!line.empty() && line[0] == ' ') || line.starts_with(kFullSpace);
}

bool AllHyphens(std::string_view line, size_t count) {
  return line.size() == count && line.find_first_not_of('-') == std::string_view::npos;
}

// The last character of a line, found by position: one byte or two.
std::string_view LastChar(std::string_view line) {
  return CharAt(line, static_cast<int>(line.size()));
}

// A lone lead byte at the end of a line would pair with the first byte of the next line in
// the paragraph text, shifting every character boundary after it.
bool EndsInLoneLead(std::string_view line) {
  return !line.empty() && IsLeadRange(line.back()) &&
         ByteTypeAt(line, static_cast<int>(line.size())) == ByteType::Single;
}

// Joining is never allowed into or out of a blank line or a line that stands for itself;
// an empty or indented cur opens a new paragraph.
bool MayJoin(std::string_view prev, std::string_view cur) {
  return !prev.empty() && !cur.empty() && !StartsWithBlank(cur) && !EndsInLoneLead(prev) &&
         !IsWholeLineNotation(prev) && !IsWholeLineNotation(cur);
}

// The walk shared by both modes: at index i the question is whether line i - 1 joins line i.
template <typename Joins>
void Walk(const SourceLines& lines, bool htmlImported, std::vector<uint8_t>& flags, Joins joins) {
  const int n = static_cast<int>(lines.size());
  const int first = htmlImported ? 3 : 1;
  for (int i = n - 1; i >= first; --i) {
    const std::string& prev = lines[i - 1];
    if (MayJoin(prev, lines[i]) && joins(prev)) flags[i - 1] = 1;
  }
}

bool Usable(const SourceLines& lines, const std::vector<uint8_t>& flags) {
  return lines.size() >= 2 && flags.size() == lines.size();
}

}  // namespace

bool IsWholeLineNotation(std::string_view line) {
  if (AllHyphens(line, 55) || AllHyphens(line, 80)) return true;
  if (line.size() == 5 && AsciiLower(line) == "<pbr>") return true;
  if (line.size() >= 6 && AsciiLower(line.substr(0, 5)) == "<img " && line.back() == '>') return true;
  if (line.starts_with(kFullSpace)) line.remove_prefix(kFullSpace.size());
  return line.starts_with(kNoteOpen) && line.size() >= kNoteOpen.size() + kNoteClose.size() &&
         LastChar(line) == kNoteClose;
}

void ReWrapFixed(const TYomiraOption& option, const SourceLines& lines, bool htmlImported,
                 std::vector<uint8_t>& flags) {
  if (!Usable(lines, flags)) return;
  // The sample: the first n + 1 non-empty lines, n capped at 100. The cap bounds the
  // sampling only; the walk below covers every line.
  const int n = std::min<int>(static_cast<int>(lines.size()), 100);
  std::array<int, 256> counts{};
  int taken = 0;
  for (const std::string& line : lines) {
    if (taken >= n + 1) break;
    if (line.empty()) continue;
    ++taken;
    if (line.size() < counts.size()) ++counts[line.size()];
  }
  int dominant = 0;
  for (int len = 1; len < static_cast<int>(counts.size()); ++len)
    if (counts[len] > counts[dominant]) dominant = len;
  const int m = counts[dominant];
  if (m < n / 5 || dominant < 20) return;
  Walk(lines, htmlImported, flags, [&](std::string_view prev) {
    return std::abs(static_cast<int>(prev.size()) - dominant) <= 2 &&
           !Contains(option.re_wrap_words, LastChar(prev));
  });
}

void ReWrapCompel(const TYomiraOption& option, const SourceLines& lines, bool htmlImported,
                  std::vector<uint8_t>& flags) {
  if (!Usable(lines, flags) || option.WrapChar.empty()) return;
  Walk(lines, htmlImported, flags, [&](std::string_view prev) {
    if (ByteTypeAt(prev, static_cast<int>(prev.size())) != ByteType::Trail) return false;
    const std::string_view last = LastChar(prev);
    return !Contains(option.WrapChar, last) && !Contains(option.re_wrap_words, last);
  });
}

std::vector<uint8_t> ReWrapFixed(const TYomiraOption& option, const SourceLines& lines,
                                 bool htmlImported) {
  std::vector<uint8_t> flags(lines.size(), 0);
  ReWrapFixed(option, lines, htmlImported, flags);
  return flags;
}

std::vector<uint8_t> ReWrapCompel(const TYomiraOption& option, const SourceLines& lines,
                                  bool htmlImported) {
  std::vector<uint8_t> flags(lines.size(), 0);
  ReWrapCompel(option, lines, htmlImported, flags);
  return flags;
}

std::vector<uint8_t> ReWrapLines(const TYomiraOption& option, const SourceLines& lines,
                                 bool htmlImported) {
  switch (option.ReWrapType) {
    case 0: return ReWrapFixed(option, lines, htmlImported);
    case 1: return ReWrapCompel(option, lines, htmlImported);
    default: return std::vector<uint8_t>(lines.size(), 0);
  }
}

}  // namespace yomira
