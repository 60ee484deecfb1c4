// A horizontal slider that tells its holder about its mouse: the page slider of the main
// window is one. It never takes the keyboard focus (the arrow keys stay with the page
// actions) and never offers a context menu of its own (a right press is the holder's).
#pragma once

#include <QRect>
#include <QSlider>

class QMouseEvent;

namespace yomira {

class UxTrackBar : public QSlider {
  Q_OBJECT

 public:
  // Disabled, scale 0..1 at 1, page and single step 1, no ticks.
  explicit UxTrackBar(QWidget* parent = nullptr);

  // The thumb and the channel in client coordinates, from the widget's style. Virtual so
  // that tests can place them exactly (styles differ).
  virtual QRect thumbRect() const;
  virtual QRect channelRect() const;

 signals:
  void changed(int value);
  void entered();
  // Client coordinates; raised after the slider's own handling of the event.
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
};

}  // namespace yomira
