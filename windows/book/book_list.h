// The book window's virtual list: the model only counts rows (the count of the last tab
// refresh); the delegate draws each row from its entry.
#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include <functional>

#include "sources/file_item.h"

namespace yomira {

class BookListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : count_; }
  QVariant data(const QModelIndex&, int) const override { return {}; }
  // A new count resets the model (and drops the view's selection).
  void setCount(int count);

 private:
  int count_ = 0;
};

// What a row shows, asked for at every paint.
struct BookRowState {
  const TFileItem* entry = nullptr;  // null: a row the list no longer has
  int tab = 0;
  bool textIndex = false;
  const TFileItem* current = nullptr;  // the current document, or null
};

class BookRowDelegate : public QStyledItemDelegate {
 public:
  explicit BookRowDelegate(std::function<BookRowState(int row)> rowState, QObject* parent = nullptr)
      : QStyledItemDelegate(parent), rowState_(std::move(rowState)) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Draws row into rect (rect's width is the row's width).
  void paintRow(QPainter* painter, const QRect& rect, const QFont& font, bool selected, int row) const;

 private:
  std::function<BookRowState(int row)> rowState_;
};

}  // namespace yomira
