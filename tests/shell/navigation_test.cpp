// Page navigation of the main window on a real layout: the page actions, the go-to boxes,
// the page-turn driver, the bottom bar and the neighbouring files of the folder.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/render/PageTurn.h"
#include "shell/main_window.h"
#include "tests/shell/edit_settings.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/null_book_window.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

// n one-line paragraphs; at the default layout (16 lines a view) 160 give 10 views and 150
// give 10, the last with 6 lines.
std::string Lines(int n) {
  std::u8string text;
  for (int i = 1; i <= n; ++i) {
    std::string num = std::to_string(i);
    text += u8"第" + std::u8string(num.begin(), num.end()) + u8"行　あいうえおかきくけこ\n";
  }
  return test::sj(text);
}

// A book window that records what the main window asks of it.
class RecordingBook : public test::NullBookWindow {
 public:
  explicit RecordingBook(std::vector<std::string>& calls) : calls_(calls) {}
  void show() override { calls_.push_back("show"); }
  int findNeighbourFile(const std::string& path, int direction) override {
    calls_.push_back("find " + fs::path(path).filename().string() + " " + std::to_string(direction));
    return -1;
  }

 private:
  std::vector<std::string>& calls_;
};

class Navigation : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(docs()); }

  fs::path docs() const { return home_.path() / "docs"; }

  std::unique_ptr<TForm1> Make(std::function<std::unique_ptr<BookWindowPort>(TForm1&)> book = nullptr) {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    s.makeBook = std::move(book);
    auto f = std::make_unique<TForm1>(std::move(s));
    f->session().state().option.page_ani = 1;
    f->session().state().option.UseSound = 1;
    return f;
  }

  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(docs() / name, std::ios::binary) << bytes;
  }

  // Opens a document of n lines (written as name) in f.
  void Open(TForm1& f, int n, const std::string& name = "doc.txt") {
    Write(name, Lines(n));
    OpenPath(f, name);
  }
  void OpenPath(TForm1& f, const std::string& name) {
    f.OpenFileItem((docs() / name).string(), true, -1, 0, false, true);
    ASSERT_TRUE(f.IsLaidOut());
  }

  // Runs the ticks of the turn in progress; how many there were.
  static int Finish(TForm1& f) {
    int ticks = 0;
    while (f.turnRunning() && ticks < 1000) {
      f.TimerAnimateTimer();
      ++ticks;
    }
    return ticks;
  }

  // Shows view v at once, with no turn running and no play counted.
  void Goto(TForm1& f, int v) {
    f.sliderShowView(v);
    Finish(f);
    env_.plays = 0;
  }

  test::TempDir home_;
  test::FakeShellEnv env_;
};

constexpr int kNone = -1;  // nothing happened
constexpr int kNow = 0;    // the view shown at once

// The turn an action started: its kind while the timer runs, kNow when the view changed
// without one, kNone otherwise.
int StartedKind(TForm1& f, int viewBefore) {
  if (f.turnRunning()) return f.turnKind();
  return f.session().CurrentView() != viewBefore ? kNow : kNone;
}

