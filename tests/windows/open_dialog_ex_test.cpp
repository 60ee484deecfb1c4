// The open and save dialogs with their code-page row, driven for real while they run.
#include "windows/controls/open_dialog_ex.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "tests/support/test_support.h"
#include "windows/controls/file_filter.h"

namespace yomira {
namespace {

const QString kFilter = QString::fromUtf8(
    "テキスト文章(*.txt,*.html,*.htm)|*.txt;*.html;*.htm|画像ファイル(*.bmp,*.jpg,*.gif,*.png)|*.bmp;*.jpg;*.jpeg;"
    "*.gif;*.png|WAVファイル(*.wav)|*.wav|すべてのファイル|*");

QStringList Codes() {
  return {QString::fromUtf8("(自動)"), "Shift-JIS", "EUC-JP", "ISO-2022-JP", "UTF7", "UTF8", "UTF8N"};
}

// Runs body on the dialog once it is up; body closes it.
void WhenShown(std::function<void(QFileDialog&)> body) {
  QTimer::singleShot(0, [body] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    body(*d);
  });
}

QComboBox* Codes(QFileDialog& d) { return d.findChild<QComboBox*>(QStringLiteral("FCharCodeComboBox")); }

TEST(QtNameFilters, AppendsThePatternGroupQtReads) {
  const QStringList f = QtNameFilters(kFilter);
  ASSERT_EQ(f.size(), 4);
  EXPECT_EQ(f[0], QString::fromUtf8("テキスト文章(*.txt,*.html,*.htm) (*.txt *.html *.htm)"));
  EXPECT_EQ(f[1], QString::fromUtf8("画像ファイル(*.bmp,*.jpg,*.gif,*.png) (*.bmp *.jpg *.jpeg *.gif *.png)"));
  EXPECT_EQ(f[3], QString::fromUtf8("すべてのファイル (*)"));
  EXPECT_EQ(QtNameFilters(QStringLiteral("A| *.a ; *.b |B")), QStringList({"A (*.a *.b)", "B (*)"}));
  EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
}

TEST(TOpenDialogEx, IndexesOutsideTheListAreNone) {
  TOpenDialogEx d;
  d.setCharCodeIndex(0);
  EXPECT_EQ(d.CharCodeIndex(), -1);  // no list yet
  d.setCharCodeList(Codes());
  for (auto [in, out] : {std::pair{7, -1}, {-5, -1}, {3, 3}, {6, 6}}) {
    d.setCharCodeIndex(in);
    EXPECT_EQ(d.CharCodeIndex(), out) << in;
  }
  d.setCharCodeList(d.CharCodeList());  // itself: kept
  EXPECT_EQ(d.CharCodeList(), Codes());
}

TEST(TOpenDialogEx, TheRowSitsBelowTheTypesAndTabReachesIt) {
  TOpenDialogEx dlg;
  dlg.setCharCodeList(Codes());
  dlg.setCharCodeIndex(7);
  int shows = 0;
  dlg.OnShow = [&](QFileDialog&) { ++shows; };
  WhenShown([&](QFileDialog& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("開く"));
    QWidget* panel = d.findChild<QWidget*>(QStringLiteral("Panel"));
    auto* types = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_TRUE(panel && types);
    EXPECT_EQ(panel->height(), 50);
    EXPECT_GE(panel->mapTo(&d, QPoint(0, 0)).y(), types->mapTo(&d, QPoint(0, types->height())).y());
    EXPECT_EQ(Codes(d)->count(), 7);
    EXPECT_EQ(Codes(d)->currentIndex(), -1);
    auto* label = d.findChild<QLabel*>(QStringLiteral("FStaticText1"));
    EXPECT_EQ(label->text(), QString::fromUtf8("文字コード(&C):"));
    EXPECT_EQ(label->buddy(), Codes(d));
    for (const char* hidden : {"FStaticText2", "FReturnCodeComboBox", "FReadOnlyCheckBox"})
      EXPECT_FALSE(d.findChild<QWidget*>(QString::fromLatin1(hidden))->isVisible()) << hidden;
    QApplication::setActiveWindow(&d);
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Codes(d));
    EXPECT_EQ(shows, 1);
    d.reject();
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.CharCodeIndex(), -1);
}

TEST(TOpenDialogEx, TheChoiceComesBackAfterCancelAndAfterOk) {
  test::TempDir t;
  std::ofstream(t / "a.txt") << "a";
  TOpenDialogEx dlg;
  dlg.setCharCodeList(Codes());
  dlg.setCharCodeIndex(0);
  dlg.Filter = kFilter;
  dlg.InitialDir = QString::fromStdString(t.path().string());
  int closes = 0;
  dlg.OnClose = [&](QFileDialog&) { ++closes; };
  WhenShown([](QFileDialog& d) {
    Codes(d)->setCurrentIndex(3);
    d.reject();
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.CharCodeIndex(), 3);
  EXPECT_EQ(closes, 1);

  const QString a = QString::fromStdString((t / "a.txt").string());
  WhenShown([&](QFileDialog& d) {
    EXPECT_EQ(Codes(d)->currentIndex(), 3);
    Codes(d)->setCurrentIndex(5);
    d.selectFile(a);
    static_cast<QDialog&>(d).accept();  // QFileDialog::accept checks the file
  });
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName, a);
  EXPECT_EQ(dlg.CharCodeIndex(), 5);
  WhenShown([](QFileDialog& d) {
    EXPECT_EQ(Codes(d)->currentIndex(), 5);
    d.reject();
  });
  dlg.Execute();
}

TEST(TOpenDialogEx, TheTextTypeListsTextFilesOfAnyCase) {
  test::TempDir t;
  for (const char* n : {"a.txt", "A.TXT", "b.htm", "c.pdf"}) std::ofstream(t / n) << "x";
  TOpenDialogEx dlg;
  dlg.Filter = kFilter;
  dlg.InitialDir = QString::fromStdString(t.path().string());
  QStringList shown;
  WhenShown([&](QFileDialog& d) {
    auto* list = d.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    auto rows = [list] { return list->model()->rowCount(list->rootIndex()); };
    // The listing of a folder this small reaches the model in one batch: once three rows
    // are there, a wrongly shown fourth file would be there too.
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() >= 3; }, 5000));
    for (int i = 0; i < rows(); ++i) shown << list->model()->index(i, 0, list->rootIndex()).data().toString();
    d.reject();
  });
  dlg.Execute();
  shown.sort();
  EXPECT_EQ(shown, QStringList({"A.TXT", "a.txt", "b.htm"}));
}

TEST(TSaveDialogEx, ShowsTheLineBreakRowButNoReadOnlyBox) {
  TSaveDialogEx dlg;
  dlg.setReturnCodeList({"CR+LF", "LF", "CR"});
  dlg.setReturnCodeIndex(0);
  WhenShown([](QFileDialog& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("名前を付けて保存"));
    EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(d.findChild<QWidget*>(QStringLiteral("FStaticText2"))->isVisible());
    auto* breaks = d.findChild<QComboBox*>(QStringLiteral("FReturnCodeComboBox"));
    EXPECT_TRUE(breaks->isVisible());
    EXPECT_EQ(breaks->currentIndex(), 0);
    EXPECT_FALSE(d.findChild<QCheckBox*>(QStringLiteral("FReadOnlyCheckBox"))->isVisible());
    breaks->setCurrentIndex(2);
    d.reject();
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.ReturnCodeIndex(), 2);
}

}  // namespace
}  // namespace yomira
