// The file, clipboard and help actions of the main window, with the real engine, a scripted
// desktop and a recording web hook.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "platform/atomic_file.h"
#include "shell/main_menu.h"
#include "shell/file_actions.h"
#include "shell/help_location.h"
#include "shell/main_window.h"
#include "tests/shell/edit_settings.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"
#include "windows/controls/open_dialog_ex.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

const std::string F = "テキスト文章(*.txt,*.html,*.htm)|*.txt;*.html;*.htm";
const std::string R =
    "|画像ファイル(*.bmp,*.jpg,*.gif,*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png|WAVファイル(*.wav)|*.wav|すべてのファイル|*";

TToolItem Filter(const std::string& caption, const std::string& patterns) {
  TToolItem t;
  t.Caption = caption;
  t.Filter = patterns;
  return t;
}

TEST(BuildOpenFilter, OnePairPerFilterWithPatternsAndNoStrayBars) {
  struct Case {
    ToolItemList filters;
    std::string result;
  } cases[] = {
      {{}, F + R},
      {{Filter("PDF", "*.pdf,*.xdw")}, F + "|PDF(*.pdf,*.xdw)|*.pdf;*.xdw" + R},
      {{Filter("A|B", "*.a,*.b|")}, F + "|AB(*.a,*.b)|*.a;*.b" + R},
      {{Filter("Empty", ""), Filter("X", "*.x")}, F + "|X(*.x)|*.x" + R},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildOpenFilter(c.filters), c.result);
}

class FileActions : public ::testing::Test {
 protected:
  void SetUp() override {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    s.programFolder = (docs_ / "prog").string();
    form_ = std::make_unique<TForm1>(std::move(s));
    form_->sources().OpenUrl = [this](const std::string& url, int rate) {
      urls_.push_back(url + " " + std::to_string(rate));
      return false;
    };
  }
  void TearDown() override { SetAtomicWriteFailHook(nullptr); }

  std::string Doc(const std::string& name, const std::string& bytes) {
    std::ofstream(docs_ / name, std::ios::binary) << bytes;
    return (docs_ / name).string();
  }
  void Open(const std::string& path, int charCode = 0) { form_->OpenFileItem(path, true, -1, charCode, false, true); }
  void Run(const char* action) { form_->actions().at(action).run(nullptr); }
  QAction* Item(const std::string& name) { return form_->mainMenu().items.at(name); }
  // The checked code-page items by caption.
  QStringList Checked() {
    QStringList out;
    for (int i = 2; i <= 7; ++i)
      if (Item("MenuFileReOpen" + std::to_string(i))->isChecked()) out << Item("MenuFileReOpen" + std::to_string(i))->text();
    return out;
  }
  std::string Clip() { return test::ReadFileBytes(home_ / "ClipBord.txt"); }

  test::TempDir home_, docs_;
  test::FakeShellEnv env_;
  std::unique_ptr<TForm1> form_;
  std::vector<std::string> urls_;
};

const std::string kEucJp = "\xA4\xA2\xA4\xA4\xA4\xA6\xA4\xA8\xA4\xAA\n";  // あいうえお

TEST_F(FileActions, TheOpenDialogOpensTheChosenFileInTheChosenCodePage) {
  const std::string e = Doc("e.txt", kEucJp);
  Open(Doc("a.txt", test::sj(u8"本文\n")));
  QString startFile;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    startFile = d->selectedFiles().value(0);
    d->findChild<QComboBox*>(QStringLiteral("FCharCodeComboBox"))->setCurrentIndex(2);
    d->selectFile(QString::fromStdString(e));
    static_cast<QDialog*>(d)->accept();
  });
  Run("ActionFileOpen");
  EXPECT_EQ(startFile.toStdString(), (docs_ / "a.txt").string());  // the current document preset
  EXPECT_EQ(form_->documentCodePage(), 51932);
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("[e.txt] - yomira"));
  EXPECT_EQ(Checked(), QStringList{"EUC-JP"});
  EXPECT_EQ(form_->child<TOpenDialogEx>("OpenDialogExText")->CharCodeIndex(), 2);
}

