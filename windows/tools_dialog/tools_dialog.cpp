#include "windows/tools_dialog/tools_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QStyle>
#include <QTableView>

#include <algorithm>

#include "platform/datafolder.h"
#include "platform/file/regular_file.h"
#include "platform/shell_env.h"
#include "platform/text/cp932.h"
#include "windows/controls/window_util.h"
#include "windows/tools_dialog/shortcut_capture.h"
#include "windows/tools_dialog/tool_list_model.h"
#include "platform/path/path_parts.h"

namespace yomira {

namespace {

constexpr int kLabelX = 8;
constexpr int kEditX = 110;
constexpr int kEditWidth = 330;
constexpr int kEditHeight = 22;
constexpr int kButtonX = 456;
constexpr QSize kButtonSize(81, 26);

std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

// A non-native file dialog for any file, in the run's remembered place.
std::optional<std::string> PickWithFileDialog(QWidget* parent, const std::string& startFile,
                                              const ToolsDialogSetup& setup) {
  QFileDialog dialog(parent);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QString::fromUtf8("すべてのファイル (*)"));
  if (!startFile.empty()) dialog.selectFile(QString::fromStdString(startFile));
  if (setup.restoreDialogRect) setup.restoreDialogRect(&dialog);
  const bool ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (setup.saveDialogRect) setup.saveDialogRect(&dialog);
  if (!ok) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace

TForm4::TForm4(ToolsDialogSetup setup) : QDialog(setup.owner), setup_(std::move(setup)) {
  setObjectName("Form4");
  setWindowTitle(QString::fromUtf8("環境設定"));
  setFont(UiFont());
  buildWidgets();
}

TForm4::~TForm4() = default;

void TForm4::buildWidgets() {
  TabControlBase = new QTabBar(this);
  TabControlBase->setObjectName("TabControlBase");
  TabControlBase->setFocusPolicy(Qt::NoFocus);
  TabControlBase->setDrawBase(true);
  for (const char* caption : {"外部ツール", "外部フィルタ", "メインショートカット", "ブックショートカット"})
    TabControlBase->addTab(QString::fromUtf8(caption));
  TabControlBase->setGeometry(4, 4, kClientWidth - 8, 22);
  connect(TabControlBase, &QTabBar::currentChanged, this, [this] { TabControlBaseChange(); });

  Model = new ToolListModel(setup_.tools, setup_.filters, setup_.catalogue, this);
  ListViewTool = new QTableView(this);
  ListViewTool->setObjectName("ListViewTool");
  ListViewTool->setModel(Model);
  ListViewTool->setGeometry(8, 30, 440, 240);
  ListViewTool->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListViewTool->setSelectionMode(QAbstractItemView::SingleSelection);
  ListViewTool->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListViewTool->setTabKeyNavigation(false);
  ListViewTool->verticalHeader()->hide();
  // A list view's rows: one line of text each.
  ListViewTool->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
  ListViewTool->setShowGrid(false);
  ListViewTool->horizontalHeader()->setSectionsClickable(false);
  ListViewTool->horizontalHeader()->setHighlightSections(false);
  ListViewTool->setWordWrap(false);
  // The shortcut column holds its longest text whole. The room comes from the parameter
  // column (empty on the shortcut tabs) down to 40 pixels, then from the name column.
  const QFontMetrics metrics(font());
  const int cellPadding = 2 * ListViewTool->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
  const int shortcutWidth =
      std::max(90, metrics.horizontalAdvance(QStringLiteral("Ctrl+Alt+Shift+F12")) + cellPadding);
  const int excess = shortcutWidth - 90;
  const int paramWidth = std::max(40, 90 - excess);
  const int nameWidth = std::max(90, 150 - (excess - (90 - paramWidth)));
  int column = 0;
  for (int w : {90, nameWidth, paramWidth, shortcutWidth}) ListViewTool->setColumnWidth(column++, w);
  // The selection stays visible while another control has the focus.
  QPalette pal = ListViewTool->palette();
  pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
  pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
  ListViewTool->setPalette(pal);
  connect(ListViewTool->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateEditors(); });
  ListViewTool->setContextMenuPolicy(Qt::CustomContextMenu);

  auto label = [this](const char* name, const char* text) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setObjectName(name);
    return l;
  };
  LabelCaption = label("LabelCaption", "名前");
  LabelFilePath = label("LabelFilePath", "ファイル");
  LabelParam = label("LabelParam", "引数");
  LabelShortCut = label("LabelShortCut", "ショートカット");
  LabelFilter = label("LabelFilter", "対象拡張子");

