// The settings dialog over a recording host (offscreen).
#include "windows/settings/settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "engine/core/option_defaults.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"
#include "windows/controls/hint_window.h"
#include "windows/controls/prop_grid/prop_grid.h"
#include "windows/controls/ux_spin_edit.h"
#include "windows/controls/ux_static_text.h"
#include "windows/settings/colour_combo.h"
#include "windows/settings/settings_dialog_host.h"

namespace yomira {
namespace {

class FakeHost : public SetupDialogHost {
 public:
  bool filling = false;
  TYomiraOption live = DefaultOptions();
  std::vector<std::string> calls;
  bool reopens = true;
  bool applyChangesColour = false;
  std::string file = "/docs/p160.txt";
  std::vector<std::string> styles{"day", "Night"};
  QPoint pos{209, 152};
  test::FakeShellEnv shell;

  bool fillingDialog() const override { return filling; }
  const TYomiraOption& liveOption() const override { return live; }
  void applySetupDialog() override {
    calls.push_back("apply");
    if (applyChangesColour) live.text_color = 0xFF;
  }
  void showOptionInDialog(const TYomiraOption&, const std::string* name) override {
    calls.push_back(name ? "show(" + *name + ")" : "show");
  }
  void updateSetupDependentControls() override {}
  bool reopenCurrent(bool force, int filter) override {
    calls.push_back("reopen(" + std::to_string(force) + "," + std::to_string(filter) + ")");
    return reopens;
  }
  void relayout(bool g, bool r) override { calls.push_back("relayout(" + std::to_string(g) + "," + std::to_string(r) + ")"); }
  void setMomentaryToggles(bool, bool, bool) override { calls.push_back("toggles"); }
  std::string currentFileName() const override { return file; }
  void scanFileList(const std::string& folder) override { calls.push_back("scan(" + folder + ")"); }
  std::vector<std::string> styleNames() const override { return styles; }
  bool styleExists(const std::string& name) const override { return name == "Night"; }
  bool loadStyle(const std::string& name, TYomiraOption& record) override {
    calls.push_back("load(" + name + ")");
    record = live;
    return true;
  }
  bool saveStyle(const std::string& name, const SetupValues&) override {
    calls.push_back("save(" + name + ")");
    styles.push_back(name);
    return true;
  }
  QPoint& optionWindowPos() override { return pos; }
  void restoreDialogRect(QWidget*) override {}
  void saveDialogRect(QWidget*) override {}
  ShellEnv& env() override { return shell; }
};

struct DialogFixture {
  DialogFixture() : dialog(host, nullptr) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    host.calls.clear();
  }
  std::string flags() const {
    std::string f;
    if (dialog.NeedRelayout) f += "relayout ";
    if (dialog.NeedReformat) f += "reformat ";
    if (dialog.NeedReload) f += "reload ";
    if (dialog.NeedFileListScan) f += "filelist ";
    return f;
  }
  FakeHost host;
  TForm2 dialog;
};

TEST(SettingsDialog, WindowShowsAtItsPlaceWithTheStyleListFocused) {
  DialogFixture f;
  // The layout's size is the least; the window grows where its texts need it, and the user
  // cannot resize it.
  EXPECT_GE(f.dialog.width(), 281);
  EXPECT_GE(f.dialog.height(), 463);
  EXPECT_EQ(f.dialog.minimumSize(), f.dialog.maximumSize());
  EXPECT_EQ(f.dialog.pos(), QPoint(209, 152));
  EXPECT_TRUE(f.dialog.ComboBoxStyle->hasFocus());
  EXPECT_EQ(f.dialog.ComboBoxStyle->count(), 2);
  EXPECT_EQ(f.dialog.spin("SpinEditFontSize")->minValue(), 6);
  EXPECT_EQ(f.dialog.spin("SpinEditColumnMargin")->minValue(), -64);
}

TEST(SettingsDialog, EachControlSetsItsFlagsOnlyOutsideAFill) {
  struct Case {
    const char* what;
    std::function<void(TForm2&)> change;
    const char* flags;
  };
  auto spinTo = [](const char* name, int v) {
    return [name, v](TForm2& d) { d.spin(name)->setText(QString::number(v)); };
  };
  auto click = [](const char* name) { return [name](TForm2& d) { d.check(name)->click(); }; };
  auto item = [](const char* name, const char* value) {
    return [name, value](TForm2& d) {
      std::string text = value;
      d.PropGridSetUp->model().UpdateValue(d.PropGridSetUp->Names(name).Index(), text);
    };
  };
  auto pickColour = [](const char* name) {
    return [name](TForm2& d) { emit d.colour(name)->activated(1); };
  };
  const std::vector<Case> cases = {
      {"font size", spinTo("SpinEditFontSize", 20), "relayout "},
      {"page margin", spinTo("SpinEditViewPageMargin", 3), "relayout "},
      {"shadow", click("CheckBoxUseShadow"), "relayout "},
      {"back colour", pickColour("ComboBoxBackColor"), "relayout "},
      {"rows", spinTo("SpinEditRows", 20), "relayout reformat "},
      {"columns", spinTo("SpinEditColumns", 2), "relayout reformat "},
      {"cover", click("CheckBoxUseCover"), "reformat "},
      {"no wrap", item("ItemNoWrap", "x"), "reformat "},
      {"tty", item("ItemTTY1Byte", "x"), "reformat "},
      {"html", click("CheckBoxParseHTML"), "reload "},
      {"list ext", item("ItemBookListExt", "*.md"), "filelist "},
      {"sound", click("CheckBoxUseSound"), ""},
      {"bold", click("CheckBoxFontBold"), ""},
      {"font colour", pickColour("ComboBoxFontColor"), ""},
      {"kaeri", item("ItemKaeri", "x"), ""},
      {"mouse", item("ItemMouseLeft", "次のページ"), ""},
  };
  for (bool filling : {false, true}) {
    for (const Case& c : cases) {
      DialogFixture f;
      f.dialog.colourLists().Append("#000000", "Black");
      f.dialog.colourLists().Append("#FFFFFF", "White");
      f.dialog.colourListsChanged();
      f.host.filling = filling;
      c.change(f.dialog);
      EXPECT_EQ(f.flags(), filling ? "" : c.flags) << c.what << (filling ? " while filling" : "");
    }
  }
}

TEST(SettingsDialog, ApplyActsOnTheFlags) {
  struct Case {
    const char* what;
    std::function<void(DialogFixture&)> setup;
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"nothing changed", [](DialogFixture&) {}, {"apply", "show"}},
      {"a colour changed", [](DialogFixture& f) { f.host.applyChangesColour = true; }, {"apply", "relayout(0,0)", "show"}},
      {"relayout", [](DialogFixture& f) { f.dialog.NeedRelayout = true; }, {"apply", "toggles", "relayout(1,0)", "show"}},
      {"relayout and reformat",
       [](DialogFixture& f) { f.dialog.NeedRelayout = f.dialog.NeedReformat = true; },
       {"apply", "toggles", "relayout(1,1)", "show"}},
      {"reload", [](DialogFixture& f) { f.dialog.NeedReload = f.dialog.NeedRelayout = true; },
       {"apply", "reopen(1,-1)", "show"}},
      {"reload of a removed file",
       [](DialogFixture& f) {
         f.dialog.NeedReload = f.dialog.NeedRelayout = true;
         f.host.reopens = false;
       },
       {"apply", "reopen(1,-1)", "toggles", "relayout(1,0)", "show"}},
      {"file list", [](DialogFixture& f) { f.dialog.NeedFileListScan = true; }, {"apply", "scan(/docs/)", "show"}},
      {"file list without a document",
       [](DialogFixture& f) {
         f.dialog.NeedFileListScan = true;
         f.host.file.clear();
       },
       {"apply", "show"}},
  };
  for (const Case& c : cases) {
    DialogFixture f;
    c.setup(f);
    f.dialog.ButtonApplyClick();
    EXPECT_EQ(f.host.calls, c.calls) << c.what;
    EXPECT_EQ(f.flags(), "") << c.what;
  }
}

