#include "windows/controls/prop_grid/prop_grid_model.h"

#include <QString>

#include <algorithm>
#include <cstdio>

#include "platform/color.h"
#include "platform/ini.h"
#include "platform/text/cp932.h"
#include "ui/shortcut_codec.h"

namespace yomira {

namespace {

constexpr const char* kStyleNames[] = {
    "psEdit",      "psCombo",   "psComboList", "psBooleanComboList", "psYesNoComboList", "psColorCombo",
    "psColorComboList", "psEllipsis", "psHotKey", "psCheckBox", "psColorEllipsis", "psFileNameEllipsis",
};

// Ends the collection's update bracket on every path, exceptions included.
class UpdateBracket {
 public:
  explicit UpdateBracket(PropGridItems* items) : items_(items) {
    if (items_) items_->BeginUpdate();
  }
  ~UpdateBracket() {
    if (items_) items_->EndUpdate();
  }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

 private:
  PropGridItems* items_;
};

// A colour line "name=number" split at its first "="; a line without one is all name.
void SplitColorLine(const std::string& line, std::string& name, std::string& value) {
  const size_t eq = line.find('=');
  name = line.substr(0, eq);
  value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

}  // namespace

const char* PropGridStyleName(PropGridStyle style) {
  const int i = static_cast<int>(style);
  if (i < 0 || i >= static_cast<int>(std::size(kStyleNames))) return "";
  return kStyleNames[i];
}

bool IsColorComboStyle(PropGridStyle style) {
  return style == PropGridStyle::psColorCombo || style == PropGridStyle::psColorComboList;
}

bool IsListStyle(PropGridStyle style) {
  switch (style) {
    case PropGridStyle::psCombo:
    case PropGridStyle::psComboList:
    case PropGridStyle::psBooleanComboList:
    case PropGridStyle::psYesNoComboList:
    case PropGridStyle::psColorCombo:
    case PropGridStyle::psColorComboList:
      return true;
    default:
      return false;
  }
}

bool IsEllipsisStyle(PropGridStyle style) {
  return style == PropGridStyle::psEllipsis || style == PropGridStyle::psColorEllipsis ||
         style == PropGridStyle::psFileNameEllipsis;
}

std::string FormatColorValue(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) return {};
  const auto n = TryStrToInt(t);
  if (!n) return {};
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<uint32_t>(*n));
  return buf;
}

bool NormalizeShortcutText(const std::string& text, std::string& out) {
  if (Trim(text).empty()) {
    out.clear();
    return true;
  }
  const uint16_t code = ShortcutFromText(QString::fromStdString(text));
  if (code == 0) return false;
  out = ShortcutText(code).toStdString();
  return true;
}

// ---- PropGridItem ----------------------------------------------------------------------

void PropGridItem::Changed() {
  if (owner_) owner_->Update();
}

void PropGridItem::SetDisplayName(const std::string& name) {
  const std::string t = Trim(name);
  if (t.empty()) throw PropGridError("Item Name is Null");
  if (EqualsAsciiNoCase(t, name_)) return;
  if (owner_ && owner_->FindName(t, this)) throw PropGridError("Duplicate Item Name");
  name_ = t;
  Changed();
}

#define YOMIRA_PROP_SETTER(Setter, field, Type) \
  void PropGridItem::Setter(Type v) {           \
    if (field == v) return;                     \
    field = v;                                  \
    Changed();                                  \
  }

YOMIRA_PROP_SETTER(SetKey, key_, const std::string&)
YOMIRA_PROP_SETTER(SetValue, value_, const std::string&)
YOMIRA_PROP_SETTER(SetSection, section_, const std::string&)
YOMIRA_PROP_SETTER(SetLevel, level_, int)
YOMIRA_PROP_SETTER(SetStyle, style_, PropGridStyle)
YOMIRA_PROP_SETTER(SetEnabled, enabled_, bool)
YOMIRA_PROP_SETTER(SetExpanded, expanded_, bool)
YOMIRA_PROP_SETTER(SetVisible, visible_, bool)
#undef YOMIRA_PROP_SETTER

void PropGridItem::SetKeyFontColor(uint32_t v) {
  keyFontColor_ = v;
  Changed();
}

void PropGridItem::SetValueFontColor(uint32_t v) {
  valueFontColor_ = v;
  Changed();
}

void PropGridItem::SetPickList(const std::vector<std::string>& v) {
  if (pickList_ != v) pickList_ = v;
}

