// Tools and filters in the main window: the actions and menu entries made at run time,
// their keys, launching a tool on the shown document, and reopening it through a filter
// from the menu; the expansion values from the view's first display line; a real launch.
#include <sys/stat.h>
#include <unistd.h>

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/key_dispatcher.h"
#include "ui/menu_proxy.h"
#include "shell/main_window.h"
#include "shell/qt_shell_env.h"
#include "shell/tools_filters.h"
#include "tests/shell/edit_settings.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kCtrlShiftT = 24660;
constexpr uint16_t kCtrlE = 16453;

std::string Lines(int n) {
  std::u8string text;
  for (int i = 1; i <= n; ++i) {
    const std::string num = std::to_string(i);
    text += u8"第" + std::u8string(num.begin(), num.end()) + u8"行　あいうえおかきくけこ\n";
  }
  return test::sj(text);
}

TToolItem Tool(const std::string& caption, const std::string& program, const std::string& param,
               uint16_t shortcut = 0) {
  TToolItem t;
  t.Caption = caption;
  t.FilePath = program;
  t.Param = param;
  t.ShortCut = shortcut;
  return t;
}

class ToolsFilters : public ::testing::Test {
 protected:
  void SetUp() override {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    f_ = std::make_unique<TForm1>(std::move(s));
    f_->session().state().option.page_ani = 0;
    f_->EnableActions(true, false);
  }

  QMenu* Menu(const char* name) { return f_->mainMenu().submenus.at(name); }
  QAction* Item(const std::string& name) { return f_->mainMenu().items.at(name); }
  // The entries of a submenu from its first separator on, by object name ("-" a separator).
  std::vector<std::string> EntriesAfterSeparator(const char* menu) {
    std::vector<std::string> out;
    bool after = false;
    for (QAction* a : Menu(menu)->actions()) {
      if (a->isSeparator()) {
        after = true;
        continue;
      }
      if (after) out.push_back(a->objectName().toStdString());
    }
    return out;
  }

  // A document of n lines shown at view.
  std::string Show(int n, int view = 1, const std::string& name = "doc.txt") {
    const fs::path p = home_ / name;
    std::ofstream(p, std::ios::binary) << Lines(n);
    f_->OpenFileItem(p.string(), true, -1, 0, false, true);
    EXPECT_TRUE(f_->IsLaidOut());
    if (view != 1) f_->sliderShowView(view);
    return p.string();
  }

  // The lists as the settings file gives them.
  void SetTools(ToolItemList tools) {
    test::EditSettings(*f_, [&](SettingsModel& m) { m.tools = std::move(tools); });
  }
  void SetFilters(ToolItemList filters) {
    test::EditSettings(*f_, [&](SettingsModel& m) { m.filters = std::move(filters); });
  }

  test::TempDir home_;
  test::FakeShellEnv env_;
  std::unique_ptr<TForm1> f_;
};

