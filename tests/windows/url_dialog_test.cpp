#include "windows/url_dialog.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace yomira {
namespace {

class FakeUrlHost : public UrlDialogHost {
 public:
  std::vector<std::string> HistoryUrls() override { return urls; }
  bool StartUpPanelVisible() override { return startUp; }
  void ShowEasterEgg() override { ++eggs; }

  std::vector<std::string> urls;
  bool startUp = false;
  int eggs = 0;
};

// A dialog shown over an owner with text in its box, as the fetch shows it.
struct Shown {
  Shown(FakeUrlHost& host, const std::string& text) : dialog(&owner, host) {
    owner.setGeometry(100, 100, 400, 300);
    dialog.ComboBoxURL->setEditText(Q(text));
    dialog.show();
  }
  QWidget owner;
  TForm5 dialog;
};

TEST(UrlDialog, OkNeedsFiveBytesThatStartWithHttpOrThePhraseAtStartUp) {
  const struct {
    std::string text;
    bool startUp;
    bool ok;
  } cases[] = {
      {"http", false, false},           {"http:", false, true},
      {"https://x", false, true},       {"HTTP://x", false, false},
      {"", true, false},                {"http", true, false},
      {"quietly & briskly", true, true}, {"quietly & briskly ", true, false},
      {"Quietly & briskly", true, false}, {"quietly & briskly", false, false},
      {"\xE3\x81\x82http", false, false}, {"http\xE3\x81\x82", false, true},  // bytes, not characters
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + (c.startUp ? " (start-up)" : ""));
    FakeUrlHost host;
    host.startUp = c.startUp;
    Shown s(host, "");
    EXPECT_FALSE(s.dialog.ButtonOK->isEnabled());
    s.dialog.ComboBoxURL->setEditText(Q(c.text));
    EXPECT_EQ(s.dialog.ButtonOK->isEnabled(), c.ok);
    EXPECT_EQ(UrlDialogOkEnabled(c.text, c.startUp), c.ok);
  }
}

TEST(UrlDialog, EnterIsOkOnlyWhileOkIsEnabledAndAddsNoItem) {
  FakeUrlHost host;
  host.urls = {"http://a/", "http://b/"};
  {
    Shown s(host, "http");
    QTest::keyClick(s.dialog.ComboBoxURL->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(s.dialog.isVisible());
    EXPECT_EQ(s.dialog.result(), 0);
  }
  {
    Shown s(host, "http://c/");
    QTest::keyClick(s.dialog.ComboBoxURL->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(s.dialog.isVisible());
    EXPECT_EQ(s.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(s.dialog.Text(), "http://c/");
    EXPECT_EQ(s.dialog.ComboBoxURL->count(), 2);
  }
}

TEST(UrlDialog, EscCancels) {
  FakeUrlHost host;
  Shown s(host, "http://c/");
  QTest::keyClick(s.dialog.ComboBoxURL->lineEdit(), Qt::Key_Escape);
  EXPECT_FALSE(s.dialog.isVisible());
  EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
}

TEST(UrlDialog, ThePhraseShowsThePictureAndCancels) {
  FakeUrlHost host;
  host.startUp = true;
  Shown s(host, "quietly & briskly");
  QTest::keyClick(s.dialog.ComboBoxURL->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
  EXPECT_EQ(host.eggs, 1);
}

TEST(UrlDialog, ListsTheHistoryAndKeepsTheProposedText) {
  FakeUrlHost host;
  host.urls = {"http://a/", "https://b/c"};
  Shown s(host, "http://proposed/");
  ASSERT_EQ(s.dialog.ComboBoxURL->count(), 2);
  EXPECT_EQ(s.dialog.ComboBoxURL->itemText(0), QStringLiteral("http://a/"));
  EXPECT_EQ(s.dialog.ComboBoxURL->itemText(1), QStringLiteral("https://b/c"));
  EXPECT_EQ(s.dialog.Text(), "http://proposed/");
  EXPECT_TRUE(s.dialog.ButtonOK->isEnabled());
  EXPECT_EQ(s.dialog.ComboBoxURL->maxVisibleItems(), 16);
}

TEST(UrlDialog, LooksAsDesigned) {
  FakeUrlHost host;
  Shown s(host, "http://");
  EXPECT_EQ(s.dialog.windowTitle(), QStringLiteral("URLを開く"));
  EXPECT_EQ(s.dialog.size(), QSize(385, 65));
  EXPECT_EQ(s.dialog.minimumSize(), s.dialog.maximumSize());
  EXPECT_EQ(s.dialog.ComboBoxURL->geometry(), QRect(8, 8, 369, 22));
  EXPECT_EQ(s.dialog.ButtonOK->geometry(), QRect(214, 36, 75, 25));
  EXPECT_EQ(s.dialog.ButtonCancel->geometry(), QRect(302, 36, 75, 25));
  EXPECT_TRUE(s.dialog.ButtonOK->isDefault());
  EXPECT_EQ(s.dialog.ComboBoxURL->nextInFocusChain()->parentWidget() == s.dialog.ComboBoxURL
                ? s.dialog.ComboBoxURL->nextInFocusChain()->nextInFocusChain()
                : s.dialog.ComboBoxURL->nextInFocusChain(),
            s.dialog.ButtonOK);
}

TEST(UrlDialog, RunGivesTheTextOnOkAndNothingOnCancel) {
  FakeUrlHost host;
  QWidget owner;
  auto answer = [](bool ok, const QString& text) {
    QTimer::singleShot(0, [ok, text] {
      auto* d = qobject_cast<TForm5*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      d->ComboBoxURL->setEditText(text);
      (ok ? d->ButtonOK : d->ButtonCancel)->click();
    });
  };
  answer(true, QStringLiteral("http://x/y"));
  EXPECT_EQ(TForm5::Run(&owner, host, "http://"), std::optional<std::string>("http://x/y"));
  answer(false, QStringLiteral("http://x/y"));
  EXPECT_EQ(TForm5::Run(&owner, host, "http://"), std::nullopt);
  EXPECT_TRUE(owner.findChildren<TForm5*>().isEmpty());
}

}  // namespace
}  // namespace yomira