void PropGridItem::Assign(const PropGridItem& source) {
  if (&source == this) return;
  UpdateBracket bracket(owner_);
  SetDisplayName(source.name_);
  SetKey(source.key_);
  SetValue(source.value_);
  SetStyle(source.style_);
  SetExpanded(source.expanded_);
  SetLevel(source.level_);
  Mask = source.Mask;
  MaxLength = source.MaxLength;
  Note = source.Note;
  SetPickList(source.pickList_);
  SetVisible(source.visible_);
  SetEnabled(source.enabled_);
}

int PropGridItem::Index() const { return owner_ ? owner_->IndexOf(this) : -1; }

// ---- PropGridItems ---------------------------------------------------------------------

PropGridItems::PropGridItems(std::function<void()> onUpdate) : onUpdate_(std::move(onUpdate)) {}

const PropGridItem* PropGridItems::FindName(const std::string& name, const PropGridItem* except) const {
  for (const auto& item : items_)
    if (item.get() != except && EqualsAsciiNoCase(item->name_, name)) return item.get();
  return nullptr;
}

void PropGridItems::SetItemName(PropGridItem& item) {
  for (int n = 1;; ++n) {
    const std::string name = "Item" + std::to_string(n);
    if (!FindName(name, &item)) {
      item.name_ = name;
      return;
    }
  }
}

PropGridItem& PropGridItems::Add() {
  items_.push_back(std::unique_ptr<PropGridItem>(new PropGridItem(this)));
  PropGridItem& item = *items_.back();
  item.keyFontColor_ = clWindowText;
  SetItemName(item);
  Update();
  return item;
}

PropGridItem& PropGridItems::Insert(int index) {
  BeginUpdate();
  PropGridItem& item = Add();
  const int to = std::clamp(index, 0, Count() - 1);
  std::rotate(items_.begin() + to, items_.end() - 1, items_.end());
  EndUpdate();
  return item;
}

PropGridItem& PropGridItems::Items(int i) const {
  if (i < 0 || i >= Count()) throw PropGridError("Items[" + std::to_string(i) + "]: Invalid Index");
  return *items_[static_cast<size_t>(i)];
}

void PropGridItems::SetItems(int i, const PropGridItem& source) { Items(i).Assign(source); }

int PropGridItems::IndexOf(const PropGridItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

void PropGridItems::Update() {
  if (updateCount_ > 0) {
    pendingUpdate_ = true;
    return;
  }
  if (onUpdate_) onUpdate_();
}

void PropGridItems::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && pendingUpdate_) {
    pendingUpdate_ = false;
    if (onUpdate_) onUpdate_();
  }
}

std::string PropGridItems::GetAttr(int index) {
  static const char* const kCaptions[] = {"Name", "Section", "Lvl", "Key", "Style", "Value"};
  return index >= 0 && index < 6 ? kCaptions[index] : "";
}

std::string PropGridItems::GetItemAttr(int index, int itemIndex) const {
  const PropGridItem& item = Items(itemIndex);
  switch (index) {
    case 0: return item.Name();
    case 1: return item.Section();
    case 2: return std::to_string(item.Level());
    case 3: return item.Key();
    case 4: return PropGridStyleName(item.Style());
    case 5: return item.Value();
    default: return {};
  }
}

// ---- PropGridModel ---------------------------------------------------------------------

PropGridModel::PropGridModel() : items_([this] { UpdateIndex(); }) {}

void PropGridModel::SetBreakBySection(bool on) {
  breakBySection_ = on;
  UpdateIndex();
}

void PropGridModel::SetKeyColWidth(int width) {
  keyColWidth_ = width;
  Invalidate();
}

void PropGridModel::SetRowHeight(int height) {
  rowHeight_ = std::max(height, 3);
  Invalidate();
}

bool PropGridModel::RowIsSection(int row) const {
  return row >= 0 && row < RowCount() && rows_[static_cast<size_t>(row)].section;
}

PropGridItem* PropGridModel::RowItem(int row) const {
  if (row < 0 || row >= RowCount() || rows_[static_cast<size_t>(row)].section) return nullptr;
  return &items_.Items(rows_[static_cast<size_t>(row)].item);
}

PropGridItem* PropGridModel::RowSectionHead(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return &items_.Items(rows_[static_cast<size_t>(row)].item);
}

std::string PropGridModel::RowsText() const {
  std::string out;
  for (const PropGridRow& row : rows_) {
    if (row.section) {
      if (!out.empty()) out += " | ";
      out += "S" + items_.Items(row.item).Section();
    } else {
      if (!out.empty()) out += ' ';
      out += std::to_string(row.item);
    }
  }
  return out;
}

