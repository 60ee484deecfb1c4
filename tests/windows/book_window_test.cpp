#include "windows/book/book_window.h"
#include "windows/controls/window_util.h"

#include <sys/stat.h>

#include <QActionGroup>
#include <QApplication>
#include <QImage>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QWindow>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/option_defaults.h"
#include "platform/atomic_file.h"
#include "ui/action.h"
#include "ui/key_dispatcher.h"
#include "shell/fake_shell_env.h"
#include "support/test_support.h"
#include "windows/book/book_list.h"
#include "windows/book/bookmark_file.h"
#include "windows/controls/hint_window.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;

std::unique_ptr<TFileItem> Local(const std::string& path, int rate = 0) {
  auto e = std::make_unique<TFileItem>();
  e->Path = path;
  e->Rate = rate;
  return e;
}

std::unique_ptr<TFileItem> Web(const std::string& href, int rate = 0, const std::string& title = "") {
  auto e = std::make_unique<TFileItem>();
  e->Kind = fkWeb;
  e->Href = href;
  e->Rate = rate;
  e->Title = title;
  return e;
}

class FakeBookHost : public BookHost {
 public:
  FileItemList marks, files, links, recent;
  std::vector<int> linkList;
  ToolItemList filters;
  TYomiraOption option = DefaultOptions();
  bool loaded = true, laidOut = true;
  int pendingRate = -7, activeFilter = 3;
  QRect bookRect{192, 192, 200, 300};
  bool bookRectSaved = true;
  QWidget* mainWindow = nullptr;
  std::string dataFolder;
  test::FakeShellEnv env;
  ActionCatalogue catalogue;
  std::vector<std::string> calls;

  FileItemList& BookMarks() override { return marks; }
  FileItemList& FileList() override { return files; }
  FileItemList& PageLinks() override { return links; }
  std::vector<int>& LinkList() override { return linkList; }
  const FileItemList& RecentFiles() override { return recent; }
  const ToolItemList& Filters() override { return filters; }
  const TYomiraOption& Option() override { return option; }
  bool DocumentLoaded() override { return loaded; }
  bool LaidOut() override { return laidOut; }
  int& PendingRate() override { return pendingRate; }
  int ActiveFilter() override { return activeFilter; }
  QRect& BookRect() override { return bookRect; }
  bool BookRectSaved() override { return bookRectSaved; }
  QWidget* MainWindow() override { return mainWindow; }
  std::string DataFolder() override { return dataFolder; }
  ShellEnv& Env() override { return env; }
  ActionCatalogue& Actions() override { return catalogue; }
  bool MainActive() override { return false; }
  void OpenFileItem(const TFileItem& item, bool force, int filter, int charCode, bool keepBookSel,
                    bool rebuild) override {
    calls.push_back("open " + item.Path + " " + std::to_string(force) + " " + std::to_string(filter) + " " +
                    std::to_string(charCode) + " " + std::to_string(keepBookSel) + " " + std::to_string(rebuild) +
                    " rate " + std::to_string(pendingRate));
  }
  bool OpenUrl(const std::string& url, int rate) override {
    calls.push_back("url " + url + " " + std::to_string(rate));
    return true;
  }
  void ReopenCurrent(bool force, int filter) override {
    calls.push_back("reopen " + std::to_string(force) + " " + std::to_string(filter));
  }
  bool RunFilter(TFileItem&, std::vector<std::string>&, int&, bool, bool, int) override { return false; }
  bool HasFilterRunner() override { return false; }
  std::string HostOfUrl(const std::string& url) override {
    const size_t start = url.find("://");
    if (start == std::string::npos) return "";
    return url.substr(start + 3, url.find('/', start + 3) - start - 3);
  }
  void EnableActions(bool main, bool book) override { catalogue.EnableActions(main, book); }
  void SetStayOnTop(QWidget*, bool on) override { calls.push_back(std::string("top ") + (on ? "on" : "off")); }
};

