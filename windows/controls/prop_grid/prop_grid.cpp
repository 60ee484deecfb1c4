#include "windows/controls/prop_grid/prop_grid.h"

#include <QCheckBox>
#include <QCursor>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/text/cp932.h"
#include "windows/controls/hint_window.h"
#include "windows/controls/prop_grid/prop_grid_colors.h"
#include "windows/controls/prop_grid/prop_grid_pixmaps.h"
#include "windows/controls/prop_grid/prop_grid_popup.h"

namespace yomira {

PropGrid::PropGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  model_.SetView(this);
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  setBorderSingle(true);
  separator_ = PropGridDottedSeparator(1000);
  plusBox_ = PropGridPlusBox();
  minusBox_ = PropGridMinusBox();
  hint_ = new HintWindow(this);
  hint_->setFont(font());
  // The hint lies over the cell under the pointer; where the window system hands it the
  // pointer, its moves still belong to the grid.
  hint_->setMouseTracking(true);
  hint_->installEventFilter(this);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!syncingBar_) model_.ModifyScrollBar(5, value);
  });
  CreateEditors();
}

PropGrid::~PropGrid() {
  model_.SetView(nullptr);
  delete hint_;
}

void PropGrid::setBorderSingle(bool single) {
  setFrameShape(single ? QFrame::StyledPanel : QFrame::NoFrame);
  setFrameShadow(QFrame::Sunken);
}

void PropGrid::SetRowHeight(int height) {
  model_.SetRowHeight(height);
  const int r = model_.RowHeight();
  for (QToolButton* b : {dropDownButton_, shortcutButton_, ellipsisButton_}) b->setFixedSize(r - 1, r - 1);
  checkBox_->setFixedSize(r - 2, r - 2);
  SetScrollBarInfo();
  DoInvalidate();
}

PropGridCoord PropGrid::MouseCoord(int x, int y) const {
  PropGridCoord c;
  c.col = x >= model_.KeyColWidth() ? 1 : 0;
  const int row = (y >= 0 ? y / model_.RowHeight() : -1) + model_.TopRow;
  c.row = y >= 0 && row < model_.RowCount() ? row : -1;
  return c;
}

QRect PropGrid::CellRect(PropGridCoord coord) const {
  const int top = (coord.row - model_.TopRow) * model_.RowHeight();
  const int k = model_.KeyColWidth();
  const int w = viewport()->width();
  return coord.col == 0 ? QRect(QPoint(0, top), QPoint(k - 1, top + model_.RowHeight() - 1))
                        : QRect(QPoint(k, top), QPoint(w - 1, top + model_.RowHeight() - 1));
}

void PropGrid::ItemValueChanged(PropGridItem& item) {
  if (model_.SelectedItem() == &item) SetEditorText(model_.EditorTextFor(item));
}

void PropGrid::ItemValueReq(PropGridItem& item) {
  if (isVisible() && model_.SelectedItem() == &item) Commit();
}

void PropGrid::UpdateEditorText() {
  if (model_.SelectedItem()) Commit();
}

// ---- the model's view ------------------------------------------------------------------

void PropGrid::DoInvalidate() {
  if (isVisible() && focusPolicy() != Qt::NoFocus && window()->isVisible()) {
    adjusting_ = true;
    AdjustItems();
    adjusting_ = false;
  }
  viewport()->update();
}

void PropGrid::ScrollInfoChanged() { SetScrollBarInfo(); }

void PropGrid::SetScrollBarInfo() {
  const int r = model_.RowHeight();
  const int h = viewport()->height();
  model_.PageRows = h / r;
  model_.ShownRows = model_.PageRows + (h % r ? 1 : 0);
  QScrollBar* bar = verticalScrollBar();
  // The bar's value is the top row: its maximum is the last top row, not the last row.
  syncingBar_ = true;
  bar->setRange(0, model_.MaxTopRow());
  bar->setPageStep(std::max(model_.PageRows, 1));
  bar->setValue(model_.TopRow);
  syncingBar_ = false;
}

