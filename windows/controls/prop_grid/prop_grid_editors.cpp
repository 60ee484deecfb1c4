// The property grid's in-place editors: placing them on the selected row, their keys, the
// pick list, the shortcut capture, and the commit of the edited value.
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QToolButton>

#include "platform/text/cp932.h"
#include "ui/shortcut_codec.h"
#include "windows/controls/prop_grid/prop_grid.h"
#include "windows/controls/hint_window.h"
#include "windows/controls/prop_grid/prop_grid_colors.h"
#include "windows/controls/prop_grid/prop_grid_pixmaps.h"
#include "windows/controls/prop_grid/prop_grid_popup.h"

namespace yomira {

namespace {

QToolButton* MakeButton(QWidget* parent, const char* name, const QImage& glyph) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setIcon(QIcon(QPixmap::fromImage(glyph)));
  b->setIconSize(QSize(10, 10));
  b->setCursor(Qt::ArrowCursor);
  b->hide();
  return b;
}

// Focus that comes and goes with another window or a popup is neither leaving nor
// entering the editor: a veto that shows a message box must not commit again.
bool IsEditorTransition(const QFocusEvent* e) {
  return e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
}

bool IsModifierKey(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
         key == Qt::Key_AltGr;
}

}  // namespace

void PropGrid::CreateEditors() {
  const int r = model_.RowHeight();
  editor_ = new QLineEdit(viewport());
  editor_->setObjectName("PropGridEditor");
  editor_->setFrame(false);
  editor_->hide();
  editor_->installEventFilter(this);

  keyEditor_ = new QLineEdit(viewport());
  keyEditor_->setObjectName("PropGridKeyEditor");
  keyEditor_->setFrame(false);
  keyEditor_->setReadOnly(true);
  QPalette kp = keyEditor_->palette();
  kp.setColor(QPalette::Base, GridColor(kBtnFace));
  kp.setColor(QPalette::Text, GridColor(kBtnText));
  keyEditor_->setPalette(kp);
  keyEditor_->hide();
  keyEditor_->installEventFilter(this);

  dropDownButton_ = MakeButton(viewport(), "PropGridDropDownButton", PropGridDropDownGlyph());
  shortcutButton_ = MakeButton(viewport(), "PropGridShortcutButton", PropGridShortcutGlyph());
  ellipsisButton_ = MakeButton(viewport(), "PropGridEllipsisButton", PropGridEllipsisGlyph());
  for (QToolButton* b : {dropDownButton_, shortcutButton_, ellipsisButton_}) b->setFixedSize(r - 1, r - 1);
  connect(dropDownButton_, &QToolButton::clicked, this, [this] { DropDownBtnClick(); });
  connect(shortcutButton_, &QToolButton::clicked, this, [this] { DropDownBtnClick(); });
  connect(ellipsisButton_, &QToolButton::clicked, this, [this] { EllipsisBtnClick(); });

  checkBox_ = new QCheckBox(viewport());
  checkBox_->setObjectName("PropGridCheckBox");
  checkBox_->setFocusPolicy(Qt::NoFocus);
  checkBox_->setFixedSize(r - 2, r - 2);
  checkBox_->hide();
  connect(checkBox_, &QCheckBox::clicked, this, [this] { CheckBtnClick(); });

  popup_ = new PropGridPopupList(this);
  popup_->setNoReplayWidget(dropDownButton_);
  popup_->drawEntry = [this](QPainter& p, QRect rect, int index, bool selected) {
    PopupListBoxDrawItem(p, rect, index, selected);
  };
  popup_->onClose = [this](QWidget* activeTo, int key) { PopupListBoxPopupClose(activeTo, key); };
}

std::string PropGrid::EditorText() const { return editor_->text().toStdString(); }

void PropGrid::SetEditorText(const std::string& text) { editor_->setText(QString::fromStdString(text)); }

void PropGrid::FocusEditor() {
  if (!editor_->isVisible()) return;
  editor_->setFocus(Qt::OtherFocusReason);
  // Focusing the editor is entering it, also when it had the focus already.
  EditEnter();
}

void PropGrid::RowSelected() {
  PropGridItem* item = model_.SelectedItem();
  keyEditor_->hide();
  if (!item) return;
  if (IsColorComboStyle(item->Style())) {
    editor_->setInputMask(QString());
    editor_->setMaxLength(32767);
  } else {
    editor_->setInputMask(QString::fromStdString(item->Mask));
    editor_->setMaxLength(item->MaxLength > 0 ? item->MaxLength : 32767);
  }
  SetEditorText(model_.EditorTextFor(*item));
}