class BookWindow : public ::testing::Test {
 protected:
  void SetUp() override { host.dataFolder = dir.path().string(); }
  std::string markFile() const { return (dir / "bookmark.dat").string(); }
  void writeMarks(const std::string& bytes) { std::ofstream(markFile(), std::ios::binary) << bytes; }
  std::unique_ptr<TForm3> Make() {
    auto f = std::make_unique<TForm3>(host);
    f->BindActions();
    return f;
  }
  // Shown on a tab, the row selected (-1: none).
  void On(TForm3& f, int tab, int row = -1) {
    if (!f.isVisible()) f.ShowBook();
    f.TabControlBook->setCurrentIndex(tab);
    f.TabControlBookChange();
    f.selectRow(row);
  }
  void Run(const char* name) { host.catalogue.at(name).run(nullptr); }
  std::vector<std::string> MarkPaths() {
    std::vector<std::string> out;
    for (const auto& m : host.marks) out.push_back(m->Kind == fkWeb ? m->GetLocation() : m->Path);
    return out;
  }

  TempDir dir;
  FakeBookHost host;
};

TEST_F(BookWindow, ANeverShownWindowLeavesTheFileAlone) {
  writeMarks("/d/p150.txt\t5000\r\n");
  const auto before = fs::last_write_time(markFile());
  {
    auto f = Make();
    Run("ActionBookTextIndex");  // works while hidden, reads nothing
    EXPECT_TRUE(host.catalogue.at("ActionBookTextIndex").checked);
    Run("ActionBookMarkAdd");
  }
  EXPECT_TRUE(host.marks.empty());
  EXPECT_EQ(ReadFileBytes(markFile()), "/d/p150.txt\t5000\r\n");
  EXPECT_EQ(fs::last_write_time(markFile()), before);
}

TEST_F(BookWindow, AddsBookmarksWhereTheSelectionIsAndWritesThemAtOnce) {
  host.recent.push_back(Local("/d/now.txt", 4321));
  auto f = Make();
  On(*f, kTabBookMark);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"top off"}));
  Run("ActionBookMarkAdd");  // no selection, no file yet: appended
  EXPECT_EQ(ReadFileBytes(markFile()), "/d/now.txt\t4321\n");
  host.marks.push_back(Local("/d/b.txt"));
  f->TabControlBookChange();
  f->selectRow(1);  // the last row
  Run("ActionBookMarkAdd");
  EXPECT_EQ(MarkPaths(), (std::vector<std::string>{"/d/now.txt", "/d/b.txt", "/d/now.txt"}));
  f->selectRow(0);
  host.recent.front()->Path = "/d/other.txt";
  Run("ActionBookMarkAdd");
  EXPECT_EQ(MarkPaths(), (std::vector<std::string>{"/d/now.txt", "/d/other.txt", "/d/b.txt", "/d/now.txt"}));
  EXPECT_EQ(host.marks[1]->Rate, 4321);
  EXPECT_EQ(ReadFileBytes(markFile()), "/d/now.txt\t4321\n/d/other.txt\t4321\n/d/b.txt\t0\n/d/now.txt\t4321\n");
  EXPECT_TRUE(host.env.messages.empty());
}

TEST_F(BookWindow, AddNeedsTheBookmarkTabADocumentAndAStorablePath) {
  auto f = Make();
  host.recent.push_back(Local("/d/a.txt"));
  On(*f, kTabFileList);
  Run("ActionBookMarkAdd");
  On(*f, kTabBookMark);
  host.loaded = false;
  Run("ActionBookMarkAdd");
  host.loaded = true;
  host.recent.front()->Path = "/d/a\tb.txt";
  Run("ActionBookMarkAdd");
  EXPECT_TRUE(host.marks.empty());
  EXPECT_EQ(host.env.messages, (std::vector<std::string>{"ブックマークの保存に失敗しました。"}));
}

TEST_F(BookWindow, DeleteAndMovesChangeTheFileAndKeepTheSelection) {
  writeMarks("/a\t1\n/b\t2\n/c\t3\n");
  auto f = Make();
  On(*f, kTabBookMark, 1);
  Run("ActionBookMarkDelete");
  EXPECT_EQ(ReadFileBytes(markFile()), "/a\t1\n/c\t3\n");
  host.marks.push_back(Local("/d", 4));
  On(*f, kTabBookMark, 0);
  Run("ActionBookMarkUp");  // nothing above the first
  f->selectRow(2);
  Run("ActionBookMarkDown");  // nothing below the last
  EXPECT_EQ(MarkPaths(), (std::vector<std::string>{"/a", "/c", "/d"}));
  Run("ActionBookMarkUp");
  EXPECT_EQ(MarkPaths(), (std::vector<std::string>{"/a", "/d", "/c"}));
  EXPECT_EQ(f->selectedRow(), 1);
  EXPECT_EQ(ReadFileBytes(markFile()), "/a\t1\n/d\t4\n/c\t3\n");
}

