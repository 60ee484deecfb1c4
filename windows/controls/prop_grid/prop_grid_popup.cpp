#include "windows/controls/prop_grid/prop_grid_popup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace yomira {

namespace {

// Hands each entry's drawing to the popup's owner.
class EntryDelegate : public QStyledItemDelegate {
 public:
  explicit EntryDelegate(PropGridPopupList* popup) : QStyledItemDelegate(popup), popup_(popup) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!popup_->drawEntry) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    painter->save();
    popup_->drawEntry(*painter, option.rect, index.row(), (option.state & QStyle::State_Selected) != 0);
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), popup_->entryHeight());
  }

 private:
  PropGridPopupList* popup_;
};

}  // namespace

PropGridPopupList::PropGridPopupList(QWidget* parent) : QFrame(parent, Qt::Popup) {
  setObjectName("PropGridPopupList");
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  auto* layout = new QVBoxLayout(this);
  // The frame's own line is the border: the list fills the rest, whatever its size.
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  list_ = new QListWidget(this);
  list_->setObjectName("PropGridPopupListBox");
  list_->setFrameShape(QFrame::NoFrame);
  list_->setUniformItemSizes(true);
  list_->setItemDelegate(new EntryDelegate(this));
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setMouseTracking(true);
  list_->setMinimumSize(1, 1);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  layout->addWidget(list_);
  setFocusProxy(list_);
}

QRect PropGridPopupList::PlaceInside(QPoint pos, QSize size, const QRect& screen) {
  QRect r(pos, size);
  if (screen.isEmpty()) return r;
  r.setWidth(std::min(r.width(), screen.width()));
  r.setHeight(std::min(r.height(), screen.height()));
  if (r.right() > screen.right()) r.moveRight(screen.right());
  if (r.bottom() > screen.bottom()) r.moveBottom(screen.bottom());
  if (r.left() < screen.left()) r.moveLeft(screen.left());
  if (r.top() < screen.top()) r.moveTop(screen.top());
  return r;
}

void PropGridPopupList::Popup(QPoint pos, QSize size) {
  PopupCancel();
  QScreen* screen = QGuiApplication::screenAt(pos);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect r = PlaceInside(pos, size, screen ? screen->availableGeometry() : QRect());
  setGeometry(r);
  reported_ = false;
  setAttribute(Qt::WA_NoMouseReplay, false);
  show();
  list_->setFocus(Qt::PopupFocusReason);
  if (list_->currentItem()) list_->scrollToItem(list_->currentItem());
}

void PropGridPopupList::PopupCancel() {
  if (!isVisible()) return;
  reported_ = true;  // a cancel is no choice
  hide();
}

void PropGridPopupList::Report(QWidget* activeTo, int key) {
  if (reported_) return;
  reported_ = true;
  if (isVisible()) hide();
  if (onClose) onClose(activeTo, key);
}

void PropGridPopupList::mousePressEvent(QMouseEvent* e) {
  // A press outside the list: Qt closes the popup and replays the press to the widget
  // under the pointer, except on the drop-down button, which must not reopen it.
  const QPoint global = e->globalPosition().toPoint();
  if (!rect().contains(e->position().toPoint())) {
    QWidget* under = QApplication::widgetAt(global);
    if (noReplay_ && noReplay_->isVisible() && noReplay_->rect().contains(noReplay_->mapFromGlobal(global)))
      setAttribute(Qt::WA_NoMouseReplay, true);
    Report(under, Qt::Key_Return);
  }
  QFrame::mousePressEvent(e);
}

void PropGridPopupList::hideEvent(QHideEvent* e) {
  // Any other way out (the window lost the focus): nothing takes over.
  Report(nullptr, Qt::Key_Return);
  QFrame::hideEvent(e);
}

bool PropGridPopupList::eventFilter(QObject* watched, QEvent* e) {
  if (watched == list_ && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Escape) {
      Report(this, Qt::Key_Escape);
      return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Report(this, Qt::Key_Return);
      return true;
    }
  }
  if (watched == list_->viewport() && e->type() == QEvent::MouseButtonRelease) {
    auto* me = static_cast<QMouseEvent*>(e);
    QListWidgetItem* item = list_->itemAt(me->position().toPoint());
    if (item && item == list_->currentItem()) {
      Report(this, Qt::Key_Return);
      return true;
    }
  }
  return QFrame::eventFilter(watched, e);
}

}  // namespace yomira
