// A drawn button with fourteen frame styles (push, check, radio, caption buttons, scroll
// arrows, size grip) and the speed button's exclusive "down" state within a group. No
// window of the reader places it; it is kept as a building block.
#pragma once

#include <QAbstractButton>

namespace yomira {

enum ComBtnStyle {
  clsNormalButton = 0,
  clsCheckButton,
  clsRadioButton,
  clsCloseButton,
  clsHelpButton,
  clsMaximizeButton,
  clsMinimizeButton,
  clsRestoreButton,
  clsScrollBorder,
  clsScrollDown,
  clsScrollLeft,
  clsScrollRight,
  clsScrollUp,
  clsSizeGrip,
};

class CommonButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit CommonButton(QWidget* parent = nullptr);

  ComBtnStyle comStyle() const { return style_; }
  // The size grip is never flat; styles other than check and radio are never checked.
  void setComStyle(ComBtnStyle style);

  bool checked() const { return checked_; }
  // Only a check button stores any value; a radio button stores true (unchecking the other
  // radios of its group) and ignores false; other styles ignore it.
  void setChecked(bool checked);

  // Radios of one parent with one group index exclude each other (0 included); an index
  // above 0 also groups the exclusive down state.
  int groupIndex() const { return groupIndex_; }
  void setGroupIndex(int index);

  bool flat() const { return flat_; }
  void setFlat(bool flat);

  // The exclusive state: with a group index above 0 a click puts the button down and the
  // others of its group up; a down button goes up only when allowAllUp.
  bool down() const { return down_; }
  void setDown(bool down);
  bool allowAllUp() const { return allowAllUp_; }
  void setAllowAllUp(bool allow);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void nextCheckState() override;
  void mousePressEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  // Drawn down: pressed with the pointer inside, or in the exclusive down state.
  bool drawnDown() const;

 private:
  template <class Fn>
  void forEachSibling(Fn&& fn);

  ComBtnStyle style_ = clsNormalButton;
  bool checked_ = false;
  int groupIndex_ = 0;
  bool flat_ = false;
  bool down_ = false;
  bool allowAllUp_ = false;
};

}  // namespace yomira