void PropGrid::AdjustItems() {
  PropGridItem* item = model_.SelectedItem();
  for (QWidget* w : std::initializer_list<QWidget*>{dropDownButton_, shortcutButton_, ellipsisButton_, checkBox_})
    w->hide();
  if (model_.RowCount() == 0 || !item) {
    editor_->hide();
    keyEditor_->hide();
    return;
  }
  const int r = model_.RowHeight();
  const int k = model_.KeyColWidth();
  const int w = viewport()->width();
  const int y = (model_.CurrentRow - model_.TopRow) * r;
  QPalette pal = editor_->palette();
  pal.setColor(QPalette::Base, GridColor(item->Enabled() ? kWindow : kGrayText));
  editor_->setPalette(pal);
  editor_->show();

  if (!item->Enabled()) {
    editor_->setGeometry(k + 1, y + 1, w - k - 1, r - 2);
    editor_->setReadOnly(true);
    keyEditor_->hide();
    FocusEditor();
    return;
  }
  const PropGridStyle style = item->Style();
  if (style == PropGridStyle::psEdit) {
    editor_->setGeometry(k + 1, y + 1, w - k - 1, r - 2);
    editor_->setReadOnly(item->EditorReadOnly);
    keyEditor_->hide();
    FocusEditor();
    return;
  }
  editor_->setGeometry(k + 1, y + 1, w - k - r, r - 2);
  const QPoint button(w - r + 1, y + 1);
  bool focusUnlessDropped = true;
  switch (style) {
    case PropGridStyle::psCombo:
    case PropGridStyle::psColorCombo:
      editor_->setReadOnly(item->EditorReadOnly);
      dropDownButton_->move(button);
      dropDownButton_->show();
      break;
    case PropGridStyle::psComboList:
    case PropGridStyle::psBooleanComboList:
    case PropGridStyle::psYesNoComboList:
    case PropGridStyle::psColorComboList:
      editor_->setReadOnly(true);
      dropDownButton_->move(button);
      dropDownButton_->show();
      break;
    case PropGridStyle::psHotKey:
      editor_->setReadOnly(item->EditorReadOnly);
      keyEditor_->setGeometry(editor_->geometry());
      shortcutButton_->move(button);
      shortcutButton_->show();
      break;
    case PropGridStyle::psCheckBox:
      editor_->setReadOnly(true);
      checkBox_->move(button);
      checkBox_->setChecked(item->Value() == "Yes");
      checkBox_->show();
      break;
    default:  // the three ellipsis styles
      editor_->setReadOnly(item->EditorReadOnly);
      ellipsisButton_->move(button);
      ellipsisButton_->show();
      focusUnlessDropped = false;
      break;
  }
  if (style != PropGridStyle::psHotKey) keyEditor_->hide();
  if (!focusUnlessDropped || !model_.DroppedDown) FocusEditor();
}

void PropGrid::Commit() {
  const int index = model_.GetCurrentIndex();
  if (index < 0) return;
  std::string text = EditorText();
  const std::string typed = text;
  model_.UpdateValue(index, text);
  // A handler may have refilled the editor; only a refused or vetoed text is put back.
  if (text != typed) SetEditorText(text);
  viewport()->update();
}

void PropGrid::EditEnter() {
  model_.ValueRejected = false;
  model_.KeepEditorOnExit = false;
}

void PropGrid::EditExit() {
  if (!model_.KeepEditorOnExit) Commit();
}

