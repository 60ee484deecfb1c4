// The main window with the web fetch: the URL action, the dialog driven as the user drives
// it, the window refusing input while a page comes in, a close during a download, and the
// cache files at the end. The pages come from a loopback server of the test's own.
#include "shell/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/datafolder.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/http_test_server.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using test::HttpRoute;

// The process's data folder is the window's: the cache files are written to the first.
const fs::path& Home() {
  static test::TempDir dir;
  static const bool set = setenv("YOMIRA_HOME", dir.path().c_str(), 1) == 0;
  (void)set;
  return dir.path();
}

// Answers the next URL dialog: text into the box, then OK (or Cancel); records what the
// box proposed and the history it listed.
struct DialogScript {
  void Answer(const QString& text, bool ok = true) {
    QTimer::singleShot(0, [this, text, ok] {
      auto* d = qobject_cast<TForm5*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      proposed = d->ComboBoxURL->currentText();
      items = d->ComboBoxURL->count();
      d->ComboBoxURL->setEditText(text);
      (ok ? d->ButtonOK : d->ButtonCancel)->click();
    });
  }
  QString proposed;
  int items = -1;
};

class WebWindow : public ::testing::Test {
 protected:
  WebWindow() {
    EXPECT_EQ(DataFolder(), Home().string());
    fs::remove(Home() / "yomira_web.html");
    fs::remove(Home() / "yomira_web.txt");
    fs::remove(Home() / "yomira.ini");
  }
  std::unique_ptr<TForm1> Make() {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = Home().string();
    return std::make_unique<TForm1>(std::move(s));
  }
  QString Url(const std::string& path) { return QString::fromStdString(server_.Url(path)); }

  test::HttpTestServer server_;
  test::FakeShellEnv env_;
  DialogScript dialog_;
};

TEST_F(WebWindow, TheUrlActionOpensAPageAsADocument) {
  server_.Route("/a.txt", HttpRoute::Text(test::sj(u8"吾輩は猫である。\n名前はまだ無い。\n")));
  auto f = Make();
  f->show();
  dialog_.Answer(Url("/a.txt#frag"));
  f->actions().at("ActionURLOpen").run(nullptr);
  EXPECT_EQ(dialog_.proposed, QStringLiteral("http://"));
  EXPECT_TRUE(f->IsLaidOut());
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[yomira_web.txt] - yomira"));
  ASSERT_FALSE(f->recentFiles().empty());
  EXPECT_EQ(f->recentFiles()[0]->GetLocation(), server_.Url("/a.txt"));
  EXPECT_TRUE(env_.messages.empty());
  EXPECT_TRUE(f->isEnabled());

  // The second time the list holds the page, and F5 proposes its address.
  dialog_.Answer(Url("/a.txt"), false);
  f->actions().at("ActionFileRecent0").run(nullptr);
  EXPECT_EQ(dialog_.proposed, Url("/a.txt"));
  EXPECT_EQ(dialog_.items, 1);
}

TEST_F(WebWindow, AFailureShowsTheCaptionAndTheMessageThenTheDocumentsCaptionAgain) {
  auto f = Make();
  f->show();
  const std::string failure = "Failure [" + server_.Url("/missing.html") + "] - yomira";
  QStringList whileShown;
  env_.whileShowing = [&] { whileShown << f->windowTitle(); };
  dialog_.Answer(Url("/missing.html"));
  EXPECT_FALSE(f->OpenUrl("http://", 0));
  EXPECT_EQ(whileShown, QStringList{QString::fromStdString(failure)});
  EXPECT_EQ(f->windowTitle(), QStringLiteral("yomira")) << "no document: the program's caption";
  EXPECT_EQ(env_.messages, (std::vector<std::string>{"[ " + server_.Url("/missing.html") + " ]\nURLを開けませんでした。"}));
  EXPECT_TRUE(f->recentFiles().empty());

  // Over an open page, its caption comes back.
  server_.Route("/a.txt", HttpRoute::Text("text"));
  dialog_.Answer(Url("/a.txt"));
  ASSERT_TRUE(f->OpenUrl("http://", 0));
  ASSERT_EQ(f->windowTitle(), QStringLiteral("[yomira_web.txt] - yomira"));
  whileShown.clear();
  dialog_.Answer(Url("/missing.html"));
  EXPECT_FALSE(f->OpenUrl("http://", 0));
  EXPECT_EQ(whileShown, QStringList{QString::fromStdString(failure)});
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[yomira_web.txt] - yomira"));
  env_.whileShowing = nullptr;
}