TEST_F(BookWindow, AFileThatCannotBeReadIsNeverWrittenOver) {
  ASSERT_EQ(::mkfifo(markFile().c_str(), 0600), 0);
  host.recent.push_back(Local("/d/a.txt"));
  {
    auto f = Make();
    On(*f, kTabBookMark);
    EXPECT_EQ(host.env.messages, (std::vector<std::string>{"ブックマークファイルの読み込みに失敗しました。"}));
    Run("ActionBookMarkAdd");
    Run("ActionBookMarkAdd");
  }
  EXPECT_EQ(host.env.messages, (std::vector<std::string>{"ブックマークファイルの読み込みに失敗しました。",
                                                          "ブックマークの保存に失敗しました。"}));
  struct stat st;
  ASSERT_EQ(::stat(markFile().c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(BookWindow, AnOversizeFileLeftUnchangedEndsTheRunWithoutAMessageAndStaysWhole) {
  const std::string big = "/a\t1\n" + std::string(kMaxBookMarkFileBytes, 'x');
  writeMarks(big);
  host.recent.push_back(Local("/d/a.txt"));
  const std::vector<std::string> readFailed{"ブックマークファイルの読み込みに失敗しました。"};
  {
    auto f = Make();
    On(*f, kTabBookMark);
    EXPECT_EQ(host.env.messages, readFailed);
    EXPECT_TRUE(host.marks.empty());
  }
  EXPECT_EQ(host.env.messages, readFailed) << "nothing changed, nothing to report";
  EXPECT_EQ(ReadFileBytes(markFile()), big);

  // A bookmark added over it cannot be kept: that is said, once, and the file stays whole.
  host.env.messages.clear();
  {
    auto f = Make();
    On(*f, kTabBookMark);
    Run("ActionBookMarkAdd");
    EXPECT_EQ(host.marks.size(), 1u);
  }
  EXPECT_EQ(host.env.messages,
            (std::vector<std::string>{readFailed[0], "ブックマークの保存に失敗しました。"}));
  EXPECT_EQ(ReadFileBytes(markFile()), big);
}

TEST_F(BookWindow, AFailedWriteShowsTheMessageAndKeepsTheOldBytes) {
  writeMarks("/a\t1\r\n");
  host.recent.push_back(Local("/d/a.txt"));
  auto f = Make();
  On(*f, kTabBookMark);
  SetAtomicWriteFailHook([](AtomicWriteStep s) { return s == AtomicWriteStep::Write; });
  Run("ActionBookMarkAdd");
  SetAtomicWriteFailHook(nullptr);
  EXPECT_EQ(host.env.messages, (std::vector<std::string>{"ブックマークの保存に失敗しました。"}));
  // The box belongs to the book window, so it opens centred on it.
  EXPECT_EQ(host.env.owners, (std::vector<QWidget*>{f.get()}));
  EXPECT_EQ(ReadFileBytes(markFile()), "/a\t1\r\n");
  // Written at the end of the run, when writing works again.
  f.reset();
  EXPECT_EQ(ReadFileBytes(markFile()), "/a\t1\n/d/a.txt\t0\n");
}

TEST_F(BookWindow, TabsCycleAndEachRemembersItsRow) {
  for (const char* p : {"/a", "/b", "/c"}) host.marks.push_back(Local(p));
  for (const char* p : {"/x", "/y"}) host.files.push_back(Local(p));
  auto f = Make();
  On(*f, kTabBookMark, 2);
  std::vector<int> tabs;
  for (int i = 0; i < 3; ++i) {
    Run("ActionBookTabNext");
    tabs.push_back(f->tabIndex());
  }
  for (int i = 0; i < 3; ++i) {
    Run("ActionBookTabBack");
    tabs.push_back(f->tabIndex());
  }
  EXPECT_EQ(tabs, (std::vector<int>{1, 2, 0, 2, 1, 0}));
  EXPECT_EQ(f->selectedRow(), 2);
  Run("ActionBookTabNext");
  EXPECT_EQ(f->selectedRow(), -1);  // never selected on this tab
  f->selectRow(1);
  Run("ActionBookTabBack");
  EXPECT_EQ(f->selectedRow(), 2);
  // The list shrank under the remembered row: nothing is selected.
  host.files.pop_back();
  Run("ActionBookTabNext");
  EXPECT_EQ(f->selectedRow(), -1);
  EXPECT_EQ(f->SelIndex[kTabFileList], -1);
}

TEST_F(BookWindow, OrderActionsActOnlyOnTheFileListTab) {
  for (const char* p : {"/d/a.txt", "/d/c.txt", "/d/b.txt"}) host.files.push_back(Local(p));
  auto f = Make();
  Run("ActionFileListOrderDown");  // hidden
  On(*f, kTabBookMark);
  Run("ActionFileListOrderTime");
  EXPECT_TRUE(host.catalogue.at("ActionFileListOrderUp").checked);
  EXPECT_TRUE(host.catalogue.at("ActionFileListOrderName").checked);
  EXPECT_FALSE(host.catalogue.at("ActionFileListOrderTime").checked);
  On(*f, kTabFileList);
  Run("ActionFileListOrderDown");
  EXPECT_FALSE(host.catalogue.at("ActionFileListOrderUp").checked);
  EXPECT_TRUE(host.catalogue.at("ActionFileListOrderDown").checked);
  std::vector<std::string> paths;
  for (const auto& e : host.files) paths.push_back(e->Path);
  EXPECT_EQ(paths, (std::vector<std::string>{"/d/c.txt", "/d/b.txt", "/d/a.txt"}));
}

TEST_F(BookWindow, OpeningARowOpensACopyByItsKind) {
  host.marks.push_back(Local("/d/mark.txt", 5000));
  host.files.push_back(Local("/d/file.txt", -1));
  host.links.push_back(Web("http://a.example/x", 0));
  host.linkList = {0};
  host.catalogue.at("ActionOptionBookAutoClose").checked = true;
  auto f = Make();
  On(*f, kTabBookMark, 0);
  Run("ActionBookOpen");
  EXPECT_FALSE(f->isVisible());
  On(*f, kTabFileList, 0);
  Run("ActionBookOpen2");
  On(*f, kTabLinkList, 0);
  Run("ActionBookOpen");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"top off", "open /d/mark.txt 0 -1 0 1 1 rate 5000",
                                                  "open /d/file.txt 0 -1 0 0 1 rate -1", "url http://a.example/x 0"}));
}