  EditCaption = new QLineEdit(this);
  EditCaption->setObjectName("EditCaption");
  EditFilePath = new UxSpeedEdit(this);
  EditFilePath->setObjectName("EditFilePath");
  EditFilePath->setButtonCaption(QStringLiteral("…"));
  EditParam = new UxSpeedEdit(this);
  EditParam->setObjectName("EditParam");
  EditParam->setButtonCaption(QStringLiteral(">"));
  EditShortCut = new ShortcutCaptureEdit(this);
  EditShortCut->setObjectName("EditShortCut");
  EditFilter = new QComboBox(this);
  EditFilter->setObjectName("EditFilter");
  EditFilter->setEditable(true);
  EditFilter->setInsertPolicy(QComboBox::NoInsert);
  EditFilter->addItems({QStringLiteral("*.txt"), QStringLiteral("*.html,*.htm"), QStringLiteral("*")});
  EditFilter->setEditText(QString());
  int y = 280;
  for (QWidget* edit : std::initializer_list<QWidget*>{EditCaption, EditFilePath, EditParam, EditShortCut, EditFilter}) {
    edit->setGeometry(kEditX, y, kEditWidth, kEditHeight);
    y += 24;
  }
  y = 283;
  for (QLabel* l : {LabelCaption, LabelFilePath, LabelParam, LabelShortCut, LabelFilter}) {
    l->setGeometry(kLabelX, y, kEditX - kLabelX - 4, 18);
    y += 24;
  }
  for (QLineEdit* e : std::initializer_list<QLineEdit*>{EditCaption, EditFilePath, EditParam, EditShortCut})
    connect(e, &QLineEdit::textChanged, this, [this] { MarkPending(); });
  connect(EditFilter, &QComboBox::editTextChanged, this, [this] { MarkPending(); });
  connect(EditFilePath, &UxSpeedEdit::buttonClicked, this, [this] { EditFilePathButtonClick(); });
  connect(EditParam, &UxSpeedEdit::buttonClicked, this, [this] { EditParamButtonClick(); });

  auto action = [this](const char* name, const char* caption, void (TForm4::*handler)()) {
    auto* a = new QAction(QString::fromUtf8(caption), this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return a;
  };
  ActionEditAdd = action("ActionEditAdd", "追加(&A)", &TForm4::ActionEditAddExecute);
  ActionEditEdit = action("ActionEditEdit", "編集(&E)", &TForm4::ActionEditEditExecute);
  ActionEditDelete = action("ActionEditDelete", "削除(&D)", &TForm4::ActionEditDeleteExecute);
  ActionEditUp = action("ActionEditUp", "上へ(&U)", &TForm4::ActionEditUpExecute);
  ActionEditDown = action("ActionEditDown", "下へ(&N)", &TForm4::ActionEditDownExecute);
  for (QAction* a : {ActionEditEdit, ActionEditDelete, ActionEditUp, ActionEditDown}) a->setEnabled(false);

  auto button = [this](const char* name, QAction* a, QPoint at) {
    auto* b = new QPushButton(a->text(), this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setGeometry(QRect(at, kButtonSize));
    b->setEnabled(a->isEnabled());
    connect(b, &QPushButton::clicked, a, &QAction::trigger);
    connect(a, &QAction::changed, b, [b, a] { b->setEnabled(a->isEnabled()); });
    return b;
  };
  ButtonEditAdd = button("ButtonEditAdd", ActionEditAdd, {kButtonX, 280});
  ButtonEditEdit = button("ButtonEditEdit", ActionEditEdit, {kButtonX, 312});
  ButtonEditDelete = button("ButtonEditDelete", ActionEditDelete, {kButtonX, 344});
  ButtonEditUp = button("ButtonEditUp", ActionEditUp, {kButtonX, 30});
  ButtonEditDown = button("ButtonEditDown", ActionEditDown, {kButtonX, 62});

  QWidget* order[] = {ListViewTool, EditCaption,   EditFilePath,     EditParam,    EditShortCut, EditFilter,
                      ButtonEditAdd, ButtonEditEdit, ButtonEditDelete, ButtonEditUp, ButtonEditDown};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  PopupMenuTool = new QMenu(this);
  PopupMenuTool->setObjectName("PopupMenuTool");
  PopupMenuTool->addAction(ActionEditDelete);
  PopupMenuTool->addSeparator();
  PopupMenuTool->addAction(ActionEditUp);
  PopupMenuTool->addAction(ActionEditDown);
  connect(ListViewTool, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { PopupMenuTool->popup(ListViewTool->viewport()->mapToGlobal(at)); });

  PopupMenuParam = new QMenu(this);
  PopupMenuParam->setObjectName("PopupMenuParam");
  auto param = [this](const char* caption, const char* inserts) {
    QAction* a = PopupMenuParam->addAction(QString::fromUtf8(caption));
    connect(a, &QAction::triggered, this, [this, inserts] { EditParam->insert(QString::fromLatin1(inserts)); });
    return a;
  };
  param("%&F\tファイル名", "%F");
  param("%&D\tディレクトリ名", "%D");
  param("%&U\tURL", "%U");
  PopupMenuParam->addSeparator();
  MenuParamL = param("%&L\t行数(1～)", "%L");
  MenuParamN = param("%&N\t字数(1～)", "%N");

  // The tabs turn with Ctrl+Tab and Ctrl+Shift+Tab, round the four.
  auto turn = [this](int step) {
    setTab((tab() + step + TabControlBase->count()) % TabControlBase->count());
  };
  for (const QKeySequence& k : {QKeySequence(Qt::CTRL | Qt::Key_Tab)})
    connect(new QShortcut(k, this), &QShortcut::activated, this, [turn] { turn(1); });
  for (const QKeySequence& k :
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)})
    connect(new QShortcut(k, this), &QShortcut::activated, this, [turn] { turn(-1); });
}

