// The border drag of the main window on a real layout: the preview at each step and the
// refit of the grid or the font when the drag ends.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sources/history.h"
#include "tests/shell/recording_form.h"
#include "windows/controls/hint_window.h"

namespace yomira {
namespace {

using test::RecordingForm;

QString Preview(int f, int r, int c, int chars) {
  return QStringLiteral("文字サイズ : %1\nルビサイズ : %2\n行数×字数 : %3×%4").arg(f).arg(r).arg(c).arg(chars);
}

class WindowResize : public test::FormFixture {
 protected:
  // Laid out at the defaults and shown, at view 5, with the keyboard and the pointer
  // buttons scripted.
  std::unique_ptr<RecordingForm> Shown() {
    auto f = Make();
    f->SetInputStateQueries([this] { return ctrl_ ? Qt::ControlModifier : Qt::NoModifier; },
                            [this] {
                              if (heldTimeouts_ == 0) return false;
                              --heldTimeouts_;
                              return true;
                            });
    f->show();
    Open(*f);
    f->sliderShowView(5);
    EXPECT_EQ(f->size(), QSize(492, 539));
    f->relayouts.clear();
    f->pendingRates.clear();
    return f;
  }

  // The end of a drag: what the window manager does when the user lets go.
  void Drag(RecordingForm& f, QSize to) {
    // After the window manager's answer to the program's own fit, as a user's drag is.
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.OwnFitAnswered(); }));
    f.resize(to);
  }

  bool ctrl_ = false;
  int heldTimeouts_ = 0;
};

TEST_F(WindowResize, TheEndOfADragRefitsTheGridOrTheFont) {
  struct Case {
    const char* name;
    QSize to;
    bool ctrl;
    int resizeMode;  // -1: the default
    QString preview;
    int f, r, c, v;
    QSize after;
    std::vector<std::pair<bool, bool>> relayouts;
  };
  const std::vector<Case> cases = {
      {"grid", {800, 700}, false, -1, Preview(14, 8, 27, 44), 14, 8, 27, 88, {778, 707}, {{true, true}}},
      {"font with ctrl", {800, 700}, true, -1, Preview(18, 23, 16, 32), 18, 23, 16, 64, {796, 673}, {{true, false}}},
      {"grid, tiny", {100, 100}, false, -1, Preview(14, 8, 5, 5), 14, 8, 5, 10, {}, {{true, true}}},
      {"font, tiny", {100, 100}, true, -1, Preview(6, 0, 16, 32), 6, 0, 16, 64, {}, {{true, false}}},
      {"mode 0", {800, 700}, false, 0, Preview(14, 8, 16, 32), 14, 8, 16, 64, {800, 700}, {{false, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = Shown();
    if (c.resizeMode >= 0) f->session().state().option.Resize = c.resizeMode;
    ctrl_ = c.ctrl;
    Drag(*f, c.to);
    EXPECT_TRUE(f->child<HintWindow>("HintWindow")->isVisible());
    EXPECT_EQ(f->child<HintWindow>("HintWindow")->text(), c.preview);
    EXPECT_TRUE(f->sizeMoveEndPending());
    EXPECT_TRUE(f->relayouts.empty());

    f->WMExitSizeMove();
    EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());
    EXPECT_EQ(f->session().state().option.f_size, c.f);
    EXPECT_EQ(f->session().state().option.ruby_size, c.r);
    EXPECT_EQ(f->session().state().option.c_size, c.c);
    EXPECT_EQ(f->session().state().option.v_size, c.v);
    EXPECT_EQ(f->relayouts, c.relayouts);
    if (c.after.isValid()) {
      EXPECT_EQ(f->size(), c.after);
    }
    // The first text of the view decides, not the saved reading position.
    EXPECT_EQ(f->pendingRates, std::vector<int>{-1});
    {
      // The same place of the text: line 65 of 160, the first of view 5 before, is in view.
      const int first = f->session().state().option.GetFirstLineIndex(f->session().CurrentView(), 1, 1);
      bool held = false;
      for (int i = first; i < first + f->session().state().option.c_size && i < int(f->session().state().displayLines.size()); ++i)
        for (const TYomiraObject& el : f->session().state().displayLines[size_t(i)].elements) held |= el.first == 64 && el.column == 1;
      EXPECT_TRUE(held) << "view " << f->session().CurrentView() << " from display line " << first;
    }
    // The program's own fit starts no drag.
    EXPECT_FALSE(f->sizeMoveEndPending());
    EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());
  }
}

TEST_F(WindowResize, SizesThatStartNoDrag) {
  {
    SCOPED_TRACE("the size of the page");
    auto f = Shown();
    // Out and back to the page's size before the drag ends.
    Drag(*f, {600, 600});
    EXPECT_TRUE(f->child<HintWindow>("HintWindow")->isVisible());
    f->resize(492, 539);
    f->WMExitSizeMove();
    EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());
    EXPECT_TRUE(f->relayouts.empty());
    EXPECT_EQ(f->session().state().option.c_size, 16);
  }
  {
    SCOPED_TRACE("full screen");
    auto f = Shown();
    f->session().fullScreen = true;
    Drag(*f, {800, 700});
    EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());
    EXPECT_FALSE(f->sizeMoveEndPending());
    f->WMExitSizeMove();
    EXPECT_TRUE(f->relayouts.empty());
  }
  {
    SCOPED_TRACE("the window manager's answer to a fit");
    auto f = Shown();
    f->Relayout(true, false);
    f->resize(700, 650);
    EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());
    EXPECT_FALSE(f->sizeMoveEndPending());
    EXPECT_EQ(f->relayouts.size(), 1u);
    EXPECT_EQ(f->size(), QSize(700, 650));
  }
  {
    SCOPED_TRACE("no document");
    auto f = Make();
    f->show();
    f->setMinimumSize(0, 0);
    f->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    f->resize(800, 700);
    EXPECT_FALSE(f->child<HintWindow>("HintWindow")->isVisible());
    EXPECT_FALSE(f->sizeMoveEndPending());
  }
}

