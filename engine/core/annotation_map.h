// The annotations of the view on screen: their texts in drawing order and, per character
// cell of the view, which text belongs there. The renderer fills it; the hover hint and
// the step to the next annotation read it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yomira {

class TPageAnnotation {
 public:
  // Index of the annotation last shown or stepped to, -1 for none. Set by the caller.
  int32_t current = -1;
  // On once an annotation landed on a cell since the last Clear.
  bool any = false;

  // Sizes the grid [pages][blocks][lines][cells + 3] and clears everything. Each size is
  // taken within the option record's ranges (cells 0..512, lines 0..256, pages and blocks
  // 0..8), so a record that was never validated cannot ask for an unbounded grid.
  void SetSize(int32_t cells, int32_t lines, int32_t pages, int32_t blocks);

  // Forgets every text and empties every cell.
  void Clear();

  // Records text at the 0-based cell and line of the 1-based page and block (a negative
  // cell counts as 0); width 2 also marks the next cell when it is still on the line.
  // When the cell already holds annotation j, the text is joined to text j after a "\n"
  // (two annotations after one character both stay readable) and no new text is added.
  // Outside the grid the text is still kept but marks no cell and `any` is left alone.
  // Returns the index of the text that now holds it.
  int32_t Add(int32_t cell, int32_t line, int32_t width, std::string_view text, int32_t page,
              int32_t block);

  // The first cell, in page, block, line, cell order (all 0-based), whose index is greater
  // than current; false when there is none.
  bool FindNext(int32_t& cell, int32_t& line, int32_t& page, int32_t& block) const;

  // The text of a cell (all coordinates 0-based) and its index; "" and -1 for an empty cell
  // or a place outside the grid.
  std::string Get(int32_t cell, int32_t line, int32_t page, int32_t block, int32_t& index) const;

  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  // Flat offset of a cell, or -1 outside the grid.
  int64_t Offset(int32_t cell, int32_t line, int32_t page, int32_t block) const;

  int32_t cells_ = 0;   // v_size; a line has cells_ + 3 cells
  int32_t lines_ = 0;   // c_size
  int32_t blocks_ = 0;  // Colum
  int32_t pages_ = 0;   // Page
  std::vector<std::string> texts_;
  std::vector<int32_t> grid_;
};

}  // namespace yomira