PropGridItem* PropGridModel::ItemByName(const std::string& name) const {
  const std::string t = Trim(name);
  for (int i = 0; i < items_.Count(); ++i)
    if (EqualsAsciiNoCase(items_.Items(i).Name(), t)) return &items_.Items(i);
  return nullptr;
}

PropGridItem& PropGridModel::Names(const std::string& name) const {
  PropGridItem* item = ItemByName(name);
  if (!item) throw PropGridError("Names[" + name + "] Not Found");
  return *item;
}

int PropGridModel::GetCurrentIndex() const { return CurrentItem ? items_.IndexOf(CurrentItem) : -1; }

void PropGridModel::UpdateIndex() {
  const int count = items_.Count();
  if (count == 0) {
    CurrentRow = 0;
    rows_.clear();
    ScrollInfo();
    Invalidate();
    return;
  }
  for (int i = 0; i < count; ++i)
    items_.Items(i).HasChildren = i + 1 < count && items_.Items(i).Level() < items_.Items(i + 1).Level();
  for (int i = 0; i < count; ++i) items_.Items(i).Shown = true;
  for (int i = 0; i < count; ++i) {
    PropGridItem& item = items_.Items(i);
    if (item.Visible()) continue;
    item.Shown = false;
    for (int j = i + 1; j < count && items_.Items(j).Level() > item.Level(); ++j) items_.Items(j).Shown = false;
  }

  rows_.clear();
  std::string lastSection;
  bool first = true;
  int collapseLevel = -1;
  bool skipSection = false;
  int select = -1;
  for (int i = 0; i < count; ++i) {
    PropGridItem& item = items_.Items(i);
    if (!item.Shown) continue;
    if (first || item.Section() != lastSection) {
      first = false;
      lastSection = item.Section();
      if (breakBySection_) {
        rows_.push_back({true, i});
        // Only a selected header is looked for by its name: with an item selected the
        // section is "" and would match a section of that name.
        if (!CurrentItem && select < 0 && CurrentSection == lastSection) select = RowCount() - 1;
      }
      skipSection = breakBySection_ && !item.SectionExpanded;
    }
    if (skipSection) continue;
    if (collapseLevel >= 0 && collapseLevel >= item.Level()) collapseLevel = -1;
    if (collapseLevel < 0) {
      if (item.HasChildren && !item.Expanded()) collapseLevel = item.Level();
      rows_.push_back({false, i});
      if (select < 0 && CurrentItem == &item) select = RowCount() - 1;
    }
  }
  if (rows_.empty()) CurrentRow = 0;
  else SelectRow(select >= 0 ? select : 0);
  ScrollInfo();
  if (RowCount() - ShownRows + 1 < TopRow) {
    ModifyScrollBar(7);
    return;
  }
  Invalidate();
}

void PropGridModel::SelectRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  CurrentRow = row;
  const PropGridRow r = rows_[static_cast<size_t>(row)];
  PropGridItem& item = items_.Items(r.item);
  if (r.section) {
    CurrentItem = nullptr;
    CurrentSection = item.Section();
  } else {
    CurrentItem = &item;
    CurrentSection.clear();
  }
  if (view_) view_->RowSelected();
  if (OnSelectRow) {
    // The handler may rebuild the rows: pass copies.
    const std::string section = item.Section();
    OnSelectRow(r.section ? -1 : r.item, section);
  }
}

void PropGridModel::SetCurrentIndex(int index) {
  if (index < 0 || index >= items_.Count()) return;
  PropGridItem* item = &items_.Items(index);
  if (!item->Visible()) return;
  if (breakBySection_) ExpandSection(item->Section());
  auto rowOf = [this](int i) {
    for (int r = 0; r < RowCount(); ++r)
      if (!rows_[static_cast<size_t>(r)].section && rows_[static_cast<size_t>(r)].item == i) return r;
    return -1;
  };
  int row = rowOf(index);
  while (row < 0) {
    int parent = -1;
    for (int j = index - 1; j >= 0; --j) {
      const PropGridItem& p = items_.Items(j);
      if (p.Level() < item->Level() && !p.Expanded()) {
        parent = j;
        break;
      }
    }
    if (parent < 0) return;
    Expand(parent);
    row = rowOf(index);
  }
  if (row < TopRow || row > TopRow + PageRows) ModifyScrollBar(4, row);
  SelectRow(row);
  Invalidate();
}

void PropGridModel::SetExpandedFrom(int index, bool expanded) {
  const int count = items_.Count();
  if (index == -1) {
    if (count == 0) return;
    for (int i = 0; i < count; ++i) items_.Items(i).expanded_ = expanded;
  } else {
    if (index < 0 || index >= count - 1) return;
    const int level = items_.Items(index).Level();
    items_.Items(index).expanded_ = expanded;
    for (int i = index + 1; i < count && items_.Items(i).Level() > level; ++i) items_.Items(i).expanded_ = expanded;
  }
  UpdateIndex();
}

