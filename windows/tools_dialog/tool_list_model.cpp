#include "windows/tools_dialog/tool_list_model.h"

#include "ui/shortcut_codec.h"

namespace yomira {

QString CaptionWithoutAccelerators(const std::string& caption) {
  QString text = QString::fromStdString(caption);
  text.remove(QLatin1Char('&'));
  return text;
}

ToolListModel::ToolListModel(ToolItemList& tools, ToolItemList& filters, ActionCatalogue& catalogue,
                             QObject* parent)
    : QAbstractTableModel(parent), tools_(tools), filters_(filters), catalogue_(catalogue) {}

void ToolListModel::setTab(int tab) {
  beginResetModel();
  tab_ = tab;
  editingRow_ = -1;
  actions_.clear();
  if (tab_ == kTabMainKeys) actions_ = catalogue_.list(kListMain);
  if (tab_ == kTabBookKeys) actions_ = catalogue_.list(kListBook);
  endResetModel();
  emit headerDataChanged(Qt::Horizontal, 0, 3);
}

ToolItemList* ToolListModel::items() const {
  if (tab_ == kTabTools) return &tools_;
  if (tab_ == kTabFilters) return &filters_;
  return nullptr;
}

Action* ToolListModel::action(int row) const {
  if (row < 0 || row >= static_cast<int>(actions_.size())) return nullptr;
  return actions_[static_cast<size_t>(row)];
}

void ToolListModel::setEditingRow(int row) {
  const int old = editingRow_;
  editingRow_ = row;
  for (int r : {old, row})
    if (r >= 0 && r < rowCount()) emit dataChanged(index(r, 0), index(r, 3));
}

void ToolListModel::refresh() {
  beginResetModel();
  endResetModel();
}

void ToolListModel::repaintRows() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 3));
}

int ToolListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (const ToolItemList* list = items()) return static_cast<int>(list->size());
  return static_cast<int>(actions_.size());
}

int ToolListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant ToolListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  const int row = index.row();
  const QString pending = row == editingRow_ ? QStringLiteral(" *") : QString();
  if (const ToolItemList* list = items()) {
    const TToolItem& item = (*list)[static_cast<size_t>(row)];
    switch (index.column()) {
      case 0: return QString::fromStdString(item.Caption) + pending;
      case 1: {
        const size_t slash = item.FilePath.rfind('/');
        return QString::fromStdString(slash == std::string::npos ? item.FilePath : item.FilePath.substr(slash + 1));
      }
      case 2: return QString::fromStdString(item.Param);
      default: return ShortcutText(item.ShortCut);
    }
  }
  const Action* a = action(row);
  switch (index.column()) {
    case 0: return QString::fromStdString(a->category);
    case 1: return CaptionWithoutAccelerators(a->caption) + pending;
    case 2: return QString();
    default: return ShortcutText(a->code);
  }
}

QVariant ToolListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3) return {};
  static const char* const kTools[] = {"タイトル", "ファイル名", "引数", "ショートカット"};
  static const char* const kKeys[] = {"カテゴリ", "メニュー名", "", "ショートカット"};
  return QString::fromUtf8(items() ? kTools[section] : kKeys[section]);
}

}  // namespace yomira