bool PropGrid::EditKeyDown(QKeyEvent* e) {
  PropGridItem* item = model_.SelectedItem();
  if (!item) return false;
  const int key = e->key();
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool alt = mods & Qt::AltModifier;
  const bool ctrl = mods & Qt::ControlModifier;
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  const PropGridStyle style = item->Style();
  if (key == Qt::Key_Escape) {
    const std::string stored = model_.EditorTextFor(*item);
    const bool changed = EditorText() != stored;
    SetEditorText(stored);
    editor_->selectAll();
    // An unchanged row leaves Esc to the window (a dialog's Cancel).
    return changed;
  }
  if (alt && key == Qt::Key_Down && (IsListStyle(style) || style == PropGridStyle::psHotKey)) {
    DropDownBtnClick();
    return true;
  }
  if (ctrl && enter && IsEllipsisStyle(style)) {
    EllipsisBtnClick();
    return true;
  }
  if (ctrl && enter && style == PropGridStyle::psCheckBox) {
    CheckBtnClick();
    return true;
  }
  if (style == PropGridStyle::psCheckBox && (key == Qt::Key_Space || enter)) {
    checkBox_->setChecked(!checkBox_->isChecked());
    CheckBtnClick();
    return true;
  }
  if (enter) {
    if (!ctrl) {
      Commit();
      if (style == PropGridStyle::psHotKey)
        if (PropGridItem* now = model_.SelectedItem()) SetEditorText(now->Value());
    }
    return true;  // never the dialog's default button
  }
  if (key == Qt::Key_Down && !alt && model_.CurrentRow < model_.RowCount() - 1) {
    GridKey(Qt::Key_Down);
    return true;
  }
  if (key == Qt::Key_Up && !alt && model_.CurrentRow > 0) {
    GridKey(Qt::Key_Up);
    return true;
  }
  return false;
}

void PropGrid::EditDblClick() {
  PropGridItem* item = model_.SelectedItem();
  if (!item || !item->Enabled()) return;
  switch (item->Style()) {
    case PropGridStyle::psBooleanComboList:
    case PropGridStyle::psYesNoComboList: {
      const auto& list =
          item->Style() == PropGridStyle::psBooleanComboList ? model_.BooleanList : model_.YesNoList;
      if (list.size() >= 2) SetEditorText(EditorText() == list[0] ? list[1] : list[0]);
      break;
    }
    case PropGridStyle::psColorCombo:
      if (item->OnNeedValue) {
        std::string value = item->Value();
        bool canceled = false;
        const std::string name = item->Name();
        item->OnNeedValue(*item, name, value, canceled);
        if (!canceled)
          if (PropGridItem* now = model_.SelectedItem()) SetEditorText(model_.ColorEditorText(*now, value));
      }
      break;
    case PropGridStyle::psCheckBox:
      checkBox_->setChecked(!checkBox_->isChecked());
      CheckBtnClick();
      break;
    default:
      break;
  }
}

void PropGrid::DropDownBtnClick() {
  PropGridItem* item = model_.SelectedItem();
  if (!item) return;
  model_.KeepEditorOnExit = true;
  const PropGridStyle style = item->Style();
  if (style == PropGridStyle::psHotKey) {
    if (keyEditor_->isVisible()) {
      keyEditor_->hide();
      FocusEditor();
    } else {
      keyEditor_->setText(editor_->text());
      keyEditor_->setGeometry(editor_->geometry());
      keyEditor_->show();
      keyEditor_->raise();
      keyEditor_->setFocus(Qt::OtherFocusReason);
    }
    return;
  }
  std::vector<std::string> entries;
  int selected = -1;
  const bool colour = IsColorComboStyle(style);
  if (colour) {
    const std::string text = EditorText();
    for (const std::string& line : model_.ColorPickListInstance(*item)) {
      entries.push_back(line.substr(0, line.find('=')));
      if (entries.back() == text) selected = static_cast<int>(entries.size()) - 1;
    }
  } else {
    entries = style == PropGridStyle::psBooleanComboList ? model_.BooleanList
              : style == PropGridStyle::psYesNoComboList ? model_.YesNoList
                                                         : item->PickList();
    for (size_t i = 0; i < entries.size() && selected < 0; ++i)
      if (entries[i] == item->Value()) selected = static_cast<int>(i);
  }
  QListWidget* list = popup_->list();
  list->clear();
  for (const std::string& e : entries) list->addItem(QString::fromStdString(e));
  if (selected >= 0) list->setCurrentRow(selected);
  else list->setCurrentRow(-1);
  const QFontMetrics fm(list->font());
  int widest = 0;
  for (const std::string& e : entries) widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(e)));
  const int r = model_.RowHeight();
  const int w = viewport()->width();
  const int width = std::max(w - model_.KeyColWidth() - 2, widest + (colour ? 28 : 10));
  const int shown = std::max(std::min(model_.DropDownCount, static_cast<int>(entries.size())), 2);
  const int height = shown * (r - 1) + 2;
  model_.DroppedDown = true;
  popup_->setEntryHeight(r - 1);
  popup_->Popup(viewport()->mapToGlobal(QPoint(w - 1 - width, editor_->y() + r)), QSize(width, height));
}