TEST_F(Navigation, PageActions) {
  struct Case {
    int from;
    const char* action;
    int to;
    int kind;
    int plays;
    std::function<void(TForm1&)> setup;
  };
  auto off = [](auto field) { return [field](TForm1& f) { f.session().state().option.*field = 0; }; };
  auto twoPages = [](TForm1& f) {
    f.session().state().option.Page = 2;
    f.Relayout(true, true);
  };
  const std::vector<Case> cases = {
      {1, "ActionPageNext", 2, kTurnNext, 1, nullptr},
      {10, "ActionPageNext", 10, kNone, 0, nullptr},
      {1, "ActionPageBack", 1, kNone, 0, nullptr},
      {5, "ActionPageBack", 4, kTurnBack, 1, nullptr},
      {2, "ActionPageHome", 1, kTurnBack, 1, nullptr},
      {5, "ActionPageHome", 1, kNow, 0, nullptr},
      {1, "ActionPageHome", 1, kNone, 0, nullptr},
      {9, "ActionPageEnd", 10, kTurnNext, 1, nullptr},
      {3, "ActionPageEnd", 10, kNow, 0, nullptr},
      {10, "ActionPageEnd", 10, kNone, 0, nullptr},
      {1, "ActionPageNext", 2, kNow, 1, off(&TYomiraOption::page_ani)},
      {1, "ActionPageNext", 2, kTurnNext, 0, off(&TYomiraOption::UseSound)},
      {1, "ActionPageNext", 2, kTurnSpreadNext, 1, twoPages},
      {2, "ActionPageBack", 1, kTurnSpreadBack, 1, twoPages},
      // Every key's action.
      {1, "ActionPageNext5", 2, kTurnNext, 1, nullptr},
      {3, "ActionPageBack4", 2, kTurnBack, 1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " from " + std::to_string(c.from));
    auto f = Make();
    Open(*f, 160);
    if (c.setup) c.setup(*f);
    Goto(*f, c.from);
    f->actions().at(c.action).run(nullptr);
    EXPECT_EQ(f->session().CurrentView(), c.to);
    EXPECT_EQ(StartedKind(*f, c.from), c.kind);
    EXPECT_EQ(env_.plays, c.plays);
    Finish(*f);
    // Whatever the road, the view shown is the one drawn, and the label says which.
    EXPECT_EQ(f->child<ImageView>("ImageView")->picture(), f->renderer().Bitmaps().PageBitmap);
    const int views = f->session().state().option.Page == 2 ? 5 : 10;
    EXPECT_EQ(f->child<QLabel>("LabelPage")->text(), QString("%1 / %2").arg(c.to).arg(views));
    EXPECT_EQ(f->child<PageSlider>("UxTrackBarPage")->value(), views - c.to);
    // The reading position saved at exit follows the move.
    EXPECT_EQ(f->recentFiles().front()->Rate, (c.to - 1) * 10000 / views);
  }
}

TEST_F(Navigation, AtTheLastViewNextAsksTheBookForTheNextFileWhenThatOptionIsOn) {
  std::vector<std::string> calls;
  auto f = Make([&calls](TForm1&) { return std::make_unique<RecordingBook>(calls); });
  Open(*f, 160);
  Goto(*f, 10);
  f->actions().at("ActionOptionBookAutoOpen").checked = true;
  f->actions().at("ActionPageNext").run(nullptr);
  EXPECT_EQ(f->session().CurrentView(), 10);
  EXPECT_EQ(calls, (std::vector<std::string>{"show", "find doc.txt 1"}));
  EXPECT_FALSE(f->turnRunning());
  EXPECT_EQ(env_.plays, 0);

  calls.clear();
  Goto(*f, 1);
  f->actions().at("ActionPageBack").run(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"show", "find doc.txt -1"}));
}

TEST_F(Navigation, NothingMovesWithoutALaidOutDocument) {
  const char* actions[] = {"ActionPageNext", "ActionPageBack", "ActionPageHome", "ActionPageEnd",
                           "ActionPageGotoPage", "ActionPageGotoLine", "ActionPageFileNext", "ActionPageFileBack"};
  // No document at all.
  {
    auto f = Make();
    for (const char* a : actions) {
      env_.textAnswers = {std::string("3")};
      f->actions().at(a).run(nullptr);
    }
    EXPECT_FALSE(f->turnRunning());
    EXPECT_EQ(f->child<QLabel>("LabelPage")->text(), QString());
  }
  // A load that failed after a good one: the slider stays enabled, the document is gone.
  auto f = Make();
  Open(*f, 160);
  Goto(*f, 5);
  TToolItem broken;
  broken.Caption = "broken";
  test::EditSettings(*f, [&](SettingsModel& m) { m.filters.push_back(broken); });
  TFileItem entry;
  entry.Path = (docs() / "doc.txt").string();
  f->sources().OpenFileItem(entry, false, 0, 0, false, true);
  ASSERT_FALSE(f->session().state().documentLoaded);
  ASSERT_TRUE(f->child<PageSlider>("UxTrackBarPage")->isEnabled());
  const QImage shown = f->child<ImageView>("ImageView")->picture();
  for (const char* a : actions) {
    SCOPED_TRACE(a);
    env_.textAnswers = {std::string("3")};
    f->actions().at(a).run(nullptr);
    EXPECT_EQ(f->session().CurrentView(), 5);
    EXPECT_FALSE(f->turnRunning());
  }
  EXPECT_EQ(f->child<ImageView>("ImageView")->picture(), shown);
  EXPECT_EQ(env_.plays, 0);
}

