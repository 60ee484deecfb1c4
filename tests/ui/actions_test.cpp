#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/ini.h"
#include "tests/shell/fake_shell_env.h"
#include "ui/action.h"
#include "ui/guard.h"
#include "ui/key_dispatcher.h"
#include "ui/menu_proxy.h"

namespace yomira {
namespace {

TEST(ActionCatalogue, HoldsTheMainAndBookListsOfTheKeyTable) {
  ActionCatalogue c;
  EXPECT_EQ(c.list(kListMain).size(), 56u);
  EXPECT_EQ(c.list(kListBook).size(), 25u);
  for (const auto& a : c.all()) EXPECT_FALSE(a->caption.empty()) << a->name;
  const Action& open = c.at("ActionFileOpen");
  EXPECT_EQ(open.tag, 7);
  EXPECT_EQ(open.code, 16463);
  EXPECT_EQ(open.caption, "開く(&O)...");
  EXPECT_EQ(open.category, "ファイル");
  EXPECT_EQ(c.at("ActionPageBack4").code, 8224);
  EXPECT_EQ(c.at("ActionMainNextPage").listTag, kListBook);
  EXPECT_THROW(c.at("NoSuchAction"), std::out_of_range);
}

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& a : c_.all()) a->handler = [this, name = a->name](QObject*) { ran_.push_back(name); };
    c_.EnableActions(true, false);
  }
  ActionCatalogue c_;
  std::vector<std::string> ran_;
};

TEST_F(Dispatch, FirstEnabledActionInScopeWins) {
  // Ctrl+E: ActionFileToolEditor (main) and ActionBookEdit (book).
  const std::vector<int> mainLists{kListMain, kListTool};
  Action* hit = c_.match(16453, mainLists);
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->name, "ActionFileToolEditor");

  // Two main actions with one code: the first in order, once.
  c_.at("ActionPageNext2").code = 37;
  EXPECT_EQ(c_.match(37, mainLists)->name, "ActionPageNext");
  c_.at("ActionPageNext").enabled = false;
  EXPECT_EQ(c_.match(37, mainLists)->name, "ActionPageNext2");

  // Out of scope: nothing.
  c_.EnableActions(false, false);
  EXPECT_EQ(c_.match(37, mainLists), nullptr);
  c_.EnableActions(false, true);
  EXPECT_EQ(c_.match(37, {kListBook})->name, "ActionMainNextPage");
  EXPECT_EQ(c_.match(0, mainLists), nullptr);
}

TEST_F(Dispatch, KeyZeroGivesEveryStyleActionItsOwnCodeAndTheFirstRuns) {
  IniDoc keys;
  keys.WriteInteger("MainHotKey", "Key0", 16456);  // Ctrl+H
  ShortcutMap m = c_.shortcuts();
  LoadKeys(keys, m);
  c_.applyShortcuts(m);
  EXPECT_EQ(c_.at("ActionStyleTextReviseReWrapCompel").code, 16456);
  QWidget w;
  KeyDispatcher d(&w, c_, {kListMain, kListTool});
  EXPECT_TRUE(d.dispatch(16456, &w));
  EXPECT_EQ(ran_, std::vector<std::string>{"ActionStyleTextReviseUseAozora"});
}

TEST_F(Dispatch, ToolActionsComeAfterTheMainListAndGo) {
  Action& tool = c_.addTool("ActionTools0", "tool", 16456);
  tool.handler = [this](QObject*) { ran_.push_back("tool"); };
  EXPECT_EQ(c_.match(16456, {kListMain, kListTool})->name, "ActionTools0");
  c_.EnableActions(false, false);
  EXPECT_EQ(c_.match(16456, {kListMain, kListTool}), nullptr);
  c_.removeTools();
  EXPECT_EQ(c_.find("ActionTools0"), nullptr);
}

// Real key events through the window's shortcuts.
class Keys : public Dispatch {
 protected:
  void SetUp() override {
    Dispatch::SetUp();
    w_.resize(100, 100);
    w_.show();
    QApplication::setActiveWindow(&w_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w_));
    d_ = new KeyDispatcher(&w_, c_, {kListMain, kListTool});
  }
  QWidget w_;
  KeyDispatcher* d_ = nullptr;
};

TEST_F(Keys, ReturnAndKeypadEnterAreCode13AndShiftSpaceIs8224) {
  QTest::keyClick(&w_, Qt::Key_Return);
  QTest::keyClick(&w_, Qt::Key_Enter, Qt::KeypadModifier);
  // X11 reports the keypad Enter without the keypad modifier.
  QTest::keyClick(&w_, Qt::Key_Enter);
  QTest::keyClick(&w_, Qt::Key_Space, Qt::ShiftModifier);
  QTest::keyClick(&w_, Qt::Key_Left);
  EXPECT_EQ(ran_, (std::vector<std::string>{"ActionPageNext5", "ActionPageNext5", "ActionPageNext5", "ActionPageBack4",
                                            "ActionPageNext"}));
}

TEST_F(Keys, TwoActionsWithOneKeyStillFire) {
  c_.at("ActionPageNext2").code = 37;  // Left twice: Qt alone would fire neither
  d_->rebuild();
  QTest::keyClick(&w_, Qt::Key_Left);
  EXPECT_EQ(ran_, std::vector<std::string>{"ActionPageNext"});
}

TEST(MenuProxy, ShowsCaptionShortcutAndTheCheckTheHandlerLeft) {
  ActionCatalogue c;
  Action& a = c.at("ActionOptionCreateFileOpen");
  int runs = 0;
  a.handler = [&](QObject*) { ++runs; };  // keeps the check as it is
  QWidget parent;
  MenuProxy p(a, &parent);
  EXPECT_TRUE(p.isCheckable());
  EXPECT_FALSE(p.isChecked());
  p.trigger();
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(p.isChecked());
  a.handler = [&](QObject*) { a.checked = !a.checked; };
  p.trigger();
  EXPECT_TRUE(p.isChecked());

  MenuProxy next(c.at("ActionPageNext"), &parent);
  EXPECT_EQ(next.text(), QString::fromUtf8("次のページ(&L)\tLeft"));
  EXPECT_TRUE(next.shortcut().isEmpty());
}

TEST(Guard, AThrowingHandlerIsShownAndTheNextEventRuns) {
  test::FakeShellEnv env;
  SetGuardReporter([&](const std::string& m) { env.showMessage(nullptr, m); });
  ActionCatalogue c;
  c.EnableActions(true, false);
  c.at("ActionPageNext").handler = [](QObject*) { throw std::runtime_error("broken handler"); };
  int later = 0;
  c.at("ActionPageBack").handler = [&](QObject*) { ++later; };
  c.at("ActionPageHome").handler = [](QObject*) { throw 42; };
  QWidget w;
  KeyDispatcher d(&w, c, {kListMain});
  EXPECT_TRUE(d.dispatch(37, &w));
  EXPECT_TRUE(d.dispatch(36, &w));
  EXPECT_TRUE(d.dispatch(39, &w));
  EXPECT_EQ(env.messages, (std::vector<std::string>{"broken handler", kUnknownErrorMessage}));
  EXPECT_EQ(later, 1);
  SetGuardReporter(nullptr);
}

}  // namespace
}  // namespace yomira