TEST(SettingsDialog, EnterAppliesOnceAndTheKeyStaysOut) {
  DialogFixture f;
  UxSpinEdit* size = f.dialog.spin("SpinEditFontSize");
  size->setFocus();
  size->selectAll();
  QTest::keyClicks(size, "300");
  QTest::keyClick(size, Qt::Key_Return);
  EXPECT_EQ(std::count(f.host.calls.begin(), f.host.calls.end(), "apply"), 1);
  EXPECT_EQ(size->value(), 256);
  f.host.calls.clear();
  QTest::keyClick(f.dialog.check("CheckBoxUseStrict"), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(std::count(f.host.calls.begin(), f.host.calls.end(), "apply"), 1);
}

TEST(SettingsDialog, CancelAndEscCloseWithoutApplying) {
  for (bool esc : {false, true}) {
    DialogFixture f;
    f.dialog.NeedRelayout = true;
    f.dialog.move(300, 200);
    if (esc) QTest::keyClick(f.dialog.ComboBoxStyle, Qt::Key_Escape);
    else f.dialog.ButtonCancel->click();
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_TRUE(f.host.calls.empty());
    EXPECT_EQ(f.flags(), "");
    EXPECT_EQ(f.host.pos, QPoint(300, 200));
  }
}

TEST(SettingsDialog, AStyleChosenInTheListIsPreviewed) {
  DialogFixture f;
  f.dialog.ComboBoxStyle->setCurrentIndex(1);
  emit f.dialog.ComboBoxStyle->activated(1);
  EXPECT_EQ(f.host.calls, (std::vector<std::string>{"load(Night)", "show(Night)"}));
  EXPECT_EQ(f.flags(), "relayout reformat ");
  f.host.calls.clear();
  f.dialog.ComboBoxStyle->setEditText("nosuch");
  f.dialog.ComboBoxStyleClick();
  EXPECT_TRUE(f.host.calls.empty());
  f.dialog.ComboBoxStyle->setEditText("new one");
  f.dialog.ButtonStyleSaveClick();
  EXPECT_EQ(f.host.calls, std::vector<std::string>{"save(new one)"});
  EXPECT_EQ(f.dialog.ComboBoxStyle->count(), 3);
  EXPECT_EQ(f.dialog.ComboBoxStyle->currentText(), "new one");
}

TEST(SettingsDialog, FontListsKeepTheFaceShown) {
  DialogFixture f;
  QComboBox* ja = f.dialog.ComboBoxFont2ByteName;
  EXPECT_GE(ja->findText("@IPAexGothic"), 0);
  EXPECT_GE(ja->findText("@IPAexMincho"), 0);
  EXPECT_GE(f.dialog.ComboBoxFont1ByteName->findText("IPAexGothic"), 0);
  ja->setEditText("@HGｺﾞｼｯｸE");
  f.dialog.hide();
  f.dialog.show();
  EXPECT_EQ(ja->currentText(), "@HGｺﾞｼｯｸE");
}

TEST(SettingsDialog, PathLabelsPickAFile) {
  DialogFixture f;
  std::vector<std::string> starts;
  std::optional<std::string> answer = "/srv/pictures/paper.png";
  f.dialog.pickFile = [&](const QString&, const std::string& start) {
    starts.push_back(start);
    return answer;
  };
  UxStaticText* image = f.dialog.pathLabels[0];
  f.dialog.StaticTextClick(image);
  EXPECT_EQ(image->filePath(), "/srv/pictures/paper.png");
  EXPECT_EQ(image->text().toStdString().rfind("( ", 0), 0u);
  EXPECT_EQ(f.flags(), "relayout ");
  f.dialog.NeedRelayout = false;
  answer = "/srv/sounds/turn.wav";
  f.dialog.StaticTextClick(f.dialog.pathLabels[1]);
  EXPECT_EQ(f.dialog.pathLabels[1]->filePath(), "/srv/sounds/turn.wav");
  EXPECT_EQ(f.flags(), "");
  answer.reset();
  f.dialog.StaticTextClick(image);
  EXPECT_EQ(image->filePath(), "/srv/pictures/paper.png");
}

TEST(SettingsDialog, TheProgramPickerTakesOnlyOtherPrograms) {
  test::TempDir dir;
  const std::string program = (dir / "tool").string(), text = (dir / "a.txt").string();
  std::ofstream(program) << "#!/bin/sh\n";
  chmod(program.c_str(), 0755);
  std::ofstream(text) << "x";
  DialogFixture f;
  std::optional<std::string> answer;
  f.dialog.pickFile = [&](const QString&, const std::string&) { return answer; };
  std::string value = "kept";
  f.dialog.PropGridSetUpItemEditExeNeedValue(value);
  EXPECT_EQ(value, "kept");
  answer = program;
  f.dialog.PropGridSetUpItemEditExeNeedValue(value);
  EXPECT_EQ(value, program);
  answer = text;
  f.dialog.PropGridSetUpItemEditExeNeedValue(value);
  EXPECT_EQ(value, "");
  answer = QCoreApplication::applicationFilePath().toStdString();
  value = "x";
  f.dialog.PropGridSetUpItemEditExeNeedValue(value);
  EXPECT_EQ(value, "");
}

TEST(SettingsDialog, ValuesGoInAndComeBack) {
  DialogFixture f;
  f.dialog.colourLists().Append("#000000", "Black");
  f.dialog.colourLists().Append("#FFFAF0", "FloralWhite");
  f.dialog.colourListsChanged();
  SetupValues v = f.dialog.values();
  v.styleText = "day";
  v.checks[3] = true;
  v.spins[0] = 20;
  v.paths[0] = {"/a/b.png", "( b.png )"};
  v.font2ByteName = "@IPAexMincho";
  v.colours[2].selected = 1;
  v.colours[2].tag = 1;
  v.items[0] = "Higher";
  f.host.filling = true;
  f.dialog.setValues(v);
  const SetupValues back = f.dialog.values();
  EXPECT_EQ(back.styleText, "day");
  EXPECT_TRUE(back.checks[3]);
  EXPECT_EQ(back.spins[0], 20);
  EXPECT_EQ(back.paths[0], v.paths[0]);
  EXPECT_EQ(back.font2ByteName, "@IPAexMincho");
  EXPECT_EQ(back.colours[2].selected, 1);
  EXPECT_EQ(back.colours[2].text, "#FFFAF0");
  EXPECT_EQ(back.items[0], "Higher");
  EXPECT_EQ(f.flags(), "");
}

// As the reader builds it: a dialog window owned by the shown main window. Hovering a key
// the key column cuts shows the whole key in a box as tall as its text.
TEST(SettingsDialog, GridHintShowsOverACutKeyInTheRealWindow) {
  QWidget main;
  // Beside the dialog: without a window manager, stacking is by the order of mapping.
  main.setGeometry(1200, 700, 400, 300);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  FakeHost host;
  TForm2 dialog(host, &main);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.PageControlOption->setCurrentIndex(1);
  PropGrid* grid = dialog.PropGridSetUp;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(grid->window()));
  // Every key fits as the dialog opens; a user drags the divider left.
  PropGridItem& agent = grid->Names("ItemHTTPAgent");
  const QFontMetrics fm(grid->font());
  const int keyEnd = 10 + 13 + fm.horizontalAdvance(QString::fromStdString(agent.Key()));
  EXPECT_GE(grid->model().KeyColWidth(), keyEnd);
  grid->model().SetKeyColWidth(80);
  int row = -1;
  for (int r = 0; r < grid->model().RowCount(); ++r)
    if (grid->model().RowItem(r) == &agent) row = r;
  ASSERT_GE(row, 0);
  grid->model().ModifyScrollBar(4, row);
  const int y = (row - grid->model().TopRow) * grid->model().RowHeight() + grid->model().RowHeight() / 2;
  QTest::mouseMove(grid->viewport(), QPoint(40, y));
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid->hintWindow()->isVisible(); }, 2000));
  // Moving on within the key, now over the hint itself: it stays.
  QTest::mouseMove(grid->viewport(), QPoint(45, y));
  EXPECT_TRUE(grid->hintWindow()->isVisible());
  EXPECT_EQ(grid->hintWindow()->text(), QString::fromStdString(agent.Key()));
  EXPECT_GE(grid->hintWindow()->height(), grid->hintWindow()->fontMetrics().height() + 2 * (HintWindow::kFrame + HintWindow::kPadding));
  EXPECT_GE(grid->hintWindow()->width(), fm.horizontalAdvance(QString::fromStdString(agent.Key())) + 6);
}

}  // namespace
}  // namespace yomira
