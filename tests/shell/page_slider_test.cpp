#include "shell/page_slider.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ui/action.h"

namespace yomira {
namespace {

// The channel runs from x 8 to x 92 (84 px) and the 15-px thumb stands where the value puts
// it, so every case is the same whatever the style draws.
class RectSlider : public PageSlider {
 public:
  using PageSlider::PageSlider;
  using QAbstractSlider::repeatAction;
  QRect channel{8, 0, 84, 20};
  std::optional<QRect> fixedThumb;

  QRect channelRect() const override { return channel; }
  QRect thumbRect() const override {
    if (fixedThumb) return *fixedThumb;
    const int span = channel.width() - 15;
    const int left = channel.x() + (maximum() > 0 ? span * value() / maximum() : 0);
    return QRect(left, 0, 15, 20);
  }
};

// The bottom bar under the slider: counts what the slider lets through.
struct CountingParent : QWidget {
  int presses = 0;
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void mouseDoubleClickEvent(QMouseEvent*) override { ++presses; }
};

// The window side: views, the current view, and what the slider asked for. The page actions
// behave like the window's: they move the view and the slider follows.
struct Harness : PageSliderHost {
  bool ready = true;
  int current = 1;
  int views = 5;
  SliderCodes codes;
  std::vector<int> shown;        // sliderShowView
  std::vector<int> labels;       // sliderShowPageLabel
  std::vector<std::string> ran;  // actions run by the slider
  std::vector<QObject*> senders;
  ActionCatalogue actions;
  CountingParent parent;
  RectSlider* slider = nullptr;

  Harness() {
    for (const char* name : {"ActionPageNext", "ActionPageBack", "ActionPageHome", "ActionPageEnd", "ActionPageGotoPage",
                             "ActionPageGotoLine", "ActionPageFileNext", "ActionPageFileBack", "ActionWindowPopUp"}) {
      actions.at(name).handler = [this, name](QObject* sender) {
        ran.push_back(name);
        senders.push_back(sender);
        if (std::string(name) == "ActionPageNext" && current < views) ++current;
        if (std::string(name) == "ActionPageBack" && current > 1) --current;
        slider->UpdateSliderPosition(current);
      };
    }
    slider = new RectSlider(*this, actions, &parent);
    slider->setGeometry(0, 0, 100, 20);
    slider->UpdateSliderRange(views);
    slider->UpdateSliderPosition(current);
  }
  ~Harness() override {
    if (slider->PopupMenuTrackBar->isVisible()) slider->PopupMenuTrackBar->close();
  }

  void at(int view) {
    current = view;
    slider->UpdateSliderPosition(view);
    shown.clear();
    labels.clear();
    ran.clear();
  }

  bool sliderDocumentReady() override { return ready; }
  int sliderCurrentView() override { return current; }
  int sliderViewCount() override { return views; }
  void sliderShowView(int view) override {
    shown.push_back(view);
    current = view;
    slider->UpdateSliderPosition(view);
  }
  void sliderShowPageLabel(int view) override { labels.push_back(view); }
  SliderCodes sliderCodes() override { return codes; }

