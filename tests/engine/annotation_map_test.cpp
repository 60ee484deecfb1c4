#include <string>

#include "engine/core/annotation_map.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;

struct Cell {
  int32_t cell, line, page, block;
  bool operator==(const Cell&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Cell& c) {
  return os << "(cell " << c.cell << ", line " << c.line << ", page " << c.page << ", block "
            << c.block << ")";
}

// One view of 1 page, 1 block, 16 lines of 64 cells (+3 hanging cells).
class AnnotationMapTest : public ::testing::Test {
 protected:
  void SetUp() override { map.SetSize(64, 16, 1, 1); }

  std::string At(int32_t cell, int32_t line, int32_t page = 0, int32_t block = 0) {
    int32_t index = -2;
    return map.Get(cell, line, page, block, index);
  }
  int32_t IndexAt(int32_t cell, int32_t line, int32_t page = 0, int32_t block = 0) {
    int32_t index = -2;
    map.Get(cell, line, page, block, index);
    return index;
  }
  bool Next(Cell& c) { return map.FindNext(c.cell, c.line, c.page, c.block); }
  // Every cell of the grid is empty.
  void ExpectEmpty(int32_t cells, int32_t lines, int32_t pages, int32_t blocks) {
    for (int32_t p = 0; p < pages; ++p)
      for (int32_t b = 0; b < blocks; ++b)
        for (int32_t l = 0; l < lines; ++l)
          for (int32_t c = 0; c < cells + 3; ++c) ASSERT_EQ(IndexAt(c, l, p, b), -1) << c << "," << l;
    Cell found{};
    EXPECT_FALSE(Next(found));
  }