TEST_F(FileActions, CancelOpensNothingAndAFirstDialogStartsAtHome) {
  QString folder;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    folder = d->directory().absolutePath();
    d->reject();
  });
  Run("ActionFileOpen");
  EXPECT_EQ(folder, QDir::homePath());
  EXPECT_FALSE(form_->IsLaidOut());
  EXPECT_TRUE(form_->recentFiles().empty());
}

TEST_F(FileActions, ReopenTakesTheItemsCodePageAndChecksWhatCameOfIt) {
  // Nothing laid out: the group has checked the clicked item, the handler takes it back.
  Item("MenuFileReOpen6")->trigger();
  EXPECT_TRUE(Checked().isEmpty());

  Open(Doc("e.txt", kEucJp), 2);
  EXPECT_EQ(Checked(), QStringList{"EUC-JP"});
  Item("MenuFileReOpen2")->trigger();  // Shift-JIS
  EXPECT_EQ(form_->documentCodePage(), 932);
  EXPECT_EQ(Checked(), QStringList{"Shift-JIS"});

  // A UTF-16 document has no item: none stays checked.
  Open(Doc("u.txt", std::string("\xFF\xFE\x42\x30\x44\x30\n\0", 8)));
  ASSERT_TRUE(form_->IsLaidOut());
  EXPECT_EQ(form_->documentCodePage(), 1200);
  EXPECT_TRUE(Checked().isEmpty());
}

TEST_F(FileActions, ClearingTheHistoryKeepsTheCurrentDocument) {
  for (size_t n : {8u, 1u, 0u}) {
    test::EditSettings(*form_, [&](SettingsModel& m) {
      m.history.clear();
      for (size_t i = 0; i < n; ++i) {
        auto e = std::make_unique<TFileItem>();
        e->Path = (docs_ / ("f" + std::to_string(i) + ".txt")).string();
        m.history.push_back(std::move(e));
      }
    });
    form_->UpdateRecentMenu();
    Run("ActionOptionRecentClear");
    ASSERT_EQ(form_->recentFiles().size(), std::min<size_t>(n, 1)) << n;
    if (n > 0) {
      EXPECT_EQ(form_->recentFiles()[0]->Path, (docs_ / "f0.txt").string());
    }
    for (int i = 1; i < kRecentMenuCount; ++i) EXPECT_FALSE(form_->mainMenu().recent[i]->isVisible()) << n << " " << i;
  }
}

TEST_F(FileActions, TheAssociatedProgramGetsLocalFilesAndOnlyWebAddresses) {
  const std::string a = Doc("a.txt", "abc\n");
  Run("ActionFileToolEditor");  // nothing laid out
  Open(a);
  Run("ActionFileToolEditor");
  EXPECT_EQ(env_.opened, std::vector<std::string>{a});
  fs::remove(a);
  Run("ActionFileToolEditor");
  EXPECT_EQ(env_.opened.size(), 1u);
  EXPECT_TRUE(env_.messages.empty());

  // The current document becomes a web page.
  auto webEntry = [this](const std::string& href) {
    test::EditSettings(*form_, [&](SettingsModel& m) {
      TFileItem& entry = *m.history[0];
      entry = TFileItem();
      entry.Kind = fkWeb;
      entry.Href = href;
    });
  };
  webEntry("http://h/p");
  env_.okCancelAnswers = {true, false};
  Run("ActionFileToolEditor");
  Run("ActionFileToolEditor");
  EXPECT_EQ(env_.questionCaptions, (std::vector<std::string>{"関連付け実行", "関連付け実行"}));
  EXPECT_EQ(env_.messages, (std::vector<std::string>{"http://h/p", "http://h/p"}));
  EXPECT_EQ(env_.opened, (std::vector<std::string>{a, "http://h/p"}));

  webEntry("file:///etc/passwd");
  Run("ActionFileToolEditor");
  EXPECT_EQ(env_.questionCaptions.size(), 2u);
  EXPECT_EQ(env_.opened.size(), 2u);
}