// ---- painting --------------------------------------------------------------------------

void PropGrid::DrawLine(QPainter& p, const QColor& c, int x1, int y1, int x2, int y2) {
  // Lines run right or down here; the end point is not drawn.
  p.setPen(c);
  if (y1 == y2 && x2 > x1) p.drawLine(x1, y1, x2 - 1, y1);
  else if (x1 == x2 && y2 > y1) p.drawLine(x1, y1, x1, y2 - 1);
}

void PropGrid::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  PaintRows(p);
}

void PropGrid::PaintRows(QPainter& p) {
  if (fontChanged_) {
    fontChanged_ = false;
    SetScrollBarInfo();
  }
  p.setFont(font());
  const int w = viewport()->width();
  p.fillRect(QRect(0, 0, w, viewport()->height()), GridColor(kBtnFace));
  if (adjusting_ || model_.RowCount() == 0) return;
  const int r = model_.RowHeight();
  const int k = model_.KeyColWidth();
  const QColor shadow = GridColor(kBtnShadow);
  for (int row = model_.TopRow; row <= model_.TopRow + model_.ShownRows && row < model_.RowCount(); ++row) {
    const int y0 = (row - model_.TopRow) * r;
    const int y1 = y0 + r;
    const bool current = row == model_.CurrentRow;
    if (model_.RowIsSection(row)) {
      DrawSectionCell(p, *model_.RowSectionHead(row), QRect(QPoint(0, y0), QPoint(w - 1, y1 - 1)));
    } else {
      PropGridItem& item = *model_.RowItem(row);
      DrawKeyCell(p, item, QRect(QPoint(0, y0), QPoint(k - 1, y1 - 1)));
      if (current) p.fillRect(QRect(QPoint(k, y0 + 1), QPoint(w - 1, y1 - 1)), GridColor(kWindow));
      else DrawValueCell(p, item, QRect(QPoint(k, y0), QPoint(w - 1, y1 - 1)));
      DrawLine(p, shadow, k - 2, current ? y0 + 1 : y0, k - 2, y1);
      DrawLine(p, Qt::white, k - 1, current ? y0 + 1 : y0, k - 1, y1);
    }
    if (row + 1 == model_.CurrentRow) {
      DrawLine(p, Qt::black, 0, y1 - 1, w, y1 - 1);
      DrawLine(p, shadow, 0, y1, w, y1);
    } else if (current) {
      DrawLine(p, Qt::white, 0, y1, w, y1);
    } else {
      p.drawImage(0, y1, separator_);
    }
    if (current) {
      DrawLine(p, Qt::black, 0, y0, 0, y1);
      DrawLine(p, shadow, 1, y0 + 1, 1, y1 - 1);
    }
  }
}

void PropGrid::DrawSectionCell(QPainter& p, const PropGridItem& head, QRect r) {
  QFont bold = font();
  bold.setBold(true);
  p.setFont(bold);
  p.setPen(GridColor(clWindowText));
  const QString text = QString::fromStdString(head.Section());
  p.drawText(QRect(r.left() + 13, r.top() + 2, r.width() - 13, r.height()), Qt::AlignLeft | Qt::AlignTop, text);
  p.setFont(font());
  p.drawImage(r.left() + 2, r.top() + 3, head.SectionExpanded ? minusBox_ : plusBox_);
}

void PropGrid::DrawKeyCell(QPainter& p, const PropGridItem& item, QRect r) {
  p.setPen(item.Enabled() && item.Shown ? GridColor(item.KeyFontColor()) : GridColor(kBtnShadow));
  const int indent = KeyIndent();
  const QRect clip(QPoint(r.left() + 2, r.top() + 2), QPoint(r.right() - 1, r.bottom() - 1));
  const int x = item.Level() * 10 + r.left() + indent + 13;
  p.save();
  p.setClipRect(clip);
  p.drawText(QRect(x, r.top() + 2, std::max(clip.right() - x + 1, 0), r.height()), Qt::AlignLeft | Qt::AlignTop,
             QString::fromStdString(item.Key()));
  p.restore();
  if (item.HasChildren)
    p.drawImage(item.Level() * 10 + indent + 2, r.top() + 3, item.Expanded() ? minusBox_ : plusBox_);
}