  TPageAnnotation map;
};

TEST_F(AnnotationMapTest, ClearedMapFindsNothing) {
  map.Add(3, 2, 2, sj(u8"注"), 1, 1);
  map.current = 5;
  map.Clear();
  EXPECT_EQ(map.current, -1);
  EXPECT_FALSE(map.any);
  EXPECT_TRUE(map.Texts().empty());
  ExpectEmpty(64, 16, 1, 1);
  EXPECT_EQ(At(3, 2), "");
}

TEST_F(AnnotationMapTest, FullWidthCharacterMarksTwoCells) {
  EXPECT_EQ(map.Add(3, 2, 2, sj(u8"注"), 1, 1), 0);
  EXPECT_TRUE(map.any);
  EXPECT_SJ_EQ(At(3, 2), u8"注");
  EXPECT_SJ_EQ(At(4, 2), u8"注");
  EXPECT_EQ(IndexAt(4, 2), 0);
  EXPECT_EQ(At(5, 2), "");
  EXPECT_EQ(At(2, 2), "");
  EXPECT_EQ(At(3, 1), "");
  Cell found{};
  ASSERT_TRUE(Next(found));
  EXPECT_EQ(found, (Cell{3, 2, 0, 0}));
}

TEST_F(AnnotationMapTest, LastCellOfLineDoesNotSpillIntoNextLine) {
  map.Add(66, 2, 2, sj(u8"注"), 1, 1);
  EXPECT_SJ_EQ(At(66, 2), u8"注");
  EXPECT_EQ(At(0, 3), "");  // the next cell of the flat grid
  Cell found{};
  ASSERT_TRUE(Next(found));
  EXPECT_EQ(found, (Cell{66, 2, 0, 0}));
  map.current = 0;
  EXPECT_FALSE(Next(found));
}

TEST_F(AnnotationMapTest, OutsideTheGridKeepsTextButMarksNothing) {
  struct Case {
    const char* name;
    int32_t cell, line, page, block;
  };
  const Case cases[] = {
      {"page 2", 3, 2, 2, 1},  {"block 2", 3, 2, 1, 2},  {"line 16", 3, 16, 1, 1},
      {"line -1", 3, -1, 1, 1}, {"cell 67", 67, 2, 1, 1}, {"page 0", 3, 2, 0, 1},
  };
  for (const Case& c : cases) {
    map.Clear();
    EXPECT_EQ(map.Add(c.cell, c.line, 2, "x", c.page, c.block), 0) << c.name;
    EXPECT_EQ(map.Texts().size(), 1u) << c.name;
    EXPECT_FALSE(map.any) << c.name;
    Cell found{};
    EXPECT_FALSE(Next(found)) << c.name;
  }
}

TEST_F(AnnotationMapTest, NegativeCellCountsAsZero) {
  map.Add(-3, 5, 1, "a", 1, 1);
  EXPECT_EQ(At(0, 5), "a");
  EXPECT_EQ(At(1, 5), "");
}

TEST_F(AnnotationMapTest, StepsInReadingOrder) {
  map.Add(10, 4, 2, "A", 1, 1);
  map.Add(2, 7, 1, "B", 1, 1);
  struct Case {
    int32_t current;
    bool found;
    Cell cell;
  };
  const Case cases[] = {{-1, true, {10, 4, 0, 0}}, {0, true, {2, 7, 0, 0}}, {1, false, {}}};
  for (const Case& c : cases) {
    map.current = c.current;
    Cell found{};
    EXPECT_EQ(Next(found), c.found) << "current " << c.current;
    if (c.found) {
      EXPECT_EQ(found, c.cell) << "current " << c.current;
    }
  }
}

TEST_F(AnnotationMapTest, WalksPagesThenBlocksThenLinesThenCells) {
  // Two annotations added later-first; the walk finds the earlier place whatever the order
  // of adding. Add takes 1-based page and block, FindNext gives 0-based ones.
  struct Case {
    const char* name;
    Cell later, earlier;  // as passed to Add
  };
  const Case cases[] = {
      {"page before block", {0, 0, 2, 1}, {9, 4, 1, 2}},
      {"block before line", {0, 0, 1, 2}, {9, 4, 1, 1}},
      {"line before cell", {0, 3, 1, 1}, {9, 2, 1, 1}},
      {"cell", {5, 3, 1, 1}, {4, 3, 1, 1}},
  };
  for (const Case& c : cases) {
    map.SetSize(10, 5, 2, 2);
    map.Add(c.later.cell, c.later.line, 1, "later", c.later.page, c.later.block);
    map.Add(c.earlier.cell, c.earlier.line, 1, "earlier", c.earlier.page, c.earlier.block);
    Cell found{};
    ASSERT_TRUE(Next(found)) << c.name;
    EXPECT_EQ(found, (Cell{c.earlier.cell, c.earlier.line, c.earlier.page - 1, c.earlier.block - 1}))
        << c.name;
  }
}

TEST_F(AnnotationMapTest, GetOutsideGridIsEmpty) {
  map.Add(0, 0, 1, "a", 1, 1);
  struct Case {
    int32_t cell, line, page, block;
  };
  const Case cases[] = {{-1, 0, 0, 0}, {0, 0, 5, 0}, {0, 0, 0, 1}, {0, -1, 0, 0}, {67, 0, 0, 0}, {0, 16, 0, 0}};
  for (const Case& c : cases) {
    int32_t index = 7;
    EXPECT_EQ(map.Get(c.cell, c.line, c.page, c.block, index), "");
    EXPECT_EQ(index, -1);
  }
  int32_t index = 7;
  EXPECT_EQ(map.Get(0, 0, 0, 0, index), "a");
  EXPECT_EQ(index, 0);
}

TEST_F(AnnotationMapTest, TwoAnnotationsOnOneCellBothStayReadable) {
  EXPECT_EQ(map.Add(8, 3, 1, sj(u8"注1"), 1, 1), 0);
  EXPECT_EQ(map.Add(8, 3, 2, sj(u8"注2"), 1, 1), 0);
  EXPECT_SJ_EQ(At(8, 3), u8"注1\n注2");
  EXPECT_EQ(IndexAt(8, 3), 0);
  EXPECT_SJ_EQ(At(9, 3), u8"注1\n注2");  // the wider second one covers the next cell too
  EXPECT_EQ(map.Texts().size(), 1u);
  // The next annotation elsewhere takes the next index, so stepping still reaches it.
  EXPECT_EQ(map.Add(1, 5, 1, sj(u8"注3"), 1, 1), 1);
  map.current = 0;
  Cell found{};
  ASSERT_TRUE(Next(found));
  EXPECT_EQ(found, (Cell{1, 5, 0, 0}));
}

TEST_F(AnnotationMapTest, SetSizeAgainEmptiesEverything) {
  map.Add(3, 2, 2, "a", 1, 1);
  map.SetSize(64, 16, 1, 1);
  EXPECT_TRUE(map.Texts().empty());
  EXPECT_FALSE(map.any);
  ExpectEmpty(64, 16, 1, 1);
}

TEST(AnnotationMapSizeTest, UnsizedMapKeepsTextsOnly) {
  TPageAnnotation map;
  EXPECT_EQ(map.Add(0, 0, 2, "a", 1, 1), 0);
  EXPECT_FALSE(map.any);
  int32_t cell = 0, line = 0, page = 0, block = 0, index = 0;
  EXPECT_FALSE(map.FindNext(cell, line, page, block));
  EXPECT_EQ(map.Get(0, 0, 0, 0, index), "");
}

TEST(AnnotationMapSizeTest, LargestGridReachesItsLastCell) {
  TPageAnnotation map;
  map.SetSize(512, 256, 8, 8);  // 8 * 8 * 256 * 515 cells
  map.Add(514, 255, 2, "last", 8, 8);
  int32_t cell = 0, line = 0, page = 0, block = 0, index = 0;
  ASSERT_TRUE(map.FindNext(cell, line, page, block));
  EXPECT_EQ(cell, 514);
  EXPECT_EQ(line, 255);
  EXPECT_EQ(page, 7);
  EXPECT_EQ(block, 7);
  EXPECT_EQ(map.Get(514, 255, 7, 7, index), "last");
}

TEST(AnnotationMapSizeTest, SizesBeyondTheRecordRangesAreCapped) {
  TPageAnnotation map;
  map.SetSize(100000, 100000, 100000, 100000);
  map.Add(514, 255, 1, "in", 8, 8);
  map.Add(515, 255, 1, "out", 8, 8);
  map.Add(0, 256, 1, "out", 1, 1);
  int32_t index = 0;
  EXPECT_EQ(map.Get(514, 255, 7, 7, index), "in");
  EXPECT_EQ(map.Get(515, 255, 7, 7, index), "");
  EXPECT_EQ(map.Get(0, 256, 0, 0, index), "");
  map.SetSize(-1, -1, -1, -1);
  EXPECT_EQ(map.Add(0, 0, 1, "x", 1, 1), 0);
  EXPECT_FALSE(map.any);
}

}  // namespace
}  // namespace yomira
