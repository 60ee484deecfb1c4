// The handlers of the book window's actions. Unless said, a handler does nothing while the
// window is hidden.
#include <QCursor>
#include <QListView>
#include <QMenu>
#include <QUrl>

#include "platform/file/regular_file.h"
#include "platform/shell_env.h"
#include "ui/action.h"
#include "windows/book/book_window.h"
#include "windows/book/bookmark_file.h"

namespace yomira {

void TForm3::ActionBookMenuPopupExecute(QObject*) {
  if (!isVisible()) return;
  tabMenu()->popup(QCursor::pos());
}

void TForm3::ActionSystemMenuPopupExecute(QObject*) {
  if (!isVisible()) return;
  PopupMenuSystem->popup(QCursor::pos());
}

void TForm3::ActionMainNextPageExecute(QObject* sender) {
  if (isVisible()) action("ActionPageNext").run(sender);
}

void TForm3::ActionMainBackPageExecute(QObject* sender) {
  if (isVisible()) action("ActionPageBack").run(sender);
}

void TForm3::ActionBookOpenExecute(QObject*) {
  if (isVisible()) OpenSelectedItem();
}

void TForm3::ActionBookEditExecute(QObject*) {
  if (!isVisible()) return;
  const TFileItem* entry = entryAt(tabIndex(), selectedRow());
  if (!entry) return;
  ShellEnv& env = host_.Env();
  if (entry->Kind == fkLocalFile) {
    // Only an existing file by its absolute path: nothing that reads as a command or a URL.
    const std::string path = entry->Path;
    if (!path.empty() && path.front() == '/' && IsRegularFile(path)) env.openExternally(path);
  } else if (entry->Kind == fkWeb) {
    const std::string location = entry->GetLocation();
    const QString scheme = QUrl(QString::fromStdString(location)).scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return;
    if (env.askOkCancel(this, "関連付け実行", location)) env.openExternally(location);
  }
}

void TForm3::ActionBookTextIndexExecute(QObject*) {
  Action& a = action("ActionBookTextIndex");
  a.checked = !a.checked;
  if (a.checked && BookLoaded) {
    MakeTextIndex(host_.BookMarks());
    MakeTextIndex(host_.FileList());
  }
  repaintList();
}

void TForm3::ActionBookMarkAddExecute(QObject*) {
  if (!isVisible() || tabIndex() != kTabBookMark || !host_.DocumentLoaded()) return;
  const FileItemList& recent = host_.RecentFiles();
  if (recent.empty() || !recent.front()) return;
  auto mark = std::make_unique<TFileItem>(*recent.front());
  const std::string location = mark->Kind == fkLocalFile ? mark->Path : mark->GetLocation();
  // A location the file cannot hold on one line would come back as another bookmark.
  if (!IsStorableBookMarkLocation(location)) {
    host_.Env().showMessage(this, "ブックマークの保存に失敗しました。");
    return;
  }
  FileItemList& marks = host_.BookMarks();
  const int row = selectedRow();
  if (row >= 0 && row < static_cast<int>(marks.size())) marks.insert(marks.begin() + row + 1, std::move(mark));
  else marks.push_back(std::move(mark));
  if (BookLoaded && checked("ActionBookTextIndex")) {
    MakeTextIndex(marks);
    MakeTextIndex(host_.FileList());
  }
  bookMarksChanged();
}

void TForm3::ActionBookMarkDeleteExecute(QObject*) {
  if (!isVisible() || tabIndex() != kTabBookMark) return;
  const int row = selectedRow();
  FileItemList& marks = host_.BookMarks();
  if (row < 0 || row >= static_cast<int>(marks.size())) return;
  marks.erase(marks.begin() + row);
  bookMarksChanged();
}

void TForm3::ActionBookMarkUpExecute(QObject*) {
  if (!isVisible() || tabIndex() != kTabBookMark) return;
  const int row = selectedRow();
  FileItemList& marks = host_.BookMarks();
  if (row < 1 || row >= static_cast<int>(marks.size())) return;
  std::swap(marks[row], marks[row - 1]);
  selectRow(row - 1);
  repaintList();
  SaveBookMarks();
}

void TForm3::ActionBookMarkDownExecute(QObject*) {
  if (!isVisible() || tabIndex() != kTabBookMark) return;
  const int row = selectedRow();
  FileItemList& marks = host_.BookMarks();
  if (row < 0 || row + 1 >= static_cast<int>(marks.size())) return;
  std::swap(marks[row], marks[row + 1]);
  selectRow(row + 1);
  repaintList();
  SaveBookMarks();
}

void TForm3::ActionBookTabNextExecute(QObject*) {
  if (!isVisible()) return;
  setTabIndex((tabIndex() + 1) % kBookTabCount);
  TabControlBookChange();
}

void TForm3::ActionBookTabBackExecute(QObject*) {
  if (!isVisible()) return;
  setTabIndex((tabIndex() + kBookTabCount - 1) % kBookTabCount);
  TabControlBookChange();
}

void TForm3::ActionBookCloseExecute(QObject*) { close(); }

void TForm3::ActionFileListOrderUpExecute(Action& sender) {
  if (!isVisible() || tabIndex() != kTabFileList) return;
  action("ActionFileListOrderUp").checked = false;
  action("ActionFileListOrderDown").checked = false;
  sender.checked = true;
  SortFileList();
  MirrorMenus();
  repaintList();
}

void TForm3::ActionFileListOrderNameExecute(Action& sender) {
  if (!isVisible() || tabIndex() != kTabFileList) return;
  for (const char* n : {"ActionFileListOrderName", "ActionFileListOrderExt", "ActionFileListOrderTime"})
    action(n).checked = false;
  sender.checked = true;
  SortFileList();
  MirrorMenus();
  repaintList();
}

void TForm3::ActionLinkListHoldExecute(QObject*) {
  if (!isVisible() || tabIndex() != kTabLinkList) return;
  Action& a = action("ActionLinkListHold");
  a.checked = !a.checked;
  // Let go: the current page gives its links again.
  if (!a.checked) host_.ReopenCurrent(false, host_.ActiveFilter());
}

void TForm3::ActionLinkListSameDomainExecute(QObject*) {
  if (!isVisible() || tabIndex() != kTabLinkList) return;
  Action& a = action("ActionLinkListSameDomain");
  a.checked = !a.checked;
  BuildLinkList();
  if (tabIndex() == kTabLinkList) TabControlBookChange();
}

void TForm3::BindActions() {
  ActionCatalogue& c = host_.Actions();
  auto bind = [&](const char* name, void (TForm3::*fn)(QObject*)) {
    c.at(name).handler = [this, fn](QObject* sender) { (this->*fn)(sender); };
  };
  bind("ActionBookMenuPopup", &TForm3::ActionBookMenuPopupExecute);
  bind("ActionSystemMenuPopup", &TForm3::ActionSystemMenuPopupExecute);
  bind("ActionMainNextPage", &TForm3::ActionMainNextPageExecute);
  bind("ActionMainBackPage", &TForm3::ActionMainBackPageExecute);
  bind("ActionBookOpen", &TForm3::ActionBookOpenExecute);
  bind("ActionBookOpen2", &TForm3::ActionBookOpenExecute);
  bind("ActionBookEdit", &TForm3::ActionBookEditExecute);
  bind("ActionBookTextIndex", &TForm3::ActionBookTextIndexExecute);
  bind("ActionBookTabNext", &TForm3::ActionBookTabNextExecute);
  bind("ActionBookTabBack", &TForm3::ActionBookTabBackExecute);
  bind("ActionBookClose", &TForm3::ActionBookCloseExecute);
  bind("ActionBookMarkAdd", &TForm3::ActionBookMarkAddExecute);
  bind("ActionBookMarkDelete", &TForm3::ActionBookMarkDeleteExecute);
  bind("ActionBookMarkUp", &TForm3::ActionBookMarkUpExecute);
  bind("ActionBookMarkDown", &TForm3::ActionBookMarkDownExecute);
  bind("ActionLinkListHold", &TForm3::ActionLinkListHoldExecute);
  bind("ActionLinkListSameDomain", &TForm3::ActionLinkListSameDomainExecute);
  for (const char* n : {"ActionFileListOrderUp", "ActionFileListOrderDown"}) {
    Action* a = &c.at(n);
    a->handler = [this, a](QObject*) { ActionFileListOrderUpExecute(*a); };
  }
  for (const char* n : {"ActionFileListOrderName", "ActionFileListOrderExt", "ActionFileListOrderTime"}) {
    Action* a = &c.at(n);
    a->handler = [this, a](QObject*) { ActionFileListOrderNameExecute(*a); };
  }
}

void TForm3::UnbindActions() {
  for (const char* n :
       {"ActionBookMenuPopup", "ActionSystemMenuPopup", "ActionMainNextPage", "ActionMainBackPage", "ActionBookOpen",
        "ActionBookOpen2", "ActionBookEdit", "ActionBookTextIndex", "ActionBookTabNext", "ActionBookTabBack",
        "ActionBookClose", "ActionBookMarkAdd", "ActionBookMarkDelete", "ActionBookMarkUp", "ActionBookMarkDown",
        "ActionLinkListHold", "ActionLinkListSameDomain", "ActionFileListOrderUp", "ActionFileListOrderDown",
        "ActionFileListOrderName", "ActionFileListOrderExt", "ActionFileListOrderTime"})
    host_.Actions().at(n).handler = nullptr;
}

}  // namespace yomira
