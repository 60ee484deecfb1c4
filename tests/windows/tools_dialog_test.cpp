// The tools dialog over fixture lists and the real action catalogue (offscreen).
#include "windows/tools_dialog/tools_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "tests/shell/fake_shell_env.h"
#include "windows/tools_dialog/shortcut_capture.h"
#include "windows/tools_dialog/tool_list_model.h"

namespace yomira {
namespace {

TToolItem Tool(const std::string& caption, const std::string& path, const std::string& param, uint16_t code,
               const std::string& filter = "") {
  TToolItem t;
  t.Caption = caption;
  t.FilePath = path;
  t.Param = param;
  t.ShortCut = code;
  t.Filter = filter;
  return t;
}

struct DialogFixture {
  DialogFixture() {
    tools = {Tool("Editor", "/usr/bin/gedit", "%F", 24646), Tool("Viewer", "/usr/bin/less", "%F", 0)};
    filters = {Tool("Doc", "/usr/bin/doc2txt", "%F", 0, "*.doc")};
    ToolsDialogSetup setup{tools, filters, catalogue, env};
    setup.pickProgram = [this](QWidget*, const std::string& start) {
      pickStarts.push_back(start);
      return pickAnswer;
    };
    setup.buildToolActions = [this] { ++toolBuilds; };
    setup.buildFilterActions = [this] { ++filterBuilds; };
    dialog = std::make_unique<TForm4>(std::move(setup));
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
  }
  std::string cell(int row, int column) {
    return dialog->Model->data(dialog->Model->index(row, column)).toString().toStdString();
  }
  std::string header(int column) {
    return dialog->Model->headerData(column, Qt::Horizontal).toString().toStdString();
  }
  void editors(const char* name, const char* file, const char* param, const char* filter = "") {
    dialog->EditCaption->setText(QString::fromUtf8(name));
    dialog->EditFilePath->setText(QString::fromUtf8(file));
    dialog->EditParam->setText(QString::fromUtf8(param));
    dialog->EditFilter->setEditText(QString::fromUtf8(filter));
  }

