// The property grid without its widget: items, the collection that owns them, the grid's
// settings and the rows that the items give (sections, levels, visibility, expansion,
// selection), and the commit of an edited value. No widgets; Qt Gui only for the drawing
// events' painter and for the shortcut texts.
#pragma once

#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QPainter;

namespace yomira {

enum class PropGridStyle : int {
  psEdit = 0,
  psCombo,
  psComboList,
  psBooleanComboList,
  psYesNoComboList,
  psColorCombo,
  psColorComboList,
  psEllipsis,
  psHotKey,
  psCheckBox,
  psColorEllipsis,
  psFileNameEllipsis,
};

// "psEdit" ... "psFileNameEllipsis"; "" for a value outside the enumeration.
const char* PropGridStyleName(PropGridStyle style);

// The colour styles whose editor shows a colour's name from a pick list.
bool IsColorComboStyle(PropGridStyle style);
// The styles whose drop-down opens a pick list.
bool IsListStyle(PropGridStyle style);
bool IsEllipsisStyle(PropGridStyle style);

// Misuse of the grid: an empty or duplicate item name, a lookup by a missing name, an index
// out of range.
class PropGridError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PropGridItem;
class PropGridItems;
class PropGridModel;

using PropGridNeedValueEvent =
    std::function<void(PropGridItem& sender, const std::string& name, std::string& value, bool& canceled)>;
using PropGridValueChangingEvent =
    std::function<void(PropGridItem& sender, const std::string& name, std::string& value, bool& update)>;
using PropGridValueChangeEvent = std::function<void(PropGridItem& sender, const std::string& name,
                                                    const std::string& before, const std::string& after)>;
using PropGridDrawCellEvent = std::function<void(PropGridItem& sender, const std::string& name,
                                                 const std::string& value, QPainter& painter, QRect rect)>;
using PropGridDrawItemEvent =
    std::function<void(PropGridItem& sender, const std::string& name, int itemIndex, const std::string& itemValue,
                       QPainter& painter, QRect rect, bool selected)>;

// One row of the grid: a key and a value held as text (UTF-8).
class PropGridItem {
 public:
  const std::string& Name() const { return name_; }
  // Trimmed; "Item Name is Null" when empty, "Duplicate Item Name" when another item of
  // the collection has it (any ASCII case); the same name in another case changes nothing.
  void SetDisplayName(const std::string& name);
  const std::string& GetDisplayName() const { return name_; }

  const std::string& Key() const { return key_; }
  void SetKey(const std::string& v);
  const std::string& Value() const { return value_; }
  void SetValue(const std::string& v);
  const std::string& Section() const { return section_; }
  void SetSection(const std::string& v);
  int Level() const { return level_; }
  void SetLevel(int v);
  PropGridStyle Style() const { return style_; }
  void SetStyle(PropGridStyle v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  uint32_t KeyFontColor() const { return keyFontColor_; }
  void SetKeyFontColor(uint32_t v);
  uint32_t ValueFontColor() const { return valueFontColor_; }
  void SetValueFontColor(uint32_t v);
  const std::vector<std::string>& PickList() const { return pickList_; }
  void SetPickList(const std::vector<std::string>& v);

  // Stored without a change notice.
  std::string Mask;
  int MaxLength = 0;  // 0: the editor's own limit
  std::string Note;
  bool EditorReadOnly = false;

  PropGridNeedValueEvent OnNeedValue;
  PropGridValueChangingEvent OnValueChanging;
  PropGridValueChangeEvent OnValueChange;
  PropGridDrawCellEvent OnDrawCell;
  PropGridDrawItemEvent OnDrawItem;

  // Computed by each rebuild of the rows.
  bool HasChildren = false;
  bool Shown = true;
  // Meaningful on the first item of a section: whether the section's rows are listed.
  bool SectionExpanded = true;

  // Copies key, value, name, style, expanded, level, mask, length, note, pick list,
  // visible and enabled, as one change; the name is checked first, so a duplicate name
  // throws with this item unchanged.
  void Assign(const PropGridItem& source);

  // The collection's index of this item.
  int Index() const;
  PropGridItems* Collection() const { return owner_; }

 private:
  friend class PropGridItems;
  friend class PropGridModel;
  explicit PropGridItem(PropGridItems* owner) : owner_(owner) {}
  void Changed();

  PropGridItems* owner_;
  std::string name_;
  std::string key_;
  std::string value_;
  std::string section_;
  int level_ = 0;
  PropGridStyle style_ = PropGridStyle::psEdit;
  bool enabled_ = true;
  bool expanded_ = true;
  bool visible_ = true;
  uint32_t keyFontColor_;
  uint32_t valueFontColor_ = 0x800000;
  std::vector<std::string> pickList_;
};

// The owned items of a grid, in order.
class PropGridItems {
 public:
  explicit PropGridItems(std::function<void()> onUpdate = {});
  PropGridItems(const PropGridItems&) = delete;
  PropGridItems& operator=(const PropGridItems&) = delete;

