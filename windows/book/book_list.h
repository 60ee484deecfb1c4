// The book window's virtual list: the model counts rows (the count of the last tab refresh)
// and answers each row's caption and hint from its entry, asked for at every use; the
// delegate decorates: fill, position bar, percentage, current-document marker and face.
#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include <functional>

#include "sources/file_item.h"

namespace yomira {

// What a row shows, asked for at every use.
struct BookRowState {
  const TFileItem* entry = nullptr;  // null: a row the list no longer has
  int tab = 0;
  bool textIndex = false;
  const TFileItem* current = nullptr;  // the current document, or null
};

class BookListModel : public QAbstractListModel {
 public:
  explicit BookListModel(std::function<BookRowState(int row)> rowState, QObject* parent = nullptr)
      : QAbstractListModel(parent), rowState_(std::move(rowState)) {}
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : count_; }
  // DisplayRole: the caption; ToolTipRole: the row hint. Nothing for a row the list lost.
  QVariant data(const QModelIndex& index, int role) const override;
  // A new count resets the model (and drops the view's selection).
  void setCount(int count);

 private:
  std::function<BookRowState(int row)> rowState_;
  int count_ = 0;
};

class BookRowDelegate : public QStyledItemDelegate {
 public:
  explicit BookRowDelegate(std::function<BookRowState(int row)> rowState, QObject* parent = nullptr)
      : QStyledItemDelegate(parent), rowState_(std::move(rowState)) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Draws row into rect (rect's width is the row's width) with the model's caption.
  void paintRow(QPainter* painter, const QRect& rect, const QFont& font, bool selected, int row,
                const QString& caption = QString()) const;

 private:
  std::function<BookRowState(int row)> rowState_;
};

}  // namespace yomira