TEST_F(FileActions, TheFolderGoesToTheDesktopWhileItExists) {
  fs::create_directory(docs_ / "sub");
  const std::string a = (docs_ / "sub" / "a.txt").string();
  std::ofstream(a) << "abc\n";
  Open(a);
  Run("ActionFileToolDirectory");
  EXPECT_EQ(env_.opened, std::vector<std::string>{(docs_ / "sub").string()});
  fs::remove_all(docs_ / "sub");
  Run("ActionFileToolDirectory");
  EXPECT_EQ(env_.opened.size(), 1u);
}

TEST_F(FileActions, HelpOpensTheReadmeAndAsksBeforeTheOnlineHelp) {
  const std::string readme = (docs_ / "prog" / "readme.txt").string();
  fs::create_directories(docs_ / "prog");
  std::ofstream(readme) << "guide\n";
  Run("ActionHelpReadme");
  EXPECT_EQ(env_.opened, std::vector<std::string>{readme});
  EXPECT_TRUE(env_.messages.empty());
  env_.opened.clear();
  const std::string address = form_->HelpUrl();
  EXPECT_EQ(address, OnlineHelpAddress(YOMIRA_HELP_URL, readme));
  env_.okCancelAnswers = {true, false};
  Run("ActionHelpOnlineHelp");
  Run("ActionHelpOnlineHelp");
  EXPECT_EQ(env_.questionCaptions, (std::vector<std::string>{"オンラインヘルプ", "オンラインヘルプ"}));
  EXPECT_EQ(env_.opened, std::vector<std::string>{address});
  QAction* entry = Item("MenuHelpOnlineHelp");
  EXPECT_TRUE(entry->isVisible());
  EXPECT_EQ(entry->text(), QStringLiteral("&online Help\tCtrl+F1"));
}

TEST_F(FileActions, HelpThatCannotBeShownSaysSoWithThePath) {
  const std::string readme = (docs_ / "prog" / "readme.txt").string();
  Run("ActionHelpReadme");  // not there
  EXPECT_TRUE(env_.opened.empty());
  EXPECT_EQ(env_.messages, std::vector<std::string>{"[ " + readme + " ]\nファイルがありません。"});

  fs::create_directories(docs_ / "prog");
  std::ofstream(readme) << "guide\n";
  env_.messages.clear();
  env_.openResult = false;  // a desktop without a program for it
  Run("ActionHelpReadme");
  EXPECT_EQ(env_.messages, std::vector<std::string>{"[ " + readme + " ]\n開くプログラムが見つかりませんでした。"});

  env_.messages.clear();
  env_.okCancelAnswers = {true};
  Run("ActionHelpOnlineHelp");
  ASSERT_EQ(env_.messages.size(), 2u);  // the question, then the failure
  EXPECT_EQ(env_.messages[1], "[ " + form_->HelpUrl() + " ]\n開くプログラムが見つかりませんでした。");
}

