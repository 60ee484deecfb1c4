#include "windows/book/book_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFrame>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/shell_env.h"
#include "ui/action.h"
#include "ui/key_dispatcher.h"
#include "ui/menu_proxy.h"
#include "ui/guard.h"
#include "windows/book/book_list.h"
#include "windows/book/bookmark_file.h"
#include "windows/controls/hint_window.h"
#include "windows/controls/window_util.h"

namespace yomira {

namespace {
const char* const kReadFailed = "ブックマークファイルの読み込みに失敗しました。";
const char* const kSaveFailed = "ブックマークの保存に失敗しました。";
}  // namespace

TForm3::TForm3(BookHost& host) : QWidget(nullptr, Qt::Tool), host_(host) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QString::fromUtf8(" ブック"));
  setFont(UiFont());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  ToolBarTab = new QWidget(this);
  ToolBarTab->setObjectName(QStringLiteral("ToolBarTab"));
  ToolBarTab->setFixedHeight(23);
  auto* barLayout = new QHBoxLayout(ToolBarTab);
  barLayout->setContentsMargins(1, 1, 1, 0);
  TabControlBook = new QTabBar(ToolBarTab);
  TabControlBook->setObjectName(QStringLiteral("TabControlBook"));
  TabControlBook->setFocusPolicy(Qt::NoFocus);
  TabControlBook->setDrawBase(false);
  TabControlBook->setExpanding(false);
  TabControlBook->setUsesScrollButtons(false);
  // Three tabs within the bar's 23 pixels and the window's 200.
  TabControlBook->setStyleSheet(QStringLiteral(
      "QTabBar::tab { height: 18px; padding: 0px 5px; margin-top: 2px; border: 1px solid #A0A0A0;"
      " border-bottom: none; background: #E4E4E4; }"
      "QTabBar::tab:selected { margin-top: 0px; background: #FFFFFF; }"));
  for (const char* caption : {"BookMark", "FileList", "LinkList"}) TabControlBook->addTab(QString::fromLatin1(caption));
  barLayout->addWidget(TabControlBook);
  barLayout->addStretch(1);
  layout->addWidget(ToolBarTab);

  PanelListView = new QFrame(this);
  PanelListView->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* panelLayout = new QVBoxLayout(PanelListView);
  panelLayout->setContentsMargins(1, 1, 1, 1);
  ListViewBook = new QListView(PanelListView);
  ListViewBook->setObjectName(QStringLiteral("ListViewBook"));
  ListViewBook->setFrameShape(QFrame::NoFrame);
  ListViewBook->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListViewBook->setSelectionMode(QAbstractItemView::SingleSelection);
  ListViewBook->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ListViewBook->setTabKeyNavigation(false);
  ListViewBook->setUniformItemSizes(true);
  ListViewBook->setContextMenuPolicy(Qt::CustomContextMenu);
  model_ = new BookListModel([this](int row) { return rowState(row); }, this);
  delegate_ = new BookRowDelegate([this](int row) { return rowState(row); }, this);
  ListViewBook->setModel(model_);
  ListViewBook->setItemDelegate(delegate_);
  ListViewBook->viewport()->setMouseTracking(true);
  ListViewBook->viewport()->installEventFilter(this);
  panelLayout->addWidget(ListViewBook);
  layout->addWidget(PanelListView, 1);
  TabControlBook->installEventFilter(this);
  ToolBarTab->installEventFilter(this);
  ListViewBook->installEventFilter(this);

  connect(ListViewBook->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    const int slot = std::clamp(tabIndex(), 0, kBookTabCount - 1);
    const auto rows = ListViewBook->selectionModel()->selectedRows();
    SelIndex[slot] = rows.isEmpty() ? -1 : rows.front().row();
  });
  connect(ListViewBook, &QListView::doubleClicked, this, [this] { guarded([this] { OpenSelectedItem(); }); });
  connect(ListViewBook, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    guarded([&] { tabMenu()->popup(ListViewBook->viewport()->mapToGlobal(pos)); });
  });
  connect(TabControlBook, &QTabBar::currentChanged, this, [this] { guarded([this] { TabControlBookChange(); }); });

  setFocusProxy(ListViewBook);
  keys_ = new KeyDispatcher(this, host_.Actions(), {kListBook});
  HintWindow_ = new HintWindow(this);
  buildMenus();

  QSize size = host_.BookRect().size();
  if (size.width() <= 0) size.setWidth(200);
  if (size.height() <= 0) size.setHeight(300);
  resize(BoundToScreens(size));
}