  // A new item with the defaults, named "Item<n>" with the smallest free n.
  PropGridItem& Add();
  // Add, then move to index (clamped to the list).
  PropGridItem& Insert(int index);
  int Count() const { return static_cast<int>(items_.size()); }
  // "Items[<i>]: Invalid Index" for an index out of range.
  PropGridItem& Items(int i) const;
  // Assigns source's properties into item i.
  void SetItems(int i, const PropGridItem& source);
  int IndexOf(const PropGridItem* item) const;

  // Any item change: the grid rebuilds its rows. Inside an update bracket one notice is
  // given when the outermost bracket ends, if anything changed.
  void Update();
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  // The collection editor's columns: 6, "Name", "Section", "Lvl", "Key", "Style", "Value".
  static int GetAttrCount() { return 6; }
  static std::string GetAttr(int index);
  std::string GetItemAttr(int index, int itemIndex) const;

 private:
  friend class PropGridItem;
  void SetItemName(PropGridItem& item);
  const PropGridItem* FindName(const std::string& name, const PropGridItem* except) const;

  std::vector<std::unique_ptr<PropGridItem>> items_;
  std::function<void()> onUpdate_;
  int updateCount_ = 0;
  bool pendingUpdate_ = false;
};

// A displayed row: a section header (item: the section's first item) or an item.
struct PropGridRow {
  bool section = false;
  int item = 0;
};

// What the model asks of the widget that shows it. The defaults do nothing, so the model
// runs alone in tests.
class PropGridView {
 public:
  virtual ~PropGridView() = default;
  // Rows, scroll position or column width changed: place the editors and repaint.
  virtual void DoInvalidate() {}
  // The rows were rebuilt or scrolled: the scroll bar follows TopRow.
  virtual void ScrollInfoChanged() {}
  // A row was selected (before OnSelectRow): the editor takes the selected item's text.
  virtual void RowSelected() {}
};

// The grid's settings, items and row state.
class PropGridModel {
 public:
  PropGridModel();
  PropGridModel(const PropGridModel&) = delete;
  PropGridModel& operator=(const PropGridModel&) = delete;

  void SetView(PropGridView* view) { view_ = view; }

  PropGridItems& Items() { return items_; }
  const PropGridItems& Items() const { return items_; }
  PropGridItem& Item(int i) const { return items_.Items(i); }

  // Settings.
  bool AutoUpdate = false;
  int DropDownCount = 5;
  std::vector<std::string> BooleanList{"True", "False"};
  std::vector<std::string> YesNoList{"Yes", "No"};
  // Colour lines "name=number".
  std::vector<std::string> DefaultColorPickList;
  bool BreakBySection() const { return breakBySection_; }
  void SetBreakBySection(bool on);
  int KeyColWidth() const { return keyColWidth_; }
  void SetKeyColWidth(int width);
  int RowHeight() const { return rowHeight_; }
  // Below 3 the editors would have no size: stored as 3.
  void SetRowHeight(int height);
  std::function<void(int index, const std::string& section)> OnSelectRow;