TEST(HelpLocation, TheReadmeIsFoundInTheInstalledOrTheBuildTree) {
  test::TempDir root;
  const std::string build = (root / "build").string();
  const std::string bin = (root / "prefix" / "bin").string();
  fs::create_directories(root / "build");
  fs::create_directories(root / "prefix" / "bin");
  fs::create_directories(root / "prefix" / "share" / "yomira");
  std::ofstream((root / "prefix" / "share" / "yomira" / "readme.txt").string()) << "guide\n";
  const std::string installed = (root / "prefix" / "share" / "yomira" / "readme.txt").string();
  struct Case {
    std::string appDir, programFolder, readme;
  } cases[] = {
      {build, "", build + "/readme.txt"},
      {bin, "", installed},
      {bin, "/elsewhere", "/elsewhere/readme.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadmeLocation(c.appDir, c.programFolder), c.readme) << c.appDir;
}

TEST(HelpLocation, TheAddressIsTheReadmeUnlessTheBuildNamesOne) {
  struct Case {
    std::string configured, readme, address;
  } cases[] = {
      {kHelpUrlAtRunTime, "/opt/y/share/yomira/readme.txt", "file:///opt/y/share/yomira/readme.txt"},
      {kHelpUrlAtRunTime, "/opt/読 む/readme.txt", "file:///opt/%E8%AA%AD%20%E3%82%80/readme.txt"},
      {"https://example.invalid/help", "/opt/readme.txt", "https://example.invalid/help"},
      {"", "/opt/readme.txt", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(OnlineHelpAddress(c.configured, c.readme), c.address) << c.readme;
}

TEST_F(FileActions, AnEmptyHelpAddressHasNoEntryAndNoQuestion) {
  test::FakeShellEnv env;
  TForm1::Setup s;
  s.env = &env;
  s.dataFolder = home_.path().string();
  s.helpUrl = "";
  TForm1 f(std::move(s));
  EXPECT_FALSE(f.mainMenu().items.at("MenuHelpOnlineHelp")->isVisible());
  f.actions().at("ActionHelpOnlineHelp").run(nullptr);
  EXPECT_TRUE(env.questionCaptions.empty());
  EXPECT_TRUE(env.opened.empty());
}

// ---------------------------------------------------------------- the clipboard document

TEST_F(FileActions, TheClipboardBecomesADocumentOrAWebAddress) {
  struct Case {
    std::string clipboard;
    std::string url;   // "" when no page is asked for
    std::string file;  // "-" when no file is written
  } cases[] = {
      {"", "", "-"},
      {"http://h/x", "http://h/x 0", "-"},
      {"http://h/x\n", "http://h/x 0", "-"},
      {"http", "", "http\n"},
      {"http://h/x\nabc", "", "http://h/x\nabc\n"},
      {"一行目\r\n二行目", "", "一行目\n二行目\n"},
      {"a\rb", "", "a\nb\n"},
      {std::string("a\0b", 3), "", "a b\n"},
  };
  for (const Case& c : cases) {
    fs::remove(home_ / "ClipBord.txt");
    urls_.clear();
    env_.clipboard = c.clipboard;
    Run("ActionFileClipboardOpen");
    EXPECT_EQ(urls_, c.url.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.url}) << c.clipboard;
    if (c.file == "-") {
      EXPECT_FALSE(fs::exists(home_ / "ClipBord.txt")) << c.clipboard;
    } else {
      EXPECT_EQ(Clip(), c.file) << c.clipboard;
      EXPECT_EQ(form_->windowTitle(), QStringLiteral("[ClipBord.txt] - yomira"));
      EXPECT_EQ(form_->session().CurrentView(), 1);
    }
  }
}

TEST_F(FileActions, CharactersOutsideCp932StayInTheFile) {
  env_.clipboard = "猫😀";
  Run("ActionFileClipboardOpen");
  EXPECT_EQ(Clip(), "猫😀\n");
  ASSERT_EQ(form_->session().state().sourceLines.size(), 1u);
  EXPECT_SJ_EQ(form_->session().state().sourceLines[0], u8"猫?");
}

TEST_F(FileActions, AddingAppendsToWhatTheFileHolds) {
  struct Case {
    const char* name;
    std::optional<std::string> before;
    std::string after;
  } cases[] = {
      {"utf-8", "a\nb\n", "a\nb\nc\n"},
      {"cp932 with CR LF", test::sj(u8"あ\r\n"), "あ\nc\n"},
      {"utf-8 with BOM", "\xEF\xBB\xBF" "a", "a\nc\n"},
      {"missing", std::nullopt, "c\n"},
  };
  for (const Case& c : cases) {
    fs::remove(home_ / "ClipBord.txt");
    if (c.before) std::ofstream(home_ / "ClipBord.txt", std::ios::binary) << *c.before;
    Open(Doc("other.txt", "x\n"));
    env_.clipboard = "c";
    Run("ActionFileClipboardAdd");
    EXPECT_EQ(Clip(), c.after) << c.name;
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("[ClipBord.txt] - yomira")) << c.name;
    EXPECT_EQ(form_->session().CurrentView(), 1) << c.name;
  }
  env_.clipboard = "";
  Run("ActionFileClipboardAdd");
  EXPECT_EQ(Clip(), "c\n");
  EXPECT_TRUE(env_.messages.empty());
}

TEST_F(FileActions, AFileThatCannotBeReadOrWrittenIsSaidAndKept) {
  const std::string kMessage = "クリップボード用のファイルを作成できませんでした。";
  ASSERT_EQ(mkfifo((home_ / "ClipBord.txt").c_str(), 0600), 0);
  env_.clipboard = "c";
  Run("ActionFileClipboardAdd");  // returns at once: a FIFO is never opened for reading
  EXPECT_EQ(env_.messages, std::vector<std::string>{kMessage});
  EXPECT_FALSE(form_->IsLaidOut());
  fs::remove(home_ / "ClipBord.txt");

  for (const char* action : {"ActionFileClipboardOpen", "ActionFileClipboardAdd"}) {
    env_.messages.clear();
    std::ofstream(home_ / "ClipBord.txt", std::ios::binary) << "a\n";
    SetAtomicWriteFailHook([](AtomicWriteStep s) { return s == AtomicWriteStep::Rename; });
    env_.clipboard = "x";
    Run(action);
    SetAtomicWriteFailHook(nullptr);
    EXPECT_EQ(env_.messages, std::vector<std::string>{kMessage}) << action;
    EXPECT_EQ(Clip(), "a\n") << action;
    EXPECT_FALSE(form_->IsLaidOut()) << action;
  }
}

// ---------------------------------------------------------------- the menu's rules

TEST_F(FileActions, TheMenuGreysWhatCannotRunNowAndLeavesTheKeys) {
  const char* names[] = {"MenuFileClipboard", "MenuFileReOpen", "MenuFileToolEdit", "MenuFileToolDirectory",
                         "MenuMomentary", "MenuPage", "MenuOptionFullScreen", "MenuFileRecent",
                         "MenuOptionRecentClear", "MenuStyleLoad", "MenuMomentaryToRuby"};
  auto enabled = [&] {
    QStringList on;
    for (const char* n : names)
      if (Item(n)->isEnabled()) on << n;
    return on;
  };
  auto open = [&] {
    QMenu* m = form_->mainMenu().menu;
    m->popup(QPoint(10, 10));
    m->hide();
  };
  form_->session().state().option.ruby_tag = 1;
  open();
  EXPECT_EQ(enabled(), QStringList{"MenuMomentaryToRuby"});

  Open(Doc("a.txt", "abc\n"));
  form_->session().state().option.ruby_tag = 0;
  env_.clipboard = "t";
  open();
  EXPECT_EQ(enabled(), QStringList({"MenuFileClipboard", "MenuFileReOpen", "MenuFileToolEdit",
                                    "MenuFileToolDirectory", "MenuMomentary", "MenuPage", "MenuOptionFullScreen",
                                    "MenuFileRecent"}));
  // The greyed entries' actions still run by their keys.
  EXPECT_TRUE(form_->actions().at("ActionOptionRecentClear").enabled);

  Open(Doc("b.txt", "abc\n"));
  // A style in the folder.
  ASSERT_TRUE(form_->EnsureStyleFolder());
  std::ofstream(form_->StylePath("s")) << "";
  form_->ScanStyles();
  ASSERT_EQ(form_->styleNames(), std::vector<std::string>{"s"});
  form_->session().state().option.ruby_tag = 1;
  open();
  EXPECT_EQ(enabled().size(), 11);
}

}  // namespace
}  // namespace yomira
