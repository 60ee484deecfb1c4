// The book window on each tab over fixture lists (a bookmark at 5099, the current document,
// one selected row) and the row hint.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <memory>
#include "platform/shell_env.h"
#include "ui/action.h"
#include "tools/windows_gallery/gallery.h"
#include "windows/book/book_logic.h"
#include "windows/book/book_window.h"
#include "windows/controls/hint_window.h"

namespace yomira::gallery {
namespace {

std::unique_ptr<TFileItem> Item(int kind, const std::string& where, int rate, const std::string& title = "") {
  auto e = std::make_unique<TFileItem>();
  e->Kind = static_cast<int16_t>(kind);
  if (kind == fkWeb) e->Href = where;
  else e->Path = where;
  e->Rate = rate;
  e->Title = title;
  e->Time = 45000.5;
  return e;
}

// The lists a main window would hold; never written to disk (no data folder is read: the
// window is never shown through its first-show path).
class GalleryHost : public BookHost {
 public:
  GalleryHost() {
    marks.push_back(Item(fkLocalFile, "/home/reader/docs/rashomon.txt", 5099));
    marks.push_back(Item(fkLocalFile, "/home/reader/docs/p160.txt", 1000));
    marks.push_back(Item(fkWeb, "http://example.invalid/a", 1234, "題"));
    for (const char* n : {"b.txt", "c d.txt", "p150.txt", "p160.txt", "rashomon.txt"})
      files.push_back(Item(fkLocalFile, std::string("/home/reader/docs/") + n, -1));
    links.push_back(Item(fkWeb, "http://example.invalid/b", 0, "次のページ"));
    links.push_back(Item(fkWeb, "http://example.invalid/c", 0, "目次"));
    linkList = {0, 1};
    recent.push_back(Item(fkLocalFile, "/home/reader/docs/p160.txt", 1000));
  }
  FileItemList marks, files, links, recent;
  std::vector<int> linkList;
  ToolItemList filters;
  TYomiraOption option;
  int pendingRate = -1;
  QRect rect{0, 0, 200, 300};
  NullShellEnv env;
  ActionCatalogue catalogue;

  FileItemList& BookMarks() override { return marks; }
  FileItemList& FileList() override { return files; }
  FileItemList& PageLinks() override { return links; }
  std::vector<int>& LinkList() override { return linkList; }
  const FileItemList& RecentFiles() override { return recent; }
  const ToolItemList& Filters() override { return filters; }
  const TYomiraOption& Option() override { return option; }
  bool DocumentLoaded() override { return true; }
  bool LaidOut() override { return true; }
  int& PendingRate() override { return pendingRate; }
  int ActiveFilter() override { return -1; }
  QRect& BookRect() override { return rect; }
  bool BookRectSaved() override { return true; }
  QWidget* MainWindow() override { return nullptr; }
  std::string DataFolder() override { return ""; }
  ShellEnv& Env() override { return env; }
  ActionCatalogue& Actions() override { return catalogue; }
  bool MainActive() override { return false; }
  void OpenFileItem(const TFileItem&, bool, int, int, bool, bool) override {}
  bool OpenUrl(const std::string&, int) override { return false; }
  void ReopenCurrent(bool, int) override {}
  bool RunFilter(TFileItem&, std::vector<std::string>&, int&, bool, bool, int) override { return false; }
  bool HasFilterRunner() override { return false; }
  std::string HostOfUrl(const std::string&) override { return ""; }
  void EnableActions(bool, bool) override {}
  void SetStayOnTop(QWidget*, bool) override {}
};

GalleryHost& Host() {
  static GalleryHost host;
  return host;
}

QWidget* Book(int tab, int row) {
  auto* f = new TForm3(Host());
  f->BookLoaded = true;  // the fixtures stand in for the file, which is never written
  f->BookFileUnreadable = true;
  f->TabControlBook->setCurrentIndex(tab);
  f->TabControlBookChange();
  f->selectRow(row);
  return f;
}

// The file list's sort submenu as it pops up: two radio groups, direction and key.
QWidget* SortMenu() {
  std::unique_ptr<QWidget> f(Book(kTabFileList, 1));
  QMenu* order = nullptr;
  for (QAction* a : static_cast<TForm3*>(f.get())->PopupMenuFileList->actions())
    if (a->menu()) order = a->menu();
  order->popup(QPoint(0, 0));
  QApplication::processEvents();
  auto* label = new QLabel;
  label->setPixmap(order->grab());
  label->setFixedSize(order->size());
  order->close();
  return label;
}

const GalleryEntries kEntries("book", {
    {"book-bookmarks", [] { return Book(kTabBookMark, 1); }, nullptr},
    {"book-filelist", [] { return Book(kTabFileList, 1); }, nullptr},
    {"book-linklist", [] { return Book(kTabLinkList, 0); }, nullptr},
    {"book-sort-menu", SortMenu, nullptr},
    {"book-hint",
     [] {
       auto* hint = new HintWindow;
       const QString text = QString::fromStdString(RowHintText(*Host().marks[2], kTabBookMark));
       hint->showAt(QRect(QPoint(0, 0), hint->measure(text, 1024)), text);
       return static_cast<QWidget*>(hint);
     },
     nullptr},
});

}  // namespace
}  // namespace yomira::gallery