TEST_F(BookWindow, RunWithTheAssociatedProgramOnlyOpensWhatIsSafe) {
  fs::path existing = dir / "here.txt";
  std::ofstream(existing) << "x";
  host.marks.push_back(Local(existing.string()));
  host.marks.push_back(Local((dir / "gone.txt").string()));
  host.marks.push_back(Web("http://a.example/ok"));
  host.marks.push_back(Web("http://a.example/cancel"));
  host.marks.push_back(Local("javascript:x"));
  host.env.okCancelAnswers = {true, false};
  auto f = Make();
  for (int row = 0; row < 5; ++row) {
    On(*f, kTabBookMark, row);
    Run("ActionBookEdit");
  }
  EXPECT_EQ(host.env.opened, (std::vector<std::string>{existing.string(), "http://a.example/ok"}));
  EXPECT_EQ(host.env.questionCaptions, (std::vector<std::string>{"関連付け実行", "関連付け実行"}));
}

TEST_F(BookWindow, LinkListHoldAndSameDomain) {
  host.links.push_back(Web("http://a.example/1"));
  host.links.push_back(Web("http://b.example/2"));
  for (auto& l : host.links) l->BaseUrl = "http://a.example/";
  auto f = Make();
  On(*f, kTabLinkList);
  EXPECT_EQ(host.linkList, (std::vector<int>{0, 1}));
  Run("ActionLinkListSameDomain");
  EXPECT_EQ(host.linkList, (std::vector<int>{0}));
  EXPECT_EQ(f->model()->rowCount(), 1);
  Run("ActionLinkListHold");
  Run("ActionLinkListHold");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"top off", "reopen 0 3"}));
}

TEST_F(BookWindow, HeldPositionsThatOutliveTheirLinksAreSafe) {
  host.links.push_back(Web("http://a.example/1"));
  host.links.push_back(Web("http://a.example/2"));
  auto f = Make();
  On(*f, kTabLinkList, 1);
  // The page's links replaced while the list still holds the old positions.
  host.links.clear();
  host.links.push_back(Web("http://a.example/new"));
  QImage image(200, 300, QImage::Format_RGB32);
  QPainter painter(&image);
  f->ListViewBook->viewport()->render(&painter);
  Run("ActionBookOpen");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"top off"}));
}