  ToolItemList tools, filters;
  ActionCatalogue catalogue;
  test::FakeShellEnv env;
  std::vector<std::string> pickStarts;
  std::optional<std::string> pickAnswer;
  int toolBuilds = 0, filterBuilds = 0;
  std::unique_ptr<TForm4> dialog;
};

TEST(ToolsDialog, TabsShowTheirEditorsListsAndCaptions) {
  DialogFixture f;
  EXPECT_EQ(f.dialog->size(), QSize(545, 409));
  struct Case {
    int tab;
    std::vector<const char*> shown;
    int editTop, labelTop, editButtonTop;
    std::vector<std::string> headers;
    int rows;
  };
  const std::vector<std::string> toolHeaders = {"タイトル", "ファイル名", "引数", "ショートカット"};
  const std::vector<std::string> keyHeaders = {"カテゴリ", "メニュー名", "", "ショートカット"};
  const std::vector<const char*> listWidgets = {"EditCaption",   "EditFilePath",     "EditParam",
                                                "EditShortCut",  "ButtonEditAdd",    "ButtonEditEdit",
                                                "ButtonEditDelete", "ButtonEditUp", "ButtonEditDown"};
  std::vector<const char*> filterWidgets = listWidgets;
  filterWidgets.push_back("EditFilter");
  const std::vector<Case> cases = {
      {0, listWidgets, 352, 355, 312, toolHeaders, 2},
      {1, filterWidgets, 352, 355, 312, toolHeaders, 1},
      {2, {"EditShortCut", "ButtonEditEdit"}, 280, 283, 280, keyHeaders, 56},
      {3, {"EditShortCut", "ButtonEditEdit"}, 280, 283, 280, keyHeaders, 25},
  };
  const char* all[] = {"EditCaption",      "EditFilePath", "EditParam",      "EditShortCut", "EditFilter",
                       "ButtonEditAdd",    "ButtonEditEdit", "ButtonEditDelete", "ButtonEditUp", "ButtonEditDown"};
  for (const Case& c : cases) {
    f.dialog->setTab(c.tab);
    for (const char* name : all) {
      const bool expected = std::find_if(c.shown.begin(), c.shown.end(), [&](const char* s) {
                              return std::string(s) == name;
                            }) != c.shown.end();
      EXPECT_EQ(f.dialog->findChild<QWidget*>(name)->isVisible(), expected) << "tab " << c.tab << " " << name;
    }
    EXPECT_EQ(f.dialog->EditShortCut->geometry().y(), c.editTop) << c.tab;
    EXPECT_EQ(f.dialog->LabelShortCut->geometry().y(), c.labelTop) << c.tab;
    EXPECT_EQ(f.dialog->ButtonEditEdit->geometry().y(), c.editButtonTop) << c.tab;
    for (int col = 0; col < 4; ++col) EXPECT_EQ(f.header(col), c.headers[static_cast<size_t>(col)]) << c.tab;
    EXPECT_EQ(f.dialog->Model->rowCount(), c.rows) << c.tab;
    EXPECT_TRUE(f.dialog->ListViewTool->hasFocus()) << c.tab;
  }
  EXPECT_EQ(f.dialog->LabelCaption->text().toStdString(), "メニュー名");
  EXPECT_EQ(f.cell(0, 0), "オプション");
  EXPECT_EQ(f.cell(0, 1), "ブックをファイル前後で開く(O)");
  EXPECT_EQ(f.cell(3, 0), "ブックマーク");
  EXPECT_EQ(f.cell(3, 1), "しおりを挟む(A)");
  EXPECT_EQ(f.cell(3, 3), "Ctrl+A");
  f.dialog->setTab(0);
  EXPECT_EQ(f.dialog->LabelCaption->text().toStdString(), "名前");
  EXPECT_EQ(f.cell(0, 0), "Editor");
  EXPECT_EQ(f.cell(0, 1), "gedit");
  EXPECT_EQ(f.cell(0, 2), "%F");
  EXPECT_EQ(f.cell(0, 3), "Ctrl+Shift+F");
  EXPECT_TRUE(f.dialog->ButtonEditAdd->isEnabled());
  for (QPushButton* b : {f.dialog->ButtonEditEdit, f.dialog->ButtonEditDelete, f.dialog->ButtonEditUp,
                         f.dialog->ButtonEditDown})
    EXPECT_FALSE(b->isEnabled());
}

TEST(ToolsDialog, CtrlTabTurnsTheTabsRound) {
  DialogFixture f;
  QTest::keyClick(f.dialog->ListViewTool, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(f.dialog->tab(), 1);
  QTest::keyClick(f.dialog->ListViewTool, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(f.dialog->ListViewTool, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.dialog->tab(), 3);
}

TEST(ToolsDialog, ShortcutCapture) {
  DialogFixture f;
  ShortcutCaptureEdit* edit = f.dialog->EditShortCut;
  int windowShortcut = 0;
  auto* ctrlO = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), f.dialog.get());
  QObject::connect(ctrlO, &QShortcut::activated, [&] { ++windowShortcut; });
  edit->setFocus();
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    uint16_t code;
    const char* text;
  };
  const Case cases[] = {
      {Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier, 24646, "Ctrl+Shift+F"},
      {Qt::Key_Control, Qt::ControlModifier, 0, ""},
      {Qt::Key_F5, Qt::NoModifier, 116, "F5"},
      {Qt::Key_A, Qt::NoModifier, 65, "A"},
      {Qt::Key_Escape, Qt::NoModifier, 27, "Esc"},
      {Qt::Key_Enter, Qt::KeypadModifier, 13, "Return"},
      {Qt::Key_Left, Qt::AltModifier, 32805, "Alt+Left"},
      {Qt::Key_1, Qt::ControlModifier | Qt::ShiftModifier, 0x6031, "Ctrl+Shift+1"},
      {Qt::Key_O, Qt::ControlModifier, 16463, "Ctrl+O"},
  };
  for (const Case& c : cases) {
    QTest::keyClick(edit, c.key, c.mods);
    EXPECT_EQ(edit->code(), c.code) << c.text;
    EXPECT_EQ(edit->text().toStdString(), c.text) << c.text;
  }
  EXPECT_EQ(windowShortcut, 0);
  // A combination the key file has no code for (Meta) leaves the code as it is.
  QKeyEvent metaA(QEvent::KeyPress, Qt::Key_A, Qt::MetaModifier);
  QApplication::sendEvent(edit, &metaA);
  EXPECT_EQ(edit->code(), 16463);
  // Shift+digit arrives as the shifted symbol; the X key code tells the digit.
  QKeyEvent shiftOne(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, 10, 0, 0, QStringLiteral("!"));
  QApplication::sendEvent(edit, &shiftOne);
  EXPECT_EQ(edit->code(), 0x2031);
  QKeyEvent ctrlShiftZero(QEvent::KeyPress, Qt::Key_ParenRight, Qt::ShiftModifier | Qt::ControlModifier, 19, 0, 0);
  QApplication::sendEvent(edit, &ctrlShiftZero);
  EXPECT_EQ(edit->code(), 0x6030);
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_FALSE(edit->hasFocus());
  EXPECT_EQ(edit->code(), 0x6030);
  edit->button()->click();
  EXPECT_EQ(edit->code(), 0);
  EXPECT_EQ(edit->text(), "");
}

TEST(ToolsDialog, ACodeWithoutAQtNameSurvivesAnEdit) {
  DialogFixture f;
  f.tools[1].ShortCut = 0x1234;
  f.dialog->Model->refresh();
  f.dialog->selectRow(1);
  f.dialog->EditCaption->setText("Renamed");
  f.dialog->ActionEditEditExecute();
  EXPECT_EQ(f.tools[1].Caption, "Renamed");
  EXPECT_EQ(f.tools[1].ShortCut, 0x1234);
}

TEST(ToolsDialog, AddEditAndTheirMessages) {
  QTemporaryDir dir;
  const std::string file = dir.filePath("conv.sh").toStdString();
  std::ofstream(file) << "#!/bin/sh\n";
  struct Case {
    int tab;
    const char *name, *path, *param, *filter;
    const char* message;  // "" for none
  };
  const Case cases[] = {
      {0, "  ", "", "", "", "名前が入力されていません。"},
      {1, "conv", "/nonexistent/conv.sh", "%F", "", "ファイルがありません。"},
      {1, "conv", file.c_str(), "", "", "引数が入力されていません。"},
  };
  for (const Case& c : cases) {
    DialogFixture f;
    f.dialog->setTab(c.tab);
    const ToolItemList before = c.tab == 0 ? f.tools : f.filters;
    f.editors(c.name, c.path, c.param, c.filter);
    f.dialog->ActionEditAddExecute();
    EXPECT_EQ(f.env.messages, std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(c.tab == 0 ? f.tools : f.filters, before) << c.name;
  }

  DialogFixture f;
  f.editors(" vi ", "/nonexistent", "");
  f.dialog->EditShortCut->setCode(0x4056);
  f.dialog->ActionEditAddExecute();
  EXPECT_TRUE(f.env.messages.empty());
  ASSERT_EQ(f.tools.size(), 3u);
  EXPECT_EQ(f.tools[2], Tool("vi", "/nonexistent", "", 0x4056));
  EXPECT_EQ(f.dialog->selectedRow(), 2);
  EXPECT_EQ(f.dialog->EditCaption->text(), "vi");
  EXPECT_EQ(f.cell(2, 0), "vi");

  f.dialog->setTab(1);
  f.editors("conv", file.c_str(), " %F", " *.doc ");
  f.dialog->ActionEditAddExecute();
  ASSERT_EQ(f.filters.size(), 2u);
  EXPECT_EQ(f.filters[1], Tool("conv", file, " %F", 0, "*.doc"));

  // An edit does not test the file.
  f.dialog->selectRow(0);
  f.dialog->EditFilePath->setText("/nonexistent/other");
  f.dialog->ActionEditEditExecute();
  EXPECT_EQ(f.filters[0].FilePath, "/nonexistent/other");
  EXPECT_TRUE(f.env.messages.empty());
}

TEST(ToolsDialog, UpDownDeleteAndTheFullList) {
  DialogFixture f;
  f.tools.push_back(Tool("Third", "", "", 0));
  f.dialog->Model->refresh();
  f.dialog->selectRow(1);
  f.dialog->ActionEditUpExecute();
  EXPECT_EQ(f.tools[0].Caption, "Viewer");
  EXPECT_EQ(f.dialog->selectedRow(), 0);
  f.dialog->ActionEditUpExecute();
  EXPECT_EQ(f.tools[0].Caption, "Viewer");
  f.dialog->selectRow(2);
  f.dialog->ActionEditDownExecute();
  EXPECT_EQ(f.tools[2].Caption, "Third");
  f.dialog->ActionEditDeleteExecute();
  EXPECT_EQ(f.tools.size(), 2u);

  // A full list takes no more.
  while (f.tools.size() < static_cast<size_t>(kMaxToolItems)) f.tools.push_back(Tool("t", "", "", 0));
  f.dialog->setTab(0);
  EXPECT_FALSE(f.dialog->ButtonEditAdd->isEnabled());
  f.editors("one more", "", "");
  f.dialog->ActionEditAddExecute();
  EXPECT_EQ(f.tools.size(), static_cast<size_t>(kMaxToolItems));

  // On a shortcut tab the list actions do nothing, whatever their state.
  f.dialog->selectRow(0);
  f.dialog->setTab(2);
  f.dialog->ActionEditDelete->setEnabled(true);
  f.dialog->ActionEditDelete->trigger();
  f.dialog->ActionEditUpExecute();
  EXPECT_EQ(f.tools.size(), static_cast<size_t>(kMaxToolItems));
  EXPECT_EQ(f.dialog->Model->rowCount(), 56);
}

TEST(ToolsDialog, EditedShortcutsReachTheDispatchAtOnce) {
  DialogFixture f;
  int changes = 0;
  f.catalogue.onCodesChanged = [&] { ++changes; };
  f.catalogue.EnableActions(true, true);
  f.dialog->setTab(2);
  const auto main = f.catalogue.list(kListMain);
  const int home = static_cast<int>(std::find(main.begin(), main.end(), f.catalogue.find("ActionPageHome")) - main.begin());
  f.dialog->selectRow(home);
  f.dialog->EditShortCut->setCode(16463);  // Ctrl+O, as ActionFileOpen has
  f.dialog->ActionEditEditExecute();
  EXPECT_EQ(f.catalogue.at("ActionPageHome").code, 16463);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(f.catalogue.match(16463, {kListMain}), f.catalogue.find("ActionFileOpen"));

  f.dialog->setTab(3);
  f.dialog->selectRow(3);
  ASSERT_EQ(f.dialog->Model->action(3)->name, "ActionBookMarkAdd");
  f.dialog->EditShortCut->setCode(16459);  // Ctrl+K
  f.dialog->ActionEditEditExecute();
  EXPECT_EQ(f.catalogue.match(16459, {kListBook}), f.catalogue.find("ActionBookMarkAdd"));
  EXPECT_EQ(f.catalogue.match(16449, {kListBook}), nullptr);
  EXPECT_EQ(f.catalogue.shortcuts().at("ActionBookMarkAdd"), 16459);
}

TEST(ToolsDialog, PendingSign) {
  DialogFixture f;
  f.dialog->selectRow(0);
  EXPECT_EQ(f.cell(0, 0), "Editor");
  QTest::keyClicks(f.dialog->EditCaption, "x");
  EXPECT_EQ(f.cell(0, 0), "Editor *");
  f.dialog->selectRow(1);
  EXPECT_EQ(f.cell(0, 0), "Editor");
  EXPECT_EQ(f.cell(1, 0), "Viewer");
  f.dialog->EditParam->insert("%D");
  EXPECT_EQ(f.cell(1, 0), "Viewer *");
  f.dialog->ActionEditEditExecute();
  EXPECT_EQ(f.cell(1, 0), "Viewer");
  EXPECT_EQ(f.tools[1].Param, "%F%D");
}

TEST(ToolsDialog, PlaceholderMenu) {
  DialogFixture f;
  f.dialog->EditParam->setText("ab");
  f.dialog->EditParam->setCursorPosition(1);
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(f.dialog->PopupMenuParam->isVisible());
    EXPECT_TRUE(f.dialog->MenuParamL->isVisible());
    f.dialog->PopupMenuParam->actions().at(0)->trigger();
    f.dialog->PopupMenuParam->close();
  });
  f.dialog->EditParamButtonClick();
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.dialog->EditParam->text() == "a%Fb"; }, 2000))
      << f.dialog->EditParam->text().toStdString();
  f.dialog->EditParam->setSelection(0, 2);
  f.dialog->MenuParamN->trigger();
  EXPECT_EQ(f.dialog->EditParam->text(), "%NFb");
  f.dialog->setTab(1);
  f.dialog->EditParamButtonClick();
  EXPECT_FALSE(f.dialog->MenuParamL->isVisible());
  EXPECT_FALSE(f.dialog->MenuParamN->isVisible());
  f.dialog->PopupMenuParam->close();
}

