// A numeric edit with an up-down pair inside its right edge: the settings dialog's font
// size, line and column counts, spacing and margins. The value is clamped to
// [minValue, maxValue] unless the two are equal (then any value goes); typed digits are
// read back into it while the text stays as typed until the edit is left.
#pragma once

#include <QLineEdit>
#include <QKeyEvent>

#include <cstdint>
#include <exception>
#include <optional>

class QToolButton;

namespace yomira {

class UxSpinEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kUpDownWidth = 14;

  // Value, bounds 0, increment 1, text "0", right-aligned, no input method.
  explicit UxSpinEdit(QWidget* parent = nullptr);

  int value() const { return value_; }
  int minValue() const { return minValue_; }
  int maxValue() const { return maxValue_; }
  int increment() const { return increment_; }

  // Clamps when the bounds differ; rewrites the text unless typed text is being read back.
  virtual void setValue(int value);
  // Store the bound, then set the value again (clamping and rewriting the text).
  virtual void setMaxValue(int value);
  virtual void setMinValue(int value);
  virtual void setIncrement(int value);

  // Value +/- increment, computed in 64 bits and saturated to int before the clamp.
  void stepBy(int steps);

  // Wide enough for four digits beside the up-down (never below the classic 41 pixels).
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
  // The width that shows `digits` digits of the current font whole beside the up-down.
  int widthForDigits(int digits) const;
  static constexpr int kMinWidth = 41;
  static constexpr int kShownDigits = 4;

  // The column "UxUpDown" and its arrows (for the holder's tests and pictures).
  QWidget* upDown() const { return upDown_; }
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  // After every text change, once the text has been read back into value().
  void changed();
  void entered();
  // After leaving has rewritten the text from value().
  void exited();
  // Every key that carries text (Enter and Esc included), before the edit's own handling.
  void keyPressed(QKeyEvent* event, bool& swallow);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void readBack(const QString& text);
  void pasteDigits(const QString& text);
  void arrowClicked(QToolButton* button, int steps);
  void layoutUpDown();

  QWidget* upDown_;
  QToolButton* up_;
  QToolButton* down_;
  int value_ = 0;
  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  bool inChange_ = false;
  int wheelRest_ = 0;  // angle delta below a whole notch, kept for the next event
  std::exception_ptr pendingFault_;  // thrown by a step of an arrow, raised again from event()
};

// The decimal value of a spin edit's text: digits with an optional sign; digits beyond the
// int range saturate; anything else (a lone "-" included) is not a number.
std::optional<int> ReadSpinText(const QString& text);

// v saturated to the int range, then raised to min and lowered to max unless min == max
// (equal bounds take any value).
int ClampSpinValue(int64_t v, int min, int max);

}  // namespace yomira