TEST_F(ToolsFilters, ToolActionsFollowTheListAndAreNeverDestroyed) {
  SetTools({Tool("記録", "/usr/bin/a", "%F", kCtrlShiftT), Tool("二つ目", "/usr/bin/b", "")});
  f_->BuildToolActions();
  EXPECT_EQ(EntriesAfterSeparator("MenuFileTool"), (std::vector<std::string>{"MenuTools0", "MenuTools1", "MenuTools2"}));
  Action* spare = f_->actions().find("ActionTools2");
  ASSERT_NE(spare, nullptr);
  EXPECT_EQ(Item("MenuTools0")->text().toStdString(), "記録\tCtrl+Shift+T");
  EXPECT_EQ(Item("MenuTools1")->text().toStdString(), "二つ目");
  for (const char* name : {"MenuTools0", "MenuTools1"}) {
    EXPECT_TRUE(Item(name)->isVisible()) << name;
    EXPECT_TRUE(Item(name)->isEnabled()) << name;
  }
  EXPECT_FALSE(Item("MenuTools2")->isVisible());
  EXPECT_FALSE(Item("MenuTools2")->isEnabled());
  EXPECT_FALSE(spare->enabled);

  // Emptied: the same three, all hidden.
  SetTools({});
  f_->BuildToolActions();
  EXPECT_EQ(f_->actions().find("ActionTools2"), spare);
  EXPECT_EQ(f_->actions().find("ActionTools3"), nullptr);
  for (const char* name : {"MenuTools0", "MenuTools1", "MenuTools2"}) {
    EXPECT_FALSE(Item(name)->isVisible()) << name;
    EXPECT_FALSE(f_->actions().find(std::string("ActionTools") + name[9])->enabled) << name;
  }
  // Nothing answers the old key any more.
  EXPECT_EQ(f_->actions().match(kCtrlShiftT, {kListMain, kListTool}), nullptr);

  // Four: five actions, tagged by their place, the last one the spare.
  SetTools(ToolItemList(4, Tool("t", "/usr/bin/t", "")));
  f_->BuildToolActions();
  for (int i = 0; i <= 4; ++i) {
    const Action* a = f_->actions().find("ActionTools" + std::to_string(i));
    ASSERT_NE(a, nullptr) << i;
    EXPECT_EQ(a->tag, i);
    EXPECT_EQ(a->listTag, kListTool);
    EXPECT_EQ(Item("MenuTools" + std::to_string(i))->isVisible(), i < 4) << i;
  }
  EXPECT_EQ(f_->actions().find("ActionTools5"), nullptr);
  EXPECT_EQ(EntriesAfterSeparator("MenuFileTool").size(), 5u);
  // The tools stay out of the key file.
  EXPECT_EQ(f_->actions().shortcuts().count("ActionTools0"), 0u);
}

TEST_F(ToolsFilters, FilterEntriesAreRadioItemsThatShowTheActiveFilter) {
  Show(20);
  SetFilters({Tool("展開", "/bin/cat", "%F"), Tool("逆順", "/usr/bin/tac", "%F")});
  struct Case {
    int choose;  // the filter run before the menu is rebuilt; -1 none
    int active;
    std::vector<bool> checked;
  };
  // None yet, the second, the second again (explicitly none), the first.
  for (const Case& c : {Case{-1, -1, {false, false, false}}, Case{1, 1, {false, true, false}},
                        Case{1, -2, {false, false, false}}, Case{0, 0, {true, false, false}}}) {
    if (c.choose >= 0) f_->FilterActionExecute(c.choose);
    ASSERT_EQ(f_->activeFilter(), c.active);
    f_->BuildFilterActions();
    for (int i = 0; i < 3; ++i) {
      QAction* item = Item("MenuFilters" + std::to_string(i));
      EXPECT_TRUE(item->isCheckable());
      EXPECT_EQ(item->isChecked(), c.checked[static_cast<size_t>(i)]) << "active " << c.active << " item " << i;
    }
  }
  QAction* first = Item("MenuFilters0");
  ASSERT_NE(first->actionGroup(), nullptr);
  EXPECT_EQ(first->actionGroup(), Item("MenuFilters1")->actionGroup());
  EXPECT_EQ(first->actionGroup()->exclusionPolicy(), QActionGroup::ExclusionPolicy::ExclusiveOptional);
  const std::vector<std::string> entries = EntriesAfterSeparator("MenuMomentary");
  EXPECT_EQ(entries, (std::vector<std::string>{"MenuFilters0", "MenuFilters1", "MenuFilters2"}));
  EXPECT_FALSE(Item("MenuFilters2")->isVisible());
}

TEST_F(ToolsFilters, ToolKeysActInTheMainWindowAfterTheMainList) {
  const std::string doc = Show(40);
  SetTools({Tool("記録", "/usr/bin/prog", "%F", kCtrlShiftT), Tool("e", "/usr/bin/e", "", kCtrlE)});
  f_->BuildToolActions();
  EXPECT_TRUE(f_->keys().dispatch(kCtrlShiftT, f_.get()));
  EXPECT_EQ(env_.launched, std::vector<std::string>{"launch /usr/bin/prog " + doc});
  // Ctrl+E is a main-list key: the main list comes first.
  EXPECT_EQ(f_->actions().match(kCtrlE, {kListMain, kListTool})->name, "ActionFileToolEditor");
  // Deactivated, the window's keys reach no tool.
  f_->EnableActions(false, false);
  env_.launched.clear();
  f_->keys().dispatch(kCtrlShiftT, f_.get());
  EXPECT_TRUE(env_.launched.empty());
}