TEST(ToolsDialog, ProgramPicker) {
  QTemporaryDir dir;
  const std::string existing = dir.filePath("tool").toStdString();
  std::ofstream(existing) << "x";
  DialogFixture f;
  f.pickAnswer = "/opt/t/conv.sh";
  f.dialog->EditFilePath->setText("/nonexistent/x");
  f.dialog->EditFilePathButtonClick();
  EXPECT_EQ(f.dialog->EditFilePath->text(), "/opt/t/conv.sh");
  EXPECT_EQ(f.dialog->EditCaption->text(), "conv");
  f.dialog->EditCaption->setText("x");
  f.dialog->EditFilePath->setText(QString::fromStdString(existing));
  f.dialog->EditFilePathButtonClick();
  EXPECT_EQ(f.dialog->EditCaption->text(), "x");
  f.pickAnswer.reset();
  f.dialog->EditFilePathButtonClick();
  EXPECT_EQ(f.dialog->EditFilePath->text(), "/opt/t/conv.sh");
  EXPECT_EQ(f.pickStarts, (std::vector<std::string>{"", existing, ""}));
}

TEST(ToolsDialog, ClosingRebuildsTheToolAndFilterActionsOnce) {
  for (bool byEscape : {true, false}) {
    DialogFixture f;
    if (byEscape) QTest::keyClick(f.dialog->ListViewTool, Qt::Key_Escape);
    else f.dialog->close();
    EXPECT_FALSE(f.dialog->isVisible());
    EXPECT_EQ(f.toolBuilds, 1);
    EXPECT_EQ(f.filterBuilds, 1);
  }
}

TEST(ToolsDialog, EnterInAnEditPressesNoButton) {
  DialogFixture f;
  f.editors("new", "", "");
  f.dialog->EditCaption->setFocus();
  QTest::keyClick(f.dialog->EditCaption, Qt::Key_Return);
  EXPECT_EQ(f.tools.size(), 2u);
  EXPECT_TRUE(f.dialog->isVisible());
}

}  // namespace
}  // namespace yomira
