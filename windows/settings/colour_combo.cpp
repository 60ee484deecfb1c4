#include "windows/settings/colour_combo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

#include "platform/color.h"
#include "windows/settings/settings_values.h"

namespace yomira {

namespace {

QColor System(uint32_t index) {
  const uint32_t c = ColorToRgb(kSystemColorFlag | index);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

class EntryDelegate : public QStyledItemDelegate {
 public:
  explicit EntryDelegate(ColourCombo* box) : QStyledItemDelegate(box), box_(box) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    p->save();
    const bool selected = option.state & QStyle::State_Selected;
    p->fillRect(option.rect, selected ? System(13) : System(5));
    box_->drawEntry(*p, option.rect, index.row(), selected);
    p->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(ColourCombo::kListWidth, ColourCombo::kEntryHeight);
  }

 private:
  ColourCombo* box_;
};

}  // namespace

ColourCombo::ColourCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setMaxVisibleItems(16);
  setItemDelegate(new EntryDelegate(this));
  setFixedWidth(kClosedWidth);
}

void ColourCombo::drawEntry(QPainter& p, QRect r, int index, bool selected) const {
  if (index < 0 || index >= count()) return;
  const QString text = itemText(index);           // "#RRGGBB"
  const QString name = itemData(index).toString();  // the display name
  const uint32_t c = HtmlToColor(text.toStdString());
  const QColor colour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  QFont f = font();
  f.setBold(index == tag_);
  p.setFont(f);
  p.setPen(selected ? System(14) : System(8));
  p.setClipRect(r);
  p.drawText(QRect(r.left() + kSwatchWidth, r.top(), r.width() - kSwatchWidth, r.height()),
             Qt::AlignLeft | Qt::AlignVCenter, name);
  const QRect swatch(QPoint(r.left() + 1, r.top() + 1), QPoint(r.left() + kSwatchWidth - 4, r.bottom() - 1));
  p.fillRect(swatch, colour);
  p.setPen(System(8));
  p.setBrush(Qt::NoBrush);
  p.drawRect(swatch);
  p.setClipping(false);
}

void ColourCombo::showPopup() {
  view()->setMinimumWidth(kListWidth);
  QComboBox::showPopup();
}

void ColourCombo::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionComboBox opt;
  initStyleOption(&opt);
  opt.currentText.clear();
  p.drawComplexControl(QStyle::CC_ComboBox, opt);
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
  drawEntry(p, field, currentIndex(), false);
}

void FillColourModel(QComboBox& first, const FavoriteColorList& list) {
  first.blockSignals(true);
  first.clear();
  for (const auto& e : list.entries())
    first.addItem(QString::fromStdString(e.text), QString::fromStdString(e.name));
  first.blockSignals(false);
}

}  // namespace yomira