void TForm3::PlaceFirst() {
  const QList<QRect> screens = AvailableScreens();
  const QRect saved(host_.BookRect().topLeft(), size());
  bool onScreen = false;
  for (const QRect& s : screens) onScreen = onScreen || s.intersects(saved);
  if (host_.BookRectSaved() && onScreen) {
    move(ClampToVisibleScreen(saved, screens).topLeft());
    return;
  }
  const QWidget* main = host_.MainWindow();
  if (!main || !main->isVisible()) {
    move(ClampToVisibleScreen(saved, screens).topLeft());
    return;
  }
  // Before its first show this window's frame is unknown: take the main window's.
  const QRect mainFrame = main->frameGeometry();
  const QSize frame = size() + (mainFrame.size() - main->size());
  move(PlaceBeside(mainFrame, frame, screens).topLeft());
}

TForm3::~TForm3() {
  if (BookLoaded) SaveBookMarks();
}

Action& TForm3::action(const char* name) const { return host_.Actions().at(name); }
bool TForm3::checked(const char* name) const { return action(name).checked; }

void TForm3::buildMenus() {
  auto add = [this](QMenu* menu, const char* name) {
    auto* p = new MenuProxy(action(name), menu);
    menu->addAction(p);
    proxies_.push_back(p);
    return p;
  };
  PopupMenuBookMark = new QMenu(this);
  PopupMenuBookMark->setObjectName(QStringLiteral("PopupMenuBookMark"));
  PopupMenuBookMark->setDefaultAction(add(PopupMenuBookMark, "ActionBookOpen"));
  add(PopupMenuBookMark, "ActionBookEdit");
  PopupMenuBookMark->addSeparator();
  for (const char* n : {"ActionBookMarkAdd", "ActionBookMarkDelete", "ActionBookMarkUp", "ActionBookMarkDown"})
    add(PopupMenuBookMark, n);
  PopupMenuBookMark->addSeparator();
  add(PopupMenuBookMark, "ActionBookTextIndex");
  PopupMenuBookMark->addSeparator();
  add(PopupMenuBookMark, "ActionBookClose");

  PopupMenuFileList = new QMenu(this);
  PopupMenuFileList->setObjectName(QStringLiteral("PopupMenuFileList"));
  PopupMenuFileList->setDefaultAction(add(PopupMenuFileList, "ActionBookOpen"));
  add(PopupMenuFileList, "ActionBookEdit");
  PopupMenuFileList->addSeparator();
  QMenu* order = PopupMenuFileList->addMenu(QString::fromUtf8("表示順序(&O)"));
  // Two exclusive groups, drawn with radio marks: the direction, then the key.
  auto radios = [&](std::initializer_list<const char*> names) {
    auto* group = new QActionGroup(order);
    group->setExclusive(true);
    for (const char* n : names) group->addAction(add(order, n));
  };
  radios({"ActionFileListOrderUp", "ActionFileListOrderDown"});
  order->addSeparator();
  radios({"ActionFileListOrderName", "ActionFileListOrderExt", "ActionFileListOrderTime"});
  PopupMenuFileList->addSeparator();
  add(PopupMenuFileList, "ActionBookTextIndex");
  PopupMenuFileList->addSeparator();
  add(PopupMenuFileList, "ActionBookClose");

  PopupMenuLinkList = new QMenu(this);
  PopupMenuLinkList->setObjectName(QStringLiteral("PopupMenuLinkList"));
  PopupMenuLinkList->setDefaultAction(add(PopupMenuLinkList, "ActionBookOpen"));
  add(PopupMenuLinkList, "ActionBookEdit");
  PopupMenuLinkList->addSeparator();
  add(PopupMenuLinkList, "ActionLinkListHold");
  add(PopupMenuLinkList, "ActionLinkListSameDomain");
  PopupMenuLinkList->addSeparator();
  add(PopupMenuLinkList, "ActionBookClose");

  PopupMenuSystem = new QMenu(this);
  PopupMenuSystem->setObjectName(QStringLiteral("PopupMenuSystem"));
  add(PopupMenuSystem, "ActionBookClose");
  PopupMenuSystem->addSeparator();
  for (const char* n : {"ActionOptionBookAutoOpen", "ActionOptionBookStayOnTop", "ActionOptionBookAutoClose"})
    add(PopupMenuSystem, n);

  for (QMenu* m : {PopupMenuBookMark, PopupMenuFileList, PopupMenuLinkList, PopupMenuSystem})
    connect(m, &QMenu::aboutToShow, this, [this, m] { UpdateMenuEnabling(m); });
}

