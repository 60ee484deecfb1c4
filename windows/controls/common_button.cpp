#include "windows/controls/common_button.h"

#include "platform/color.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSizeGrip>

namespace yomira {

namespace {

bool IsScrollStyle(ComBtnStyle s) { return s >= clsScrollBorder && s <= clsScrollUp; }

QColor ButtonFace() {
  const uint32_t rgb = ColorToRgb(kSystemColorFlag | 15);  // clBtnFace
  return QColor(rgb & 0xff, (rgb >> 8) & 0xff, (rgb >> 16) & 0xff);
}

}  // namespace

CommonButton::CommonButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);  // a speed button never takes the focus
  setAttribute(Qt::WA_Hover);
}

QSize CommonButton::sizeHint() const { return {23, 22}; }

template <class Fn>
void CommonButton::forEachSibling(Fn&& fn) {
  if (!parentWidget()) return;
  for (CommonButton* b : parentWidget()->findChildren<CommonButton*>(Qt::FindDirectChildrenOnly))
    if (b != this) fn(b);
}

void CommonButton::setComStyle(ComBtnStyle style) {
  if (style == style_) return;
  style_ = style;
  if (style_ == clsSizeGrip) flat_ = false;
  if (style_ != clsCheckButton && style_ != clsRadioButton) checked_ = false;
  update();
}

void CommonButton::setChecked(bool checked) {
  bool store = false;
  if (style_ == clsCheckButton) {
    store = true;
  } else if (style_ == clsRadioButton && checked) {
    forEachSibling([this](CommonButton* b) {
      if (b->style_ == clsRadioButton && b->groupIndex_ == groupIndex_ && b->checked_) {
        b->checked_ = false;
        b->update();
      }
    });
    store = true;
  }
  if (!store || checked == checked_) return;
  checked_ = checked;
  update();
}

void CommonButton::setGroupIndex(int index) {
  groupIndex_ = index;
  update();
}

void CommonButton::setFlat(bool flat) {
  flat_ = flat && style_ != clsSizeGrip;
  update();
}

