#include "shell/page_slider.h"

#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QWheelEvent>

#include <algorithm>

#include "ui/action.h"
#include "ui/menu_proxy.h"
#include "ui/guard.h"

namespace yomira {
namespace {

// The channel behaves like the native track bar: a left press steps one toward it, and no
// button sets the position absolutely (the middle code does that through a jump).
class PageSliderStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (hint == SH_Slider_PageSetButtons) return Qt::LeftButton;
    if (hint == SH_Slider_AbsoluteSetButtons) return Qt::NoButton;
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }
};

// Edges as the native control reports them: right = left + width.
struct Edges {
  int left;
  int right;
};

Edges EdgesOf(const QRect& r) { return {r.x(), r.x() + r.width()}; }

}  // namespace

PageSlider::PageSlider(PageSliderHost& host, ActionCatalogue& actions, QWidget* parent)
    : UxTrackBar(parent), host_(host), actions_(actions) {
  setObjectName(QStringLiteral("UxTrackBarPage"));
  auto* style = new PageSliderStyle;
  style->setParent(this);
  setStyle(style);
  connect(this, &UxTrackBar::changed, this, [this](int v) { guarded([&] { UxTrackBarPageChange(v); }); });
  connect(this, &UxTrackBar::entered, this, [this] { UxTrackBarPageEnter(); });
  connect(this, &UxTrackBar::mouseUp, this, [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
    guarded([&] { UxTrackBarPageMouseUp(b, m, p); });
  });
  buildMenu();
}

PageSlider::~PageSlider() = default;

void PageSlider::buildMenu() {
  PopupMenuTrackBar = new QMenu(this);
  PopupMenuTrackBar->setObjectName(QStringLiteral("PopupMenuTrackBar"));
  MenuTrackBarThis = PopupMenuTrackBar->addAction(QString::fromUtf8("このページへ移動(&T)"));
  MenuTrackBarThis->setObjectName(QStringLiteral("MenuTrackBarThis"));
  connect(MenuTrackBarThis, &QAction::triggered, this, [this] { guarded([this] { MenuTrackBarThisClick(); }); });
  const char* groups[][2] = {{"ActionPageNext", "ActionPageBack"},
                             {"ActionPageHome", "ActionPageEnd"},
                             {"ActionPageGotoPage", "ActionPageGotoLine"},
                             {"ActionPageFileNext", "ActionPageFileBack"}};
  std::vector<MenuProxy*> proxies;
  for (const auto& group : groups) {
    PopupMenuTrackBar->addSeparator();
    for (const char* name : group) {
      auto* p = new MenuProxy(actions_.at(name), PopupMenuTrackBar);
      PopupMenuTrackBar->addAction(p);
      proxies.push_back(p);
    }
  }
  // Captions and shortcuts may change with the key file: show what the actions hold now.
  connect(PopupMenuTrackBar, &QMenu::aboutToShow, this, [proxies] {
    for (MenuProxy* p : proxies) p->mirror();
  });
}

void PageSlider::UpdateSliderRange(int views) {
  setMaximum(std::max(views - 1, 0));
  setEnabled(true);
}

void PageSlider::UpdateSliderPosition(int view) {
  setValue(static_cast<int>(std::clamp<int64_t>(int64_t{maximum()} + 1 - view, minimum(), maximum())));
}

int PageSlider::ViewAtPosition(int position) const {
  return static_cast<int>(int64_t{maximum()} - position + 1);
}

void PageSlider::setSkin(const QImage& skin) {
  if (skin.isNull()) {
    // The bar's own face again.
    setAutoFillBackground(false);
    setPalette(QPalette());
    return;
  }
  QPalette pal = palette();
  pal.setBrush(QPalette::Window, QBrush(skin));
  setPalette(pal);
  setAutoFillBackground(true);
}

void PageSlider::runAction(const char* name) { actions_.at(name).run(this); }

void PageSlider::RunSliderCode(int code, int x) {
  switch (code) {
    case 1: runAction("ActionPageNext"); break;
    case 2: runAction("ActionPageBack"); break;
    case 3: StepTowardSliderClick(x); break;
    case 4: JumpToSliderPosition(x); break;
    case 5: runAction("ActionWindowPopUp"); break;
    case 6: runAction("ActionPageFileNext"); break;
    case 7: runAction("ActionPageFileBack"); break;
    case 8: PopupSliderMenu(x); break;
    default: break;
  }
}

void PageSlider::StepTowardSliderClick(int x) {
  if (!host_.sliderDocumentReady()) return;
  const Edges thumb = EdgesOf(thumbRect());
  const Edges channel = EdgesOf(channelRect());
  if (x >= thumb.left && x <= thumb.right) return;
  if (x < channel.left || x > channel.right) return;
  runAction(x < thumb.left ? "ActionPageNext" : "ActionPageBack");
}

