// The book window (TForm3): a tool window beside the main window with one list and three
// tabs, the bookmarks, the current document's folder and the page's links.
#pragma once

#include <QWidget>

#include <string>

#include "windows/book/book_host.h"
#include "windows/book/book_list.h"
#include "windows/book/book_logic.h"

class QListView;
class QMenu;
class QTabBar;
class QFrame;

namespace yomira {

class BookListModel;
class BookRowDelegate;
class HintWindow;
class KeyDispatcher;
class MenuProxy;
struct Action;

class TForm3 : public QWidget {
 public:
  explicit TForm3(BookHost& host);
  ~TForm3() override;

  // --- state ---
  bool BookLoaded = false;
  int HintTab = -1, HintIndex = -1;
  int SelIndex[kBookTabCount] = {-1, -1, -1};
  int LastBookTab = -1;
  // The file could not be read this run: it is never written over.
  bool BookFileUnreadable = false;

  // --- components ---
  QWidget* ToolBarTab = nullptr;
  QTabBar* TabControlBook = nullptr;
  QFrame* PanelListView = nullptr;
  QListView* ListViewBook = nullptr;
  QMenu* PopupMenuBookMark = nullptr;
  QMenu* PopupMenuFileList = nullptr;
  QMenu* PopupMenuLinkList = nullptr;
  QMenu* PopupMenuSystem = nullptr;
  HintWindow* HintWindow_ = nullptr;
  BookListModel* model() const { return model_; }
  BookRowDelegate* delegate() const { return delegate_; }
  KeyDispatcher& keys() { return *keys_; }

  // --- operations ---
  // The first show reads the bookmark file; every show refreshes the tab.
  void ShowBook();
  void ScanFileList(const std::string& folder, bool force, bool indexEvenIfHidden);
  void SortFileList();
  void BuildLinkList();
  void MakeTextIndex(FileItemList& list);
  int FindNeighbourFile(const std::string& path, int direction);
  void OpenSelectedItem();
  void TabControlBookChange();
  void LoadBookMarks();
  // Writes the bookmarks when they were read this run; false (and one message) on failure.
  // Over a file that could not be read nothing is written; only a list that gained
  // entries since then is a failure.
  bool SaveBookMarks();
  std::string BookMarkPath() const;

  int tabIndex() const;
  void setTabIndex(int tab);
  int selectedRow() const;
  void selectRow(int row);
  // The entry of a row of a tab's list; null outside it.
  TFileItem* entryAt(int tab, int row) const;
  int listCount(int tab) const;
  BookRowState rowState(int row) const;
  // Menus: the entries' enabled flags by the selection and the document.
  void UpdateMenuEnabling(QMenu* menu);
  QMenu* tabMenu() const;
  // Mouse move over the list at a viewport position.
  void ListViewBookMouseMove(QPoint pos);
  void HideRowHint();
  // Both windows' activation: the key lists follow the active window.
  void SyncActionScope();

  // --- action handlers ---
  void ActionBookMenuPopupExecute(QObject* sender);
  void ActionSystemMenuPopupExecute(QObject* sender);
  void ActionMainNextPageExecute(QObject* sender);
  void ActionMainBackPageExecute(QObject* sender);
  void ActionBookOpenExecute(QObject* sender);
  void ActionBookEditExecute(QObject* sender);
  void ActionBookTextIndexExecute(QObject* sender);
  void ActionBookMarkAddExecute(QObject* sender);
  void ActionBookMarkDeleteExecute(QObject* sender);
  void ActionBookMarkUpExecute(QObject* sender);
  void ActionBookMarkDownExecute(QObject* sender);
  void ActionBookTabNextExecute(QObject* sender);
  void ActionBookTabBackExecute(QObject* sender);
  void ActionBookCloseExecute(QObject* sender);
  // The shared handlers of the two directions and of the three keys; sender: the action.
  void ActionFileListOrderUpExecute(Action& sender);
  void ActionFileListOrderNameExecute(Action& sender);
  void ActionLinkListHoldExecute(QObject* sender);
  void ActionLinkListSameDomainExecute(QObject* sender);
  // Sets the handlers of the book list's actions to this window; UnbindActions clears them.
  void BindActions();
  void UnbindActions();
  // The menus show the actions' current captions and checks.
  void MirrorMenus();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // The first showing's place: a saved place on a screen, else beside the main window.
  void PlaceFirst();
  void buildMenus();
  Action& action(const char* name) const;
  bool checked(const char* name) const;
  PreviewSource previewSource();
  FileListOrder fileListOrder() const;
  void bookMarksChanged();
  void repaintList();

  BookHost& host_;
  BookListModel* model_ = nullptr;
  BookRowDelegate* delegate_ = nullptr;
  KeyDispatcher* keys_ = nullptr;
  std::vector<MenuProxy*> proxies_;
  bool saveFailShown_ = false;
  bool placed_ = false;
};

// Refills the host's link list from the page's links; the book window need not exist.
void RebuildLinkList(BookHost& host);

}  // namespace yomira
