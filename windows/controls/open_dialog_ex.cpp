#include "windows/controls/open_dialog_ex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QBoxLayout>

#include "windows/controls/file_filter.h"

namespace yomira {
namespace {

int InRange(int index, const QStringList& list) { return index >= 0 && index < list.size() ? index : -1; }

QLabel* MakeLabel(QWidget* panel, const char* name, const char* caption, int x, int y) {
  auto* l = new QLabel(QString::fromUtf8(caption), panel);
  l->setObjectName(QString::fromLatin1(name));
  l->move(x, y);
  l->adjustSize();
  return l;
}

QComboBox* MakeList(QWidget* panel, const char* name, int x, int y) {
  auto* c = new QComboBox(panel);
  c->setObjectName(QString::fromLatin1(name));
  c->setEditable(false);
  c->move(x, y);
  return c;
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
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("Panel"));
  panel->setFixedHeight(50);
  QComboBox* codes = MakeList(panel, "FCharCodeComboBox", 116, 0);
  MakeLabel(panel, "FStaticText1", "文字コード(&C):", 12, 4)->setBuddy(codes);
  QComboBox* breaks = MakeList(panel, "FReturnCodeComboBox", 116, 26);
  QLabel* breakLabel = MakeLabel(panel, "FStaticText2", "改行コード(&L):", 12, 30);
  breakLabel->setBuddy(breaks);
  auto* readOnly = new QCheckBox(QString::fromUtf8("読み取り専用(&R)"), panel);
  readOnly->setObjectName(QStringLiteral("FReadOnlyCheckBox"));
  readOnly->setGeometry(270, 2, 120, readOnly->sizeHint().height());
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
  Fill(d.findChild<QComboBox*>(QStringLiteral("FCharCodeComboBox")), charCodes_, charCodeIndex_);
  Fill(d.findChild<QComboBox*>(QStringLiteral("FReturnCodeComboBox")), returnCodes_, returnCodeIndex_);
  auto* readOnly = d.findChild<QCheckBox*>(QStringLiteral("FReadOnlyCheckBox"));
  readOnly->hide();
  readOnly->setChecked(ReadOnly);
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
