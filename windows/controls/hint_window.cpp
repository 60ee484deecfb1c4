#include "windows/controls/hint_window.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>

#include "platform/color.h"

namespace yomira {
namespace {

// The fixed scheme's info colours (clInfoBk, clInfoText).
constexpr uint32_t kInfoBk = kSystemColorFlag | 24;
constexpr uint32_t kInfoText = kSystemColorFlag | 23;

QColor SchemeColor(uint32_t systemColor) {
  const uint32_t bgr = ColorToRgb(systemColor);
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

constexpr int kInset = HintWindow::kFrame + HintWindow::kPadding;

}  // namespace

HintWindow::HintWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("HintWindow"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, SchemeColor(kInfoBk));
  pal.setColor(QPalette::WindowText, SchemeColor(kInfoText));
  setPalette(pal);
}

int HintWindow::textFlags(const QString& text, int width) const {
  // Word breaks first; a run without a break opportunity that is wider than the limit
  // breaks anywhere rather than overflowing the box.
  const int wordWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  const QRect r = fontMetrics().boundingRect(QRect(0, 0, width, INT_MAX / 4), wordWrap, text);
  if (r.width() <= width) return wordWrap;
  return Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;
}

QSize HintWindow::measure(const QString& text, int maxWidth) const {
  const int width = std::max(1, maxWidth - 2 * kInset);
  const QRect r = fontMetrics().boundingRect(QRect(0, 0, width, INT_MAX / 4), textFlags(text, width), text);
  return QSize(r.width() + 2 * kInset, r.height() + 2 * kInset);
}

void HintWindow::showAt(const QRect& screenRect, const QString& text) {
  text_ = text;
  setGeometry(screenRect);
  show();
  raise();
  update();
}

void HintWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Window));
  p.setPen(pal.color(QPalette::WindowText));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRect inner = rect().adjusted(kInset, kInset, -kInset, -kInset);
  p.drawText(inner, textFlags(text_, std::max(1, inner.width())), text_);
}

}  // namespace yomira