TEST_F(WindowResize, AButtonStillHeldPostponesTheEnd) {
  auto f = Shown();
  heldTimeouts_ = 1;
  Drag(*f, {800, 700});
  f->WMExitSizeMove();
  EXPECT_TRUE(f->child<HintWindow>("HintWindow")->isVisible());
  EXPECT_TRUE(f->sizeMoveEndPending());
  EXPECT_TRUE(f->relayouts.empty());
  f->WMExitSizeMove();
  EXPECT_EQ(f->relayouts, (std::vector<std::pair<bool, bool>>{{true, true}}));
  EXPECT_EQ(f->size(), QSize(778, 707));
}

TEST_F(WindowResize, TheTimerEndsTheDragByItself) {
  auto f = Shown();
  Drag(*f, {800, 700});
  EXPECT_TRUE(QTest::qWaitFor([&] { return !f->relayouts.empty(); }, 10000));
  EXPECT_EQ(f->relayouts, (std::vector<std::pair<bool, bool>>{{true, true}}));
  EXPECT_EQ(f->size(), QSize(778, 707));
}

TEST_F(WindowResize, CtrlCountsAsItWasWhenTheDragEnded) {
  using Flags = std::vector<std::pair<bool, bool>>;
  struct Case {
    const char* name;
    bool ctrlAtStep;   // Ctrl during the last resize step
    int heldLooks;     // looks at a still-held button before the release
    bool ctrlWhileHeld;
    Flags relayouts;   // font (Ctrl mode) or grid (plain mode)
  };
  const Case cases[] = {
      {"Ctrl at the last step, let go with the button", true, 0, false, {{true, false}}},
      {"Ctrl pressed while the button was still held", false, 2, true, {{true, false}}},
      {"Ctrl let go while the button was still held", true, 2, false, {{true, true}}},
      {"no Ctrl", false, 0, false, {{true, true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = Shown();
    ctrl_ = c.ctrlAtStep;
    Drag(*f, {800, 700});
    ctrl_ = c.ctrlWhileHeld;
    heldTimeouts_ = c.heldLooks;
    // The button goes up after the last look that found it held; Ctrl is let go within
    // 50 ms of it, before the drag's end is seen.
    EXPECT_TRUE(QTest::qWaitFor([&] { return heldTimeouts_ == 0; }, 5000));
    QTest::qWait(c.heldLooks ? 0 : 20);
    ctrl_ = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f->relayouts.empty(); }, 5000));
    EXPECT_EQ(f->relayouts, c.relayouts);
  }
}

}  // namespace
}  // namespace yomira