TEST_F(BookWindow, MenuEnablingFollowsTheSelectionAndTheDocument) {
  host.marks.push_back(Local("/a"));
  auto f = Make();
  On(*f, kTabBookMark);
  host.laidOut = false;
  auto enabled = [](QMenu* m, const char* name) {
    for (QAction* a : m->actions())
      if (a->objectName() == QLatin1String(name)) return a->isEnabled();
    ADD_FAILURE() << name;
    return false;
  };
  f->UpdateMenuEnabling(f->PopupMenuBookMark);
  EXPECT_FALSE(enabled(f->PopupMenuBookMark, "ActionBookOpen"));
  EXPECT_FALSE(enabled(f->PopupMenuBookMark, "ActionBookMarkDelete"));
  EXPECT_FALSE(enabled(f->PopupMenuBookMark, "ActionBookMarkAdd"));
  host.laidOut = true;
  f->selectRow(0);
  f->UpdateMenuEnabling(f->PopupMenuBookMark);
  for (const char* n : {"ActionBookOpen", "ActionBookEdit", "ActionBookMarkAdd", "ActionBookMarkDelete",
                        "ActionBookMarkUp", "ActionBookMarkDown"})
    EXPECT_TRUE(enabled(f->PopupMenuBookMark, n)) << n;
  On(*f, kTabFileList);
  f->UpdateMenuEnabling(f->PopupMenuFileList);
  EXPECT_FALSE(enabled(f->PopupMenuFileList, "ActionBookOpen"));
}

TEST_F(BookWindow, RowHintShowsNearTheLeftEdgeOnly) {
  host.marks.push_back(Local("/d/a.txt", 5099));
  host.marks.front()->Title = "title";
  auto f = Make();
  On(*f, kTabBookMark);
  QApplication::setActiveWindow(f.get());
  const QRect row = f->ListViewBook->visualRect(f->model()->index(0, 0));
  f->ListViewBookMouseMove(QPoint(10, row.center().y()));
  EXPECT_TRUE(f->HintWindow_->isVisible());
  EXPECT_EQ(f->HintWindow_->text(), QString::fromUtf8("/d/a.txt\n　title\n　50%"));
  EXPECT_EQ(f->HintIndex, 0);
  f->ListViewBookMouseMove(QPoint(20, row.center().y()));
  EXPECT_FALSE(f->HintWindow_->isVisible());
  f->ListViewBookMouseMove(QPoint(10, row.center().y()));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(f->ListViewBook->viewport(), &leave);
  EXPECT_FALSE(f->HintWindow_->isVisible());
  EXPECT_EQ(f->HintTab, -1);
}

TEST_F(BookWindow, LeftInTheBookWindowTurnsTheMainWindowsPage) {
  int next = 0;
  host.catalogue.at("ActionPageNext").handler = [&](QObject*) { ++next; };
  host.marks.push_back(Local("/a"));
  auto f = Make();
  On(*f, kTabBookMark, 0);
  QApplication::setActiveWindow(f.get());
  host.EnableActions(false, true);
  f->ListViewBook->setFocus();
  QTest::keyClick(f->ListViewBook, Qt::Key_Left);
  EXPECT_EQ(next, 1);
}

TEST_F(BookWindow, BoundsComeFromTheMainWindowAndGoBackOnClose) {
  // Closed without ever showing (the main window closing): the remembered place stays.
  host.bookRect = QRect(150, 160, 210, 310);
  Make()->close();
  EXPECT_EQ(host.bookRect, QRect(150, 160, 210, 310));
  host.bookRect = QRect(100, 120, 0, -5);
  auto f = Make();
  EXPECT_EQ(f->size(), QSize(200, 300));
  f->ShowBook();
  f->close();
  EXPECT_EQ(host.bookRect.size(), QSize(200, 300));
  EXPECT_EQ(host.bookRect.topLeft(), f->pos());
}