void CommonButton::setDown(bool down) {
  if (groupIndex_ == 0) down = false;  // only a grouped button has the exclusive state
  if (down == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = down;
  if (down_)
    forEachSibling([this](CommonButton* b) {
      if (b->groupIndex_ == groupIndex_ && b->down_) {
        b->down_ = false;
        b->update();
      }
    });
  update();
}

void CommonButton::setAllowAllUp(bool allow) { allowAllUp_ = allow; }

void CommonButton::nextCheckState() {
  if (style_ == clsCheckButton) {
    setChecked(!checked_);
  } else if (style_ == clsRadioButton && !checked_) {
    setChecked(true);
  }
  if (groupIndex_ > 0) {
    if (down_ && allowAllUp_)
      setDown(false);
    else
      setDown(true);
  }
}

void CommonButton::mousePressEvent(QMouseEvent* e) {
  QAbstractButton::mousePressEvent(e);
  if ((style_ == clsCheckButton || style_ == clsRadioButton) && groupIndex_ > 0) update();
}

void CommonButton::enterEvent(QEnterEvent* e) {
  QAbstractButton::enterEvent(e);
  if (flat_) update();
}

void CommonButton::leaveEvent(QEvent* e) {
  QAbstractButton::leaveEvent(e);
  if (flat_) update();
}

bool CommonButton::drawnDown() const {
  // A check or radio button shows its check, not the exclusive state, as its face.
  if (style_ == clsCheckButton || style_ == clsRadioButton) return isDown();
  return isDown() || down_;
}

void CommonButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  const bool down = drawnDown();
  const bool hover = underMouse();
  // Scroll styles pressed down show a flat face (the arrow moves, the bevel does not).
  const bool drawFlatDown = IsScrollStyle(style_) && down && !flat_;

  QStyleOption base;
  base.initFrom(this);
  base.rect = r;
  base.state &= ~(QStyle::State_Sunken | QStyle::State_Raised | QStyle::State_On | QStyle::State_Off |
                  QStyle::State_MouseOver);
  if (!isEnabled()) base.state &= ~QStyle::State_Enabled;
  base.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
  base.state |= checked_ ? QStyle::State_On : QStyle::State_Off;
  if (flat_) base.state |= QStyle::State_AutoRaise;
  if (flat_ && hover) base.state |= QStyle::State_MouseOver;

  auto bevel = [&](const QRect& area) {
    if (drawFlatDown) {
      p.fillRect(area, ButtonFace());
      p.setPen(palette().color(QPalette::Mid));
      p.drawRect(area.adjusted(0, 0, -1, -1));
      return;
    }
    if (flat_ && !hover) return;  // a flat button shows its bevel only under the pointer
    QStyleOptionButton opt;
    static_cast<QStyleOption&>(opt) = base;
    opt.rect = area;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);
  };
  const QRect inner = r.adjusted(3, 3, -3, -3).translated(down ? 1 : 0, down ? 1 : 0);
  auto arrow = [&](QStyle::PrimitiveElement pe) {
    QStyleOption opt = base;
    opt.rect = inner;
    style()->drawPrimitive(pe, &opt, &p, this);
  };
  auto titleIcon = [&](QStyle::StandardPixmap sp) {
    const QIcon icon = style()->standardIcon(sp, nullptr, this);
    icon.paint(&p, inner, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
  };

  switch (style_) {
    case clsNormalButton:
      bevel(r);
      break;
    case clsCheckButton:
    case clsRadioButton: {
      const int side = style()->pixelMetric(style_ == clsCheckButton ? QStyle::PM_IndicatorWidth
                                                                       : QStyle::PM_ExclusiveIndicatorWidth,
                                            nullptr, this);
      QStyleOptionButton opt;
      static_cast<QStyleOption&>(opt) = base;
      opt.rect = QRect(0, 0, side, side);
      opt.rect.moveCenter(r.center());
      style()->drawPrimitive(style_ == clsCheckButton ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton,
                             &opt, &p, this);
      break;
    }
    case clsCloseButton:
    case clsHelpButton:
    case clsMaximizeButton:
    case clsMinimizeButton:
    case clsRestoreButton: {
      static constexpr QStyle::StandardPixmap kIcons[] = {
          QStyle::SP_TitleBarCloseButton, QStyle::SP_TitleBarContextHelpButton, QStyle::SP_TitleBarMaxButton,
          QStyle::SP_TitleBarMinButton, QStyle::SP_TitleBarNormalButton};
      bevel(r);
      titleIcon(kIcons[style_ - clsCloseButton]);
      break;
    }
    case clsScrollBorder: {
      p.fillRect(r, ButtonFace());
      // The down-arrow frame, kept to the 2-pixel border.
      p.save();
      p.setClipRegion(QRegion(r).subtracted(QRegion(r.adjusted(2, 2, -2, -2))));
      bevel(r);
      p.restore();
      break;
    }
    case clsScrollDown:
    case clsScrollLeft:
    case clsScrollRight:
    case clsScrollUp: {
      static constexpr QStyle::PrimitiveElement kArrows[] = {QStyle::PE_IndicatorArrowDown, QStyle::PE_IndicatorArrowLeft,
                                                             QStyle::PE_IndicatorArrowRight, QStyle::PE_IndicatorArrowUp};
      bevel(r);
      arrow(kArrows[style_ - clsScrollDown]);
      break;
    }
    case clsSizeGrip: {
      QStyleOptionSizeGrip opt;
      static_cast<QStyleOption&>(opt) = base;
      opt.corner = Qt::BottomRightCorner;
      if (!isEnabled()) p.setOpacity(0.4);  // styles draw the grip alike in every state
      style()->drawControl(QStyle::CE_SizeGrip, &opt, &p, this);
      break;
    }
  }

  if (style_ == clsNormalButton || style_ == clsScrollBorder) {
    // Glyph and caption centred inside the 2-pixel border, moved with the face when down.
    const QRect area = r.adjusted(2, 2, -2, -2).translated(down ? 1 : 0, down ? 1 : 0);
    const QSize iconSz = icon().isNull() ? QSize() : iconSize();
    const int gap = (!iconSz.isEmpty() && !text().isEmpty()) ? 5 : 0;
    const int textW = text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text());
    int x = area.left() + (area.width() - iconSz.width() - gap - textW) / 2;
    p.save();
    p.setClipRect(area);
    if (!iconSz.isEmpty()) {
      icon().paint(&p, QRect(QPoint(x, area.top() + (area.height() - iconSz.height()) / 2), iconSz), Qt::AlignCenter,
                   isEnabled() ? QIcon::Normal : QIcon::Disabled);
      x += iconSz.width() + gap;
    }
    if (textW > 0) {
      p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
      p.drawText(QRect(x, area.top(), textW + 1, area.height()), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic,
                 text());
    }
    p.restore();
  }
}

}  // namespace yomira
