// The property grid as a widget (offscreen, Fusion, the UI font, no border).
#include "windows/controls/prop_grid/prop_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tests/windows/prop_grid_fixtures.h"
#include "windows/controls/hint_window.h"
#include "windows/controls/prop_grid/prop_grid_pixmaps.h"
#include "windows/controls/prop_grid/prop_grid_popup.h"

namespace yomira {
namespace {

QStyle* Fusion() {
  static std::unique_ptr<QStyle> style(QStyleFactory::create(QStringLiteral("Fusion")));
  return style.get();
}

// A shown, active grid whose viewport is exactly w x h.
struct GridFixture {
  explicit GridFixture(int items = 20, int w = 300, int h = 240, int keyColWidth = 120) {
    QFont font(QStringLiteral("IPAexGothic"));
    font.setPixelSize(12);
    grid.setFont(font);
    grid.setStyle(Fusion());
    grid.setBorderSingle(false);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.resize(w, h);
    grid.model().SetKeyColWidth(keyColWidth);
    std::vector<testing::PropGridSpec> specs;
    for (int i = 0; i < items; ++i) specs.push_back({"I" + std::to_string(i), ""});
    testing::Fill(grid.model(), specs);
    for (int i = 0; i < items; ++i) {
      grid.model().Item(i).SetKey("key " + std::to_string(i));
      grid.model().Item(i).SetValue("v" + std::to_string(i));
    }
    grid.show();
    QApplication::setActiveWindow(&grid);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&grid));
  }
  PropGridModel& m() { return grid.model(); }
  QWidget* vp() { return grid.viewport(); }
  QImage shot() { return vp()->grab().toImage(); }
  void click(QPoint p, Qt::KeyboardModifiers mods = {}) { QTest::mouseClick(vp(), Qt::LeftButton, mods, p); }
  void select(int row) {
    m().SelectRow(row);
    grid.model().ModifyScrollBar(-1);
    QApplication::processEvents();
  }
  PropGrid grid;
};

std::string Hex(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)).name().toUpper().toStdString(); }

