// The rows of the tools dialog's list: tools, filters, or the actions of the main or the
// book list, with the pending-edit sign on the row being edited.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "ui/action.h"
#include "sources/tool_item.h"

namespace yomira {

enum ToolsTab { kTabTools = 0, kTabFilters = 1, kTabMainKeys = 2, kTabBookKeys = 3 };

class ToolListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ToolListModel(ToolItemList& tools, ToolItemList& filters, ActionCatalogue& catalogue, QObject* parent = nullptr);

  // Resets the model to another tab's rows; the editing row is cleared.
  void setTab(int tab);
  int tab() const { return tab_; }

  // The tool or filter list of the tab; nullptr on the shortcut tabs.
  ToolItemList* items() const;
  // The action of a row on the shortcut tabs; nullptr elsewhere or out of range.
  Action* action(int row) const;

  int editingRow() const { return editingRow_; }
  void setEditingRow(int row);
  // The number of rows changed (an add, a delete): the view starts without a selection.
  void refresh();
  // Rows changed in place (an edit, a move).
  void repaintRows();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  ToolItemList& tools_;
  ToolItemList& filters_;
  ActionCatalogue& catalogue_;
  std::vector<Action*> actions_;
  int tab_ = kTabTools;
  int editingRow_ = -1;
};

// The action caption as a list shows it: every "&" removed.
QString CaptionWithoutAccelerators(const std::string& caption);

}  // namespace yomira