TEST_F(BookWindow, TheSortSubmenuHoldsTwoExclusiveRadioGroups) {
  auto f = Make();
  QMenu* order = nullptr;
  for (QAction* a : f->PopupMenuFileList->actions())
    if (a->menu()) order = a->menu();
  ASSERT_NE(order, nullptr);
  auto groupOf = [&](const char* name) -> QActionGroup* {
    for (QAction* a : order->actions())
      if (a->objectName() == QLatin1String(name)) return a->actionGroup();
    ADD_FAILURE() << name;
    return nullptr;
  };
  QActionGroup* direction = groupOf("ActionFileListOrderUp");
  QActionGroup* key = groupOf("ActionFileListOrderName");
  ASSERT_NE(direction, nullptr);
  ASSERT_NE(key, nullptr);
  EXPECT_NE(direction, key);
  EXPECT_TRUE(direction->isExclusive());
  EXPECT_TRUE(key->isExclusive());
  EXPECT_EQ(groupOf("ActionFileListOrderDown"), direction);
  EXPECT_EQ(groupOf("ActionFileListOrderExt"), key);
  EXPECT_EQ(groupOf("ActionFileListOrderTime"), key);
  EXPECT_EQ(direction->actions().size(), 2);
  EXPECT_EQ(key->actions().size(), 3);
}

TEST_F(BookWindow, TheListModelAnswersCaptionAndHint) {
  host.marks.push_back(Local("/d/a.txt", 5099));
  host.marks.front()->Title = "title";
  auto f = Make();
  On(*f, kTabBookMark);
  const QModelIndex row = f->model()->index(0, 0);
  EXPECT_EQ(row.data(Qt::DisplayRole).toString(), QStringLiteral("a.txt"));
  EXPECT_EQ(row.data(Qt::ToolTipRole).toString(), QString::fromUtf8("/d/a.txt\n　title\n　50%"));
  EXPECT_FALSE(row.data(Qt::DecorationRole).isValid());
  // A row the list no longer has answers nothing.
  host.marks.clear();
  EXPECT_FALSE(row.data(Qt::DisplayRole).isValid());
}

// The first showing: beside the main window (a tool window of it), unless a saved place
// lies on a screen.
TEST_F(BookWindow, OpensBesideTheMainWindowUnlessASavedPlaceIsOnAScreen) {
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  QWidget main;
  host.mainWindow = &main;
  struct Case {
    const char* what;
    QRect mainRect;
    bool saved;
    QRect bookRect;
  } cases[] = {
      {"never saved: beside", QRect(screen.left() + 20, screen.top() + 20, screen.width() / 3, screen.height() / 2), false,
       QRect(192, 192, 200, 300)},
      {"saved off every screen: beside", QRect(screen.left() + 40, screen.top() + 20, screen.width() / 3, 200), true,
       QRect(screen.right() + 5000, 100, 200, 300)},
      {"no room on the right: left", QRect(screen.right() - screen.width() / 3, screen.top() + 20, screen.width() / 3 - 20, 200),
       false, QRect(0, 0, 200, 300)},
      {"saved on a screen: there", QRect(screen.left() + 100, screen.top() + 80, 300, 260), true,
       QRect(screen.left() + 30, screen.top() + 40, 220, 310)},
  };
  for (const Case& c : cases) {
    main.setGeometry(c.mainRect);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    host.bookRect = c.bookRect;
    host.bookRectSaved = c.saved;
    auto f = Make();
    EXPECT_TRUE(f->isWindow()) << c.what;
    EXPECT_EQ(f->windowType(), Qt::Tool) << c.what;
    f->ShowBook();
    ASSERT_NE(f->windowHandle(), nullptr) << c.what;
    EXPECT_EQ(f->windowHandle()->transientParent(), main.windowHandle()) << c.what;
    const QRect frame = main.frameGeometry();
    const QRect want = c.saved && c.bookRect.intersects(screen)
                           ? c.bookRect
                           : PlaceBeside(frame, f->size() + (frame.size() - main.size()), AvailableScreens());
    EXPECT_EQ(f->pos(), want.topLeft()) << c.what;
    EXPECT_EQ(f->size(), c.bookRect.size()) << c.what;
    // Beside means touching the main window's frame, right or left.
    if (!(c.saved && c.bookRect.intersects(screen))) {
      EXPECT_TRUE(f->pos().x() == frame.right() + 1 || f->frameGeometry().right() + 1 == frame.left()) << c.what;
    }
    f.reset();
    main.hide();
  }
}

// ---------------------------------------------------------------- drawing

