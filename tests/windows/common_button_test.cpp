#include "windows/controls/common_button.h"

#include "controls_fixture.h"

#include <QImage>

#include <functional>

namespace yomira {
namespace {

using CommonButtonTest = test::ControlsTest;

CommonButton* Make(QWidget* parent, ComBtnStyle style, int group = 0) {
  auto* b = new CommonButton(parent);
  b->setComStyle(style);
  b->setGroupIndex(group);
  b->resize(24, 24);
  return b;
}

TEST_F(CommonButtonTest, ClickAndSetCheckedFollowTheStyle) {
  struct Case {
    const char* what;
    std::function<bool()> run;  // returns the button's checked state afterwards
    bool checked;
  };
  const Case cases[] = {
      {"check: one click",
       [] {
         QWidget w;
         auto* b = Make(&w, clsCheckButton);
         QTest::mouseClick(b, Qt::LeftButton);
         return b->checked();
       },
       true},
      {"check: two clicks",
       [] {
         QWidget w;
         auto* b = Make(&w, clsCheckButton);
         QTest::mouseClick(b, Qt::LeftButton);
         QTest::mouseClick(b, Qt::LeftButton);
         return b->checked();
       },
       false},
      {"radio: setChecked(false) is ignored",
       [] {
         QWidget w;
         auto* b = Make(&w, clsRadioButton, 1);
         b->setChecked(true);
         b->setChecked(false);
         return b->checked();
       },
       true},
      {"radio: clicking a checked radio keeps it",
       [] {
         QWidget w;
         auto* b = Make(&w, clsRadioButton, 1);
         b->setChecked(true);
         QTest::mouseClick(b, Qt::LeftButton);
         return b->checked();
       },
       true},
      {"push: setChecked(true) is ignored",
       [] {
         QWidget w;
         auto* b = Make(&w, clsNormalButton);
         b->setChecked(true);
         return b->checked();
       },
       false},
      {"check turned push loses its check",
       [] {
         QWidget w;
         auto* b = Make(&w, clsCheckButton);
         b->setChecked(true);
         b->setComStyle(clsNormalButton);
         return b->checked();
       },
       false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.run(), c.checked) << c.what;
}

TEST_F(CommonButtonTest, RadiosOfOneParentAndGroupExcludeEachOther) {
  QWidget w;
  auto* a = Make(&w, clsRadioButton, 1);
  auto* b = Make(&w, clsRadioButton, 1);
  auto* other = Make(&w, clsRadioButton, 2);
  auto* check = Make(&w, clsCheckButton, 1);
  QWidget elsewhere;
  auto* foreign = Make(&elsewhere, clsRadioButton, 1);
  a->setChecked(true);
  other->setChecked(true);
  check->setChecked(true);
  foreign->setChecked(true);
  QTest::mouseClick(b, Qt::LeftButton);
  EXPECT_FALSE(a->checked());
  EXPECT_TRUE(b->checked());
  EXPECT_TRUE(other->checked());
  EXPECT_TRUE(check->checked());
  EXPECT_TRUE(foreign->checked());

  // Group 0 is a group too.
  auto* z1 = Make(&w, clsRadioButton, 0);
  auto* z2 = Make(&w, clsRadioButton, 0);
  z1->setChecked(true);
  z2->setChecked(true);
  EXPECT_FALSE(z1->checked());
  EXPECT_TRUE(b->checked());
}

TEST_F(CommonButtonTest, SizeGripIsNeverFlat) {
  CommonButton b;
  b.setFlat(true);
  EXPECT_TRUE(b.flat());
  b.setComStyle(clsSizeGrip);
  EXPECT_FALSE(b.flat());
  b.setFlat(true);
  EXPECT_FALSE(b.flat());
}

TEST_F(CommonButtonTest, GroupedButtonsShareOneDownState) {
  QWidget w;
  auto* a = Make(&w, clsNormalButton, 3);
  auto* b = Make(&w, clsNormalButton, 3);
  auto* loose = Make(&w, clsNormalButton, 0);
  QTest::mouseClick(a, Qt::LeftButton);
  EXPECT_TRUE(a->down());
  QTest::mouseClick(b, Qt::LeftButton);
  EXPECT_FALSE(a->down());
  EXPECT_TRUE(b->down());
  QTest::mouseClick(b, Qt::LeftButton);
  EXPECT_TRUE(b->down());  // stays down without allowAllUp
  b->setAllowAllUp(true);
  QTest::mouseClick(b, Qt::LeftButton);
  EXPECT_FALSE(b->down());
  loose->setDown(true);
  EXPECT_FALSE(loose->down());  // no group, no exclusive state
}

QImage Picture(ComBtnStyle style, const std::function<void(CommonButton&)>& state = {}) {
  CommonButton b;
  b.setComStyle(style);
  b.resize(24, 24);
  if (state) state(b);
  return b.grab().toImage();
}

TEST_F(CommonButtonTest, EveryStyleDrawsItsOwnFaceInEachState) {
  QWidget plainParent;
  plainParent.resize(24, 24);
  const QImage plainFace = plainParent.grab().toImage();
  for (int s = clsNormalButton; s <= clsSizeGrip; ++s) {
    SCOPED_TRACE(s);
    const auto style = static_cast<ComBtnStyle>(s);
    const QImage up = Picture(style);
    EXPECT_NE(up, plainFace);
    EXPECT_NE(up, Picture(style, [](CommonButton& b) { b.setEnabled(false); }));
    if (style == clsSizeGrip) continue;  // a grip has no pressed look
    const auto pressed = [&](CommonButton& b) {
      if (style == clsCheckButton) b.setChecked(true);
      else if (style == clsRadioButton) b.setChecked(true);
      else { b.setGroupIndex(1); b.setDown(true); }
    };
    EXPECT_NE(up, Picture(style, pressed));
  }
}

TEST_F(CommonButtonTest, ScrollBorderKeepsItsInsideTheButtonFace) {
  for (bool down : {false, true}) {
    const QImage img = Picture(clsScrollBorder, [down](CommonButton& b) {
      b.resize(40, 24);
      b.setGroupIndex(1);
      b.setDown(down);
    });
    int inside = 0, border = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const bool face = img.pixel(x, y) == qRgb(0xf0, 0xf0, 0xf0);
        const bool in = x >= 2 && y >= 2 && x < img.width() - 2 && y < img.height() - 2;
        (in ? inside : border) += face ? 0 : 1;
      }
    EXPECT_EQ(inside, 0) << (down ? "down" : "up");
    EXPECT_GT(border, 0) << "the frame itself is drawn";
  }
}

}  // namespace
}  // namespace yomira
