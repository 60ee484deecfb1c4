#include "windows/controls/open_dialog_ex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QBoxLayout>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeView>

#include <algorithm>

#include <cstdio>

#include "windows/controls/file_filter.h"

namespace yomira {
namespace {

int InRange(int index, const QStringList& list) { return index >= 0 && index < list.size() ? index : -1; }

QLabel* MakeLabel(QWidget* panel, const char* name, const char* caption) {
  auto* l = new QLabel(QString::fromUtf8(caption), panel);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

QComboBox* MakeList(QWidget* panel, const char* name) {
  auto* c = new QComboBox(panel);
  c->setObjectName(QString::fromLatin1(name));
  c->setEditable(false);
  c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return c;
}

// YOMIRA_TRACE_MESSAGES=1: the dialog's visible labels and buttons on stderr, one line, as
// Qt's translation left them (a dialog's texts cannot be read from outside).
void TraceTexts(const QFileDialog& d) {
  if (qEnvironmentVariableIntValue("YOMIRA_TRACE_MESSAGES") != 1) return;
  QStringList texts;
  for (const QWidget* w : d.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&d)) continue;
    if (const auto* l = qobject_cast<const QLabel*>(w)) texts << l->text();
    else if (const auto* b = qobject_cast<const QPushButton*>(w)) texts << b->text();
  }
  texts.removeAll(QString());
  std::fprintf(stderr, "dialog: %s: %s\n", qUtf8Printable(d.windowTitle()), qUtf8Printable(texts.join(QStringLiteral(" | "))));
  std::fflush(stderr);
}

// Qt's own lists show their texts whole: the places beside the files as wide as their
// longest name, and the size, type and date columns as wide as their entries once the
// folder is read.
void FitQtColumns(QFileDialog& d) {
  auto* sidebar = d.findChild<QListView*>(QStringLiteral("sidebar"));
  auto* splitter = d.findChild<QSplitter*>(QStringLiteral("splitter"));
  if (sidebar && splitter && splitter->count() == 2) {
    const int need = sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() + 8 +
                     (sidebar->verticalScrollBar()->isVisible() ? sidebar->verticalScrollBar()->width() : 0);
    QList<int> sizes = splitter->sizes();
    if (sizes.size() == 2 && sizes[0] < need) {
      sizes[1] = std::max(0, sizes[1] - (need - sizes[0]));
      sizes[0] = need;
      splitter->setSizes(sizes);
    }
  }
  auto* tree = d.findChild<QTreeView*>(QStringLiteral("treeView"));
  auto* files = qobject_cast<QFileSystemModel*>(tree ? tree->model() : nullptr);
  if (!tree || !files) return;
  auto fit = [tree] {
    for (int c = 1; c < tree->header()->count(); ++c) tree->resizeColumnToContents(c);
  };
  QObject::connect(files, &QFileSystemModel::directoryLoaded, tree, [fit] { fit(); });
  fit();
}

void Fill(QComboBox* c, const QStringList& items, int index) {
  c->clear();
  c->addItems(items);
  c->setCurrentIndex(index);
  c->adjustSize();
}

}  // namespace

TOpenDialogEx::TOpenDialogEx(QWidget* parent) : TOpenDialogEx(parent, false) {}

TOpenDialogEx::TOpenDialogEx(QWidget* parent, bool save) : QObject(parent), parent_(parent), save_(save) {}

TOpenDialogEx::~TOpenDialogEx() = default;

void TOpenDialogEx::setCharCodeList(const QStringList& list) {
  if (&list != &charCodes_) charCodes_ = list;
}

void TOpenDialogEx::setCharCodeIndex(int index) { charCodeIndex_ = InRange(index, charCodes_); }

void TOpenDialogEx::setReturnCodeList(const QStringList& list) {
  if (&list != &returnCodes_) returnCodes_ = list;
}

void TOpenDialogEx::setReturnCodeIndex(int index) { returnCodeIndex_ = InRange(index, returnCodes_); }

