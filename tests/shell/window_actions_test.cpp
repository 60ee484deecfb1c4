// Full screen, the annotation step and the book window's stay-on-top option.
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/render/Fitting.h"
#include "shell/main_window.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/null_book_window.h"
#include "tests/support/test_support.h"
#include "windows/controls/hint_window.h"

namespace yomira {
namespace {

class WindowActions : public ::testing::Test {
 protected:
  void SetUp() override {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    form_ = std::make_unique<TForm1>(std::move(s));
  }
  void Open(const std::string& name, std::u8string_view text) {
    std::ofstream(home_ / name, std::ios::binary) << test::sj(text);
    form_->OpenFileItem((home_ / name).string(), true, -1, 0, false, true);
    ASSERT_TRUE(form_->IsLaidOut());
  }
  void Run(const char* action) { form_->actions().at(action).run(nullptr); }
  QPoint Global(QPoint imagePoint) { return form_->child<ImageView>("ImageView")->mapToGlobal(imagePoint); }
  std::pair<int, int> LastMove() { return env_.cursorMoves.empty() ? std::pair{-1, -1} : env_.cursorMoves.back(); }

  test::TempDir home_;
  test::FakeShellEnv env_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(WindowActions, FullScreenCoversTheScreenAndComesBackWhereItWas) {
  Run("ActionOptionFullScreen");  // nothing laid out
  EXPECT_FALSE(form_->IsFullScreen());
  Open("a.txt", u8"本文\n");
  form_->move(100, 50);
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  const QRect s = form_->screen()->geometry();

  Run("ActionOptionFullScreen");
  EXPECT_TRUE(form_->IsFullScreen());
  EXPECT_TRUE(form_->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(form_->geometry(), s);
  EXPECT_EQ(form_->child("PanelBase")->pos(), QPoint((s.width() - 492) / 2, (s.height() - 539) / 2));
  // A relayout keeps the panel centred.
  form_->session().state().option.f_size += 2;
  form_->Relayout(true, true);
  const QSize panel = form_->child("PanelBase")->size();
  EXPECT_NE(panel, QSize(492, 539));
  EXPECT_EQ(form_->child("PanelBase")->pos(), QPoint((s.width() - panel.width()) / 2, (s.height() - panel.height()) / 2));
  EXPECT_EQ(form_->geometry(), s);
  form_->session().state().option.f_size -= 2;
  form_->Relayout(true, true);

  Run("ActionOptionFullScreen");
  EXPECT_FALSE(form_->IsFullScreen());
  EXPECT_FALSE(form_->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(form_->size(), QSize(492, 539));
  EXPECT_EQ(form_->pos(), QPoint(100, 50));
  EXPECT_EQ(form_->child("PanelBase")->pos(), QPoint(0, 0));
}

// The note of the view's n-th annotation, hit-tested at the point the step went to.
TEST_F(WindowActions, TheAnnotationStepVisitsEachNoteThenTheMenuButton) {
  Open("notes.txt", u8"猫［＃注記一］がいる。\n犬がいて［＃注記二］吠える。\n");
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  const QToolButton* menu = form_->child<QToolButton>("SpeedButtonMenu");
  const QPoint button = menu->mapToGlobal(QPoint(menu->width() / 2, menu->height() / 2));
  const std::vector<std::pair<QPoint, std::string>> steps = {{{448, 31}, "注記一"}, {{422, 73}, "注記二"}};
  for (int round = 0; round < 2; ++round) {
    for (const auto& [point, note] : steps) {
      Run("ActionWindowAnnotate");
      EXPECT_EQ(LastMove(), std::pair(Global(point).x(), Global(point).y())) << note;
      const auto cell = HitTestAnnotation(form_->session().state().option, form_->child("PanelBase")->width(), point.x(), point.y());
      ASSERT_TRUE(cell) << note;
      int32_t index = -1;
      EXPECT_SJ_EQ(form_->session().state().annotations.Get(cell->cell, cell->line, cell->page, cell->block, index),
                   std::u8string(note.begin(), note.end()));
      EXPECT_EQ(form_->session().state().annotations.current, index);
      auto* hint = form_->child<HintWindow>("HintWindow");
      ASSERT_TRUE(hint && hint->isVisible()) << note;
      EXPECT_EQ(hint->text().toStdString(), note);
    }
    Run("ActionWindowAnnotate");
    EXPECT_EQ(LastMove(), std::pair(button.x(), button.y()));
    EXPECT_EQ(form_->session().state().annotations.current, -1);
    EXPECT_FALSE(form_->child<HintWindow>("HintWindow")->isVisible());
  }
  // The menu's opening hides the hint.
  Run("ActionWindowAnnotate");
  ASSERT_TRUE(form_->child<HintWindow>("HintWindow")->isVisible());
  QMenu* popup = form_->mainMenu().menu;
  popup->popup(QPoint(10, 10));
  EXPECT_FALSE(form_->child<HintWindow>("HintWindow")->isVisible());
  popup->hide();
}

TEST_F(WindowActions, TheStepFindsANoteOnALaterPageAndBlock) {
  form_->session().state().option.Page = 2;
  form_->session().state().option.Colum = 2;
  form_->session().state().option.c_size = 5;
  std::u8string text;
  for (int i = 0; i < 15; ++i) text += u8"あ\n";
  text += u8"猫［＃注記三］\n";
  Open("far.txt", text);
  int32_t cell = 0, line = 0, page = 0, block = 0;
  ASSERT_TRUE(form_->session().state().annotations.FindNext(cell, line, page, block));
  ASSERT_EQ(page, 1);
  ASSERT_EQ(block, 1);
  Run("ActionWindowAnnotate");
  const QPoint image = form_->child<ImageView>("ImageView")->mapFromGlobal(QPoint(LastMove().first, LastMove().second));
  const auto hit = HitTestAnnotation(form_->session().state().option, form_->child("PanelBase")->width(), image.x(), image.y());
  ASSERT_TRUE(hit);
  EXPECT_EQ(*hit, (AnnotationCell{cell, line, page, block}));
}

TEST_F(WindowActions, WithoutTheNotationTheStepDoesNothing) {
  Open("notes.txt", u8"猫［＃注記一］がいる。\n");
  form_->session().state().option.ruby_tag = 0;
  Run("ActionWindowAnnotate");
  EXPECT_TRUE(env_.cursorMoves.empty());
}

TEST_F(WindowActions, TheKeyReachesFullScreenAfterTheMenuWasOpened) {
  form_->show();
  QApplication::setActiveWindow(form_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  QMenu* menu = form_->mainMenu().menu;
  menu->popup(QPoint(10, 10));
  menu->hide();
  Open("a.txt", u8"本文\n");
  QApplication::setActiveWindow(form_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  QTest::keyClick(form_.get(), Qt::Key_F);
  EXPECT_TRUE(form_->IsFullScreen());
}

// A book window that logs what it is asked, and a window for the stay-on-top band.
class LoggingBook : public test::NullBookWindow {
 public:
  explicit LoggingBook(std::vector<std::string>& log) : log_(log) {}
  void show() override { log_.push_back("show"); }
  void scanFileList(const std::string& folder, bool force, bool) override {
    log_.push_back("scan " + folder + (force ? " forced" : ""));
  }
  QWidget* widget() override { return &window_; }
  QWidget window_;

 private:
  std::vector<std::string>& log_;
};

TEST_F(WindowActions, TheBookScansAnExistingFolderFirstAndStaysOnTopAtOnce) {
  std::vector<std::string> log;
  LoggingBook* book = nullptr;
  TForm1::Setup s;
  s.env = &env_;
  s.dataFolder = home_.path().string();
  s.makeBook = [&](TForm1&) {
    auto b = std::make_unique<LoggingBook>(log);
    book = b.get();
    return b;
  };
  form_ = std::make_unique<TForm1>(std::move(s));
  Run("ActionBook");  // no document: no folder to scan
  EXPECT_EQ(log, std::vector<std::string>{"show"});
  Open("a.txt", u8"本文\n");
  log.clear();  // the opening's own rescan
  Run("ActionBook");
  std::filesystem::remove_all(home_.path());
  Run("ActionBook");
  const std::string folder = home_.path().string() + "/";
  EXPECT_EQ(log, (std::vector<std::string>{"scan " + folder + " forced", "show", "show"}));

  book->window_.show();
  const QRect before = book->window_.geometry();
  Run("ActionOptionBookStayOnTop");
  EXPECT_TRUE(book->window_.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(book->window_.isVisible());
  EXPECT_EQ(book->window_.geometry(), before);
  Run("ActionOptionBookStayOnTop");
  EXPECT_FALSE(book->window_.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(WindowActions, ClickingThePictureInTheIconsPlaceBringsTheIconBack) {
  form_->show();
  form_->child<QLabel>("ImageIcon")->hide();
  form_->child<QLabel>("ImageEasterEgg")->show();
  QTest::mouseClick(form_->child<QLabel>("ImageEasterEgg"), Qt::LeftButton);
  EXPECT_TRUE(form_->child<QLabel>("ImageEasterEgg")->isHidden());
  EXPECT_FALSE(form_->child<QLabel>("ImageIcon")->isHidden());
}

TEST_F(WindowActions, TheBookOptionsToggleWithTheBookHidden) {
  Run("ActionOptionBookStayOnTop");
  EXPECT_TRUE(form_->actions().at("ActionOptionBookStayOnTop").checked);
  Run("ActionOptionBookStayOnTop");
  EXPECT_FALSE(form_->actions().at("ActionOptionBookStayOnTop").checked);
}

}  // namespace
}  // namespace yomira
