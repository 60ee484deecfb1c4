// A spin button (two auto-repeat arrow buttons), the auto-repeat button it is made of, and
// a spin edit built on it. Kept as building blocks; the settings dialog uses UxSpinEdit.
#pragma once

#include "windows/controls/common_button.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>

namespace yomira {

// A CommonButton that clicks again while held: first after 300 ms, then every 50 ms.
class TimerSpeedButton : public CommonButton {
  Q_OBJECT

 public:
  static constexpr int kFirstRepeatMs = 300;
  static constexpr int kRepeatMs = 50;

  explicit TimerSpeedButton(QWidget* parent = nullptr);

  bool allowTimer() const { return autoRepeat(); }
  void setAllowTimer(bool allow);
  // A focus rectangle inset by 3 pixels (the focused arrow of a focused spin button).
  bool focusRect() const { return focusRect_; }
  void setFocusRect(bool on);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

 private:
  bool focusRect_ = false;
};

class CommonSpinButton : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMinWidth = 15;

  // 20 x 25, not a tab stop.
  explicit CommonSpinButton(QWidget* parent = nullptr);

  TimerSpeedButton* upButton() const { return up_; }
  TimerSpeedButton* downButton() const { return down_; }
  TimerSpeedButton* focusedButton() const { return focused_; }

  bool flat() const { return up_->flat(); }
  void setFlat(bool flat);
  // Takes the focus when an arrow is pressed; cleared when that widget is deleted.
  QWidget* focusControl() const { return focusControl_; }
  void setFocusControl(QWidget* w) { focusControl_ = w; }
  bool tabStop() const { return focusPolicy() != Qt::NoFocus; }
  void setTabStop(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus); }

  QSize sizeHint() const override { return {20, 25}; }

 signals:
  void upClicked();
  void downClicked();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void setFocusedButton(TimerSpeedButton* b);
  void layoutButtons();

  TimerSpeedButton* up_;
  TimerSpeedButton* down_;
  TimerSpeedButton* focused_;
  QPointer<QWidget> focusControl_;
};

// A numeric edit with a CommonSpinButton inside its right edge. Unlike UxSpinEdit the value
// is read from the text whenever it is asked for.
class CommonSpinEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kButtonWidth = 15;

  // Text "0", increment 1, editor enabled, auto-select on.
  explicit CommonSpinEdit(QWidget* parent = nullptr);

  // The text's value: a text that is no number, or reads as 0 without being "0", is
  // minValue; clamped when the bounds differ.
  int value() const;
  void setValue(int value);
  int minValue() const { return minValue_; }
  void setMinValue(int v) { minValue_ = v; }
  int maxValue() const { return maxValue_; }
  void setMaxValue(int v) { maxValue_ = v; }
  int increment() const { return increment_; }
  void setIncrement(int v) { increment_ = v; }
  // false: nothing can be typed, the arrows still step.
  bool editorEnabled() const { return editorEnabled_; }
  void setEditorEnabled(bool on) { editorEnabled_ = on; }
  bool autoSelect() const { return autoSelect_; }
  void setAutoSelect(bool on) { autoSelect_ = on; }

  // Value +/- increment (64-bit, saturated); a read-only edit only beeps.
  void upClick();
  void downClick();

  // Border and font rule: 4 x border + min(application font, font) height / 4 + font height + 2.
  int minimumEditHeight() const;

  CommonSpinButton* button() const { return button_; }

  // What a refused character or a read-only step does; QApplication::beep() by default.
  static void setBeepHook(std::function<void()> hook);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void step(int direction);
  void layoutButton();

  CommonSpinButton* button_;
  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  bool editorEnabled_ = true;
  bool autoSelect_ = true;
};

}  // namespace yomira
