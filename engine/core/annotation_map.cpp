#include "engine/core/annotation_map.h"

#include <algorithm>

namespace yomira {

namespace {

int32_t Within(int32_t v, int32_t hi) { return std::clamp(v, 0, hi); }

}  // namespace

void TPageAnnotation::SetSize(int32_t cells, int32_t lines, int32_t pages, int32_t blocks) {
  cells_ = Within(cells, 512);
  lines_ = Within(lines, 256);
  pages_ = Within(pages, 8);
  blocks_ = Within(blocks, 8);
  const int64_t total = int64_t{pages_} * blocks_ * lines_ * (int64_t{cells_} + 3);
  grid_.assign(static_cast<size_t>(total), -1);  // already empty: no second fill
  any = false;
  current = -1;
  texts_.clear();
}

void TPageAnnotation::Clear() {
  any = false;
  current = -1;
  texts_.clear();
  std::fill(grid_.begin(), grid_.end(), -1);
}

int64_t TPageAnnotation::Offset(int32_t cell, int32_t line, int32_t page, int32_t block) const {
  const int32_t row = cells_ + 3;
  if (page < 0 || page >= pages_ || block < 0 || block >= blocks_ || line < 0 || line >= lines_ ||
      cell < 0 || cell >= row)
    return -1;
  return ((int64_t{page} * blocks_ + block) * lines_ + line) * row + cell;
}

int32_t TPageAnnotation::Add(int32_t cell, int32_t line, int32_t width, std::string_view text,
                             int32_t page, int32_t block) {
  cell = std::max(cell, 0);
  const int64_t at = Offset(cell, line, page - 1, block - 1);
  if (at >= 0 && grid_[at] >= 0 && grid_[at] < static_cast<int32_t>(texts_.size())) {
    const int32_t j = grid_[at];
    texts_[j] += '\n';
    texts_[j] += text;
    if (width == 2 && cell + 1 < cells_ + 3 && grid_[at + 1] < 0) grid_[at + 1] = j;
    return j;
  }
  const int32_t index = static_cast<int32_t>(texts_.size());
  texts_.emplace_back(text);
  if (at < 0) return index;
  grid_[at] = index;
  if (width == 2 && cell + 1 < cells_ + 3) grid_[at + 1] = index;
  any = true;
  return index;
}

bool TPageAnnotation::FindNext(int32_t& cell, int32_t& line, int32_t& page, int32_t& block) const {
  const auto it = std::find_if(grid_.begin(), grid_.end(), [this](int32_t v) { return v > current; });
  if (it == grid_.end()) return false;
  int64_t at = it - grid_.begin();
  const int32_t row = cells_ + 3;
  cell = static_cast<int32_t>(at % row);
  at /= row;
  line = static_cast<int32_t>(at % lines_);
  at /= lines_;
  block = static_cast<int32_t>(at % blocks_);
  page = static_cast<int32_t>(at / blocks_);
  return true;
}

std::string TPageAnnotation::Get(int32_t cell, int32_t line, int32_t page, int32_t block,
                                 int32_t& index) const {
  index = -1;
  const int64_t at = Offset(cell, line, page, block);
  if (at < 0) return {};
  const int32_t v = grid_[at];
  if (v < 0 || v >= static_cast<int32_t>(texts_.size())) return {};
  index = v;
  return texts_[v];
}

}  // namespace yomira