  // Sends a mouse event with the buttons held after it; true when the slider kept it.
  bool send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x) {
    const QPoint p(x, 10);
    QMouseEvent e(type, p, slider->mapToGlobal(p), button, held, Qt::NoModifier);
    QApplication::sendEvent(slider, &e);
    return e.isAccepted();
  }
  bool press(Qt::MouseButton b, int x, Qt::MouseButtons held = {}) {
    return send(QEvent::MouseButtonPress, b, held | b, x);
  }
  bool release(Qt::MouseButton b, int x, Qt::MouseButtons held = {}) {
    return send(QEvent::MouseButtonRelease, b, held, x);
  }
};

TEST(PageSlider, ViewOneIsAtTheRightEnd) {
  Harness h;
  EXPECT_TRUE(h.slider->isEnabled());
  EXPECT_EQ(h.slider->minimum(), 0);
  EXPECT_EQ(h.slider->maximum(), 4);
  EXPECT_FALSE(h.slider->invertedAppearance());
  const struct {
    int view, position;
  } cases[] = {{1, 4}, {2, 3}, {3, 2}, {4, 1}, {5, 0}};
  for (const auto& c : cases) {
    h.labels.clear();
    h.slider->UpdateSliderPosition(c.view);
    EXPECT_EQ(h.slider->value(), c.position) << "view " << c.view;
    EXPECT_EQ(h.slider->ViewAtPosition(c.position), c.view);
  }
  // The label follows the thumb, also while it is dragged.
  h.slider->UpdateSliderPosition(1);
  h.labels.clear();
  h.slider->setValue(1);
  EXPECT_EQ(h.labels, std::vector<int>({4}));
}

TEST(PageSlider, RangeUpdateKeepsOneSliderAndEnablesIt) {
  Harness h;
  h.slider->setEnabled(false);
  h.slider->UpdateSliderRange(1);
  EXPECT_TRUE(h.slider->isEnabled());
  EXPECT_EQ(h.slider->maximum(), 0);
  h.slider->UpdateSliderRange(0);
  EXPECT_EQ(h.slider->maximum(), 0);
  h.slider->UpdateSliderRange(340);
  h.slider->UpdateSliderPosition(12);
  EXPECT_EQ(h.slider->value(), 328);

  QImage skin(8, 20, QImage::Format_RGB32);
  skin.fill(QColor(10, 20, 30));
  h.slider->setSkin(skin);
  EXPECT_TRUE(h.slider->autoFillBackground());
  EXPECT_EQ(h.slider->palette().window().textureImage().pixelColor(0, 0), QColor(10, 20, 30));
  EXPECT_EQ(h.slider->maximum(), 339);
  EXPECT_EQ(h.slider->value(), 328);
  // A panel too narrow for a skin: the plain face again.
  h.slider->setSkin(QImage());
  EXPECT_FALSE(h.slider->autoFillBackground());
  EXPECT_TRUE(h.slider->palette().window().textureImage().isNull());
}

enum class Did { Nothing, Next, Back, Show };

struct JumpCase {
  const char* name;
  int from;
  int x;
  QRect channel;
  Did did;
  int view;  // the view shown at once (Show)
};

TEST(PageSlider, JumpToSliderPosition) {
  const QRect ch(8, 0, 84, 20);
  // From view 3 (position 2) the thumb stands at x 42..57.
  const JumpCase cases[] = {
      {"x 50 from view 1 lands on view 3", 1, 50, ch, Did::Show, 3},
      {"the neighbour view animates", 1, 71, ch, Did::Next, 0},
      {"the neighbour view back animates", 3, 80, ch, Did::Back, 0},
      {"the thumb's left edge jumps", 3, 42, ch, Did::Show, 3},
      {"the thumb's right edge jumps", 3, 57, ch, Did::Show, 3},
      {"strictly inside the thumb", 3, 43, ch, Did::Nothing, 0},
      {"strictly inside the thumb, right", 3, 56, ch, Did::Nothing, 0},
      {"left of the channel", 1, 7, ch, Did::Nothing, 0},
      {"right of the channel", 5, 93, ch, Did::Nothing, 0},
      {"the channel's ends", 1, 8, ch, Did::Show, 5},
      {"the channel's right end", 5, 92, ch, Did::Show, 1},
      {"a channel without width", 1, 8, QRect(8, 0, 0, 20), Did::Nothing, 0},
  };
  for (const JumpCase& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.at(c.from);
    h.slider->channel = c.channel;
    h.slider->JumpToSliderPosition(c.x);
    switch (c.did) {
      case Did::Nothing:
        EXPECT_TRUE(h.ran.empty());
        EXPECT_TRUE(h.shown.empty());
        EXPECT_EQ(h.current, c.from);
        break;
      case Did::Next: EXPECT_EQ(h.ran, std::vector<std::string>({"ActionPageNext"})); break;
      case Did::Back: EXPECT_EQ(h.ran, std::vector<std::string>({"ActionPageBack"})); break;
      case Did::Show:
        EXPECT_TRUE(h.ran.empty());
        EXPECT_EQ(h.shown, std::vector<int>({c.view}));
        EXPECT_EQ(h.slider->value(), 4 + 1 - c.view);
        break;
    }
  }
}

TEST(PageSlider, JumpRoundsToTheNearestPositionIn64Bits) {
  Harness h;
  h.views = 2000000;
  h.slider->UpdateSliderRange(h.views);
  h.at(1);
  h.slider->channel = QRect(8, 0, 84, 20);
  h.slider->fixedThumb = QRect(0, 0, 1, 20);
  // 1999999 * 84 * 10 passes 2^31; the middle of the channel is the middle of the scale.
  h.slider->JumpToSliderPosition(50);
  ASSERT_EQ(h.shown.size(), 1u);
  EXPECT_EQ(h.slider->value(), 1000000);
  EXPECT_EQ(h.shown[0], 1000000);
}

TEST(PageSlider, StepTowardSliderClick) {
  const struct {
    int x;
    Did did;
  } cases[] = {{42, Did::Nothing}, {57, Did::Nothing}, {50, Did::Nothing}, {41, Did::Next},
               {8, Did::Next},     {58, Did::Back},    {92, Did::Back},    {7, Did::Nothing},
               {93, Did::Nothing}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    Harness h;
    h.at(3);
    h.slider->StepTowardSliderClick(c.x);
    const std::vector<std::string> want = c.did == Did::Next   ? std::vector<std::string>{"ActionPageNext"}
                                          : c.did == Did::Back ? std::vector<std::string>{"ActionPageBack"}
                                                               : std::vector<std::string>{};
    EXPECT_EQ(h.ran, want);
  }
}

TEST(PageSlider, NothingMovesWithoutALaidOutDocument) {
  Harness h;
  h.at(3);
  h.ready = false;
  h.slider->StepTowardSliderClick(20);
  h.slider->JumpToSliderPosition(20);
  h.slider->setValue(0);
  h.release(Qt::LeftButton, 20);
  h.release(Qt::RightButton, 20);
  EXPECT_TRUE(h.ran.empty());
  EXPECT_TRUE(h.shown.empty());
  EXPECT_EQ(h.current, 3);
}

TEST(PageSlider, CodesRunTheirActionsWithTheSliderAsSender) {
  const struct {
    int code;
    const char* action;  // nullptr: nothing
  } cases[] = {{1, "ActionPageNext"},     {2, "ActionPageBack"},     {5, "ActionWindowPopUp"},
               {6, "ActionPageFileNext"}, {7, "ActionPageFileBack"}, {0, nullptr},
               {9, nullptr},              {-1, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Harness h;
    h.at(3);
    h.slider->RunSliderCode(c.code, 20);
    if (c.action) {
      EXPECT_EQ(h.ran, std::vector<std::string>({c.action}));
      ASSERT_EQ(h.senders.size(), 1u);
      EXPECT_EQ(h.senders[0], h.slider);
    } else {
      EXPECT_TRUE(h.ran.empty());
      EXPECT_TRUE(h.shown.empty());
      EXPECT_FALSE(h.slider->PopupMenuTrackBar->isVisible());
    }
  }
  Harness h;
  h.at(3);
  h.slider->RunSliderCode(3, 20);
  EXPECT_EQ(h.ran, std::vector<std::string>({"ActionPageNext"}));
  h.at(3);
  h.slider->RunSliderCode(4, 8);
  EXPECT_EQ(h.shown, std::vector<int>({5}));
}

TEST(PageSlider, MenuJumpsToWhereItWasOpened) {
  Harness h;
  h.at(1);
  h.slider->RunSliderCode(8, 50);
  EXPECT_EQ(h.slider->SliderPopupX, 50);
  EXPECT_TRUE(h.slider->PopupMenuTrackBar->isVisible());
  EXPECT_TRUE(h.shown.empty());
  h.slider->PopupMenuTrackBar->close();
  h.slider->MenuTrackBarThis->trigger();
  EXPECT_EQ(h.shown, std::vector<int>({3}));
}

TEST(PageSlider, MenuOffersThisPageThenThePageActionsInPairs) {
  Harness h;
  std::vector<std::string> names;
  for (QAction* a : h.slider->PopupMenuTrackBar->actions())
    names.push_back(a->isSeparator() ? "-" : a->objectName().toStdString());
  EXPECT_EQ(names, std::vector<std::string>({"MenuTrackBarThis", "-", "ActionPageNext", "ActionPageBack", "-",
                                             "ActionPageHome", "ActionPageEnd", "-", "ActionPageGotoPage",
                                             "ActionPageGotoLine", "-", "ActionPageFileNext", "ActionPageFileBack"}));
  EXPECT_EQ(h.slider->MenuTrackBarThis->text(), QString::fromUtf8("このページへ移動(&T)"));
  h.slider->PopupMenuTrackBar->actions()[5]->trigger();
  EXPECT_EQ(h.ran, std::vector<std::string>({"ActionPageHome"}));
}

TEST(PageSlider, PressLatch) {
  Harness h;
  h.at(3);  // thumb at x 42..57
  // A left press on the thumb runs no code but holds the latch.
  h.press(Qt::LeftButton, 50);
  EXPECT_TRUE(h.slider->latched());
  // A right press while the left button is still down runs nothing.
  h.press(Qt::RightButton, 50, Qt::LeftButton);
  EXPECT_TRUE(h.ran.empty());
  h.release(Qt::RightButton, 50, Qt::LeftButton);
  h.release(Qt::LeftButton, 50);
  EXPECT_FALSE(h.slider->latched());
  h.press(Qt::RightButton, 50);
  h.release(Qt::RightButton, 50);
  EXPECT_EQ(h.ran, std::vector<std::string>({"ActionWindowPopUp"}));
}

TEST(PageSlider, AStaleLatchDoesNotEatTheNextPress) {
  Harness h;
  h.codes.left = 6;
  h.at(3);
  // The right press opened a menu, which took its release.
  h.press(Qt::RightButton, 50);
  ASSERT_TRUE(h.slider->latched());
  h.press(Qt::LeftButton, 20);
  h.release(Qt::LeftButton, 20);
  ASSERT_GE(h.ran.size(), 2u);
  EXPECT_EQ(h.ran[0], "ActionWindowPopUp");
  EXPECT_EQ(h.ran[1], "ActionPageFileNext");
}

TEST(PageSlider, APressThatOpensAMenuStopsTheSlidersOwnPaging) {
  const struct {
    int code;
    bool repeats;
  } cases[] = {{3, true}, {8, false}, {5, false}, {6, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Harness h;
    h.codes.left = c.code;
    h.at(3);
    h.press(Qt::LeftButton, 20);
    // Held, a step press pages on like the native bar; a menu would never send the release.
    EXPECT_EQ(h.slider->repeatAction() != QAbstractSlider::SliderNoAction, c.repeats);
    h.release(Qt::LeftButton, 20);
    if (!c.repeats) {
      // The code's own work is all: the thumb the press moved goes back, so a release that
      // does arrive (a file code with no next file) turns no page.
      EXPECT_EQ(h.current, 3);
      EXPECT_EQ(h.slider->value(), 5 - 3);
      for (const std::string& name : h.ran) EXPECT_TRUE(name != "ActionPageNext" && name != "ActionPageBack") << name;
    }
  }
}

TEST(PageSlider, LeftPressBesideTheThumbStepsOnceAndTheReleaseStaysThere) {
  for (int x : {20, 80}) {
    SCOPED_TRACE(x);
    Harness h;
    h.at(3);
    h.press(Qt::LeftButton, x);
    h.release(Qt::LeftButton, x);
    EXPECT_EQ(h.ran, std::vector<std::string>({x < 42 ? "ActionPageNext" : "ActionPageBack"}));
    EXPECT_EQ(h.current, x < 42 ? 4 : 2);
    EXPECT_EQ(h.slider->value(), 5 - h.current);
    EXPECT_TRUE(h.shown.empty());
  }
}

TEST(PageSlider, ReleaseGoesToTheViewUnderTheThumb) {
  const struct {
    int from, dragTo;
    Did did;
    int view;
  } cases[] = {{1, 3, Did::Next, 2}, {3, 3, Did::Back, 2}, {1, 0, Did::Show, 5},
               {5, 4, Did::Show, 1}, {3, 2, Did::Nothing, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " -> position " << c.dragTo);
    Harness h;
    h.at(c.from);
    h.slider->fixedThumb = QRect(42, 0, 15, 20);
    h.press(Qt::LeftButton, 50);
    h.slider->setValue(c.dragTo);  // what the drag does
    h.release(Qt::LeftButton, 50);
    EXPECT_EQ(h.current, c.view);
    const std::vector<std::string> ran = c.did == Did::Next   ? std::vector<std::string>{"ActionPageNext"}
                                         : c.did == Did::Back ? std::vector<std::string>{"ActionPageBack"}
                                                              : std::vector<std::string>{};
    EXPECT_EQ(h.ran, ran);
    EXPECT_EQ(h.shown, c.did == Did::Show ? std::vector<int>({c.view}) : std::vector<int>());
  }
}

TEST(PageSlider, RightReleasePutsThePositionBack) {
  Harness h;
  h.codes.right = 0;
  h.at(2);
  h.press(Qt::RightButton, 50);
  h.slider->setValue(0);
  h.release(Qt::RightButton, 50);
  EXPECT_EQ(h.slider->value(), 3);
  EXPECT_EQ(h.current, 2);
  EXPECT_TRUE(h.ran.empty() && h.shown.empty());
}

TEST(PageSlider, ADoubleClickRunsNoSecondCode) {
  for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    SCOPED_TRACE(static_cast<int>(b));
    Harness h;
    h.codes = {5, 5, 5};
    h.at(2);
    h.press(b, 20);
    h.release(b, 20);
    EXPECT_TRUE(h.send(QEvent::MouseButtonDblClick, b, b, 20));
    h.release(b, 20);
    // The slider's own stepping may still turn pages on the releases; the code runs once.
    EXPECT_EQ(std::count(h.ran.begin(), h.ran.end(), "ActionWindowPopUp"), 1);
    EXPECT_EQ(h.parent.presses, 0);
  }
}

TEST(PageSlider, ARightPressOpensExactlyOneMenu) {
  Harness h;
  h.parent.setContextMenuPolicy(Qt::CustomContextMenu);
  int parentMenus = 0;
  QObject::connect(&h.parent, &QWidget::customContextMenuRequested, [&] { ++parentMenus; });
  h.at(2);
  EXPECT_TRUE(h.press(Qt::RightButton, 50));
  h.release(Qt::RightButton, 50);
  EXPECT_EQ(h.parent.presses, 0);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(50, 10), h.slider->mapToGlobal(QPoint(50, 10)));
  QApplication::sendEvent(h.slider, &menu);
  EXPECT_EQ(h.ran, std::vector<std::string>({"ActionWindowPopUp"}));
  EXPECT_EQ(parentMenus, 0);
}

TEST(PageSlider, MiddlePressJumpsAndIsKept) {
  Harness h;
  h.at(1);
  EXPECT_TRUE(h.press(Qt::MiddleButton, 50));
  h.release(Qt::MiddleButton, 50);
  EXPECT_EQ(h.shown, std::vector<int>({3}));
  EXPECT_EQ(h.current, 3);
}

TEST(PageSlider, TheWheelIsLeftToTheWindow) {
  Harness h;
  h.at(3);
  const QPoint p(50, 10);
  QWheelEvent wheel(p, h.slider->mapToGlobal(p), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(h.slider, &wheel);
  EXPECT_FALSE(wheel.isAccepted());
  EXPECT_EQ(h.slider->value(), 2);
  EXPECT_TRUE(h.ran.empty() && h.shown.empty());
}

}  // namespace
}  // namespace yomira
