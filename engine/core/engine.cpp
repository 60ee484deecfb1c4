#include "engine/core/engine.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/core/special_lines.h"
#include "platform/color.h"

namespace yomira {

Engine::Engine(EngineState& state, EngineHost& host, RenderStages& stages)
    : state_(state), host_(host), stages_(stages) {}

void Engine::Relayout(bool geometry, bool rebuild) {
  EngineState& s = state_;
  if (!s.documentLoaded) return;
  // "Never set up" and the steps that depend on it refer to the state before this call.
  const bool firstTime = !s.laidOut;
  const bool heavy = firstTime || geometry || rebuild;
  const TYomiraOption& o = s.option;

  host_.hideHint();
  host_.hideStartUpPanel();
  host_.enablePageButtons();
  if (heavy) host_.ShowProgressBar(true);
  // The bar stands in the slider's place: it must go also when a step throws.
  struct ProgressBarShown {
    EngineHost& host;
    bool shown;
    void hide() {
      if (shown) host.ShowProgressBar(false);
      shown = false;
    }
    ~ProgressBarShown() { hide(); }
  } progressBar{host_, heavy};

  if (firstTime || geometry) {
    s.annotations.SetSize(o.v_size, o.c_size, o.Page, o.Colum);
    stages_.FitWindowToLayout();
    stages_.BuildBackground();
    host_.RecreatePageSlider();
    s.laidOut = true;
  }

  if (rebuild) {
    SpecialLines hooks;
    ConvertResult result = Converter(o, s.sourceLines, s.switches)
                               .ConvertText(s.documentName, [this](int pos, int max) { host_.progress(pos, max); },
                                            &hooks, host_.progressBarWidth());
    s.displayLines = std::move(result.lines);
    s.delimiterWidth = result.delimiterWidth;
    host_.setCaption(result.title);
  }

  const int32_t views = o.GetViewCount(s.displayLines);
  s.viewLines = LinesPerView(o);
  if (heavy) host_.UpdateSliderRange(views);

  stages_.LoadEmphasisMarks();
  // The layers get colours to draw with: system colours are resolved here.
  TextLayer body{o.font_family, o.bold != 0, o.f_size, ColorToRgb(o.text_color), ColorToRgb(o.back_color)};
  if (o.bg_image) {
    const TColor pixel = stages_.backgroundPixel(o.yohaku_w, 0);
    if (pixel != RenderStages::kNoPixel) body.backColor = pixel;
  }
  const TextLayer ruby{o.font_family, o.bold != 0, o.ruby_size, ColorToRgb(o.ruby_color), body.backColor};
  stages_.setTextLayers(body, ruby);

  if (s.pendingPlace) {
    const int32_t view = ViewOfPlace(s.displayLines, s.viewLines, *s.pendingPlace);
    if (view > 0) s.currentPage = view;
    s.pendingPlace.reset();
  }
  host_.ApplyParamPosition(s.currentPage);
  if (s.pendingRate >= 0) {
    // 64 bits: views times the rate passes 2^31 beyond about 214,000 views. A rate above
    // the whole document is taken as its end.
    const int64_t rate = std::min(s.pendingRate, 10000);
    const int64_t page = int64_t{views} * rate / 10000 + 1;
    s.currentPage = static_cast<int>(std::min<int64_t>(page, INT_MAX));
  }
  s.pendingRate = -1;
  if (s.currentPage < 1) s.currentPage = 1;

  stages_.DrawSpread();
  progressBar.hide();
  host_.StartPageTurn(0);
}

}  // namespace yomira