TEST_F(Navigation, GoToPage) {
  struct Case {
    std::optional<std::string> answer;
    int view;  // 1: nothing happened
  };
  const Case cases[] = {{"7", 7},   {"999", 10}, {" 7", 7}, {"$A", 10}, {"0", 1},           {"-3", 1},
                        {"abc", 1}, {"", 1},     {"7x", 1}, {"99999999999", 1}, {std::nullopt, 1}};
  auto f = Make();
  Open(*f, 160);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.value_or("(cancel)"));
    Goto(*f, 1);
    env_.textAnswers = {c.answer};
    env_.textDefaults.clear();
    f->actions().at("ActionPageGotoPage").run(nullptr);
    EXPECT_EQ(env_.textDefaults, std::vector<std::string>{"1"});
    EXPECT_EQ(f->session().CurrentView(), c.view);
    EXPECT_FALSE(f->turnRunning());
    EXPECT_EQ(f->child<ImageView>("ImageView")->picture(), f->renderer().Bitmaps().PageBitmap);
    EXPECT_EQ(env_.plays, 0);
  }
}

TEST_F(Navigation, GoToLineTakesTheViewThatHoldsTheLine) {
  struct Case {
    std::optional<std::string> answer;
    int view;  // 4: nothing happened
  };
  // 150 lines, 16 a view: line 140 is display line 139, in view 9 (not 10, although the
  // last view is short).
  const Case cases[] = {{"140", 9}, {"1", 1},   {"150", 10}, {"999", 10},           {"16", 1}, {"17", 2},
                        {"0", 4},   {"abc", 4}, {"-2147483648", 4}, {std::nullopt, 4}};
  auto f = Make();
  Open(*f, 150);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.value_or("(cancel)"));
    Goto(*f, 4);
    env_.textAnswers = {c.answer};
    env_.textDefaults.clear();
    f->actions().at("ActionPageGotoLine").run(nullptr);
    EXPECT_EQ(env_.textDefaults, std::vector<std::string>{"49"});
    EXPECT_EQ(f->session().CurrentView(), c.view);
    EXPECT_FALSE(f->turnRunning());
    EXPECT_EQ(env_.plays, 0);
  }
}

TEST_F(Navigation, GoToBoxesDoNothingWhenAnotherDocumentOpensUnderThem) {
  // The boxes run events, so a forwarded file can open while one is up; the answer was
  // meant for the old document and the old line count no longer holds.
  for (const char* action : {"ActionPageGotoLine", "ActionPageGotoPage"}) {
    SCOPED_TRACE(action);
    auto f = Make();
    Open(*f, 150);
    Goto(*f, 4);
    env_.textAnswers = {"140"};
    env_.whileAsking = [&] { Open(*f, 20, "short.txt"); };
    f->actions().at(action).run(nullptr);
    env_.whileAsking = nullptr;
    EXPECT_EQ(f->session().CurrentView(), 1);
    EXPECT_EQ(f->ViewCount(), 2);
  }
}

// Pictures of one size: the old one plain, the new one with a colour per column, so a
// column taken from the wrong place shows.
QImage Striped(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x % 251, (x / 251) % 256, 200));
  return img;
}

