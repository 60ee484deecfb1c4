// The drop-down list of the property grid: a popup frame holding an owner-drawn list. It
// reports how it closed, once per opening: the widget that takes over (or none) and the
// key, Esc or Enter for every other way.
#pragma once

#include <QFrame>
#include <QPointer>

#include <functional>

class QListWidget;
class QPainter;

namespace yomira {

class PropGridPopupList : public QFrame {
  Q_OBJECT

 public:
  explicit PropGridPopupList(QWidget* parent = nullptr);

  QListWidget* list() const { return list_; }
  // Entry drawing: painter, rectangle, entry index, selected.
  std::function<void(QPainter&, QRect, int, bool)> drawEntry;
  // The close notice.
  std::function<void(QWidget* activeTo, int key)> onClose;
  // A press on this widget while the list is open only closes the list: it is not replayed.
  void setNoReplayWidget(QWidget* w) { noReplay_ = w; }

  void setEntryHeight(int h) { entryHeight_ = h; }
  int entryHeight() const { return entryHeight_; }
  // Shows the list with its top-left at pos (global), held inside the available geometry
  // of the screen under pos, all four edges, its width capped to it.
  void Popup(QPoint pos, QSize size);
  void PopupCancel();
  bool isShown() const { return isVisible(); }

  // The rectangle Popup gives, for tests: pos and size held inside screen.
  static QRect PlaceInside(QPoint pos, QSize size, const QRect& screen);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Report(QWidget* activeTo, int key);

  QListWidget* list_;
  QPointer<QWidget> noReplay_;
  int entryHeight_ = 14;
  bool reported_ = true;
};

}  // namespace yomira