void TForm3::MirrorMenus() {
  for (MenuProxy* p : proxies_) p->mirror();
}

QMenu* TForm3::tabMenu() const {
  switch (tabIndex()) {
    case kTabFileList: return PopupMenuFileList;
    case kTabLinkList: return PopupMenuLinkList;
    default: return PopupMenuBookMark;
  }
}

void TForm3::UpdateMenuEnabling(QMenu* menu) {
  MirrorMenus();
  const bool selected = selectedRow() >= 0;
  auto enable = [menu](const char* name, bool on) {
    for (QAction* a : menu->actions())
      if (a->objectName() == QLatin1String(name)) a->setEnabled(on);
  };
  enable("ActionBookOpen", selected);
  enable("ActionBookEdit", selected);
  if (menu == PopupMenuBookMark) {
    for (const char* n : {"ActionBookMarkDelete", "ActionBookMarkUp", "ActionBookMarkDown"}) enable(n, selected);
    enable("ActionBookMarkAdd", host_.DocumentLoaded() && host_.LaidOut());
  }
}

// ---------------------------------------------------------------- lists

int TForm3::tabIndex() const { return TabControlBook->currentIndex(); }

void TForm3::setTabIndex(int tab) {
  const QSignalBlocker block(TabControlBook);
  TabControlBook->setCurrentIndex(tab);
}

int TForm3::listCount(int tab) const {
  switch (tab) {
    case kTabBookMark: return static_cast<int>(host_.BookMarks().size());
    case kTabFileList: return static_cast<int>(host_.FileList().size());
    case kTabLinkList: return static_cast<int>(host_.LinkList().size());
    default: return 0;
  }
}

TFileItem* TForm3::entryAt(int tab, int row) const {
  if (row < 0 || row >= listCount(tab)) return nullptr;
  switch (tab) {
    case kTabBookMark: return host_.BookMarks()[row].get();
    case kTabFileList: return host_.FileList()[row].get();
    case kTabLinkList: {
      // Positions may outlive the links they named: checked at every use.
      const int at = host_.LinkList()[row];
      FileItemList& links = host_.PageLinks();
      return at >= 0 && at < static_cast<int>(links.size()) ? links[at].get() : nullptr;
    }
    default: return nullptr;
  }
}

BookRowState TForm3::rowState(int row) const {
  BookRowState s;
  s.tab = tabIndex();
  s.entry = entryAt(s.tab, row);
  s.textIndex = checked("ActionBookTextIndex");
  const FileItemList& recent = host_.RecentFiles();
  s.current = recent.empty() ? nullptr : recent.front().get();
  return s;
}

int TForm3::selectedRow() const {
  const auto rows = ListViewBook->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  const int row = rows.front().row();
  return row < listCount(tabIndex()) ? row : -1;
}

void TForm3::selectRow(int row) {
  if (row >= 0 && row < model_->rowCount()) {
    const QModelIndex index = model_->index(row, 0);
    ListViewBook->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ListViewBook->scrollTo(index);
  } else {
    ListViewBook->selectionModel()->clear();
  }
}

void TForm3::repaintList() {
  if (isVisible()) ListViewBook->viewport()->update();
}

void TForm3::TabControlBookChange() {
  const int tab = tabIndex();
  const int count = listCount(tab);
  bool reset = false;
  if (model_->rowCount() != count) {
    model_->setCount(count);
    reset = true;
  }
  if (tab != LastBookTab || reset) {
    // A reset drops the selection without telling: the remembered row comes back by hand.
    const int slot = std::clamp(tab, 0, kBookTabCount - 1);
    const int remembered = SelIndex[slot];
    if (remembered >= 0 && remembered < count) {
      selectRow(remembered);
    } else {
      selectRow(-1);
      SelIndex[slot] = -1;
    }
  }
  LastBookTab = tab;
  repaintList();
}

