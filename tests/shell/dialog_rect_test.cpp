// The remembered dialog place and the settings command.
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/main_window.h"
#include "tests/shell/edit_settings.h"
#include "tests/support/setup_placeholder.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"
#include "windows/controls/window_util.h"

namespace yomira {
namespace {

using test::SetupPlaceholder;
class DialogRectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    form_ = std::make_unique<TForm1>(std::move(s));
    dialog_.resize(420, 310);
    dialog_.move(40, 30);
  }
  // The open dialogs' place as the settings file gives it.
  void DialogRect(QRect r) {
    test::EditSettings(*form_, [&](SettingsModel& m) { m.dialogRect = {r.x(), r.y(), r.width(), r.height()}; });
  }
  test::TempDir home_;
  test::FakeShellEnv env_;
  std::unique_ptr<TForm1> form_;
  QDialog dialog_;
};

TEST_F(DialogRectTest, TheDefaultRectangleMovesTheDialogAndKeepsItsSize) {
  DialogRect(QRect(209, 152, 0, 0));  // as a settings file without the section leaves it
  form_->RestoreDialogRect(&dialog_);
  EXPECT_EQ(dialog_.frameGeometry().topLeft(), QPoint(209, 152));
  EXPECT_EQ(dialog_.size(), QSize(420, 310));
}

TEST_F(DialogRectTest, ASavedSizeLargerThanTheScreensIsCutToThem) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  DialogRect(QRect(-(1 << 24), -(1 << 24), 1 << 24, 1 << 24));  // right and bottom far off
  form_->RestoreDialogRect(&dialog_);
  EXPECT_LE(dialog_.frameGeometry().width(), screen.width());
  EXPECT_LE(dialog_.frameGeometry().height(), screen.height());
  EXPECT_TRUE(screen.contains(dialog_.frameGeometry().topLeft()));
}

TEST_F(DialogRectTest, ASavedRectangleGivesPlaceAndSizeOnScreen) {
  DialogRect(QRect(300, 200, 1000, 700));
  form_->RestoreDialogRect(&dialog_);
  EXPECT_EQ(dialog_.frameGeometry(), ClampToVisibleScreen(QRect(300, 200, 700, 500)));
  EXPECT_EQ(dialog_.size(), QSize(700, 500));
}

TEST_F(DialogRectTest, ARectangleOffEveryScreenComesBackOnOne) {
  DialogRect(QRect(5000, 5000, 5700, 5500));
  form_->RestoreDialogRect(&dialog_);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(dialog_.frameGeometry().topLeft()));
  EXPECT_EQ(dialog_.size(), QSize(700, 500));
}

TEST_F(DialogRectTest, OnlyTheFirstRestoreOfTheRunApplies) {
  DialogRect(QRect(100, 90, 400, 390));
  form_->RestoreDialogRect(&dialog_);
  ASSERT_EQ(dialog_.frameGeometry().topLeft(), QPoint(100, 90));
  QDialog other;  // another dialog shares the one flag
  other.move(10, 20);
  form_->RestoreDialogRect(&other);
  form_->RestoreDialogRect(&dialog_);
  EXPECT_EQ(other.pos(), QPoint(10, 20));
  EXPECT_EQ(dialog_.frameGeometry().topLeft(), QPoint(100, 90));
}

TEST_F(DialogRectTest, SaveKeepsLeftTopRightBottomOfTheFrame) {
  dialog_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
  const QRect f = dialog_.frameGeometry();
  form_->SaveDialogRect(&dialog_);
  EXPECT_EQ(form_->dialogRect(), QRect(f.left(), f.top(), f.left() + f.width(), f.top() + f.height()));
  form_->SaveDialogRect(nullptr);
  form_->RestoreDialogRect(nullptr);
  EXPECT_EQ(form_->dialogRect(), QRect(f.left(), f.top(), f.left() + f.width(), f.top() + f.height()));
}

// A settings dialog that counts what the main window asks of it.
class CountingSetup : public SetupPlaceholder {
 public:
  int* shows;
  int* fills;
  CountingSetup(int* s, int* f) : shows(s), fills(f) {}
  bool isVisible() const override { return *shows > 0; }
  void show() override { ++*shows; }
  void setValues(const SetupValues& v) override {
    ++*fills;
    SetupPlaceholder::setValues(v);
  }
};

TEST_F(DialogRectTest, TheSettingsCommandFillsTheDialogEachTimeAndShowsIt) {
  int shows = 0, fills = 0;
  form_->attachSetupDialog(std::make_unique<CountingSetup>(&shows, &fills));
  form_->actions().at("ActionOptionSetup").run(nullptr);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(fills, 1);
  form_->actions().at("ActionOptionSetup").run(nullptr);
  EXPECT_EQ(shows, 2);
  EXPECT_EQ(fills, 2);
}

}  // namespace
}  // namespace yomira