void PropGrid::PopupListBoxPopupClose(QWidget* /*activeTo*/, int key) {
  model_.DroppedDown = false;
  QListWidget* list = popup_->list();
  QListWidgetItem* chosen = list->currentItem();
  if (chosen && chosen->isSelected()) {
    if (key != Qt::Key_Escape) editor_->setText(chosen->text());
    FocusEditor();
    if (model_.AutoUpdate) Commit();
  }
  // Also when nothing was chosen: the next exit from the editor must commit.
  model_.KeepEditorOnExit = false;
}

void PropGrid::PopupListBoxDrawItem(QPainter& p, QRect r, int index, bool selected) {
  p.fillRect(r, GridColor(selected ? kHighlight : kWindow));
  PropGridItem* item = model_.SelectedItem();
  QListWidgetItem* entry = popup_->list()->item(index);
  if (!item || !entry) return;
  const std::string text = entry->text().toStdString();
  const std::string name = item->Name();
  p.setPen(GridColor(selected ? kHighlightText : clWindowText));
  if (IsColorComboStyle(item->Style())) {
    if (item->OnDrawItem) {
      item->OnDrawItem(*item, name, index, text, p, r, selected);
      return;
    }
    p.drawText(QRect(r.left() + 15, r.top() + 1, r.width() - 15, r.height() - 1), Qt::AlignLeft | Qt::AlignTop,
               entry->text());
    std::string value;
    model_.ColorLineValue(*item, text, value);
    DrawSwatch(p, r, value.empty() ? "0" : value);
    return;
  }
  if (item->OnDrawItem) {
    item->OnDrawItem(*item, name, index, text, p, r, selected);
    return;
  }
  p.drawText(QRect(r.left() + 2, r.top() + 1, r.width() - 2, r.height() - 1), Qt::AlignLeft | Qt::AlignTop,
             entry->text());
}

void PropGrid::EllipsisBtnClick() {
  PropGridItem* item = model_.SelectedItem();
  if (!item) return;
  model_.KeepEditorOnExit = true;
  if (item->OnNeedValue) {
    std::string value = item->Value();
    bool canceled = false;
    const std::string name = item->Name();
    item->OnNeedValue(*item, name, value, canceled);
    model_.KeepEditorOnExit = false;
    if (!canceled && model_.SelectedItem()) {
      SetEditorText(value);
      if (model_.AutoUpdate) Commit();
    }
  }
  // Without a handler too: the editor kept the focus, so its next exit must commit.
  model_.KeepEditorOnExit = false;
}

void PropGrid::CheckBtnClick() {
  SetEditorText(checkBox_->isChecked() ? "Yes" : "No");
  Commit();
}

bool PropGrid::KeyEditKeyDown(QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return false;
  uint16_t code = 0;
  if (!IsModifierKey(key)) code = QtToShortcut(e->keyCombination()).value_or(0);
  const QString text = ShortcutText(code);
  keyEditor_->setText(text);
  if (!text.isEmpty()) {
    editor_->setText(text);
    if (model_.AutoUpdate) Commit();
  }
  return true;
}

bool PropGrid::eventFilter(QObject* watched, QEvent* e) {
  if (watched == hint_) return HintEvent(e);
  if (watched == editor_) {
    switch (e->type()) {
      case QEvent::KeyPress:
        if (EditKeyDown(static_cast<QKeyEvent*>(e))) return true;
        break;
      case QEvent::FocusIn:
        if (IsEditorTransition(static_cast<QFocusEvent*>(e))) EditEnter();
        break;
      case QEvent::FocusOut:
        if (IsEditorTransition(static_cast<QFocusEvent*>(e))) EditExit();
        break;
      case QEvent::MouseButtonDblClick:
        EditDblClick();
        break;
      case QEvent::MouseButtonPress:
      case QEvent::KeyRelease:
        break;
      default:
        break;
    }
  } else if (watched == keyEditor_) {
    switch (e->type()) {
      case QEvent::ShortcutOverride: {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() != Qt::Key_Tab && ke->key() != Qt::Key_Backtab) {
          e->accept();
          return true;
        }
        break;
      }
      case QEvent::KeyPress:
        if (KeyEditKeyDown(static_cast<QKeyEvent*>(e))) return true;
        break;
      case QEvent::FocusOut:
        if (IsEditorTransition(static_cast<QFocusEvent*>(e)) && keyEditor_->isVisible()) {
          keyEditor_->hide();
          FocusEditor();
        }
        break;
      default:
        break;
    }
  }
  return QAbstractScrollArea::eventFilter(watched, e);
}

}  // namespace yomira