void TForm4::showEvent(QShowEvent* e) {
  setFixedSize(kClientWidth, kClientHeight);
  QScreen* screen = setup_.owner ? setup_.owner->screen() : this->screen();
  if (screen) {
    const QRect avail = screen->availableGeometry();
    move(avail.x() + (avail.width() - kClientWidth) / 2, avail.y() + (avail.height() - kClientHeight) / 2);
  }
  QDialog::showEvent(e);
  if (TabControlBase->currentIndex() != 0) TabControlBase->setCurrentIndex(0);  // runs the change
  else TabControlBaseChange();
}

void TForm4::done(int result) {
  if (!closed_) {
    closed_ = true;
    if (setup_.buildToolActions) setup_.buildToolActions();
    if (setup_.buildFilterActions) setup_.buildFilterActions();
  }
  QDialog::done(result);
}

int TForm4::tab() const { return TabControlBase->currentIndex(); }

void TForm4::setTab(int t) {
  if (t == tab()) TabControlBaseChange();
  else TabControlBase->setCurrentIndex(t);
}

int TForm4::EditingRow() const { return Model->editingRow(); }

int TForm4::selectedRow() const {
  const QModelIndexList rows = ListViewTool->selectionModel()->selectedRows();
  return rows.size() == 1 ? rows.first().row() : -1;
}

void TForm4::selectRow(int row) { selectAndShow(row); }

void TForm4::selectAndShow(int row) {
  if (row < 0 || row >= Model->rowCount()) return;
  const QModelIndex index = Model->index(row, 0);
  ListViewTool->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ListViewTool->scrollTo(index);
}

void TForm4::TabControlBaseChange() {
  const int t = tab();
  Model->setTab(t);
  const bool lists = t == kTabTools || t == kTabFilters;
  for (QWidget* w : std::initializer_list<QWidget*>{LabelCaption, EditCaption, LabelFilePath, EditFilePath, LabelParam,
                                                    EditParam, ButtonEditAdd, ButtonEditDelete, ButtonEditUp,
                                                    ButtonEditDown})
    w->setVisible(lists);
  LabelFilter->setVisible(t == kTabFilters);
  EditFilter->setVisible(t == kTabFilters);
  EditShortCut->move(kEditX, lists ? 352 : 280);
  LabelShortCut->move(kLabelX, lists ? 355 : 283);
  ButtonEditEdit->move(kButtonX, lists ? 312 : 280);
  // The second column's caption names the field on the shortcut tabs; the lists name it again.
  LabelCaption->setText(QString::fromUtf8(lists ? "名前" : "メニュー名"));
  ListViewTool->setFocus(Qt::OtherFocusReason);
  UpdateEditors();
}

void TForm4::UpdateAddEnabled() {
  const ToolItemList* list = Model->items();
  ActionEditAdd->setEnabled(list && static_cast<int>(list->size()) < kMaxToolItems);
}

void TForm4::UpdateEditors() {
  filling_ = true;
  const int row = selectedRow();
  const ToolItemList* list = Model->items();
  if (row >= 0 && list) {
    const TToolItem& item = (*list)[static_cast<size_t>(row)];
    EditCaption->setText(QString::fromStdString(item.Caption));
    EditFilePath->setText(QString::fromStdString(item.FilePath));
    EditParam->setText(QString::fromStdString(item.Param));
    EditShortCut->setCode(item.ShortCut);
    EditFilter->setEditText(Model->tab() == kTabFilters ? QString::fromStdString(item.Filter) : QString());
    for (QAction* a : {ActionEditEdit, ActionEditDelete, ActionEditUp, ActionEditDown}) a->setEnabled(true);
  } else if (const Action* a = row >= 0 ? Model->action(row) : nullptr) {
    EditCaption->setText(QString::fromStdString(a->caption));
    EditFilePath->clear();
    EditParam->clear();
    EditFilter->setEditText(QString());
    EditShortCut->setCode(a->code);
    ActionEditEdit->setEnabled(true);
    for (QAction* x : {ActionEditDelete, ActionEditUp, ActionEditDown}) x->setEnabled(false);
  } else {
    EditCaption->clear();
    EditFilePath->clear();
    EditParam->clear();
    EditShortCut->setCode(0);
    EditFilter->setEditText(QString());
  }
  filling_ = false;
  Model->setEditingRow(-1);
  UpdateAddEnabled();
}

