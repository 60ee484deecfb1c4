// A single-line edit with a square button inside its right edge: the tools dialog's program
// path ("..."), shortcut ("x") and parameter template. The button works in a read-only edit
// and is greyed with a disabled one.
#pragma once

#include <QLineEdit>
#include <QKeyEvent>
#include <QString>

class QToolButton;

namespace yomira {

class UxSpeedEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit UxSpeedEdit(QWidget* parent = nullptr);

  const QString& buttonCaption() const { return buttonCaption_; }
  virtual void setButtonCaption(const QString& caption);

  // The button "UxSpeedButton" (for the holder's tests and pictures).
  QToolButton* button() const { return button_; }

 signals:
  void buttonClicked();
  void entered();
  void exited();
  // Every key that carries text (Enter and Esc included), before the edit's own handling.
  void keyPressed(QKeyEvent* event, bool& swallow);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void layoutButton();

  QString buttonCaption_;
  QToolButton* button_;
};

}  // namespace yomira