void PropGrid::DrawSwatch(QPainter& p, QRect r, const std::string& value) {
  QColor fill = Qt::white;
  if (!value.empty()) fill = GridColor(static_cast<uint32_t>(StrToIntDef(value, 0)));
  const QPoint pts[] = {{r.left() + 2, r.top() + 2},
                        {r.left() + 2, r.top() + 12},
                        {r.left() + 12, r.top() + 12},
                        {r.left() + 12, r.top() + 2}};
  p.setPen(Qt::black);
  p.setBrush(fill);
  p.drawPolygon(pts, 4);
  p.setBrush(Qt::NoBrush);
}

void PropGrid::DrawValueCell(QPainter& p, PropGridItem& item, QRect r) {
  if (item.OnDrawCell) {
    const std::string name = item.Name();
    const std::string value = item.Value();
    p.save();
    item.OnDrawCell(item, name, value, p, QRect(QPoint(r.left() + 1, r.top() + 1),
                                                 QPoint(r.right() - 1, r.top() + model_.RowHeight() - 2)));
    p.restore();
    return;
  }
  p.setPen(GridColor(item.ValueFontColor()));
  const QRect textRect(r.left() + 2, r.top() + 2, r.width() - 2, r.height());
  auto hex = [](const std::string& v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<uint32_t>(StrToIntDef(v, 0)));
    return QString::fromLatin1(buf);
  };
  switch (item.Style()) {
    case PropGridStyle::psColorCombo:
    case PropGridStyle::psColorComboList: {
      const std::string name = model_.GetColorName(item, item.Value());
      const QString text = !name.empty() ? QString::fromStdString(name)
                           : item.Value().empty() ? QString()
                                                  : hex(item.Value());
      p.drawText(QRect(r.left() + 16, r.top() + 2, r.width() - 16, r.height()), Qt::AlignLeft | Qt::AlignTop, text);
      DrawSwatch(p, r, item.Value());
      break;
    }
    case PropGridStyle::psColorEllipsis:
      if (item.Value().empty()) break;
      p.drawText(QRect(r.left() + 16, r.top() + 2, r.width() - 16, r.height()), Qt::AlignLeft | Qt::AlignTop,
                 hex(item.Value()));
      DrawSwatch(p, r, item.Value());
      break;
    case PropGridStyle::psFileNameEllipsis: {
      const QRect box(QPoint(r.left() + 2, r.top() + 2), QPoint(viewport()->width() - 3, r.bottom()));
      p.drawText(box, Qt::AlignLeft | Qt::AlignTop,
                 PathEllipsis(QString::fromStdString(item.Value()), p.fontMetrics(), box.width()));
      break;
    }
    default:
      p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(item.Value()));
      break;
  }
}

QString PropGrid::PathEllipsis(const QString& path, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(path) <= width) return path;
  const qsizetype slash = path.lastIndexOf('/');
  const QString ellipsis = QStringLiteral("…");
  if (slash < 0) return metrics.elidedText(path, Qt::ElideMiddle, width);
  const QString name = path.mid(slash);  // with its "/"
  // Drop characters from the end of the folder part until the rest fits.
  for (qsizetype keep = slash - 1; keep >= 0; --keep) {
    const QString candidate = path.left(keep) + ellipsis + name;
    if (metrics.horizontalAdvance(candidate) <= width) return candidate;
  }
  return metrics.elidedText(ellipsis + name, Qt::ElideRight, width);
}

// ---- size, show, font ------------------------------------------------------------------

void PropGrid::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  separator_ = PropGridDottedSeparator(viewport()->width());
  SetScrollBarInfo();
  model_.ModifyScrollBar(-1);  // clamp TopRow to the new page
}