  // Row state.
  const std::vector<PropGridRow>& Rows() const { return rows_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int CurrentRow = 0;
  int TopRow = 0;
  int PageRows = 0;
  int ShownRows = 0;
  // What the selected row shows, kept across rebuilds: an item, or (none) a section.
  PropGridItem* CurrentItem = nullptr;
  std::string CurrentSection;
  bool DroppedDown = false;
  bool KeepEditorOnExit = false;
  bool ValueRejected = false;

  // The rows as "S<section> 0 1 | ...": for tests and the gallery's state lines.
  std::string RowsText() const;
  bool RowIsSection(int row) const;
  // The item of an item row; none for a section row or a row out of range.
  PropGridItem* RowItem(int row) const;
  // The first item of a section row's run, or of an item row: the one holding the
  // section's expanded state.
  PropGridItem* RowSectionHead(int row) const;
  PropGridItem* SelectedItem() const { return RowItem(CurrentRow); }

  // Lookups: the first item whose name equals the trimmed name in any ASCII case.
  PropGridItem* ItemByName(const std::string& name) const;
  // As ItemByName; "Names[<name>] Not Found" when missing.
  PropGridItem& Names(const std::string& name) const;

  int GetCurrentIndex() const;
  void SetCurrentIndex(int index);
  void Expand(int index) { SetExpandedFrom(index, true); }
  void Collapse(int index) { SetExpandedFrom(index, false); }
  void ExpandSection(const std::string& name) { SetSectionExpanded(name, true); }
  void CollapseSection(const std::string& name) { SetSectionExpanded(name, false); }

  // Rebuilds the rows from the items and selects the row of what was selected.
  void UpdateIndex();
  // Selects a row and fires OnSelectRow; the editor takes the item's text.
  void SelectRow(int row);

  // Scroll-bar codes: 0 line up, 1 line down, 2 page up, 3 page down, 4/5 position,
  // 6 top, 7 bottom; then TopRow is clamped to 0 .. rows - ShownRows + 1 (0 when a page
  // holds every row).
  void ModifyScrollBar(int code, int position = 0);
  // The largest TopRow the scroll bar offers.
  int MaxTopRow() const;
  // Scrolls the selected row to the top when it lies outside the page.
  void ScrollToErrorRow();

  // Colour lines of an item: its own pick list when it has entries, else the grid's.
  const std::vector<std::string>& ColorPickListInstance(const PropGridItem& item) const;
  // The name of the first colour line whose number part equals value exactly; "" if none.
  std::string GetColorName(const PropGridItem& item, const std::string& value) const;
  // What a colour combo editor shows for a value: its name, else the value.
  std::string ColorEditorText(const PropGridItem& item, const std::string& value) const;
  // What the editor shows for the item's stored value.
  std::string EditorTextFor(const PropGridItem& item) const;
  // The number part of the colour line named name, if any.
  bool ColorLineValue(const PropGridItem& item, const std::string& name, std::string& value) const;

  // Commits editorText into item index. A text that the style cannot read is not
  // committed: editorText is set back to the stored value's text. A veto sets
  // ValueRejected and puts the stored value back into editorText. True when a value
  // was stored.
  bool UpdateValue(int index, std::string& editorText);

 private:
  void SetExpandedFrom(int index, bool expanded);
  void SetSectionExpanded(const std::string& name, bool expanded);
  void Invalidate() {
    if (view_) view_->DoInvalidate();
  }
  void ScrollInfo() {
    if (view_) view_->ScrollInfoChanged();
  }

  PropGridItems items_;
  PropGridView* view_ = nullptr;
  std::vector<PropGridRow> rows_;
  bool breakBySection_ = false;
  int keyColWidth_ = 150;
  int rowHeight_ = 15;
};

// "$" and 8 upper-case hex digits of the trimmed text's number (decimal or "$" hex, the
// 32 bits unsigned); "" for an empty text or one that is not a number.
std::string FormatColorValue(const std::string& text);

// Shortcut text read and written back as the key file's codes have it; "" for an empty
// text. False for a text that names no shortcut.
bool NormalizeShortcutText(const std::string& text, std::string& out);

}  // namespace yomira