TEST_F(ToolsFilters, LaunchingATool) {
  const fs::path plain = home_ / "notes.txt";
  std::ofstream(plain) << "x";
  const std::string doc = Show(160, 3);  // view 3 begins with source line index 32
  const std::string folder = home_.path().string() + "/";
  struct Case {
    const char* name;
    TToolItem tool;
    int tag;
    std::vector<std::string> launched;
    std::vector<std::string> opened;
  };
  const std::vector<Case> cases = {
      {"program with the document and its line", Tool("", "/usr/bin/prog", "\"%F\" -n%L"), 0,
       {"launch /usr/bin/prog " + doc + " -n33"}, {}},
      {"every placeholder", Tool("", "prog", "%F %D %U %L %C %N"), 0,
       {"launch prog " + doc + " " + folder + " " + doc + " 33 33 1"}, {}},
      {"a document named as the program opens with its own", Tool("", plain.string(), "%F"), 0, {}, {plain.string()}},
      {"no program: one existing path", Tool("", "", "%F"), 0, {}, {doc}},
      {"no program: two arguments do nothing", Tool("", "", "%F %L"), 0, {}, {}},
      {"no program: an unknown scheme does nothing", Tool("", "", "foo:bar"), 0, {}, {}},
      {"no program: a missing path does nothing", Tool("", "", "/nonexistent/x.txt"), 0, {}, {}},
      {"no program: a mail address", Tool("", "", "mailto:a@example.org"), 0, {}, {"mailto:a@example.org"}},
      {"a tag past the list", Tool("", "/usr/bin/prog", "%F"), 5, {}, {}},
      {"a negative tag", Tool("", "/usr/bin/prog", "%F"), -1, {}, {}},
  };
  for (const Case& c : cases) {
    env_.launched.clear();
    env_.opened.clear();
    SetTools({c.tool, Tool("", "/usr/bin/other", "")});
    f_->ToolActionExecute(c.tag);
    EXPECT_EQ(env_.launched, c.launched) << c.name;
    EXPECT_EQ(env_.opened, c.opened) << c.name;
  }
}

TEST_F(ToolsFilters, AToolOnAWebDocumentGetsItsUrl) {
  Show(20);
  const std::string cache = f_->recentFiles().front()->Path;
  test::EditSettings(*f_, [](SettingsModel& m) {
    m.history.front()->Kind = fkWeb;
    m.history.front()->Href = "https://example.org/a%20b.html";
  });
  SetTools({Tool("", "", "%U"), Tool("", "/usr/bin/dump", "%U %F %D")});
  f_->ToolActionExecute(0);
  EXPECT_EQ(env_.opened, std::vector<std::string>{"https://example.org/a%20b.html"});
  f_->ToolActionExecute(1);
  EXPECT_EQ(env_.launched, std::vector<std::string>{"launch /usr/bin/dump https://example.org/a%20b.html " + cache +
                                                    " " + home_.path().string() + "/"});
}

TEST_F(ToolsFilters, WithoutAShownDocumentThePlaceholdersStay) {
  SetTools({Tool("", "/usr/bin/prog", "\"%F\" %U"), Tool("", "", "%U")});
  f_->ToolActionExecute(0);
  f_->ToolActionExecute(1);  // "%U" is no URL nor path
  EXPECT_EQ(env_.launched, std::vector<std::string>{"launch /usr/bin/prog %F %U"});
  EXPECT_TRUE(env_.opened.empty());
}

TEST_F(ToolsFilters, ChoosingAFilterInTheMenuReopensTheDocumentAtItsPlace) {
  const std::string doc = Show(160, 3);
  const std::vector<std::string> plain = f_->session().state().sourceLines;
  SetFilters({Tool("展開", "/bin/cat", "%F"), Tool("逆順", "/usr/bin/tac", "%F")});
  f_->BuildFilterActions();
  ASSERT_EQ(f_->activeFilter(), -1);

  Item("MenuFilters1")->trigger();
  EXPECT_EQ(f_->activeFilter(), 1);
  EXPECT_EQ(f_->session().state().sourceLines, std::vector<std::string>(plain.rbegin(), plain.rend()));
  EXPECT_EQ(f_->session().CurrentView(), 3);  // the position is kept
  EXPECT_TRUE(Item("MenuFilters1")->isChecked());
  EXPECT_FALSE(Item("MenuFilters0")->isChecked());

  // The checked filter again: read without a filter.
  Item("MenuFilters1")->trigger();
  EXPECT_EQ(f_->activeFilter(), -2);
  EXPECT_EQ(f_->session().state().sourceLines, plain);
  EXPECT_EQ(f_->session().CurrentView(), 3);
  for (const char* name : {"MenuFilters0", "MenuFilters1", "MenuFilters2"}) EXPECT_FALSE(Item(name)->isChecked()) << name;
  EXPECT_TRUE(env_.messages.empty());
}

