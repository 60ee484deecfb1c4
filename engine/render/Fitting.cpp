#include "engine/render/Fitting.h"

#include <algorithm>

#include "engine/render/Background.h"
#include "engine/render/Renderer.h"
#include "platform/text/utf8.h"

namespace yomira {

namespace {

int32_t Saturate(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Width left for the lines of one view: the client width without the side margins and the
// page gaps, with the trailing line gap of each page given back.
int64_t LinesWidth(const TYomiraOption& o, int32_t w) {
  return int64_t{w} + int64_t{o.s_size} * o.Page - int64_t{o.PageMargin} * (o.Page - 1) - 2 * int64_t{o.yohaku_w};
}

// Twice the height of one block's cells (from the client height), divided among the blocks.
int64_t DoubledBlockHeight(const TYomiraOption& o, int32_t h) {
  const int64_t T = o.Colum;
  const int64_t cells = int64_t{h} - PanelLayout::kBottomBarHeight + int64_t{o.m_size} * T - (T - 1) * o.yohaku_c -
                        2 * int64_t{o.yohaku_h};
  return cells * 2 / T;
}

}  // namespace

PanelLayout FitWindowToLayout(const TYomiraOption& o, bool fullScreen, QSize screenSize) {
  PanelLayout p = ComputePanelSizes(o);
  p.clearConstraints = true;
  if (fullScreen) {
    p.baseLeft = (int64_t{screenSize.width()} - p.baseWidth) / 2;
    p.baseTop = (int64_t{screenSize.height()} - p.baseHeight) / 2;
  } else {
    p.setClientSize = true;
    p.clientWidth = p.baseWidth;
    p.clientHeight = p.baseHeight;
  }
  p.HintWidth = Saturate((int64_t{o.f_size} + o.ruby_size + o.s_size) * o.c_size);
  return p;
}

FontFit FontForWindow(const TYomiraOption& o, int32_t h, int32_t w) {
  FontFit fit{o.f_size, o.ruby_size};
  const int64_t cells = int64_t{o.v_size} + 3;
  if (o.Colum != 0 && cells != 0) fit.f_size = Saturate(DoubledBlockHeight(o, h) / cells - o.m_size);
  if (o.Page != 0 && o.c_size != 0)
    fit.ruby_size = Saturate(LinesWidth(o, w) / o.Page / o.c_size - o.s_size - fit.f_size);
  return fit;
}

GridFit GridForWindow(const TYomiraOption& o, int32_t h, int32_t w) {
  GridFit fit{o.c_size, o.v_size};
  const int64_t lw = int64_t{o.f_size} + o.ruby_size + o.s_size;
  if (lw * o.Page != 0) fit.c_size = Saturate(LinesWidth(o, w) / (lw * o.Page));
  const int64_t pitch2 = int64_t{o.f_size} + o.m_size;
  if (o.Colum != 0 && pitch2 != 0) {
    int64_t v = DoubledBlockHeight(o, h) / pitch2 - 3;
    if (v % 2 != 0) ++v;  // cells come in pairs; -3 becomes -2
    fit.v_size = Saturate(v);
  }
  return fit;
}

std::optional<AnnotationCell> HitTestAnnotation(const TYomiraOption& o, int32_t panelWidth, int32_t x, int32_t y) {
  const int64_t lw = int64_t{o.f_size} + o.ruby_size + o.s_size;
  const int64_t pw = lw * o.c_size + o.PageMargin - o.s_size;  // page pitch
  const int64_t pitch2 = int64_t{o.f_size} + o.m_size;         // two cells
  // Twice the block pitch. Blocks overlap by m, as where the lines are drawn.
  const int64_t bp = pitch2 * (int64_t{o.v_size} + 3) + 2 * int64_t{o.yohaku_c} - 2 * int64_t{o.m_size};
  if (lw <= 0 || pw <= 0 || pitch2 <= 0 || bp <= 0) return std::nullopt;

  // Pages and lines count from the right. x = panelWidth - W still maps to line 0.
  int64_t c = int64_t{panelWidth} - x - o.yohaku_w;
  if (c < 0) return std::nullopt;
  const int64_t page = c / pw;
  if (page >= o.Page) return std::nullopt;
  c -= pw * page;
  const int64_t line = c / lw;
  if (line >= o.c_size) return std::nullopt;

  int64_t d = int64_t{y} - o.yohaku_h;
  if (d < 0) return std::nullopt;
  const int64_t block = d * 2 / bp;
  if (block >= o.Colum) return std::nullopt;
  d -= bp * block / 2;
  if (d < 0) return std::nullopt;
  const int64_t cell = d * 2 / pitch2;
  if (cell >= int64_t{o.v_size} + 3) return std::nullopt;
  return AnnotationCell{int32_t(cell), int32_t(line), int32_t(page), int32_t(block)};
}

QRect PlaceHint(QPoint screenPoint, QSize hintSize, int32_t screenWidth, QSize cursorSize) {
  QRect r(QPoint(screenPoint.x() + 16, screenPoint.y()), hintSize);
  // Tested against the mouse's x, not the rectangle's.
  if (int64_t{screenWidth} < int64_t{cursorSize.width()} + screenPoint.x() + hintSize.width())
    r.translate(0, cursorSize.height());
  return r;
}

void Renderer::FitWindowToLayout() {
  const PanelLayout layout = yomira::FitWindowToLayout(option_, host_.isFullScreen(), host_.screenSize());
  SetPanelLayout(layout);
  host_.applyPanelLayout(layout);
}

void Renderer::HideHint() { host_.hideHint(); }

void Renderer::ShowAnnotationHint(int32_t x, int32_t y, TPageAnnotation& annotations) {
  const QPoint screen = host_.mapToScreen(QPoint(x, y));
  const PanelLayout layout =
      layout_ ? *layout_ : yomira::FitWindowToLayout(option_, host_.isFullScreen(), host_.screenSize());
  const std::optional<AnnotationCell> hit = HitTestAnnotation(option_, Saturate(layout.baseWidth), x, y);
  int32_t index = -1;
  const std::string text = hit ? annotations.Get(hit->cell, hit->line, hit->page, hit->block, index) : std::string();
  if (text.empty()) {
    host_.hideHint();
    return;
  }
  annotations.current = index;
  const std::string utf8 = Cp932ToUtf8(text);
  const QSize size = host_.hintSize(utf8, layout.HintWidth);
  host_.showHint(utf8, PlaceHint(screen, size, host_.screenSize().width(), host_.cursorSize()));
}

}  // namespace yomira