void TOpenDialogEx::AddPanel(QFileDialog& dialog) {
  // Labels at 12, lists at 116 and the box at 270 at the least; each grows with its text.
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("Panel"));
  panel->setMinimumHeight(50);
  auto* rows = new QGridLayout(panel);
  rows->setContentsMargins(12, 0, 0, 0);
  rows->setHorizontalSpacing(4);
  rows->setVerticalSpacing(4);
  QComboBox* codes = MakeList(panel, "FCharCodeComboBox");
  QLabel* codeLabel = MakeLabel(panel, "FStaticText1", "文字コード(&C):");
  codeLabel->setBuddy(codes);
  QComboBox* breaks = MakeList(panel, "FReturnCodeComboBox");
  QLabel* breakLabel = MakeLabel(panel, "FStaticText2", "改行コード(&L):");
  breakLabel->setBuddy(breaks);
  auto* readOnly = new QCheckBox(QString::fromUtf8("読み取り専用(&R)"), panel);
  readOnly->setObjectName(QStringLiteral("FReadOnlyCheckBox"));
  readOnly->setMinimumWidth(120);
  rows->setColumnMinimumWidth(0, 116 - 12 - 4);
  rows->addWidget(codeLabel, 0, 0);
  rows->addWidget(codes, 0, 1);
  rows->addWidget(breakLabel, 1, 0);
  rows->addWidget(breaks, 1, 1);
  rows->setColumnMinimumWidth(2, 4);
  rows->addWidget(readOnly, 0, 3);
  rows->setColumnStretch(4, 1);
  rows->setRowStretch(2, 1);
  breakLabel->setVisible(save_);
  breaks->setVisible(save_);

  // Qt's own file dialog lays its controls out in a grid; the row goes under the file types.
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  int row = -1, col = 0, rowSpan = 1, colSpan = 1;
  if (grid && types) {
    const int at = grid->indexOf(types);
    if (at >= 0) grid->getItemPosition(at, &row, &col, &rowSpan, &colSpan);
  }
  if (row >= 0) {
    grid->addWidget(panel, row + rowSpan, 0, 1, grid->columnCount());
    QWidget::setTabOrder(types, codes);
  } else if (auto* box = qobject_cast<QBoxLayout*>(dialog.layout())) {
    box->addWidget(panel);  // another layout: the row goes at the bottom
  } else {
    panel->setParent(&dialog);
    panel->setGeometry(0, dialog.height() - 50, dialog.width(), 50);
  }
  QWidget::setTabOrder(codes, breaks);
  QWidget::setTabOrder(breaks, readOnly);
}

std::unique_ptr<QFileDialog> TOpenDialogEx::Build() {
  auto dialog = std::make_unique<QFileDialog>(parent_, QString::fromUtf8(save_ ? "名前を付けて保存" : "開く"));
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  if (save_) {
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
  } else {
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
  }
  // "A.TXT" is a text file too.
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  const QStringList filters = QtNameFilters(Filter);
  if (!filters.isEmpty()) dialog->setNameFilters(filters);
  const QFileInfo preset(FileName);
  if (!FileName.isEmpty() && FileName.contains(QLatin1Char('/'))) {
    dialog->setDirectory(preset.absolutePath());
    dialog->selectFile(preset.fileName());
  } else {
    if (!InitialDir.isEmpty()) dialog->setDirectory(InitialDir);
    if (!FileName.isEmpty()) dialog->selectFile(FileName);
  }
  AddPanel(*dialog);
  dialog_ = dialog.get();
  shown_ = false;
  dialog->installEventFilter(this);
  connect(dialog.get(), &QObject::destroyed, this, [this, d = dialog.get()] {
    if (dialog_ == d) dialog_ = nullptr;
  });
  return dialog;
}

bool TOpenDialogEx::Execute() {
  std::unique_ptr<QFileDialog> dialog = Build();
  const bool ok = dialog->exec() == QDialog::Accepted;
  DoClose();
  dialog_ = nullptr;
  if (ok) {
    FileName = dialog->selectedFiles().value(0);
    return !FileName.isEmpty();
  }
  return false;
}

bool TOpenDialogEx::eventFilter(QObject* watched, QEvent* e) {
  if (dialog_ && watched == dialog_ && e->type() == QEvent::Show && !shown_) {
    shown_ = true;
    DoShow();
  }
  return QObject::eventFilter(watched, e);
}

void TOpenDialogEx::DoShow() {
  QFileDialog& d = *dialog_;
  FitQtColumns(d);
  Fill(d.findChild<QComboBox*>(QStringLiteral("FCharCodeComboBox")), charCodes_, charCodeIndex_);
  Fill(d.findChild<QComboBox*>(QStringLiteral("FReturnCodeComboBox")), returnCodes_, returnCodeIndex_);
  auto* readOnly = d.findChild<QCheckBox*>(QStringLiteral("FReadOnlyCheckBox"));
  readOnly->hide();
  readOnly->setChecked(ReadOnly);
  TraceTexts(d);
  if (OnShow) OnShow(d);
}

void TOpenDialogEx::DoClose() {
  QFileDialog& d = *dialog_;
  ReadOnly = d.findChild<QCheckBox*>(QStringLiteral("FReadOnlyCheckBox"))->isChecked();
  setCharCodeIndex(d.findChild<QComboBox*>(QStringLiteral("FCharCodeComboBox"))->currentIndex());
  setReturnCodeIndex(d.findChild<QComboBox*>(QStringLiteral("FReturnCodeComboBox"))->currentIndex());
  if (OnClose) OnClose(d);
}

}  // namespace yomira