TEST_F(ToolsFilters, AFilterChosenForAVanishedFileChangesNothing) {
  const std::string doc = Show(40);
  SetFilters({Tool("a", "/bin/cat", "%F"), Tool("b", "/usr/bin/tac", "%F")});
  f_->BuildFilterActions();
  Item("MenuFilters1")->trigger();
  ASSERT_EQ(f_->activeFilter(), 1);
  const std::vector<std::string> lines = f_->session().state().sourceLines;
  fs::remove(doc);
  // Qt moves the radio check on the click; the menu must come back to the active filter.
  Item("MenuFilters0")->trigger();
  EXPECT_EQ(env_.messages, std::vector<std::string>{"[ " + doc + " ]\nファイルがありません。"});
  EXPECT_EQ(f_->activeFilter(), 1);
  EXPECT_EQ(f_->session().state().sourceLines, lines);
  EXPECT_TRUE(Item("MenuFilters1")->isChecked());
  EXPECT_FALSE(Item("MenuFilters0")->isChecked());
}

TEST_F(ToolsFilters, AFilterThatFailsLeavesTheCheckWhereItWas) {
  Show(40);
  SetFilters({Tool("missing", "/nonexistent/conv", "%F")});
  f_->BuildFilterActions();
  Item("MenuFilters0")->trigger();
  EXPECT_EQ(env_.messages.front(), "Error CreateProcess");
  EXPECT_EQ(f_->activeFilter(), -1);
  EXPECT_FALSE(Item("MenuFilters0")->isChecked());
}

TEST_F(ToolsFilters, FiltersComeFromTheSettingsFileAndOpenByExtension) {
  f_.reset();
  std::ofstream(home_ / "yomira.ini") << "[Filter0]\nCaption=逆順\nFilePath=/usr/bin/tac\nParam=%F\nShortCut=0\n"
                                          "Filter=*.rev\n[Tools0]\nCaption=記録\nFilePath=/usr/bin/x\nParam=%F\n"
                                          "ShortCut=24660\n";
  SetUp();
  EXPECT_EQ(Item("MenuTools0")->text().toStdString(), "記録\tCtrl+Shift+T");
  EXPECT_EQ(Item("MenuFilters0")->text().toStdString(), "逆順");
  const fs::path p = home_ / "d.rev";
  std::ofstream(p) << "one\ntwo\n";
  f_->OpenFileItem(p.string(), true, -1, 0, false, true);
  EXPECT_EQ(f_->session().state().sourceLines, (std::vector<std::string>{"two", "one"}));
  EXPECT_EQ(f_->activeFilter(), 0);
  EXPECT_TRUE(Item("MenuFilters0")->isChecked());
}

TEST_F(ToolsFilters, AnHtmlPageThroughAFilterListsThePageLinks) {
  const fs::path page = home_ / "p.html";
  std::ofstream(page) << "<html><body><a href=\"one.html\">1</a>\n<a href=\"two.html\">2</a></body></html>\n";
  TToolItem strip = Tool("strip", "/bin/sed", "-e \"s/<[^>]*>//g\" %F");
  strip.Filter = "*.html";
  SetFilters({strip});
  f_->session().state().option.ParseHTML = 0;  // a filter is chosen by extension only when the page is not parsed
  f_->OpenFileItem(page.string(), true, -1, 0, false, true);
  ASSERT_TRUE(f_->IsLaidOut());
  EXPECT_EQ(f_->activeFilter(), 0);
  EXPECT_EQ(f_->session().state().sourceLines, (std::vector<std::string>{"1", "2"}));
  ASSERT_EQ(f_->pageLinks().size(), 2u);
  EXPECT_EQ(f_->pageLinks()[0]->GetLocation(), (home_ / "one.html").string());
  EXPECT_EQ(f_->pageLinks()[1]->GetLocation(), (home_ / "two.html").string());
}