TEST(PropGrid, FramesTheSelectedRowAndDrawsDividerAndSeparators) {
  GridFixture f;
  f.select(1);
  const QImage img = f.shot();
  ASSERT_EQ(img.size(), QSize(300, 240));
  struct Probe {
    int x, y;
    const char* colour;
  };
  const Probe probes[] = {{60, 14, "#000000"},  {60, 15, "#A0A0A0"},  {60, 30, "#FFFFFF"},
                          {0, 20, "#000000"},   {1, 20, "#A0A0A0"},   {118, 35, "#A0A0A0"},
                          {119, 35, "#FFFFFF"}, {1, 45, "#A0A0A0"},   {2, 45, "#F0F0F0"}};
  for (const Probe& p : probes) EXPECT_EQ(Hex(img, p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(PropGrid, AnEmptyGridIsButtonFaceOnly) {
  GridFixture f(0);
  const QImage img = f.shot();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) ASSERT_EQ(Hex(img, x, y), "#F0F0F0") << x << "," << y;
  f.click(QPoint(50, 5));
  QTest::keyClick(&f.grid, Qt::Key_Down);
  EXPECT_FALSE(f.grid.editor()->isVisible());
}

std::vector<std::string> Rows(const QImage& img) {
  std::vector<std::string> rows;
  for (int y = 0; y < img.height(); ++y) {
    std::string row;
    for (int x = 0; x < img.width(); ++x) row += qAlpha(img.pixel(x, y)) > 0 && qGray(img.pixel(x, y)) < 128 ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST(PropGrid, BoxesAndGlyphs) {
  const std::vector<std::string> plus = {"#########", "#.......#", "#...#...#", "#...#...#", "#.#####.#",
                                         "#...#...#", "#...#...#", "#.......#", "#########"};
  const std::vector<std::string> minus = {"#########", "#.......#", "#.......#", "#.......#", "#.#####.#",
                                          "#.......#", "#.......#", "#.......#", "#########"};
  EXPECT_EQ(Rows(PropGridPlusBox()), plus);
  EXPECT_EQ(Rows(PropGridMinusBox()), minus);
  const std::vector<std::string> drop = {"..........", "..........", "..........", ".#######..", "..#####...",
                                         "...###....", "....#.....", "..........", "..........", ".........."};
  const std::vector<std::string> shortcut = {"..........", "..........", "...#..#...", "..##..##..", ".###..###.",
                                             "..##..##..", "...#..#...", "..........", "..........", ".........."};
  const std::vector<std::string> dots = {"..........", "..........", "..........", "..........", ".##.##.##.",
                                         ".##.##.##.", "..........", "..........", "..........", ".........."};
  EXPECT_EQ(Rows(PropGridDropDownGlyph()), drop);
  EXPECT_EQ(Rows(PropGridShortcutGlyph()), shortcut);
  EXPECT_EQ(Rows(PropGridEllipsisGlyph()), dots);
}

TEST(PropGrid, EditorAndButtonPlacementByStyle) {
  using S = PropGridStyle;
  struct Case {
    S style;
    bool enabled;
    QRect editor;
    const char* button;  // object name of the visible button, or ""
    bool readOnly;
  };
  const Case cases[] = {
      {S::psEdit, true, {151, 31, 149, 13}, "", false},
      {S::psCombo, true, {151, 31, 135, 13}, "PropGridDropDownButton", false},
      {S::psColorCombo, true, {151, 31, 135, 13}, "PropGridDropDownButton", false},
      {S::psComboList, true, {151, 31, 135, 13}, "PropGridDropDownButton", true},
      {S::psColorComboList, true, {151, 31, 135, 13}, "PropGridDropDownButton", true},
      {S::psHotKey, true, {151, 31, 135, 13}, "PropGridShortcutButton", false},
      {S::psCheckBox, true, {151, 31, 135, 13}, "PropGridCheckBox", true},
      {S::psEllipsis, true, {151, 31, 135, 13}, "PropGridEllipsisButton", false},
      {S::psFileNameEllipsis, true, {151, 31, 135, 13}, "PropGridEllipsisButton", false},
      {S::psCombo, false, {151, 31, 149, 13}, "", true},
  };
  for (const Case& c : cases) {
    GridFixture f(20, 300, 240, 150);
    PropGridItem& item = f.m().Item(2);
    item.SetStyle(c.style);
    item.SetEnabled(c.enabled);
    item.SetValue("Yes");
    f.select(2);
    EXPECT_EQ(f.grid.editor()->geometry(), c.editor) << PropGridStyleName(c.style);
    EXPECT_EQ(f.grid.editor()->isReadOnly(), c.readOnly) << PropGridStyleName(c.style);
    for (QWidget* b : std::initializer_list<QWidget*>{f.grid.dropDownButton(), f.grid.shortcutButton(),
                                                      f.grid.ellipsisButton(), f.grid.checkBox()}) {
      const bool shown = b->objectName() == c.button;
      EXPECT_EQ(b->isVisible(), shown) << PropGridStyleName(c.style) << " " << b->objectName().toStdString();
      if (shown) {
        EXPECT_EQ(b->pos(), QPoint(286, 31)) << PropGridStyleName(c.style);
      }
    }
    if (c.style == S::psCheckBox) {
      EXPECT_EQ(f.grid.checkBox()->size(), QSize(13, 13));
      EXPECT_TRUE(f.grid.checkBox()->isChecked());
    }
    if (c.style == S::psCombo && c.enabled) {
      EXPECT_EQ(f.grid.dropDownButton()->size(), QSize(14, 14));
    }
    if (c.style == S::psHotKey) {
      EXPECT_FALSE(f.grid.keyEditor()->isVisible());
      EXPECT_EQ(f.grid.keyEditor()->geometry(), c.editor);
    }
  }
  // A section row shows no editor.
  GridFixture f;
  f.m().Item(0).SetSection("s");
  f.m().SetBreakBySection(true);
  f.select(0);
  EXPECT_FALSE(f.grid.editor()->isVisible());
}

TEST(PropGrid, DividerDragStaysThirtyPixelsFromEitherEdge) {
  for (int target : {10, 290}) {
    GridFixture f;
    f.select(3);
    QTest::mousePress(f.vp(), Qt::LeftButton, {}, QPoint(122, 50));
    const int step = target < 122 ? -1 : 1;
    for (int x = 122; x != target + step; x += step) QTest::mouseMove(f.vp(), QPoint(x, 50));
    QTest::mouseRelease(f.vp(), Qt::LeftButton, {}, QPoint(target, 50));
    EXPECT_EQ(f.m().KeyColWidth(), target < 122 ? 31 : 300 - 31);
    EXPECT_EQ(f.m().CurrentRow, 3);
  }
}

TEST(PropGrid, BoxesToggleExpansionOnClickAndDoubleClick) {
  GridFixture f(0);
  testing::Fill(f.m(), {{"P", "", 0, true, false}, {"C", "", 1}, {"S", "s2"}});
  ASSERT_EQ(f.m().RowsText(), "0 2");
  f.click(QPoint(40, 7));  // on the key, off the box
  EXPECT_EQ(f.m().RowsText(), "0 2");
  f.click(QPoint(5, 7));  // the box
  EXPECT_EQ(f.m().RowsText(), "0 1 2");
  QTest::mouseDClick(f.vp(), Qt::LeftButton, {}, QPoint(40, 7));
  EXPECT_EQ(f.m().RowsText(), "0 2");

  f.m().SetBreakBySection(true);
  ASSERT_EQ(f.m().RowsText(), "S 0 | Ss2 2");
  f.click(QPoint(5, 37));  // left of the indent on the "s2" header
  EXPECT_EQ(f.m().RowsText(), "S 0 | Ss2");
  QTest::keyClick(&f.grid, Qt::Key_Right);
  EXPECT_EQ(f.m().RowsText(), "S 0 | Ss2 2");
  QTest::keyClick(&f.grid, Qt::Key_Left);
  EXPECT_EQ(f.m().RowsText(), "S 0 | Ss2");
}

TEST(PropGrid, KeysWheelAndThePartialRow) {
  GridFixture f(20, 300, 100);  // 6 whole rows and a part of the seventh
  ASSERT_EQ(f.m().PageRows, 6);
  ASSERT_EQ(f.m().ShownRows, 7);
  f.select(5);
  QTest::keyClick(f.grid.editor(), Qt::Key_Down);  // the last whole row: scroll one line first
  EXPECT_EQ(f.m().TopRow, 1);
  EXPECT_EQ(f.m().CurrentRow, 6);

  f.m().ModifyScrollBar(6);
  f.click(QPoint(50, 95));  // the partial bottom row
  EXPECT_EQ(f.m().CurrentRow, 6);
  EXPECT_EQ(f.m().TopRow, 6);

  QWheelEvent down(QPointF(50, 20), f.vp()->mapToGlobal(QPointF(50, 20)), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.vp(), &down);
  EXPECT_EQ(f.m().CurrentRow, 7);
  QWheelEvent up(QPointF(50, 20), f.vp()->mapToGlobal(QPointF(50, 20)), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.vp(), &up);
  EXPECT_EQ(f.m().CurrentRow, 6);

  f.select(19);
  QTest::keyClick(&f.grid, Qt::Key_Down);
  EXPECT_EQ(f.m().CurrentRow, 19);
}

TEST(PropGrid, ScrollBarFollowsTheTopRow) {
  GridFixture f(0, 300, 390);
  testing::FillSettings(f.m());
  f.grid.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QApplication::processEvents();
  QScrollBar* bar = f.grid.verticalScrollBar();
  EXPECT_EQ(bar->maximum(), f.m().MaxTopRow());
  bar->setValue(bar->maximum());
  EXPECT_EQ(f.m().TopRow, f.m().MaxTopRow());
  f.m().ModifyScrollBar(6);
  EXPECT_EQ(bar->value(), 0);
}

TEST(PropGrid, AfterAVetoTheNextClickAndKeyOnlyRefocusTheEditor) {
  GridFixture f;
  int vetoes = 0;
  f.m().Item(2).OnValueChanging = [&](PropGridItem&, const std::string&, std::string& v, bool& update) {
    ++vetoes;
    if (v.find('x') != std::string::npos) update = false;
  };
  f.select(2);
  f.grid.editor()->setText("xyz");
  QTest::keyClick(f.grid.editor(), Qt::Key_Return);
  EXPECT_EQ(vetoes, 1);
  EXPECT_TRUE(f.m().ValueRejected);
  EXPECT_EQ(f.grid.editor()->text(), "v2");
  f.click(QPoint(50, 100));
  EXPECT_EQ(f.m().CurrentRow, 2);
  EXPECT_TRUE(f.grid.editor()->hasFocus());
  f.grid.editor()->setText("xx");
  QTest::keyClick(f.grid.editor(), Qt::Key_Down);  // leaving commits: vetoed, the key is dropped
  EXPECT_EQ(f.m().CurrentRow, 2);
  EXPECT_EQ(f.m().Item(2).Value(), "v2");
}

TEST(PropGrid, AVetoThatShowsAMessageBoxIsAskedOnce) {
  GridFixture f;
  int calls = 0;
  f.m().Item(1).OnValueChanging = [&](PropGridItem&, const std::string&, std::string&, bool& update) {
    ++calls;
    update = false;
    QMessageBox box(QMessageBox::Warning, "veto", "no", QMessageBox::Ok, &f.grid);
    QTimer::singleShot(50, &box, &QMessageBox::accept);
    box.exec();
  };
  f.select(1);
  f.grid.editor()->setText("new");
  QTest::keyClick(f.grid.editor(), Qt::Key_Return);
  QApplication::setActiveWindow(&f.grid);
  QApplication::processEvents();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(f.m().ValueRejected);
}

TEST(PropGrid, EllipsisWithoutAHandlerStillCommitsOnTab) {
  GridFixture f;
  QLineEdit other(&f.grid);
  other.move(0, 200);
  other.show();
  f.m().Item(1).SetStyle(PropGridStyle::psEllipsis);
  f.select(1);
  f.grid.ellipsisButton()->click();
  f.grid.editor()->setText("typed");
  other.setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.m().Item(1).Value(), "typed");
}

TEST(PropGrid, HintsShowLongValuesAndKeysButNeverColours) {
  GridFixture f(4, 300, 240, 120);
  const std::string longText(80, 'W');
  f.m().Item(2).SetValue(longText);
  f.m().Item(3).SetKey(longText);
  f.m().Item(1).SetStyle(PropGridStyle::psColorCombo);
  f.m().Item(1).SetValue(longText);
  f.select(0);
  const QFontMetrics fm(f.grid.hintWindow()->font());
  const int w = fm.horizontalAdvance(QString::fromStdString(longText));
  // The row's height less one, or the text's height with the box's frame and padding.
  const int h = std::max(14, fm.height() + 2 * (HintWindow::kFrame + HintWindow::kPadding));

  QTest::mouseMove(f.vp(), QPoint(200, 37));
  ASSERT_TRUE(f.grid.hintWindow()->isVisible());
  EXPECT_EQ(f.grid.hintWindow()->geometry(), QRect(f.vp()->mapToGlobal(QPoint(119, 29)), QSize(w + 6, h)));

  QTest::mouseMove(f.vp(), QPoint(60, 52));
  ASSERT_TRUE(f.grid.hintWindow()->isVisible());
  EXPECT_EQ(f.grid.hintWindow()->geometry(), QRect(f.vp()->mapToGlobal(QPoint(10, 44)), QSize(w + 6, h)));

  QTest::mouseMove(f.vp(), QPoint(200, 22));
  EXPECT_FALSE(f.grid.hintWindow()->isVisible());
}

TEST(PropGrid, EscPutsBackAndListRowsRefuseTyping) {
  GridFixture f;
  f.m().Item(1).SetStyle(PropGridStyle::psComboList);
  f.m().Item(1).SetPickList({"a", "v1", "c"});
  f.select(1);
  QTest::keyClicks(f.grid.editor(), "zz");
  EXPECT_EQ(f.grid.editor()->text(), "v1");
  f.select(2);
  QTest::keyClicks(f.grid.editor(), "zz");
  ASSERT_EQ(f.grid.editor()->text(), "v2zz");
  QTest::keyClick(f.grid.editor(), Qt::Key_Escape);
  EXPECT_EQ(f.grid.editor()->text(), "v2");
  EXPECT_EQ(f.grid.editor()->selectedText(), "v2");
  EXPECT_EQ(f.m().Item(2).Value(), "v2");
}

TEST(PropGrid, PickListOpensOnTheStoredEntryAndCommitsByAutoUpdate) {
  for (bool autoUpdate : {true, false}) {
    GridFixture f;
    f.m().AutoUpdate = autoUpdate;
    std::string changes;
    PropGridItem& item = f.m().Item(1);
    item.SetStyle(PropGridStyle::psComboList);
    item.SetPickList({"a", "v1", "c"});
    item.OnValueChange = [&](PropGridItem&, const std::string&, const std::string& b, const std::string& a) {
      changes += b + "->" + a + ";";
    };
    f.select(1);
    QTest::keyClick(f.grid.editor(), Qt::Key_Down, Qt::AltModifier);
    PropGridPopupList* popup = f.grid.popupList();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->list()->currentRow(), 1);
    EXPECT_TRUE(f.m().DroppedDown);
    // Right-aligned with the grid, below the editor.
    EXPECT_EQ(popup->geometry().topLeft(),
              f.vp()->mapToGlobal(QPoint(300 - 1 - popup->width(), f.grid.editor()->y() + 15)));
    QTest::keyClick(popup->list(), Qt::Key_Down);
    QTest::keyClick(popup->list(), Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_FALSE(f.m().DroppedDown);
    EXPECT_EQ(f.grid.editor()->text(), "c");
    EXPECT_EQ(changes, autoUpdate ? "v1->c;" : "");
    QTest::keyClick(f.grid.editor(), Qt::Key_Return);
    EXPECT_EQ(changes, "v1->c;");

    // Esc in the list keeps the editor's text.
    QTest::keyClick(f.grid.editor(), Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(popup->list(), Qt::Key_Up);
    QTest::keyClick(popup->list(), Qt::Key_Escape);
    EXPECT_EQ(f.grid.editor()->text(), "c");
  }
}

TEST(PropGrid, APressOnTheDropDownButtonWhileOpenOnlyCloses) {
  GridFixture f;
  f.m().Item(1).SetStyle(PropGridStyle::psComboList);
  f.m().Item(1).SetPickList({"a", "b"});
  f.select(1);
  QToolButton* button = f.grid.dropDownButton();
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
  PropGridPopupList* popup = f.grid.popupList();
  ASSERT_TRUE(popup->isVisible());
  const QPoint on = popup->mapFromGlobal(button->mapToGlobal(button->rect().center()));
  QTest::mousePress(popup, Qt::LeftButton, {}, on);
  QApplication::processEvents();
  EXPECT_FALSE(popup->isVisible());
  EXPECT_FALSE(f.m().DroppedDown);
}

TEST(PropGrid, PickListHeightWidthAndPlacement) {
  struct Case {
    int entries, height;
  };
  for (const Case c : {Case{1, 30}, Case{3, 44}, Case{9, 72}}) {
    GridFixture f(20, 300, 240, 150);
    std::vector<std::string> list;
    for (int i = 0; i < c.entries; ++i) list.push_back("e" + std::to_string(i));
    f.m().Item(0).SetStyle(PropGridStyle::psCombo);
    f.m().Item(0).SetPickList(list);
    f.select(0);
    f.grid.DropDownBtnClick();
    EXPECT_EQ(f.grid.popupList()->height(), c.height) << c.entries;
    EXPECT_EQ(f.grid.popupList()->width(), 300 - 150 - 2) << c.entries;
    f.grid.popupList()->PopupCancel();
  }
  const QRect screen(0, 0, 1000, 800);
  EXPECT_EQ(PropGridPopupList::PlaceInside(QPoint(-40, 790), QSize(100, 72), screen), QRect(0, 728, 100, 72));
  EXPECT_EQ(PropGridPopupList::PlaceInside(QPoint(950, -5), QSize(1200, 30), screen), QRect(0, 0, 1000, 30));
  const QRect second(1000, 0, 800, 600);
  EXPECT_EQ(PropGridPopupList::PlaceInside(QPoint(1750, 100), QSize(100, 30), second), QRect(1700, 100, 100, 30));
}

TEST(PropGrid, DoubleClickFlipsABooleanListWithoutCommitting) {
  GridFixture f;
  PropGridItem& item = f.m().Item(1);
  item.SetStyle(PropGridStyle::psBooleanComboList);
  item.SetValue("False");
  f.select(1);
  QTest::mouseDClick(f.grid.editor(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(f.grid.editor()->text(), "True");
  QTest::mouseDClick(f.grid.editor(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(f.grid.editor()->text(), "False");
  f.grid.editor()->setText("True");
  EXPECT_EQ(item.Value(), "False");
}

TEST(PropGrid, KeyEditorCapturesShortcuts) {
  GridFixture f;
  f.m().AutoUpdate = true;
  PropGridItem& item = f.m().Item(1);
  item.SetStyle(PropGridStyle::psHotKey);
  item.SetValue("Ctrl+K");
  f.select(1);
  QTest::keyClick(f.grid.editor(), Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(f.grid.keyEditor()->isVisible());
  ASSERT_TRUE(f.grid.keyEditor()->hasFocus());
  QTest::keyClick(f.grid.keyEditor(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.grid.keyEditor()->text(), "Ctrl+Shift+A");
  EXPECT_EQ(f.grid.editor()->text(), "Ctrl+Shift+A");
  EXPECT_EQ(item.Value(), "Ctrl+Shift+A");
  QTest::keyClick(f.grid.keyEditor(), Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_EQ(f.grid.keyEditor()->text(), "");
  EXPECT_EQ(f.grid.editor()->text(), "Ctrl+Shift+A");
  QTest::keyClick(f.grid.keyEditor(), Qt::Key_Tab);
  EXPECT_FALSE(f.grid.keyEditor()->isVisible());
  EXPECT_TRUE(f.grid.editor()->hasFocus());
}

TEST(PropGrid, CheckBoxClickCommits) {
  GridFixture f;
  PropGridItem& item = f.m().Item(1);
  item.SetStyle(PropGridStyle::psCheckBox);
  item.SetValue("Yes");
  std::string changes;
  item.OnValueChange = [&](PropGridItem&, const std::string&, const std::string& b, const std::string& a) {
    changes += b + "->" + a;
  };
  f.select(1);
  QTest::mouseClick(f.grid.checkBox(), Qt::LeftButton, {}, f.grid.checkBox()->rect().center());
  EXPECT_EQ(item.Value(), "No");
  EXPECT_EQ(changes, "Yes->No");
}

TEST(PropGrid, PathEllipsisKeepsTheFileName) {
  QFont font(QStringLiteral("IPAexGothic"));
  font.setPixelSize(12);
  const QFontMetrics fm(font);
  const QString path = "/usr/share/yomira/pictures/a/long/folder/name/background-picture.png";
  const QString shown = PropGrid::PathEllipsis(path, fm, 200);
  EXPECT_LE(fm.horizontalAdvance(shown), 200);
  EXPECT_TRUE(shown.endsWith("/background-picture.png")) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith("/usr")) << shown.toStdString();
  EXPECT_EQ(PropGrid::PathEllipsis("/a/b.png", fm, 200), "/a/b.png");
}

}  // namespace
}  // namespace yomira