PreviewSource TForm3::previewSource() {
  PreviewSource s;
  s.filters = &host_.Filters();
  if (host_.HasFilterRunner())
    s.runFilter = [this](TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml,
                         bool showErrors, int index) {
      return host_.RunFilter(item, lines, codePage, isHtml, showErrors, index);
    };
  return s;
}

void TForm3::MakeTextIndex(FileItemList& list) {
  // A resolved link rewrites a bookmark's path: that is a change of the bookmarks.
  std::vector<std::string> before;
  const bool marks = &list == &host_.BookMarks();
  if (marks)
    for (const auto& e : list) before.push_back(e ? e->Path : std::string());
  yomira::MakeTextIndex(list, previewSource());
  if (!marks) return;
  for (size_t i = 0; i < list.size() && i < before.size(); ++i)
    if (list[i] && list[i]->Path != before[i]) {
      SaveBookMarks();
      return;
    }
}

FileListOrder TForm3::fileListOrder() const {
  FileListOrder order;
  order.OrderUp = checked("ActionFileListOrderUp");
  order.OrderName = checked("ActionFileListOrderName");
  order.OrderExt = checked("ActionFileListOrderExt");
  order.OrderTime = checked("ActionFileListOrderTime");
  return order;
}

void TForm3::ScanFileList(const std::string& folder, bool force, bool indexEvenIfHidden) {
  if (!force && !isVisible()) return;
  host_.FileList() = ScanFolderFiles(folder, host_.Option(), fileListOrder());
  if ((isVisible() || indexEvenIfHidden) && checked("ActionBookTextIndex")) MakeTextIndex(host_.FileList());
}

void TForm3::SortFileList() {
  if (!host_.FileList().empty()) SortFileItems(host_.FileList(), fileListOrder());
}

void TForm3::BuildLinkList() { RebuildLinkList(host_); }

void RebuildLinkList(BookHost& host) {
  host.LinkList() = yomira::BuildLinkList(host.PageLinks(), host.Actions().at("ActionLinkListSameDomain").checked,
                                          [&host](const std::string& url) { return host.HostOfUrl(url); });
}

int TForm3::FindNeighbourFile(const std::string& path, int direction) {
  const FileItemList& recent = host_.RecentFiles();
  if (recent.empty() || !recent.front()) return -1;
  if (recent.front()->Kind == fkWeb) {
    setTabIndex(kTabLinkList);
    TabControlBookChange();
    return -1;
  }
  const int row = yomira::FindNeighbourFile(host_.FileList(), path, direction);
  if (row >= 0 && isVisible()) {
    setTabIndex(kTabFileList);
    TabControlBookChange();
    selectRow(row);
  }
  return row;
}

void TForm3::OpenSelectedItem() {
  const int tab = tabIndex();
  const TFileItem* entry = entryAt(tab, selectedRow());
  if (!entry) return;
  // A copy: opening reorders and frees the lists' entries.
  const TFileItem copy = *entry;
  if (copy.Kind == fkLocalFile) {
    host_.PendingRate() = copy.Rate;
    host_.OpenFileItem(copy, false, -1, 0, tab == kTabBookMark, true);
  } else if (copy.Kind == fkWeb) {
    host_.OpenUrl(copy.GetLocation(), copy.Rate);
  }
  if (checked("ActionOptionBookAutoClose")) close();
}

// ---------------------------------------------------------------- bookmark file

std::string TForm3::BookMarkPath() const {
  const std::string folder = host_.DataFolder();
  return folder.empty() ? kBookMarkFileName : folder + "/" + kBookMarkFileName;
}

void TForm3::LoadBookMarks() {
  if (yomira::LoadBookMarks(BookMarkPath(), host_.BookMarks()) == BookMarkLoad::Failed) {
    BookFileUnreadable = true;
    host_.Env().showMessage(this, kReadFailed);
  }
}

bool TForm3::SaveBookMarks() {
  if (!BookLoaded) return true;  // a list that was never read is never written
  if (BookFileUnreadable) {
    // The list started empty when the read failed: empty, it holds nothing to lose.
    if (host_.BookMarks().empty()) return true;
    if (!saveFailShown_) host_.Env().showMessage(this, kSaveFailed);
    saveFailShown_ = true;
    return false;
  }
  if (!yomira::SaveBookMarks(BookMarkPath(), host_.BookMarks()).empty()) {
    // One message for a run of failures, not one for every change.
    if (!saveFailShown_) host_.Env().showMessage(this, kSaveFailed);
    saveFailShown_ = true;
    return false;
  }
  saveFailShown_ = false;
  return true;
}