void TForm4::MarkPending() {
  if (filling_) return;
  const int row = selectedRow();
  if (row >= 0 && Model->editingRow() != row) Model->setEditingRow(row);
}

TToolItem TForm4::EditorItem() const {
  TToolItem item;
  item.Caption = Trim(Text(EditCaption));
  item.FilePath = Trim(Text(EditFilePath));
  item.Param = Text(EditParam);
  item.ShortCut = EditShortCut->code();
  if (Model->tab() == kTabFilters) item.Filter = Trim(EditFilter->currentText().toStdString());
  return item;
}

void TForm4::ActionEditAddExecute() {
  ToolItemList* list = Model->items();
  if (!list || static_cast<int>(list->size()) >= kMaxToolItems) return;
  if (Trim(Text(EditCaption)).empty()) {
    setup_.env.showMessage(this, "名前が入力されていません。");
    return;
  }
  if (Model->tab() == kTabFilters) {
    if (!IsRegularFile(Trim(Text(EditFilePath)))) {
      setup_.env.showMessage(this, "ファイルがありません。");
      return;
    }
    if (EditParam->text().isEmpty()) {
      setup_.env.showMessage(this, "引数が入力されていません。");
      return;
    }
  }
  list->push_back(EditorItem());
  Model->refresh();
  selectAndShow(static_cast<int>(list->size()) - 1);
  UpdateEditors();
}

void TForm4::ActionEditEditExecute() {
  const int row = selectedRow();
  if (row < 0) return;
  if (Trim(Text(EditCaption)).empty()) {
    setup_.env.showMessage(this, "名前が入力されていません。");
    return;
  }
  if (ToolItemList* list = Model->items()) {
    TToolItem& item = (*list)[static_cast<size_t>(row)];
    const TToolItem edited = EditorItem();
    item.Caption = edited.Caption;
    item.FilePath = edited.FilePath;
    item.Param = edited.Param;
    item.ShortCut = edited.ShortCut;
    if (Model->tab() == kTabFilters) item.Filter = edited.Filter;
  } else if (Action* a = Model->action(row)) {
    setup_.catalogue.setCode(*a, EditShortCut->code());
  }
  UpdateEditors();
  Model->repaintRows();
}

void TForm4::ActionEditDeleteExecute() {
  ToolItemList* list = Model->items();
  const int row = selectedRow();
  if (!list || row < 0) return;
  list->erase(list->begin() + row);
  Model->refresh();
  UpdateEditors();
}

void TForm4::ActionEditUpExecute() {
  ToolItemList* list = Model->items();
  const int row = selectedRow();
  if (!list || row <= 0 || row >= static_cast<int>(list->size())) return;
  std::swap((*list)[static_cast<size_t>(row)], (*list)[static_cast<size_t>(row - 1)]);
  Model->repaintRows();
  selectAndShow(row - 1);
  UpdateEditors();
}

void TForm4::ActionEditDownExecute() {
  ToolItemList* list = Model->items();
  const int row = selectedRow();
  if (!list || row < 0 || row >= static_cast<int>(list->size()) - 1) return;
  std::swap((*list)[static_cast<size_t>(row)], (*list)[static_cast<size_t>(row + 1)]);
  Model->repaintRows();
  selectAndShow(row + 1);
  UpdateEditors();
}

void TForm4::EditFilePathButtonClick() {
  const std::string current = Trim(Text(EditFilePath));
  const std::string start = IsRegularFile(current) ? current : std::string();
  const std::optional<std::string> picked =
      setup_.pickProgram ? setup_.pickProgram(this, start) : PickWithFileDialog(this, start, setup_);
  if (!picked) return;
  EditFilePath->setText(QString::fromStdString(*picked));
  if (EditCaption->text().isEmpty()) EditCaption->setText(QString::fromStdString(ChangeFileExt(FileNamePart(*picked), "")));
}

void TForm4::EditParamButtonClick() {
  // Filters are given no position in the text.
  if (tab() == kTabTools || tab() == kTabFilters) {
    MenuParamL->setVisible(tab() == kTabTools);
    MenuParamN->setVisible(tab() == kTabTools);
  }
  PopupMenuParam->popup(EditParam->mapToGlobal(QPoint(EditParam->width(), 0)));
}

}  // namespace yomira