void PageSlider::JumpToSliderPosition(int x) {
  if (!host_.sliderDocumentReady()) return;
  const Edges thumb = EdgesOf(thumbRect());
  const Edges channel = EdgesOf(channelRect());
  if (x > thumb.left && x < thumb.right) return;
  if (x < channel.left || x > channel.right) return;
  // A window so narrow that the channel has no width has no position to jump to.
  const int64_t width = int64_t{channel.right} - channel.left;
  if (width <= 0) return;
  const int64_t p10 = int64_t{maximum()} * (int64_t{x} - channel.left) * 10 / width;
  setValue(static_cast<int>(std::clamp<int64_t>((p10 + 5) / 10, minimum(), maximum())));
  const int current = host_.sliderCurrentView();
  const int view = std::min(ViewAtPosition(value()), host_.sliderViewCount());
  if (int64_t{view} == int64_t{current} + 1) {
    runAction("ActionPageNext");
  } else if (int64_t{view} == int64_t{current} - 1) {
    runAction("ActionPageBack");
  } else if (view > 0) {
    host_.sliderShowView(view);
  }
}

void PageSlider::PopupSliderMenu(int x) {
  SliderPopupX = x;
  PopupMenuTrackBar->popup(QCursor::pos());
}

void PageSlider::MenuTrackBarThisClick() { JumpToSliderPosition(SliderPopupX); }

void PageSlider::UxTrackBarPageChange(int value) { host_.sliderShowPageLabel(ViewAtPosition(value)); }

void PageSlider::UxTrackBarPageEnter() {
  // The slider never keeps the keyboard: the arrow keys stay with the page actions.
  if (QWidget* w = window(); w && w != this) w->setFocus(Qt::OtherFocusReason);
  else clearFocus();
}

void PageSlider::UxTrackBarPageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
  // After a failed load the slider may still be enabled: it moves nothing without a layout.
  if (!host_.sliderDocumentReady()) return;
  const int current = host_.sliderCurrentView();
  if (button == Qt::RightButton) {
    UpdateSliderPosition(current);
  } else if (button == Qt::LeftButton) {
    const int t = ViewAtPosition(value());
    if (int64_t{t} == int64_t{current} + 1) {
      runAction("ActionPageNext");
    } else if (int64_t{t} == int64_t{current} - 1) {
      runAction("ActionPageBack");
    } else if (t != current && t >= 1 && t <= host_.sliderViewCount()) {
      host_.sliderShowView(t);
    }
  }
}

void PageSlider::mousePressEvent(QMouseEvent* e) {
  const int x = static_cast<int>(e->position().x());
  // The release of a press that opened a menu or a box went there: with no other button
  // held, a latch still set is stale.
  if (latch_ && (e->buttons() & ~e->button()) == Qt::NoButton) latch_ = false;
  int code = 0;
  if (!latch_) {
    const SliderCodes codes = host_.sliderCodes();
    switch (e->button()) {
      case Qt::LeftButton: {
        const Edges thumb = EdgesOf(thumbRect());
        if (x <= thumb.left || x >= thumb.right) code = codes.left;
        latch_ = true;
        break;
      }
      case Qt::RightButton: code = codes.right; latch_ = true; break;
      case Qt::MiddleButton: code = codes.middle; latch_ = true; break;
      default: break;
    }
  }
  UxTrackBar::mousePressEvent(e);
  // Right and middle presses are the slider's: they must not reach the window's bindings.
  e->accept();
  if (code >= 5 && code <= 8) {
    // A menu or a message box takes the release: the slider's own paging must not go on
    // repeating without it.
    setRepeatAction(SliderNoAction);
    setSliderDown(false);
    // Nor may the page step the press made stay: the label would be a view off, and a
    // release that does come back (no next file) would turn a page.
    if (host_.sliderDocumentReady()) UpdateSliderPosition(host_.sliderCurrentView());
  }
  if (code != 0) guarded([&] { RunSliderCode(code, x); });
}

void PageSlider::mouseReleaseEvent(QMouseEvent* e) {
  latch_ = false;
  UxTrackBar::mouseReleaseEvent(e);
  e->accept();
}

void PageSlider::mouseDoubleClickEvent(QMouseEvent* e) {
  // Only the slider's own press: the first click of the pair already ran its code.
  UxTrackBar::mousePressEvent(e);
  e->accept();
}

void PageSlider::wheelEvent(QWheelEvent* e) {
  // The wheel over the slider belongs to the window's wheel binding.
  e->ignore();
}

}  // namespace yomira
