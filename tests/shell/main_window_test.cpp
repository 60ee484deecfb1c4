#include "shell/main_window.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "ui/key_dispatcher.h"
#include "ui/guard.h"
#include "shell/book_host.h"
#include "shell/quit_signals.h"
#include "windows/book/bookmark_file.h"
#include "sources/history.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/null_book_window.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

class MainWindow : public ::testing::Test {
 protected:
  std::unique_ptr<TForm1> Make(std::function<std::unique_ptr<BookWindowPort>(TForm1&)> book = nullptr) {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    s.makeBook = std::move(book);
    return std::make_unique<TForm1>(std::move(s));
  }
  void WriteText(const std::string& name, std::u8string_view text) {
    std::ofstream(home_ / name, std::ios::binary) << test::sj(text);
  }

  test::TempDir home_;
  test::FakeShellEnv env_;
};

TEST_F(MainWindow, StartsFixedAtTheStartUpSizeAndFitsTheFirstLayout) {
  auto f = Make();
  EXPECT_EQ(f->minimumSize(), QSize(209, 113));
  EXPECT_EQ(f->maximumSize(), QSize(209, 113));
  EXPECT_EQ(f->windowTitle(), QStringLiteral("yomira"));
  EXPECT_EQ(f->pos(), QPoint(128, 128));
  EXPECT_FALSE(f->child<QToolButton>("SpeedButtonNext")->isEnabled());
  EXPECT_EQ(f->child<QLabel>("ImageIcon")->x(), 88);

  WriteText("a.txt", u8"本文の一行目\n二行目\n");
  f->OpenFileItem((home_ / "a.txt").string(), true, -1, 0, false, true);
  EXPECT_TRUE(f->IsLaidOut());
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[a.txt] - yomira"));
  EXPECT_EQ(f->size(), QSize(492, 539));
  EXPECT_EQ(f->minimumSize(), QSize(0, 0));
  EXPECT_EQ(f->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
  EXPECT_TRUE(f->child<QToolButton>("SpeedButtonNext")->isEnabled());
  EXPECT_TRUE(f->child("PanelStartUp")->isHidden());
}

TEST_F(MainWindow, ASavedPositionOffEveryScreenAndALayoutLargerThanTheScreenStayReachable) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  WriteText("a.txt", u8"本文の一行目\n二行目\n");
  struct Case {
    const char* what;
    std::string option;
  } cases[] = {
      {"off to the bottom right", "x=5000\ny=5000\n"},
      {"off to the top left", "x=-3000\ny=-3000\n"},
      {"a layout larger than the screen", "x=100\ny=100\nf_size=256\n"},
      {"at the integer limits", "x=-2147483648\ny=2147483647\n"},
      {"at the other integer limits", "x=2147483647\ny=-2147483648\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(home_ / "yomira.ini") << "[option]\n" << c.option;
    auto f = Make();
    EXPECT_TRUE(screen.contains(f->geometry())) << "start-up panel";
    f->OpenFileItem((home_ / "a.txt").string(), true, -1, 0, false, true);
    ASSERT_TRUE(f->IsLaidOut());
    if (f->width() <= screen.width() && f->height() <= screen.height()) {
      EXPECT_TRUE(screen.contains(f->geometry()));
    } else {
      EXPECT_EQ(f->pos(), screen.topLeft()) << "the layout kept, its corner on the screen";
    }
  }
}

TEST_F(MainWindow, TheOtherWindowsSavedAtTheIntegerLimitsOpenOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  std::ofstream(home_ / "yomira.ini") << "[bookmark]\nx=2147483647\ny=-2147483648\nw=2147483647\nh=2147483647\n"
                                      << "[Dialog]\nx=-2147483648\ny=2147483647\nw=2147483647\nh=-2147483648\n";
  auto f = Make();
  f->show();
  f->actions().at("ActionBook").run(nullptr);
  ASSERT_TRUE(f->book() && f->book()->isVisible());
  const QWidget* book = f->book()->widget();
  EXPECT_TRUE(screen.intersects(book->frameGeometry())) << "the book window";
  EXPECT_GE(book->x(), screen.left());
  EXPECT_GE(book->y(), screen.top());
  EXPECT_LE(book->width(), screen.width()) << "no window of gigabytes";
  EXPECT_LE(book->height(), screen.height());
  QWidget dialog;
  dialog.resize(300, 200);
  f->RestoreDialogRect(&dialog);
  EXPECT_TRUE(screen.intersects(dialog.frameGeometry())) << "a dialog";
  EXPECT_GE(dialog.x(), screen.left());
  EXPECT_GE(dialog.y(), screen.top());
}

TEST_F(MainWindow, AnUnreadOversizeBookmarkFileDoesNotHoldUpTheQuit) {
  const std::string big = "/a.txt\t1\n" + std::string(kMaxBookMarkFileBytes, 'x');
  std::ofstream(home_ / "bookmark.dat", std::ios::binary) << big;
  std::ofstream(home_ / "yomira.ini") << "[bookmark]\naut_open=1\n";
  const std::vector<std::string> readFailed{"ブックマークファイルの読み込みに失敗しました。"};
  for (const bool bySignal : {true, false}) {
    SCOPED_TRACE(bySignal ? "SIGTERM" : "close button");
    env_.messages.clear();
    auto f = Make();
    f->show();  // the first show opens the book window, which reads the file
    EXPECT_EQ(env_.messages, readFailed);
    QuitSignals quit([&f] { f->close(); });
    ASSERT_TRUE(quit.installed());
    QTimer::singleShot(0, f.get(), [&] {
      if (bySignal) std::raise(SIGTERM);
      else f->close();
    });
    EXPECT_EQ(QApplication::exec(), 0);
    f.reset();
    EXPECT_EQ(env_.messages, readFailed) << "no message at quit";
    EXPECT_EQ(test::ReadFileBytes(home_ / "bookmark.dat"), big);
  }
}

TEST_F(MainWindow, AnEmptyFileIsOneEmptyView) {
  WriteText("empty.txt", u8"");
  auto f = Make();
  f->OpenFileItem((home_ / "empty.txt").string(), true, -1, 0, false, true);
  ASSERT_TRUE(f->IsLaidOut());
  EXPECT_EQ(f->ViewCount(), 1);
  EXPECT_EQ(f->child<QLabel>("LabelPage")->text(), QStringLiteral("1 / 1"));
}

TEST_F(MainWindow, DestroyDeletesTheTemporaryFilesButNotTheClipboardText) {
  for (const char* n : {"yomira.html", "yomira_web.html", "yomira_web.txt", "ClipBord.txt"}) std::ofstream(home_ / n) << "x";
  Make().reset();
  EXPECT_FALSE(fs::exists(home_ / "yomira.html"));
  EXPECT_FALSE(fs::exists(home_ / "yomira_web.html"));
  EXPECT_FALSE(fs::exists(home_ / "yomira_web.txt"));
  EXPECT_TRUE(fs::exists(home_ / "ClipBord.txt"));
}

// A book window that reads the main window's lists as it goes, as the real one writes its
// bookmarks.
class ReadingBook : public test::NullBookWindow {
 public:
  explicit ReadingBook(TForm1& f) : f_(f) {}
  ~ReadingBook() override {
    size_t n = 0;
    for (const auto& b : f_.bookMarks()) n += b->Path.size();
    EXPECT_EQ(n, 3u);
  }

 private:
  TForm1& f_;
};

TEST_F(MainWindow, TheBookWindowGoesBeforeTheListsItReads) {
  auto f = Make([](TForm1& form) { return std::make_unique<ReadingBook>(form); });
  auto b = std::make_unique<TFileItem>();
  b->Path = "abc";
  MakeMainBookHost(*f)->BookMarks().push_back(std::move(b));  // as the book window adds one
  f.reset();
}

TEST_F(MainWindow, AnHtmlFileIsImportedAndItsLinksReplaceThePagesUnlessHeld) {
  auto f = Make();
  WriteText("a.html", u8"<title>題</title><p>本文<a href=\"b.html\">次</a></p>");
  WriteText("c.html", u8"<p>別<a href=\"d.html\">先</a></p>");
  f->OpenFileItem((home_ / "a.html").string(), true, -1, 0, false, true);
  ASSERT_TRUE(f->IsLaidOut());
  EXPECT_TRUE(f->htmlImported());
  ASSERT_FALSE(f->session().state().sourceLines.empty());
  EXPECT_SJ_EQ(f->session().state().sourceLines.back(), u8"本文次");
  ASSERT_EQ(f->pageLinks().size(), 1u);
  EXPECT_EQ(f->pageLinks()[0]->Path, (home_ / "b.html").string());

  // A held list keeps the first page's links.
  MakeMainBookHost(*f)->LinkList() = {0};  // as the book window lists them
  f->actions().at("ActionLinkListHold").checked = true;
  f->OpenFileItem((home_ / "c.html").string(), true, -1, 0, false, true);
  ASSERT_EQ(f->pageLinks().size(), 1u);
  EXPECT_EQ(f->pageLinks()[0]->Path, (home_ / "b.html").string());
  EXPECT_EQ(f->linkList(), std::vector<int>{0});

  // Released: the positions go before the entries they point at, and the book window's
  // list is built again from the new page.
  f->actions().at("ActionLinkListHold").checked = false;
  f->OpenFileItem((home_ / "c.html").string(), true, -1, 0, false, true);
  ASSERT_EQ(f->pageLinks().size(), 1u);
  EXPECT_EQ(f->pageLinks()[0]->Path, (home_ / "d.html").string());
  EXPECT_EQ(f->linkList(), std::vector<int>{0});
}

// The book window is made on first use: an HTML page's link list is built without it, and
// the book command makes and shows it.
TEST_F(MainWindow, TheBookWindowIsMadeOnFirstUse) {
  auto f = Make();
  ASSERT_NE(f->book(), nullptr);
  EXPECT_EQ(f->book()->widget(), nullptr);
  WriteText("a.html", u8"<p>本文<a href=\"b.html\">次</a><a href=\"c.html\">先</a></p>");
  f->OpenFileItem((home_ / "a.html").string(), true, -1, 0, false, true);
  ASSERT_TRUE(f->IsLaidOut());
  EXPECT_EQ(f->book()->widget(), nullptr);
  EXPECT_EQ(f->linkList(), (std::vector<int>{0, 1}));
  EXPECT_FALSE(f->book()->isVisible());
  f->ActionBookExecute(nullptr);
  ASSERT_NE(f->book()->widget(), nullptr);
  EXPECT_TRUE(f->book()->isVisible());
  EXPECT_TRUE(f->book()->everShown());
}

TEST_F(MainWindow, CloseWritesTheSettingsAndEndsTheEventLoop) {
  auto f = Make();
  QWidget settingsPlaceholder;  // a second top-level window must not keep the loop running
  settingsPlaceholder.show();
  f->show();
  QTimer::singleShot(0, f.get(), [&] { f->actions().at("ActionExit").run(nullptr); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(fs::exists(home_ / "yomira.ini"));
  EXPECT_TRUE(fs::exists(home_ / "yomira_key.ini"));
}

TEST_F(MainWindow, ASaveFailureIsShownAndTheWindowStillCloses) {
  auto f = Make();
  // A folder where the settings file should be: the write fails.
  fs::create_directory(home_ / "yomira.ini");
  f->show();
  QTimer::singleShot(0, f.get(), [&] { f->close(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(env_.messages.empty());
  EXPECT_TRUE(fs::exists(home_ / "yomira_key.ini"));
}

TEST_F(MainWindow, AMaximiseRequestStaysNormalAndAsksForFullScreenOnce) {
  auto f = Make();
  WriteText("a.txt", u8"本文\n");
  f->OpenFileItem((home_ / "a.txt").string(), true, -1, 0, false, true);
  f->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
  f->setWindowState(Qt::WindowMaximized);
  EXPECT_TRUE(QTest::qWaitFor([&] { return f->IsFullScreen(); }));
  EXPECT_FALSE(f->windowState() & Qt::WindowMaximized);
  // Once: a second toggle, due right after the first, would leave full screen again.
  EXPECT_FALSE(QTest::qWaitFor([&] { return !f->IsFullScreen(); }, 150));
}

TEST_F(MainWindow, ActivationSwitchesTheKeyScopes) {
  auto f = Make();
  f->show();
  QApplication::setActiveWindow(f.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
  EXPECT_TRUE(f->actions().inScope(kListMain));
  EXPECT_TRUE(f->actions().inScope(kListTool));
  EXPECT_FALSE(f->actions().inScope(kListBook));
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(f->actions().inScope(kListMain));
}

TEST_F(MainWindow, TheFirstRecentItemShowsTheEntryAndReloadKeepsItsCaption) {
  {
    std::ofstream ini(home_ / "yomira.ini");
    ini << "[RecentFiles]\nfile0=" << (home_ / "name.txt").string() << "\ntype0=0\nrate0=0\n";
  }
  auto f = Make();
  ASSERT_EQ(f->recentFiles().size(), 1u);
  EXPECT_EQ(f->mainMenu().recent[0]->text().toStdString(), RecentCaption(*f->recentFiles()[0], 0));
  EXPECT_EQ(f->mainMenu().recent[0]->text().left(3), QStringLiteral("&0 "));
  EXPECT_EQ(f->actions().at("ActionFileRecent0").caption, "再読込(&R)");
}

TEST_F(MainWindow, ReloadKeepsTheViewAndTheHistoryEntryIsNotTouchedDuringTheOpen) {
  WriteText("a.txt", u8"一\n二\n三\n");
  auto f = Make();
  f->OpenFileItem((home_ / "a.txt").string(), true, -1, 0, false, true);
  ASSERT_TRUE(f->IsLaidOut());
  f->ActionFileRecent0Execute(nullptr);
  EXPECT_TRUE(f->IsLaidOut());
  EXPECT_EQ(f->recentFiles().size(), 1u);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[a.txt] - yomira"));
}

TEST_F(MainWindow, AnEmptyHistoryMakesTheReopenDoNothing) {
  auto f = Make();
  f->ActionFileRecent0Execute(nullptr);
  EXPECT_FALSE(f->IsLaidOut());
  EXPECT_TRUE(env_.messages.empty());
}

}  // namespace
}  // namespace yomira
