#include "shell/reader_session.h"

#include <algorithm>

namespace yomira {

std::optional<int> ReaderSession::NextView() const {
  if (!PageMovesAllowed() || s_.currentPage >= ViewCount()) return std::nullopt;
  return s_.currentPage + 1;
}

std::optional<int> ReaderSession::PreviousView() const {
  if (!PageMovesAllowed() || s_.currentPage <= 1) return std::nullopt;
  return s_.currentPage - 1;
}

std::optional<int> ReaderSession::ViewOfTypedPage(int n) const {
  n = std::min(n, ViewCount());
  if (n <= 0) return std::nullopt;
  return n;
}

int32_t ReaderSession::CurrentSourceLine() const {
  const int64_t count = static_cast<int64_t>(s_.displayLines.size());
  const int64_t first = s_.option.GetFirstLineIndex(s_.currentPage, 1, 1);
  return first >= 0 && first < count ? s_.displayLines[static_cast<size_t>(first)].GetFirstSourceLine() : 0;
}

std::optional<int> ReaderSession::ViewOfTypedLine(int64_t line) const {
  // 64 bits: "-2147483648" - 1 must not wrap.
  const int64_t target = std::min<int64_t>(line - 1, static_cast<int64_t>(s_.sourceLines.size()) - 1);
  if (target < 0) return std::nullopt;
  const int64_t found = FindSourcePosition(s_.displayLines, static_cast<int32_t>(target), 0);
  if (found < 0) return std::nullopt;
  // Every view holds the same number of lines, so a short last view cannot pull the line
  // into the view after it (views x i / lines would).
  return std::min(ViewOfLineIndex(found, s_.option), ViewCount());
}

std::optional<SourcePlace> ReaderSession::PlaceToKeep() const {
  if (!IsLaidOut()) return std::nullopt;
  // The views as laid out: the record may hold the next layout's numbers already.
  const int64_t perView = s_.viewLines > 0 ? s_.viewLines : LinesPerView(s_.option);
  if (kept_ && ViewOfPlace(s_.displayLines, perView, *kept_) == s_.currentPage) return kept_;
  // A view past the end has no place of its own: the caller's rule applies.
  return FirstPlaceOfView(s_.displayLines, perView, s_.currentPage);
}

}  // namespace yomira
