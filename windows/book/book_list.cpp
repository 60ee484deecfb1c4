#include "windows/book/book_list.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "platform/color.h"
#include "windows/book/book_logic.h"

namespace yomira {

namespace {

QColor SystemColor(int index) {
  const uint32_t rgb = ColorToRgb(kSystemColorFlag | static_cast<uint32_t>(index));
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// The bar: a light blue on the window colour and a deep one on the selection, both plainly
// apart from their row and light or dark enough for the text drawn over them.
constexpr int kHighlight = 13, kHighlightText = 14, kHotLight = 26, kGradientActiveCaption = 27, kWindow = 5,
              kWindowText = 8;

}  // namespace

QVariant BookListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count_ || !rowState_) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const BookRowState s = rowState_(index.row());
  if (!s.entry) return {};
  return QString::fromStdString(role == Qt::DisplayRole ? RowCaption(*s.entry, s.tab, s.textIndex)
                                                       : RowHintText(*s.entry, s.tab));
}

void BookListModel::setCount(int count) {
  beginResetModel();
  count_ = std::max(0, count);
  endResetModel();
}

QSize BookRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(1, QFontMetrics(option.font).height() + 4);
}

void BookRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  paintRow(painter, option.rect, option.font, option.state & QStyle::State_Selected, index.row(),
           index.data(Qt::DisplayRole).toString());
}

void BookRowDelegate::paintRow(QPainter* painter, const QRect& rect, const QFont& font, bool selected,
                               int row, const QString& caption) const {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  const BookRowState s = rowState_ ? rowState_(row) : BookRowState{};
  const QColor fill = SystemColor(selected ? kHighlight : kWindow);
  const QColor ink = SystemColor(selected ? kHighlightText : kWindowText);
  const QColor barColour = SystemColor(selected ? kHotLight : kGradientActiveCaption);
  painter->fillRect(rect, fill);
  if (!s.entry) {
    painter->restore();
    return;
  }
  const int w = rect.width(), h = rect.height(), top = rect.top(), left = rect.left();
  const TFileItem& e = *s.entry;
  const bool current = IsCurrentDocument(e, s.current);
  int p = e.Rate;
  if (current && s.tab != kTabBookMark) p = 10000;
  p = std::clamp(p, 0, 10000);
  const RowBar bar = RowBarGeometry(w, top, h, p);
  if (!bar.bar.isEmpty()) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(barColour);
    painter->drawRect(bar.bar.translated(left, 0));
    painter->drawEllipse(bar.ellipse.translated(left, 0));
  }
  QFont captionFont = font;
  captionFont.setBold(current);
  if (current) {
    painter->setPen(ink);
    const int cx = left + h / 2, cy = top + h / 2;
    painter->drawLine(cx, cy - 3, cx, cy + 3);
    painter->drawLine(cx + 1, cy - 2, cx + 1, cy + 2);
    painter->drawLine(cx + 2, cy - 1, cx + 2, cy + 1);
    painter->drawPoint(cx + 3, cy);
  }
  QRect text(left + h, top, w - h, h);
  if (s.tab == kTabBookMark) {
    text.setRight(left + w - 1 - QFontMetrics(font).horizontalAdvance(QStringLiteral("100%")) - h / 2);
    painter->setFont(font);
    painter->setPen(ink);
    const QRect percent(text.right() + 1, top, left + w - 3 - (text.right() + 1), h - 2);
    painter->drawText(percent, Qt::AlignRight | Qt::AlignVCenter, QString::number(p / 100) + QLatin1Char('%'));
  }
  painter->setFont(captionFont);
  painter->setPen(ink);
  painter->setClipRect(text);
  painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
  painter->restore();
}

}  // namespace yomira