TEST_F(Navigation, TheDriverEndsOnTheWholeNewPageForEveryKindQualityAndWidth) {
  auto f = Make();
  const int qualities[] = {0, 1, 2, 3, 4, 9};
  const int frames[] = {3, 4, 6, 8, 12, 4};
  for (int kind = kTurnNext; kind <= kTurnSpreadBack; ++kind) {
    for (int qi = 0; qi < 6; ++qi) {
      for (int width : {599, 600, 1920}) {
        SCOPED_TRACE(testing::Message() << "kind " << kind << " quality " << qualities[qi] << " width " << width);
        f->session().state().option.Quality = qualities[qi];
        f->session().state().option.Page = kind >= kTurnSpreadNext ? 2 : 1;
        QImage old(width, 8, QImage::Format_RGB32);
        old.fill(qRgb(10, 20, 30));
        f->child<ImageView>("ImageView")->setPicture(old);
        f->renderer().Bitmaps().PageBitmap = Striped(width, 8);
        f->StartPageTurn(kind == kTurnNext || kind == kTurnSpreadNext ? 1 : 2);
        // Frame 0 is drawn at once; the timer paces the rest.
        ASSERT_TRUE(f->turnRunning());
        EXPECT_EQ(f->turnStep(), 1);
        EXPECT_NE(f->child<ImageView>("ImageView")->picture(), old);
        EXPECT_EQ(f->turnKind(), kind);
        EXPECT_EQ(f->turnFrames(), frames[qi]);
        EXPECT_EQ(f->child<QTimer>("TimerAnimate")->interval(), 10);
        EXPECT_TRUE(f->child<QTimer>("TimerAnimate")->isSingleShot());
        EXPECT_EQ(f->child<QTimer>("TimerAnimate")->timerType(), Qt::PreciseTimer);
        const int n = frames[qi];
        EXPECT_EQ(Finish(*f), kind <= kTurnBack ? n : 2 * n + 1);
        EXPECT_EQ(f->child<ImageView>("ImageView")->picture(), f->renderer().Bitmaps().PageBitmap);
        EXPECT_TRUE(f->renderer().Bitmaps().PrevPageBitmap.isNull());
        EXPECT_EQ(f->turnStep(), 0);
      }
    }
  }
}

TEST_F(Navigation, TheNewPageGrowsFromTheLeftEdge) {
  auto f = Make();
  Open(*f, 160);
  const QImage old = f->child<ImageView>("ImageView")->picture().copy();
  ASSERT_EQ(old.width(), 492);
  f->actions().at("ActionPageNext").run(nullptr);
  // The strip of the new page at each frame of the default quality, the first drawn by
  // the action itself, the others at the ticks; right of it the old page stays as it was.
  const int strips[] = {152, 289, 398, 467};
  for (int strip : strips) {
    SCOPED_TRACE(strip);
    ASSERT_TRUE(f->turnRunning());
    if (strip != strips[0]) f->TimerAnimateTimer();
    const QImage& shown = f->child<ImageView>("ImageView")->picture();
    int changedRight = 0;
    for (int x = 0; x < shown.width(); ++x)
      for (int y = 0; y < shown.height(); ++y)
        if (shown.pixel(x, y) != old.pixel(x, y)) changedRight = x + 1;
    EXPECT_GT(changedRight, 0);
    EXPECT_LE(changedRight, strip);
  }
  f->TimerAnimateTimer();
  EXPECT_FALSE(f->turnRunning());
  EXPECT_EQ(f->child<ImageView>("ImageView")->picture(), f->renderer().Bitmaps().PageBitmap);
}

TEST_F(Navigation, APageActionDuringATurnRestartsWithTheHalfDrawnPictureAsTheOldPage) {
  auto f = Make();
  Open(*f, 160);
  Goto(*f, 5);
  f->actions().at("ActionPageBack").run(nullptr);  // frame 0
  f->TimerAnimateTimer();
  ASSERT_EQ(f->turnStep(), 2);
  const QImage halfDrawn = f->child<ImageView>("ImageView")->picture().copy();
  f->actions().at("ActionPageBack").run(nullptr);
  EXPECT_EQ(f->session().CurrentView(), 3);
  EXPECT_EQ(f->turnStep(), 1);  // restarted: frame 0 drawn again
  EXPECT_TRUE(f->turnRunning());
  EXPECT_EQ(f->renderer().Bitmaps().PrevPageBitmap, halfDrawn);
  EXPECT_EQ(env_.plays, 2);
  EXPECT_EQ(Finish(*f), 4);
  EXPECT_EQ(f->child<ImageView>("ImageView")->picture(), f->renderer().Bitmaps().PageBitmap);
}

