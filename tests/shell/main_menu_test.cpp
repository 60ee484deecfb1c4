#include "shell/main_menu.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "ui/key_dispatcher.h"

namespace yomira {
namespace {

// The main list in scope on an active window that dispatches its keys; handlers record.
class MainMenuKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& a : c_.all()) a->handler = [this, name = a->name](QObject*) { ran_.push_back(name); };
    c_.EnableActions(true, false);
    w_.resize(100, 100);
    w_.show();
    QApplication::setActiveWindow(&w_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w_));
    new KeyDispatcher(&w_, c_, {kListMain, kListTool});
  }
  ActionCatalogue c_;
  std::vector<std::string> ran_;
  QWidget w_;
};

TEST(MainMenu, FollowsTheDesignedOrder) {
  ActionCatalogue c;
  QWidget parent;
  MainMenu m = BuildMainMenu(c, &parent);
  QStringList top;
  for (QAction* a : m.menu->actions()) top << (a->isSeparator() ? QStringLiteral("-") : a->text().section('\t', 0, 0));
  EXPECT_EQ(top.join('|').toStdString(),
            "開く(&O)...|&URLを開く...|開き直す(&R)|履歴(&E)|クリップボード(&C)|ほかで開く(&T)|-|一時処理(&M)|"
            "スタイル(&S)|-|ページ移動(&V)|ブック(&B)|-|設定(&P)|ヘルプ(&H)|-|終了(&X)");
  EXPECT_EQ(m.menu->defaultAction(), m.items.at("MenuFileOpen"));
  QAction* version = m.items.at("MenuHelpVersion");
  EXPECT_FALSE(version->isEnabled());
  EXPECT_TRUE(version->text().startsWith(QStringLiteral("Version 1.62\tQt ")));
  EXPECT_EQ(m.submenus.at("MenuFileReOpen")->actions().size(), 8);
  for (QAction* a : m.menu->actions()) EXPECT_TRUE(a->shortcut().isEmpty());
}

TEST_F(MainMenuKeys, GreyedMenuEntriesLeaveTheirKeysWorking) {
  MainMenu menu = BuildMainMenu(c_, &w_);
  menu.menu->popup(QPoint(0, 0));
  QTest::qWait(20);
  menu.menu->hide();
  menu.submenus.at("MenuPage")->setEnabled(false);
  menu.items.at("MenuOptionFullScreen")->setEnabled(false);
  QApplication::setActiveWindow(&w_);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w_));
  QTest::keyClick(&w_, Qt::Key_F);
  QTest::keyClick(&w_, Qt::Key_Left);
  EXPECT_EQ(ran_, (std::vector<std::string>{"ActionOptionFullScreen", "ActionPageNext"}));
}

}  // namespace
}  // namespace yomira