void TForm3::bookMarksChanged() {
  if (tabIndex() == kTabBookMark) TabControlBookChange();
  SaveBookMarks();
}

// ---------------------------------------------------------------- life cycle

void TForm3::ShowBook() {
  if (!BookLoaded) {
    host_.SetStayOnTop(this, checked("ActionOptionBookStayOnTop"));
    LoadBookMarks();
    BuildLinkList();
    if (checked("ActionBookTextIndex")) MakeTextIndex(host_.BookMarks());
    BookLoaded = true;
  }
  if (!placed_) {
    PlaceFirst();
    placed_ = true;
  }
  // A tool window transient for the main window: the window manager keeps it above the main
  // window, so opening a row, which brings the main window forward, never hides it. Only the
  // window system hears of the owner: to Qt both stay windows of their own, each active on
  // its own, as the action lists' switching needs.
  if (QWidget* main = host_.MainWindow()) {
    winId();
    if (windowHandle() && main->window()->windowHandle()) windowHandle()->setTransientParent(main->window()->windowHandle());
  }
  show();
  raise();
  activateWindow();
  TabControlBookChange();
}

void TForm3::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  ListViewBook->setFocus();
}

void TForm3::closeEvent(QCloseEvent* e) {
  HideRowHint();
  // A window never shown has no place of its own: the remembered one stays.
  if (placed_) host_.BookRect() = QRect(pos(), size());
  QWidget::closeEvent(e);
}

void TForm3::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ActivationChange) {
    // The keyboard belongs to the list whenever the window is active.
    if (isActiveWindow()) ListViewBook->setFocus(Qt::ActiveWindowFocusReason);
    else HideRowHint();
    SyncActionScope();
  }
}

void TForm3::SyncActionScope() { host_.EnableActions(host_.MainActive(), isActiveWindow()); }

void TForm3::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  ListViewBook->viewport()->update();
}

// ---------------------------------------------------------------- row hint

void TForm3::HideRowHint() {
  HintTab = -1;
  HintIndex = -1;
  if (HintWindow_) HintWindow_->hide();
}

void TForm3::ListViewBookMouseMove(QPoint pos) {
  const int tab = tabIndex();
  if (QApplication::activeWindow() && pos.x() <= 16 && listCount(tab) > 0) {
    const QModelIndex index = ListViewBook->indexAt(pos);
    const TFileItem* entry = index.isValid() ? entryAt(tab, index.row()) : nullptr;
    if (entry) {
      if (HintTab == tab && HintIndex == index.row()) return;
      const QString text = index.data(Qt::ToolTipRole).toString();
      const QScreen* screen = this->screen();
      const int maxWidth = screen ? screen->geometry().width() : 1024;
      const QSize size = HintWindow_->measure(text, maxWidth);
      const QPoint at = ListViewBook->viewport()->mapToGlobal(ListViewBook->visualRect(index).topLeft()) + QPoint(16, 0);
      HintWindow_->showAt(QRect(at, size), text);
      HintTab = tab;
      HintIndex = index.row();
      return;
    }
  }
  HideRowHint();
}

bool TForm3::eventFilter(QObject* watched, QEvent* e) {
  if (watched == ListViewBook && e->type() == QEvent::FocusIn) {
    // Qt makes the first row current on focus without selecting it, so Home or Down would
    // pass it by: with nothing selected, nothing is current either.
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (!ListViewBook->selectionModel()->hasSelection())
            ListViewBook->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        },
        Qt::QueuedConnection);
  } else if (watched == ListViewBook->viewport()) {
    if (e->type() == QEvent::MouseMove)
      guarded([&] { ListViewBookMouseMove(static_cast<QMouseEvent*>(e)->position().toPoint()); });
    else if (e->type() == QEvent::Leave)
      HideRowHint();
    else if (e->type() == QEvent::ToolTip)
      return true;  // the row hint is our own window, shown near the left edge only
  } else if ((watched == TabControlBook || watched == ToolBarTab) && e->type() == QEvent::ContextMenu) {
    guarded([&] { PopupMenuSystem->popup(static_cast<QContextMenuEvent*>(e)->globalPos()); });
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

}  // namespace yomira