TEST_F(Navigation, AShownPictureOfAnotherSizeGivesTheNewPageAtOnce) {
  auto f = Make();
  Open(*f, 160);
  QImage small(100, 50, QImage::Format_RGB32);
  small.fill(Qt::red);
  f->child<ImageView>("ImageView")->setPicture(small);
  f->actions().at("ActionPageBack").run(nullptr);  // nothing: view 1
  f->actions().at("ActionPageNext").run(nullptr);
  EXPECT_FALSE(f->turnRunning());
  EXPECT_EQ(f->session().CurrentView(), 2);
  EXPECT_EQ(f->child<ImageView>("ImageView")->picture(), f->renderer().Bitmaps().PageBitmap);
  EXPECT_EQ(env_.plays, 1);
}

TEST_F(Navigation, BottomBar) {
  auto f = Make();
  Open(*f, 340 * 16);
  f->ShowPageLabel(12);
  EXPECT_EQ(f->child<QLabel>("LabelPage")->text(), QStringLiteral("12 / 340"));

  f->child<QProgressBar>("ProgressBarPage")->setValue(50);
  f->ShowProgressBar(true);
  EXPECT_FALSE(f->child<QProgressBar>("ProgressBarPage")->isHidden());
  EXPECT_TRUE(f->child<PageSlider>("UxTrackBarPage")->isHidden());
  EXPECT_EQ(f->child<QProgressBar>("ProgressBarPage")->value(), 0);
  f->progress(30, 60);
  EXPECT_EQ(f->child<QProgressBar>("ProgressBarPage")->value() * 2, f->child<QProgressBar>("ProgressBarPage")->maximum());
  f->child<QProgressBar>("ProgressBarPage")->setValue(50);
  f->ShowProgressBar(false);
  EXPECT_TRUE(f->child<QProgressBar>("ProgressBarPage")->isHidden());
  EXPECT_FALSE(f->child<PageSlider>("UxTrackBarPage")->isHidden());
  EXPECT_EQ(f->child<QProgressBar>("ProgressBarPage")->value(), 0);
}

TEST_F(Navigation, ARelayoutKeepsTheOneSliderWithItsPositionAndTheBarSkin) {
  auto f = Make();
  Open(*f, 160);
  Goto(*f, 4);
  PageSlider* slider = f->child<PageSlider>("UxTrackBarPage");
  f->Relayout(true, true);
  EXPECT_EQ(f->child<PageSlider>("UxTrackBarPage"), slider);
  EXPECT_EQ(f->findChildren<PageSlider*>().size(), 1);
  EXPECT_TRUE(slider->isEnabled());
  EXPECT_EQ(slider->maximum(), 9);
  EXPECT_EQ(slider->value(), 6);
  EXPECT_FALSE(slider->isHidden());
  ASSERT_FALSE(f->sliderSkin().isNull());
  EXPECT_EQ(slider->palette().brush(QPalette::Window).textureImage(), f->sliderSkin());
}

TEST_F(Navigation, ButtonsTurnPagesAndTheirMiddlePressesOpenTheNeighbourFiles) {
  Write("a.txt", Lines(20));
  Write("c.txt", Lines(20));
  auto f = Make();
  Open(*f, 160, "b.txt");
  f->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
  QTest::mouseClick(f->child<QToolButton>("SpeedButtonNext"), Qt::LeftButton);
  EXPECT_EQ(f->session().CurrentView(), 2);
  Finish(*f);
  QTest::mouseClick(f->child<QToolButton>("SpeedButtonBack"), Qt::LeftButton);
  EXPECT_EQ(f->session().CurrentView(), 1);
  Finish(*f);
  QTest::mousePress(f->child<QToolButton>("SpeedButtonNext"), Qt::MiddleButton);
  QTest::mouseRelease(f->child<QToolButton>("SpeedButtonNext"), Qt::MiddleButton);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[c.txt] - yomira"));
  QTest::mousePress(f->child<QToolButton>("SpeedButtonBack"), Qt::MiddleButton);
  QTest::mouseRelease(f->child<QToolButton>("SpeedButtonBack"), Qt::MiddleButton);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[b.txt] - yomira"));
  EXPECT_EQ(f->session().CurrentView(), 1);
}