// The WCAG contrast ratio of two colours: 1 for equal ones, 21 for black on white.
double Contrast(QRgb a, QRgb b) {
  auto lum = [](QRgb c) {
    auto ch = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * ch(qRed(c)) + 0.7152 * ch(qGreen(c)) + 0.0722 * ch(qBlue(c));
  };
  const double x = lum(a), y = lum(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

class RowPaint : public ::testing::Test {
 protected:
  static constexpr int kW = 200;
  QImage Draw(const TFileItem* entry, int tab, bool selected, const TFileItem* current = nullptr) {
    BookRowDelegate d([=](int) { return BookRowState{entry, tab, false, current}; });
    QFont font(QStringLiteral("IPAex Gothic"));
    font.setPixelSize(12);
    h = QFontMetrics(font).height() + 4;
    QImage image(kW, h, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    d.paintRow(&p, QRect(0, 0, kW, h), font, selected, 0);
    return image;
  }
  int h = 0;
};

TEST_F(RowPaint, BarPercentageAndColours) {
  TFileItem e;
  e.Path = "/d/a.txt";
  e.Rate = 5099;
  QImage img = Draw(&e, kTabBookMark, false);
  const int barH = h - 1 - h / 2, y = h / 2 + barH / 2, x = kW * 5099 / 10000;
  EXPECT_EQ(x, 101);
  EXPECT_EQ(QColor(img.pixel(50, y)), QColor(0xB9, 0xD1, 0xEA));
  EXPECT_EQ(QColor(img.pixel(x + barH + 1, y)), QColor(Qt::white));
  EXPECT_GE(Contrast(img.pixel(50, y), img.pixel(x + barH + 1, y)), 1.5);
  bool ink = false;
  for (int px = kW - 40; px < kW - 3; ++px)
    for (int py = 0; py < h / 2; ++py) ink |= QColor(img.pixel(px, py)).lightness() < 128;
  EXPECT_TRUE(ink);
  img = Draw(&e, kTabBookMark, true);
  EXPECT_EQ(QColor(img.pixel(50, y)), QColor(0x00, 0x66, 0xCC));
  EXPECT_EQ(QColor(img.pixel(kW - 1, 0)), QColor(0x33, 0x99, 0xFF));
  // Visible on the selection too.
  EXPECT_GE(Contrast(img.pixel(50, y), img.pixel(x + barH + 1, y)), 1.5);
  e.Rate = 0;
  img = Draw(&e, kTabFileList, false);
  for (int px = 0; px < kW; ++px) EXPECT_NE(QColor(img.pixel(px, y)), QColor(0xB9, 0xD1, 0xEA)) << px;
  e.Rate = 20000;
  const QImage over = Draw(&e, kTabFileList, false);
  e.Rate = 10000;
  EXPECT_EQ(over, Draw(&e, kTabFileList, false));
}

TEST_F(RowPaint, CurrentDocumentOnTheFileListHasAFullBarAndTheMarker) {
  TFileItem e;
  e.Path = "/d/a.txt";
  e.Rate = -1;
  TFileItem current = e;
  const QImage img = Draw(&e, kTabFileList, false, &current);
  const int barH = h - 1 - h / 2, y = h / 2 + barH / 2;
  EXPECT_EQ(QColor(img.pixel(kW - 1, y)), QColor(0xB9, 0xD1, 0xEA));
  const int cx = h / 2, cy = h / 2;
  for (QPoint p : {QPoint(cx, cy - 3), QPoint(cx, cy + 3), QPoint(cx + 1, cy - 2), QPoint(cx + 2, cy + 1),
                   QPoint(cx + 3, cy)})
    EXPECT_EQ(QColor(img.pixel(p)), QColor(Qt::black)) << p.x() << "," << p.y();
  EXPECT_NE(QColor(img.pixel(cx + 3, cy - 1)), QColor(Qt::black));
  // Not the current document (another case of the name): no marker.
  current.Path = "/d/A.txt";
  EXPECT_NE(QColor(Draw(&e, kTabFileList, false, &current).pixel(cx, cy - 3)), QColor(Qt::black));
}

TEST_F(RowPaint, ARowBeyondTheListIsBackgroundOnly) {
  const QImage img = Draw(nullptr, kTabBookMark, false);
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < kW; ++px) ASSERT_EQ(QColor(img.pixel(px, py)), QColor(Qt::white));
}

}  // namespace
}  // namespace yomira
