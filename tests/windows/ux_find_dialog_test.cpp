#include "windows/controls/ux_find_dialog.h"

#include "controls_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace yomira {
namespace {

using UxFindDialogTest = test::ControlsTest;

QStringList ComboItems(const QComboBox* c) {
  QStringList out;
  for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
  return out;
}

TEST_F(UxFindDialogTest, FindPutsTheTextFirstAndKeepsTheCount) {
  struct Case {
    int count;
    QString text;
    QStringList items;
  };
  const Case cases[] = {
      {8, "b", {"b", "a", "c"}},
      {3, "d", {"d", "a", "b"}},
      {0, "d", {"d", "a", "b", "c"}},
      {8, "B", {"B", "a", "b", "c"}},  // already present means exactly equal
      {8, "", {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString() + " / " + std::to_string(c.count));
    UxFindDialog d;
    d.setFindItems({"a", "b", "c"});
    d.setItemsCount(c.count);
    d.setFindText(c.text);
    QSignalSpy find(&d, &UxFindDialog::find);
    d.findNext();
    EXPECT_EQ(d.findItems(), c.items);
    EXPECT_EQ(ComboItems(d.combo()), c.items);
    EXPECT_EQ(find.count(), 1);
  }
  UxFindDialog d;
  d.setItemsCount(3);
  d.setItemsCount(-1);
  EXPECT_EQ(d.itemsCount(), 3);
}

TEST_F(UxFindDialogTest, ShowingFillsTheBoxAndTypingFollowsIt) {
  UxFindDialog d;
  d.setFindItems({"abc", "def"});
  QSignalSpy shown(&d, &UxFindDialog::shown);
  d.execute();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
  EXPECT_EQ(shown.count(), 1);
  EXPECT_EQ(ComboItems(d.combo()), (QStringList{"abc", "def"}));
  EXPECT_EQ(d.combo()->currentText(), "");
  EXPECT_FALSE(d.findButton()->isEnabled());
  EXPECT_TRUE(d.combo()->hasFocus());
  QTest::keyClicks(d.combo(), QStringLiteral("xy"));
  EXPECT_EQ(d.findText(), "xy");
  EXPECT_TRUE(d.findButton()->isEnabled());
  QTest::keyClick(d.combo(), Qt::Key_Return);  // the default button
  EXPECT_EQ(d.findItems(), (QStringList{"xy", "abc", "def"}));
  EXPECT_EQ(d.options(), UxFindDialog::frDown);
}

TEST_F(UxFindDialogTest, ExecutePutsTheFindTextBackIntoTheBox) {
  UxFindDialog d;
  d.combo()->setEditText(QStringLiteral("typed"));
  d.setFindText(QStringLiteral("wanted"));
  d.setExecuteText(QStringLiteral("x"));
  d.execute();
  EXPECT_EQ(d.combo()->currentText(), "wanted");
  EXPECT_TRUE(d.combo()->lineEdit()->hasSelectedText());
}

}  // namespace
}  // namespace yomira
