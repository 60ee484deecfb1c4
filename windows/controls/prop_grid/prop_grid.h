// A two-column list of keys and editable values in the manner of an object inspector: rows
// grouped under section headers, nested by level, collapsible; the selected row holds an
// editor over its value with a drop-down, shortcut or ellipsis button, or a check box.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include <string>

#include "windows/controls/prop_grid/prop_grid_model.h"

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace yomira {

class HintWindow;
class PropGridPopupList;

// A cell address: column 0 key, 1 value; row an index into the rows, -1 for none.
struct PropGridCoord {
  int col = 0;
  int row = -1;
};

class PropGrid : public QAbstractScrollArea, private PropGridView {
  Q_OBJECT

 public:
  explicit PropGrid(QWidget* parent = nullptr);
  ~PropGrid() override;

  PropGridModel& model() { return model_; }
  const PropGridModel& model() const { return model_; }
  PropGridItems& Items() { return model_.Items(); }
  PropGridItem* ItemByName(const std::string& name) const { return model_.ItemByName(name); }
  PropGridItem& Names(const std::string& name) const { return model_.Names(name); }

  // Single: a sunken frame; none: no border.
  void setBorderSingle(bool single);
  void SetKeyColWidth(int width) { model_.SetKeyColWidth(width); }
  void SetRowHeight(int height);

  PropGridCoord MouseCoord(int x, int y) const;
  QRect CellRect(PropGridCoord coord) const;
  void ScrollToErrorRow() { model_.ScrollToErrorRow(); }

  // With the item on the selected row: the editor takes its value / the editor's text is
  // committed into it. UpdateEditorText commits into the selected item.
  void ItemValueChanged(PropGridItem& item);
  void ItemValueReq(PropGridItem& item);
  void UpdateEditorText();

  // The in-place controls, for holders and tests.
  QLineEdit* editor() const { return editor_; }
  QLineEdit* keyEditor() const { return keyEditor_; }
  QToolButton* dropDownButton() const { return dropDownButton_; }
  QToolButton* shortcutButton() const { return shortcutButton_; }
  QToolButton* ellipsisButton() const { return ellipsisButton_; }
  QCheckBox* checkBox() const { return checkBox_; }
  PropGridPopupList* popupList() const { return popup_; }
  HintWindow* hintWindow() const { return hint_; }

  // Paints the rows into a picture of the viewport's size (benchmarks, gallery).
  void PaintRows(QPainter& painter);

  // The text of a path shortened in the middle so that it fits width, keeping the file
  // name (the part after the last "/") whole where it can.
  static QString PathEllipsis(const QString& path, const QFontMetrics& metrics, int width);

  // Editor actions, also reached by keys.
  void DropDownBtnClick();
  void EllipsisBtnClick();
  void CheckBtnClick();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool viewportEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  // Whether the pointer is over the grid's rows (the hint may lie over them).
  bool PointerOverGrid() const;
  // The hint window's pointer events, handled as the grid's own.
  bool HintEvent(QEvent* e);
  // PropGridView
  void DoInvalidate() override;
  void ScrollInfoChanged() override;
  void RowSelected() override;

  void SetScrollBarInfo();
  void AdjustItems();
  void MouseDown(QMouseEvent* e, bool doubleClick);
  void GridKey(int key);
  void UpdateHint(QPoint pos);
  void HideHint();

  void DrawSectionCell(QPainter& p, const PropGridItem& head, QRect r);
  void DrawKeyCell(QPainter& p, const PropGridItem& item, QRect r);
  void DrawValueCell(QPainter& p, PropGridItem& item, QRect r);
  void DrawLine(QPainter& p, const QColor& c, int x1, int y1, int x2, int y2);
  void DrawSwatch(QPainter& p, QRect r, const std::string& value);
  int KeyIndent() const { return model_.BreakBySection() ? 10 : 0; }

  // Editors (prop_grid_editors.cpp).
  void CreateEditors();
  bool EditKeyDown(QKeyEvent* e);
  void EditEnter();
  void EditExit();
  void EditDblClick();
  bool KeyEditKeyDown(QKeyEvent* e);
  void PopupListBoxPopupClose(QWidget* activeTo, int key);
  void PopupListBoxDrawItem(QPainter& p, QRect r, int index, bool selected);
  void FocusEditor();
  void SetEditorText(const std::string& text);
  std::string EditorText() const;
  void Commit();

  PropGridModel model_;
  QLineEdit* editor_ = nullptr;
  QLineEdit* keyEditor_ = nullptr;
  QToolButton* dropDownButton_ = nullptr;
  QToolButton* shortcutButton_ = nullptr;
  QToolButton* ellipsisButton_ = nullptr;
  QCheckBox* checkBox_ = nullptr;
  PropGridPopupList* popup_ = nullptr;
  HintWindow* hint_ = nullptr;

  QImage separator_;
  QImage plusBox_;
  QImage minusBox_;

  bool dividerDrag_ = false;
  bool adjusting_ = false;
  bool fontChanged_ = true;
  bool syncingBar_ = false;
  int hoverRow_ = -2;
  int hoverCol_ = -2;
  static constexpr int kMinKeyColWidth = 30;
};

}  // namespace yomira