void PropGrid::showEvent(QShowEvent* e) {
  QAbstractScrollArea::showEvent(e);
  SetScrollBarInfo();
  DoInvalidate();
}

void PropGrid::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) {
    fontChanged_ = true;
    hint_->setFont(font());
    DoInvalidate();
  }
  QAbstractScrollArea::changeEvent(e);
}

// ---- mouse -----------------------------------------------------------------------------

bool PropGrid::PointerOverGrid() const {
  return viewport()->rect().contains(viewport()->mapFromGlobal(QCursor::pos()));
}

bool PropGrid::viewportEvent(QEvent* e) {
  // Our own hint shown under the pointer takes it from the grid: that is no leaving.
  if (e->type() == QEvent::Leave && !(hint_->isVisible() && PointerOverGrid())) {
    HideHint();
    hoverRow_ = hoverCol_ = -1;
  }
  return QAbstractScrollArea::viewportEvent(e);
}

bool PropGrid::HintEvent(QEvent* e) {
  if (e->type() == QEvent::MouseMove) {
    const QPoint at = viewport()->mapFromGlobal(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
    if (viewport()->rect().contains(at)) UpdateHint(at);
    else HideHint();
    return true;
  }
  if (e->type() == QEvent::Leave && !PointerOverGrid()) {
    HideHint();
    hoverRow_ = hoverCol_ = -1;
  }
  return false;
}

void PropGrid::mousePressEvent(QMouseEvent* e) { MouseDown(e, false); }

void PropGrid::mouseDoubleClickEvent(QMouseEvent* e) { MouseDown(e, true); }

void PropGrid::MouseDown(QMouseEvent* e, bool doubleClick) {
  e->accept();
  if (e->button() != Qt::LeftButton || model_.RowCount() == 0) return;
  HideHint();
  const QPoint pos = e->position().toPoint();
  const int k = model_.KeyColWidth();
  if (std::abs(pos.x() - k) < 3) {
    dividerDrag_ = true;
    return;
  }
  dividerDrag_ = false;
  setFocus(Qt::MouseFocusReason);
  if (model_.ValueRejected) {
    model_.ValueRejected = false;
    model_.ScrollToErrorRow();
    FocusEditor();
    return;
  }
  const PropGridCoord c = MouseCoord(pos.x(), pos.y());
  if (c.row >= 0) {
    model_.SelectRow(c.row);
    const int indent = KeyIndent();
    if (model_.RowIsSection(model_.CurrentRow)) {
      if ((model_.BreakBySection() && pos.x() < 10) || doubleClick) {
        PropGridItem* head = model_.RowSectionHead(model_.CurrentRow);
        head->SectionExpanded = !head->SectionExpanded;
        model_.UpdateIndex();
      }
    } else if (PropGridItem* item = model_.SelectedItem(); item && item->HasChildren && c.col == 0) {
      if (std::abs(pos.x() - (item->Level() * 10 + indent + 5)) < 5 || doubleClick)
        item->SetExpanded(!item->Expanded());
    }
  }
  if (model_.PageRows != model_.ShownRows && model_.CurrentRow == model_.TopRow + model_.PageRows)
    model_.ModifyScrollBar(3);
  DoInvalidate();
}

void PropGrid::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  const int w = viewport()->width();
  if (dividerDrag_) {
    HideHint();
    if (pos.x() > kMinKeyColWidth && pos.x() < w - kMinKeyColWidth) {
      model_.SetKeyColWidth(pos.x());
      DoInvalidate();
    }
    return;
  }
  viewport()->setCursor(std::abs(model_.KeyColWidth() - pos.x()) < 3 ? Qt::SplitHCursor : Qt::ArrowCursor);
  UpdateHint(pos);
}

void PropGrid::mouseReleaseEvent(QMouseEvent*) {
  if (dividerDrag_) {
    dividerDrag_ = false;
    DoInvalidate();
  }
}