void PropGridModel::SetSectionExpanded(const std::string& name, bool expanded) {
  PropGridItem* head = nullptr;
  if (!name.empty())
    for (int i = 0; i < items_.Count() && !head; ++i)
      if (items_.Items(i).Section() == name) head = &items_.Items(i);
  if (head) head->SectionExpanded = expanded;
  else
    for (int i = 0; i < items_.Count(); ++i) items_.Items(i).SectionExpanded = expanded;
  if (breakBySection_) UpdateIndex();
}

int PropGridModel::MaxTopRow() const {
  if (PageRows >= RowCount()) return 0;
  return std::max(0, RowCount() - ShownRows + 1);
}

void PropGridModel::ModifyScrollBar(int code, int position) {
  switch (code) {
    case 0: --TopRow; break;
    case 1: ++TopRow; break;
    case 2: TopRow -= PageRows; break;
    case 3: TopRow += PageRows; break;
    case 4:
    case 5: TopRow = position; break;
    case 6: TopRow = 0; break;
    case 7: TopRow = RowCount(); break;
    default: break;
  }
  TopRow = std::min(std::max(TopRow, 0), RowCount() - ShownRows + 1);
  if (PageRows >= RowCount() || TopRow < 0) TopRow = 0;
  ScrollInfo();
  Invalidate();
}

void PropGridModel::ScrollToErrorRow() {
  if (CurrentRow < TopRow || CurrentRow > TopRow + PageRows) ModifyScrollBar(4, CurrentRow);
}

const std::vector<std::string>& PropGridModel::ColorPickListInstance(const PropGridItem& item) const {
  return item.PickList().empty() ? DefaultColorPickList : item.PickList();
}

std::string PropGridModel::GetColorName(const PropGridItem& item, const std::string& value) const {
  std::string name, number;
  for (const std::string& line : ColorPickListInstance(item)) {
    SplitColorLine(line, name, number);
    if (number == value) return name;
  }
  return {};
}

bool PropGridModel::ColorLineValue(const PropGridItem& item, const std::string& name, std::string& value) const {
  std::string n, number;
  for (const std::string& line : ColorPickListInstance(item)) {
    SplitColorLine(line, n, number);
    if (n == name) {
      value = number;
      return true;
    }
  }
  return false;
}

std::string PropGridModel::ColorEditorText(const PropGridItem& item, const std::string& value) const {
  std::string name = GetColorName(item, value);
  return name.empty() ? value : name;
}

std::string PropGridModel::EditorTextFor(const PropGridItem& item) const {
  return IsColorComboStyle(item.Style()) ? ColorEditorText(item, item.Value()) : item.Value();
}

bool PropGridModel::UpdateValue(int index, std::string& editorText) {
  if (index < 0 || index >= items_.Count()) return false;
  PropGridItem& item = items_.Items(index);
  std::string newValue;
  const bool unreadable = !Trim(editorText).empty();
  switch (item.Style()) {
    case PropGridStyle::psColorCombo:
    case PropGridStyle::psColorComboList:
      if (!ColorLineValue(item, editorText, newValue)) {
        newValue = FormatColorValue(editorText);
        // A typo must not empty the stored colour.
        if (newValue.empty() && unreadable) {
          editorText = EditorTextFor(item);
          return false;
        }
      }
      if (item.OnValueChanging && !newValue.empty()) newValue = FormatColorValue(newValue);
      break;
    case PropGridStyle::psHotKey:
      if (!NormalizeShortcutText(editorText, newValue)) {
        editorText = item.Value();
        return false;
      }
      break;
    case PropGridStyle::psColorEllipsis:
      newValue = FormatColorValue(editorText);
      if (newValue.empty() && unreadable) {
        editorText = item.Value();
        return false;
      }
      if (newValue == FormatColorValue(item.Value())) return false;
      break;
    default:
      newValue = editorText;
      break;
  }
  if (newValue == item.Value()) return false;
  if (item.OnValueChanging) {
    bool update = true;
    const std::string name = item.Name();
    item.OnValueChanging(item, name, newValue, update);
    if (!update) {
      editorText = EditorTextFor(item);
      ValueRejected = true;
      return false;
    }
  }
  const std::string before = item.value_;
  item.value_ = newValue;
  if (item.OnValueChange) {
    const std::string name = item.Name();
    item.OnValueChange(item, name, before, newValue);
  }
  return true;
}

}  // namespace yomira