TEST_F(WebWindow, InputIsRefusedWhileAPageComesIn) {
  HttpRoute slow = HttpRoute::Text("slow");
  slow.delayMs = 300;
  server_.Route("/slow.txt", slow);
  auto f = Make();
  f->show();
  std::vector<bool> enabled;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    enabled.push_back(f->isEnabled());
    // Esc would quit, and a right click open the menu.
    if (enabled.size() == 1) {
      QCoreApplication::postEvent(f.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      QTest::mouseClick(f.get(), Qt::RightButton, {}, QPoint(5, 5));
    }
  });
  dialog_.Answer(Url("/slow.txt"));
  QTimer::singleShot(0, [&] { probe.start(20); });
  EXPECT_TRUE(f->OpenUrl("http://", 0));
  probe.stop();
  // Timers kept running during the download, and the window took no input.
  ASSERT_GE(enabled.size(), 2u);
  EXPECT_EQ(std::count(enabled.begin(), enabled.end(), true), 0);
  EXPECT_TRUE(f->isEnabled());
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_TRUE(f->IsLaidOut());
}

TEST_F(WebWindow, ClosingTheWindowEndsTheDownload) {
  HttpRoute stall = HttpRoute::Text(std::string(100, 's'));
  stall.stallAfter = 1;
  server_.Route("/stall", stall);
  auto f = Make();
  f->session().state().option.TimeOut = 60;
  f->show();
  std::optional<bool> opened;
  QTimer::singleShot(0, f.get(), [&] {
    dialog_.Answer(Url("/stall"));
    QTimer::singleShot(300, f.get(), [&] { f->close(); });
    opened = f->OpenUrl("http://", 0);
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(opened, false);
  EXPECT_TRUE(env_.messages.empty());
  EXPECT_TRUE(f->recentFiles().empty());
  EXPECT_FALSE(f->loading());
  EXPECT_TRUE(fs::exists(Home() / "yomira.ini"));
}

TEST_F(WebWindow, BothCacheFilesGoWithTheWindow) {
  server_.Route("/p.html", HttpRoute::Text("<p>h", "text/html"));
  server_.Route("/p.txt", HttpRoute::Text("t"));
  auto f = Make();
  dialog_.Answer(Url("/p.html"));
  EXPECT_TRUE(f->OpenUrl("http://", 0));
  dialog_.Answer(Url("/p.txt"));
  EXPECT_TRUE(f->OpenUrl("http://", 0));
  EXPECT_TRUE(fs::exists(Home() / "yomira_web.html"));
  EXPECT_TRUE(fs::exists(Home() / "yomira_web.txt"));
  f.reset();
  EXPECT_FALSE(fs::exists(Home() / "yomira_web.html"));
  EXPECT_FALSE(fs::exists(Home() / "yomira_web.txt"));
}

TEST_F(WebWindow, ThePhraseAtStartUpChangesThePicture) {
  auto f = Make();
  dialog_.Answer(QStringLiteral("quietly & briskly"));
  EXPECT_FALSE(f->OpenUrl("http://", 0));
  EXPECT_TRUE(f->child<QLabel>("ImageIcon")->isHidden());
  EXPECT_FALSE(f->child<QLabel>("ImageEasterEgg")->isHidden());
  EXPECT_TRUE(server_.Requests().empty());
  EXPECT_TRUE(env_.messages.empty());
}

}  // namespace
}  // namespace yomira