void PropGrid::wheelEvent(QWheelEvent* e) {
  const int dy = e->angleDelta().y();
  if (dy > 0) GridKey(Qt::Key_Up);
  else if (dy < 0) GridKey(Qt::Key_Down);
  e->accept();
}

void PropGrid::HideHint() { hint_->hide(); }

void PropGrid::UpdateHint(QPoint pos) {
  PropGridCoord c = MouseCoord(pos.x(), pos.y());
  if (pos.x() < 0 || pos.x() >= viewport()->width()) c.row = -1;
  if (c.row == hoverRow_ && c.col == hoverCol_) return;
  hoverRow_ = c.row;
  hoverCol_ = c.col;
  PropGridItem* item = c.row >= 0 ? model_.RowItem(c.row) : nullptr;
  if (!item) {
    HideHint();
    return;
  }
  const QFontMetrics fm(hint_->font());
  const QRect cell = CellRect(c);
  const int r = model_.RowHeight();
  const int k = model_.KeyColWidth();
  // The row's height, or more where the hint's font needs it: the text is never cut.
  const int hintHeight = std::max(r - 1, fm.height() + 2 * (HintWindow::kFrame + HintWindow::kPadding));
  const int hintPadding = 2 * (HintWindow::kFrame + HintWindow::kPadding);
  if (c.col == 1) {
    const QString value = QString::fromStdString(item->Value());
    const int w = fm.horizontalAdvance(value);
    if (c.row != model_.CurrentRow && !IsColorComboStyle(item->Style()) && w > viewport()->width() - k) {
      const QPoint at = viewport()->mapToGlobal(cell.topLeft() - QPoint(1, 1));
      hint_->showAt(QRect(at, QSize(w + hintPadding, hintHeight)), value);
      return;
    }
  } else {
    const QString key = QString::fromStdString(item->Key());
    const int x0 = item->Level() * 10 + KeyIndent() + 13;
    const int w = fm.horizontalAdvance(key);
    if (k < x0 + w) {
      const QPoint at = viewport()->mapToGlobal(QPoint(x0 - 3, cell.top() - 1));
      hint_->showAt(QRect(at, QSize(w + std::max(5, hintPadding), hintHeight)), key);
      return;
    }
  }
  HideHint();
}

// ---- keys ------------------------------------------------------------------------------

void PropGrid::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  const bool ours = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
  if (!ours) {
    // Esc, Enter and the rest belong to the window (a dialog's buttons).
    e->ignore();
    return;
  }
  e->accept();
  GridKey(key);
}

void PropGrid::GridKey(int key) {
  // Leaving the editor commits it; the selected row's editor takes the focus back.
  setFocus(Qt::OtherFocusReason);
  if (model_.ValueRejected) {
    model_.ValueRejected = false;
    model_.ScrollToErrorRow();
    FocusEditor();
    return;
  }
  if (model_.RowCount() == 0) return;
  HideHint();
  const int last = model_.RowCount() - 1;
  switch (key) {
    case Qt::Key_Down:
      if (model_.CurrentRow == model_.TopRow + model_.PageRows - 1) model_.ModifyScrollBar(1);
      if (model_.CurrentRow < last) {
        model_.SelectRow(model_.CurrentRow + 1);
        DoInvalidate();
      }
      break;
    case Qt::Key_Up:
      if (model_.CurrentRow == model_.TopRow) model_.ModifyScrollBar(0);
      if (model_.CurrentRow > 0) {
        model_.SelectRow(model_.CurrentRow - 1);
        DoInvalidate();
      }
      break;
    case Qt::Key_Right:
    case Qt::Key_Left:
      if (model_.RowIsSection(model_.CurrentRow)) {
        PropGridItem* head = model_.RowSectionHead(model_.CurrentRow);
        const bool expand = key == Qt::Key_Right;
        if (head->SectionExpanded != expand) {
          head->SectionExpanded = expand;
          model_.UpdateIndex();
        }
      }
      break;
    default:
      break;
  }
}

}  // namespace yomira
