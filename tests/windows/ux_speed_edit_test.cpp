#include "windows/controls/ux_speed_edit.h"

#include "controls_fixture.h"

#include <QImage>
#include <QSignalSpy>
#include <QToolButton>

namespace yomira {

namespace {

using UxSpeedEditTest = test::ControlsTest;

TEST_F(UxSpeedEditTest, ButtonIsASquareFlushRightInTheClientArea) {
  struct Probe : UxSpeedEdit {
    using QLineEdit::cursorRect;
  };
  struct Case {
    QSize size;
    QRect button;
  };
  // Fusion's client area is the rectangle inside a 1-pixel frame.
  const Case cases[] = {
      {{200, 21}, {180, 1, 19, 19}},
      {{80, 30}, {51, 1, 28, 28}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.width());
    Probe edit;
    edit.resize(c.size);
    edit.show();
    EXPECT_EQ(edit.button()->geometry(), c.button);
    EXPECT_EQ(edit.button()->objectName(), "UxSpeedButton");
    edit.setText(QString(60, u'w'));
    edit.end(false);
    EXPECT_EQ(test::DarkColumnsFrom(edit, c.button.left()), 0) << "text under the button";  // painting scrolls to the cursor
    EXPECT_LT(edit.cursorRect().center().x(), c.button.left());
  }
}

TEST_F(UxSpeedEditTest, CaptionShowsOnTheButton) {
  UxSpeedEdit edit;
  edit.resize(200, 21);
  edit.show();
  const QImage blank = edit.button()->grab().toImage();
  edit.setButtonCaption(QStringLiteral("…"));
  EXPECT_EQ(edit.buttonCaption(), QStringLiteral("…"));
  EXPECT_EQ(edit.button()->text(), QStringLiteral("…"));
  const QImage dots = edit.button()->grab().toImage();
  edit.setButtonCaption(QStringLiteral("×"));
  const QImage cross = edit.button()->grab().toImage();
  EXPECT_NE(blank, dots);
  EXPECT_NE(dots, cross);
}

TEST_F(UxSpeedEditTest, ClicksAreReportedUnlessDisabled) {
  struct Case {
    const char* what;
    bool readOnly;
    bool enabled;
    int clicks;
  };
  const Case cases[] = {
      {"plain", false, true, 1},
      {"read-only", true, true, 1},
      {"disabled", false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UxSpeedEdit edit;
    edit.resize(200, 21);
    edit.setReadOnly(c.readOnly);
    edit.setEnabled(c.enabled);
    edit.show();
    QSignalSpy clicked(&edit, &UxSpeedEdit::buttonClicked);
    QTest::mouseClick(edit.button(), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), c.clicks);
    EXPECT_EQ(edit.button()->isEnabled(), c.enabled);
  }
}

TEST_F(UxSpeedEditTest, TabSkipsTheButton) {
  QWidget window;
  auto* edit = new UxSpeedEdit(&window);
  auto* after = new QLineEdit(&window);
  edit->setGeometry(0, 0, 200, 21);
  after->setGeometry(0, 30, 200, 21);
  edit->setFocus();
  ASSERT_TRUE(ShowActive(window));
  QSignalSpy exited(edit, &UxSpeedEdit::exited);
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_TRUE(after->hasFocus());
  EXPECT_EQ(exited.count(), 1);
  EXPECT_EQ(edit->button()->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace yomira