// The values from the view's first display line.
TEST(ToolPlaceholders, LineElementLineAndCharacterPosition) {
  SourceLines sources(10, "x");
  std::string twenty;
  for (int i = 0; i < 20; ++i) twenty += test::sj(u8"あ");
  sources[7] = twenty + test::sj(u8"猫");
  sources[3] = "ab" + test::sj(u8"あいう");
  auto line = [](int sourceLine, std::vector<TYomiraObject> elements) {
    TYomiraLine l;
    l.source_line = sourceLine;
    l.elements = std::move(elements);
    return l;
  };
  DisplayLines lines = {
      line(7, {{.kind = kText, .first = 7, .last = 7, .column = 41, .length = 2}}),
      line(3, {{.kind = kText, .first = 3, .last = 3, .column = 5, .length = 4}}),
      line(5, {}),
      line(9, {{.kind = kText, .first = 8, .last = 9, .column = 1, .length = 1}}),  // carried over from line 8
      line(2, {{.kind = kText, .first = 99, .last = 99, .column = 3, .length = 1}}),  // past the source lines
  };
  struct Case {
    const char* name;
    const DisplayLines* lines;
    int index;
    std::string expected;  // %L %C %N
  };
  const DisplayLines none;
  const std::vector<Case> cases = {
      {"after 20 double-byte characters", &lines, 0, "8 8 21"},
      {"after ab and one double-byte character", &lines, 1, "4 4 4"},
      {"a line without elements", &lines, 2, "6 1 1"},
      {"the element starts on an earlier line", &lines, 3, "10 9 1"},
      {"the element's line is not there", &lines, 4, "3 100 1"},
      {"a page past the end", &lines, 5, "1 1 1"},
      {"a negative index", &lines, -1, "1 1 1"},
      {"a document without display lines", &none, 0, "1 1 1"},
  };
  for (const Case& c : cases) {
    const PlaceholderValues v = ToolPlaceholderValues("/t/a b.txt", "/t/a b.txt", *c.lines, sources, c.index);
    EXPECT_EQ(v.at('L') + " " + v.at('C') + " " + v.at('N'), c.expected) << c.name;
    EXPECT_EQ(v.at('F'), "/t/a b.txt");
    EXPECT_EQ(v.at('D'), "/t/");
  }
}

TEST(ToolPlaceholders, OnlyListedSchemesCountAsUrls) {
  for (const char* yes : {"http://a", "HTTPS://a/b", "ftp://h/f", "mailto:x@y", "file:///etc/hosts"})
    EXPECT_TRUE(IsOpenableUrl(yes)) << yes;
  for (const char* no : {"foo:bar", "javascript:alert(1)", "http:", "/t/a.txt", "", "http//a", "%U"})
    EXPECT_FALSE(IsOpenableUrl(no)) << no;
}

// A real start through the desktop layer: one argument per value, no shell.
TEST(QtShellEnvLaunch, ArgumentsArriveExactlyAndNothingIsInterpreted) {
  test::TempDir dir;
  const fs::path out = dir / "dump.txt";
  ::setenv("ARGV_DUMP_OUT", out.c_str(), 1);
  const std::string cwd = fs::current_path();
  fs::current_path(dir.path());
  const std::string path = (dir / "a \"q\" $(touch PWNED) b.txt").string();
  QtShellEnv env;
  const bool started = env.launchProgram(ARGV_DUMP_PATH, {path, "-n3", ""});
  fs::current_path(cwd);
  ASSERT_TRUE(started);
  for (int i = 0; i < 200 && !fs::exists(out); ++i) QThread::msleep(50);
  ASSERT_TRUE(fs::exists(out));
  EXPECT_EQ(test::ReadFileBytes(out), path + "\n-n3\n\n");
  EXPECT_FALSE(fs::exists(dir / "PWNED"));
  EXPECT_FALSE(env.launchProgram("/nonexistent/prog", {}));
  ::unsetenv("ARGV_DUMP_OUT");
}

}  // namespace
}  // namespace yomira