TEST_F(Navigation, NextAndPreviousFileOfTheFolder) {
  Write("a.txt", Lines(20));
  Write("x.dat", Lines(20));
  fs::create_directory(docs() / "d.txt");
  auto f = Make();
  // c.txt is read to its view 6 first: opening it again from b goes back there.
  Open(*f, 160, "c.txt");
  Goto(*f, 6);
  Open(*f, 20, "b.txt");

  f->actions().at("ActionPageFileNext").run(nullptr);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[c.txt] - yomira"));
  EXPECT_EQ(f->session().CurrentView(), 6);
  std::vector<std::string> listed;
  for (const auto& e : f->fileList()) listed.push_back(fs::path(e->Path).filename().string());
  EXPECT_EQ(listed, (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));

  // At the end of the list, and at its start, nothing opens.
  f->actions().at("ActionPageFileNext").run(nullptr);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[c.txt] - yomira"));
  OpenPath(*f, "a.txt");
  f->actions().at("ActionPageFileBack").run(nullptr);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[a.txt] - yomira"));
  f->actions().at("ActionPageFileNext").run(nullptr);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[b.txt] - yomira"));

  // The list follows the book's order: descending names turn the directions round.
  f->actions().at("ActionFileListOrderUp").checked = false;
  f->actions().at("ActionFileListOrderDown").checked = true;
  f->actions().at("ActionPageFileNext").run(nullptr);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[a.txt] - yomira"));

  // A web document has no neighbours.
  test::EditSettings(*f, [](SettingsModel& m) { m.history.front()->Kind = fkWeb; });
  f->actions().at("ActionPageFileNext").run(nullptr);
  f->actions().at("ActionPageFileBack").run(nullptr);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("[a.txt] - yomira"));
}

TEST_F(Navigation, ASliderClickLeavesTheKeysWithThePageActions) {
  auto f = Make();
  Open(*f, 160);
  f->show();
  f->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
  PageSlider* s = f->child<PageSlider>("UxTrackBarPage");
  // A left press at the slider's left end: one page on, toward the press.
  QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(2, s->height() / 2));
  EXPECT_EQ(f->session().CurrentView(), 2);
  Finish(*f);
  QTest::keyClick(f.get(), Qt::Key_Left);
  EXPECT_EQ(f->session().CurrentView(), 3);
}

TEST_F(Navigation, ARightPressOnTheSliderOpensOneMenu) {
  auto f = Make();
  Open(*f, 160);
  f->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
  PageSlider* s = f->child<PageSlider>("UxTrackBarPage");
  QTest::mousePress(s, Qt::RightButton, {}, QPoint(s->width() / 2, s->height() / 2));
  int open = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<QMenu*>(w) && w->isVisible()) ++open;
  EXPECT_EQ(open, 1);
  EXPECT_TRUE(f->mainMenu().menu->isVisible());
  f->mainMenu().menu->hide();
  EXPECT_EQ(f->session().CurrentView(), 1);
}

TEST_F(Navigation, TheTurnSoundFollowsTheSettingsAndStopsBeforeItsBytesGo) {
  std::ofstream(home_.path() / "click.wav", std::ios::binary) << "RIFF0123456789";
  std::ofstream(home_.path() / "yomira.ini")
      << "[option]\nUseSound=1\nSoundPath=" << (home_.path() / "click.wav").string() << "\n";
  {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    TForm1 f(std::move(s));
    ASSERT_TRUE(f.session().state().option.UseSound);
    EXPECT_EQ(f.turnSound(), "RIFF0123456789");
    EXPECT_EQ(env_.turnSound, "RIFF0123456789");
    // The player stops before its bytes are emptied.
    env_.soundCalls.clear();
    f.FormClose();
    EXPECT_EQ(env_.soundCalls, (std::vector<std::string>{"stop", "set 0"}));
    EXPECT_TRUE(f.turnSound().empty());
  }
  std::ofstream(home_.path() / "yomira.ini") << "[option]\nUseSound=1\nSoundPath=" << (home_.path() / "none.wav").string()
                                              << "\n";
  TForm1::Setup s;
  s.env = &env_;
  s.dataFolder = home_.path().string();
  TForm1 f(std::move(s));
  EXPECT_FALSE(f.session().state().option.UseSound);
  EXPECT_TRUE(f.turnSound().empty());
}

}  // namespace
}  // namespace yomira
