// The property grid's model alone: no QApplication in this program.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <string>
#include <vector>

#include "tests/windows/prop_grid_fixtures.h"
#include "windows/controls/prop_grid/prop_grid_model.h"

namespace yomira {
namespace {

using testing::PropGridSpec;

TEST(PropGridModel, RunsWithoutAnApplication) { EXPECT_EQ(QCoreApplication::instance(), nullptr); }

// Rows by item names: header rows as "S<section>", items by their names.
std::string Rows(const PropGridModel& m) {
  std::string out;
  for (const PropGridRow& r : m.Rows()) {
    if (!out.empty()) out += ' ';
    out += r.section ? "S" + m.Item(r.item).Section() : m.Item(r.item).Name();
  }
  return out;
}

struct RowsCase {
  const char* what;
  std::vector<PropGridSpec> items;
  bool breakBySection;
  const char* collapseSection;
  const char* rows;
};

TEST(PropGridModel, RowsFollowLevelsVisibilityExpansionAndSections) {
  const std::vector<RowsCase> cases = {
      {"invisible parent", {{"A", "", 0}, {"B", "", 1, false}, {"C", "", 2}, {"D", "", 1}}, false, nullptr, "A D"},
      {"collapsed parent",
       {{"A", "", 0, true, false}, {"B", "", 1}, {"C", "", 2}, {"D", "", 0}},
       false,
       nullptr,
       "A D"},
      {"collapse ends at the same or a shallower level",
       {{"A", "", 0}, {"B", "", 1, true, false}, {"C", "", 2}, {"D", "", 1}, {"E", "", 2}},
       false,
       nullptr,
       "A B D E"},
      {"sections", {{"A", "s1"}, {"B", "s1"}, {"C", "s2"}, {"D", "s1"}}, true, nullptr, "Ss1 A B Ss2 C Ss1 D"},
      {"collapsed section keeps its header",
       {{"A", "s1"}, {"B", "s1"}, {"C", "s2"}, {"D", "s1"}},
       true,
       "s2",
       "Ss1 A B Ss2 Ss1 D"},
      {"sections off", {{"A", "s1"}, {"B", "s1"}, {"C", "s2"}, {"D", "s1"}}, false, "s2", "A B C D"},
  };
  for (const RowsCase& c : cases) {
    PropGridModel m;
    testing::Fill(m, c.items);
    m.SetBreakBySection(c.breakBySection);
    if (c.collapseSection) m.CollapseSection(c.collapseSection);
    EXPECT_EQ(Rows(m), c.rows) << c.what;
  }
}

TEST(PropGridModel, SelectedItemStaysSelectedInAnEmptyNamedSection) {
  PropGridModel m;
  testing::Fill(m, {{"A", ""}, {"B", ""}, {"C", "x"}});
  m.SetBreakBySection(true);
  ASSERT_EQ(m.RowsText(), "S 0 1 | Sx 2");
  m.SelectRow(2);
  ASSERT_EQ(m.GetCurrentIndex(), 1);
  m.Names("B").SetKey("changed");  // a rebuild
  EXPECT_EQ(m.CurrentRow, 2);
  EXPECT_EQ(m.GetCurrentIndex(), 1);
  // A selected header is found again by its name.
  m.SelectRow(3);
  m.Names("A").SetKey("k");
  EXPECT_EQ(m.CurrentRow, 3);
  EXPECT_EQ(m.CurrentSection, "x");
}

TEST(PropGridModel, NamesAreUniqueTrimmedAndCaseInsensitive) {
  PropGridModel m;
  PropGridItems& items = m.Items();
  items.Add();                       // Item1
  items.Add().SetDisplayName("Item3");
  EXPECT_EQ(items.Add().Name(), "Item2");
  EXPECT_EQ(items.Add().Name(), "Item4");

  PropGridItem& first = items.Items(0);
  first.SetDisplayName("  item1 ");
  EXPECT_EQ(first.Name(), "Item1");
  try {
    items.Items(1).SetDisplayName("ITEM1");
    FAIL();
  } catch (const PropGridError& e) {
    EXPECT_STREQ(e.what(), "Duplicate Item Name");
  }
  for (const char* empty : {"", "  "}) {
    try {
      first.SetDisplayName(empty);
      FAIL();
    } catch (const PropGridError& e) {
      EXPECT_STREQ(e.what(), "Item Name is Null");
    }
  }
  EXPECT_EQ(m.ItemByName(" item2 "), &items.Items(2));
  EXPECT_EQ(m.ItemByName("nosuch"), nullptr);
  try {
    m.Names("nosuch");
    FAIL();
  } catch (const PropGridError& e) {
    EXPECT_STREQ(e.what(), "Names[nosuch] Not Found");
  }
}

TEST(PropGridModel, IndexOutOfRangeThrowsOrDoesNothing) {
  PropGridModel m;
  m.Expand(-1);  // an empty grid
  testing::Fill(m, {{"A", "", 0}, {"B", "", 1}, {"C", "", 0}});
  try {
    m.Items().Items(5);
    FAIL();
  } catch (const PropGridError& e) {
    EXPECT_STREQ(e.what(), "Items[5]: Invalid Index");
  }
  const std::string before = m.RowsText();
  m.Collapse(-7);
  m.Collapse(2);
  m.SetCurrentIndex(99);
  m.SetCurrentIndex(-1);
  EXPECT_EQ(m.RowsText(), before);
  EXPECT_TRUE(m.Item(2).Expanded());
  std::string text = "x";
  EXPECT_FALSE(m.UpdateValue(-1, text));
  EXPECT_FALSE(m.UpdateValue(3, text));
}

TEST(PropGridModel, AssignCopiesTheEditableFieldsAsOneChange) {
  PropGridModel m;
  int rebuilds = 0;
  testing::Fill(m, {{"Target", "keep"}, {"Other", ""}});
  PropGridItem& target = m.Item(0);
  target.EditorReadOnly = true;
  target.OnValueChange = [](PropGridItem&, const std::string&, const std::string&, const std::string&) {};

  PropGridItems scratch;
  PropGridItem& src = scratch.Add();
  src.SetDisplayName("Copied");
  src.SetKey("key");
  src.SetValue("value");
  src.SetSection("section");
  src.SetStyle(PropGridStyle::psComboList);
  src.SetExpanded(false);
  src.SetLevel(2);
  src.Mask = "999";
  src.MaxLength = 7;
  src.Note = "note";
  src.SetPickList({"a", "b"});
  src.SetVisible(false);
  src.SetEnabled(false);
  src.SetKeyFontColor(0x123456);

  m.OnSelectRow = [&](int, const std::string&) { ++rebuilds; };
  target.Assign(src);
  EXPECT_LE(rebuilds, 1);
  EXPECT_EQ(target.Name(), "Copied");
  EXPECT_EQ(target.Key(), "key");
  EXPECT_EQ(target.Value(), "value");
  EXPECT_EQ(target.Style(), PropGridStyle::psComboList);
  EXPECT_FALSE(target.Expanded());
  EXPECT_EQ(target.Level(), 2);
  EXPECT_EQ(target.Mask, "999");
  EXPECT_EQ(target.MaxLength, 7);
  EXPECT_EQ(target.Note, "note");
  EXPECT_EQ(target.PickList(), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(target.Visible());
  EXPECT_FALSE(target.Enabled());
  EXPECT_EQ(target.Section(), "keep");
  EXPECT_TRUE(target.EditorReadOnly);
  EXPECT_EQ(target.KeyFontColor(), m.Item(1).KeyFontColor());
  EXPECT_TRUE(static_cast<bool>(target.OnValueChange));

  // A duplicate name throws before anything is copied.
  src.SetDisplayName("Other");
  src.SetKey("not copied");
  rebuilds = 0;
  EXPECT_THROW(target.Assign(src), PropGridError);
  EXPECT_EQ(target.Key(), "key");
  EXPECT_LE(rebuilds, 1);
}

TEST(PropGridModel, CollectionEditorColumns) {
  PropGridModel m;
  testing::Fill(m, {{"Path", "files", 2}});
  m.Item(0).SetStyle(PropGridStyle::psFileNameEllipsis);
  m.Item(0).SetKey("画像");
  m.Item(0).SetValue("/a.png");
  EXPECT_EQ(PropGridItems::GetAttrCount(), 6);
  std::vector<std::string> captions, attrs;
  for (int i = 0; i < 6; ++i) {
    captions.push_back(PropGridItems::GetAttr(i));
    attrs.push_back(m.Items().GetItemAttr(i, 0));
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"Name", "Section", "Lvl", "Key", "Style", "Value"}));
  EXPECT_EQ(attrs, (std::vector<std::string>{"Path", "files", "2", "画像", "psFileNameEllipsis", "/a.png"}));
}

TEST(PropGridModel, HidingTheSelectedItemSelectsRowZero) {
  PropGridModel m;
  std::vector<std::pair<int, std::string>> selections;
  m.OnSelectRow = [&](int index, const std::string& section) { selections.emplace_back(index, section); };
  testing::Fill(m, {{"A", "s"}, {"B", "s"}, {"C", "s"}});
  m.SelectRow(2);
  selections.clear();
  m.Item(2).SetVisible(false);
  ASSERT_FALSE(selections.empty());
  EXPECT_EQ(selections.back(), (std::pair<int, std::string>{0, "s"}));
  EXPECT_EQ(m.CurrentRow, 0);

  m.SetBreakBySection(true);
  m.SelectRow(2);
  m.Item(1).SetVisible(false);
  EXPECT_EQ(selections.back(), (std::pair<int, std::string>{-1, "s"}));
  EXPECT_EQ(m.GetCurrentIndex(), -1);
}

TEST(PropGridModel, SettingsItemsSectionsAndSetCurrentIndex) {
  PropGridModel m;
  testing::FillSettings(m);
  m.PageRows = m.ShownRows = 26;
  EXPECT_EQ(m.RowCount(), 43);
  m.CollapseSection("マウス操作");
  EXPECT_EQ(m.RowCount(), 26);
  m.ExpandSection("");
  EXPECT_EQ(m.RowCount(), 43);
  m.CollapseSection("マウス操作");
  m.SetCurrentIndex(16);
  EXPECT_EQ(m.RowCount(), 43);
  EXPECT_EQ(m.CurrentRow, 22);
  EXPECT_EQ(m.GetCurrentIndex(), 16);
  EXPECT_EQ(m.Item(16).Name(), "ItemMouseLeft");
}

TEST(PropGridModel, SetCurrentIndexExpandsCollapsedParentsAndScrolls) {
  PropGridModel m;
  testing::Fill(m, {{"P", "", 0, true, false}, {"Q", "", 1, true, false}, {"R", "", 2}, {"S", "", 0}});
  ASSERT_EQ(Rows(m), "P S");
  m.SetCurrentIndex(2);
  EXPECT_EQ(Rows(m), "P Q R S");
  EXPECT_EQ(m.CurrentRow, 2);

  PropGridModel tall;
  std::vector<PropGridSpec> many;
  for (int i = 0; i < 40; ++i) many.push_back({"I" + std::to_string(i), ""});
  testing::Fill(tall, many);
  tall.PageRows = tall.ShownRows = 10;
  tall.SetCurrentIndex(25);
  EXPECT_EQ(tall.TopRow, 25);
  tall.SetCurrentIndex(39);
  EXPECT_EQ(tall.TopRow, 31);  // clamped: rows - shown + 1
  EXPECT_EQ(tall.CurrentRow, 39);
}

TEST(PropGridModel, ScrollBarCodes) {
  PropGridModel m;
  testing::FillSettings(m);
  m.PageRows = m.ShownRows = 26;
  struct Step {
    int code, position, from, top;
  };
  const Step steps[] = {{7, 0, 0, 18}, {3, 0, 0, 18}, {2, 0, 18, 0}, {5, 30, 0, 18}, {6, 0, 18, 0},
                        {1, 0, 17, 18}, {0, 0, 0, 0},  {4, 5, 0, 5},   {9, 0, 4, 4}};
  for (const Step& s : steps) {
    m.TopRow = s.from;
    m.ModifyScrollBar(s.code, s.position);
    EXPECT_EQ(m.TopRow, s.top) << "code " << s.code << " from " << s.from;
  }
  EXPECT_EQ(m.MaxTopRow(), 18);
  m.PageRows = m.ShownRows = 50;
  m.ModifyScrollBar(7);
  EXPECT_EQ(m.TopRow, 0);
}

TEST(PropGridModel, RowHeightBelowThreeIsThree) {
  PropGridModel m;
  m.SetRowHeight(0);
  EXPECT_EQ(m.RowHeight(), 3);
  m.SetRowHeight(-4);
  EXPECT_EQ(m.RowHeight(), 3);
  m.SetRowHeight(20);
  EXPECT_EQ(m.RowHeight(), 20);
}

TEST(PropGridModel, FormatColorValue) {
  const std::pair<const char*, const char*> cases[] = {
      {"255", "$000000FF"}, {" $ff ", "$000000FF"}, {"-1", "$FFFFFFFF"}, {"", ""}, {"  ", ""}, {"abc", ""},
      {"$00F0FAFF", "$00F0FAFF"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(FormatColorValue(in), out) << in;
}

struct CommitCase {
  const char* what;
  PropGridStyle style;
  const char* stored;
  const char* text;
  bool changing;  // an OnValueChanging that accepts (or vetoes values with "x")
  const char* after;
  const char* editorAfter;  // nullptr: the editor text is left as typed
  const char* events;
};

TEST(PropGridModel, CommitByStyle) {
  using S = PropGridStyle;
  const std::vector<CommitCase> cases = {
      {"same text", S::psEdit, "a", "a", false, "a", nullptr, ""},
      {"edit", S::psEdit, "a", "b", false, "b", nullptr, "change(a,b)"},
      {"veto", S::psEdit, "ok", "xyz", true, "ok", "ok", "changing(xyz)"},
      {"colour by name", S::psColorCombo, "$00000000", "Red", false, "255", nullptr, "change($00000000,255)"},
      {"colour by name, normalised", S::psColorCombo, "$00000000", "Red", true, "$000000FF", nullptr,
       "changing($000000FF) change($00000000,$000000FF)"},
      {"colour decimal", S::psColorCombo, "$00000000", "255", false, "$000000FF", nullptr,
       "change($00000000,$000000FF)"},
      {"colour hex", S::psColorCombo, "$00000000", " $ff ", false, "$000000FF", nullptr,
       "change($00000000,$000000FF)"},
      {"colour -1", S::psColorCombo, "$00000000", "-1", false, "$FFFFFFFF", nullptr, "change($00000000,$FFFFFFFF)"},
      {"colour typo kept", S::psColorCombo, "$00000000", "abc", false, "$00000000", "Black", ""},
      {"colour emptied", S::psColorComboList, "$00000000", "", false, "", nullptr, "change($00000000,)"},
      {"ellipsis colour same number", S::psColorEllipsis, "$000000FF", " 255", false, "$000000FF", nullptr, ""},
      {"ellipsis colour typo", S::psColorEllipsis, "$000000FF", "zz", false, "$000000FF", "$000000FF", ""},
      {"hot key", S::psHotKey, "Ctrl+K", "Ctrl+Shift+A", false, "Ctrl+Shift+A", nullptr, "change(Ctrl+K,Ctrl+Shift+A)"},
      {"hot key not a key", S::psHotKey, "Ctrl+K", "foo", false, "Ctrl+K", "Ctrl+K", ""},
      {"hot key emptied", S::psHotKey, "Ctrl+K", "", false, "", nullptr, "change(Ctrl+K,)"},
      {"check box", S::psCheckBox, "Yes", "No", false, "No", nullptr, "change(Yes,No)"},
  };
  for (const CommitCase& c : cases) {
    PropGridModel m;
    m.DefaultColorPickList = {"Black=$00000000", "Red=255"};
    testing::Fill(m, {{"Item", ""}});
    PropGridItem& item = m.Item(0);
    item.SetStyle(c.style);
    item.SetValue(c.stored);
    std::string events;
    auto add = [&events](const std::string& e) { events += (events.empty() ? "" : " ") + e; };
    if (c.changing)
      item.OnValueChanging = [&](PropGridItem&, const std::string&, std::string& v, bool& update) {
        add("changing(" + v + ")");
        if (v.find('x') != std::string::npos) update = false;
      };
    item.OnValueChange = [&](PropGridItem&, const std::string& name, const std::string& b, const std::string& a) {
      EXPECT_EQ(name, "Item");
      add("change(" + b + "," + a + ")");
    };
    std::string text = c.text;
    m.UpdateValue(0, text);
    EXPECT_EQ(item.Value(), c.after) << c.what;
    EXPECT_EQ(text, c.editorAfter ? c.editorAfter : c.text) << c.what;
    EXPECT_EQ(events, c.events) << c.what;
    EXPECT_EQ(m.ValueRejected, std::string(c.what) == "veto") << c.what;
  }
}

TEST(PropGridModel, ColorNamesAndEditorText) {
  PropGridModel m;
  m.DefaultColorPickList = {"Black=$00000000", "Navy=$00800000"};
  testing::Fill(m, {{"C", ""}, {"D", ""}});
  PropGridItem& c = m.Item(0);
  c.SetStyle(PropGridStyle::psColorCombo);
  c.SetValue("$00800000");
  EXPECT_EQ(m.EditorTextFor(c), "Navy");
  c.SetValue("$00123456");
  EXPECT_EQ(m.EditorTextFor(c), "$00123456");
  PropGridItem& d = m.Item(1);
  d.SetPickList({"Own=1"});
  EXPECT_EQ(m.GetColorName(d, "1"), "Own");
  EXPECT_EQ(m.GetColorName(d, "$00000000"), "");
}

}  // namespace
}  // namespace yomira
