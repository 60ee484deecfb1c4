// A pale box with a few lines of text beside the pointer: the annotation notes and the size
// preview of the main window, the book window's and the property grid's hints. It never
// takes focus or activation, so showing it leaves the active window as it was.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace yomira {

class HintWindow : public QWidget {
 public:
  // A top-level window that closes with owner; the application font unless setFont is
  // called.
  explicit HintWindow(QWidget* owner = nullptr);

  // The window size for text: wrapped at word breaks (anywhere when a word is too long)
  // within maxWidth, with the frame and padding.
  QSize measure(const QString& text, int maxWidth) const;
  // Shows text in screenRect (screen coordinates; usually measure's size) without
  // activating.
  void showAt(const QRect& screenRect, const QString& text);
  using QWidget::hide;

  const QString& text() const { return text_; }

  static constexpr int kFrame = 1;
  static constexpr int kPadding = 2;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  int textFlags(const QString& text, int width) const;

  QString text_;
};

}  // namespace yomira
