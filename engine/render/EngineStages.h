// The drawing side of the relayout driver over a Renderer: the stages the driver calls,
// reading the engine state the main window owns.
#pragma once

#include "engine/core/RenderStages.h"
#include "engine/core/engine.h"
#include "engine/render/Renderer.h"
#include "engine/render/SpreadRenderer.h"

namespace yomira {

// What the spread drawing reads of the engine state.
inline SpreadDocument SpreadDocumentOf(EngineState& s) {
  return SpreadDocument{s.option, s.sourceLines, s.displayLines, s.annotations, s.delimiterWidth, s.currentPage};
}

// The renderer must draw with the state's own option record.
class EngineStages : public RenderStages {
 public:
  EngineStages(EngineState& state, Renderer& renderer) : state_(state), renderer_(renderer) {}

  void FitWindowToLayout() override { renderer_.FitWindowToLayout(); }
  void BuildBackground() override { renderer_.BuildBackground(); }
  void LoadEmphasisMarks() override { renderer_.LoadEmphasisMarks(); }
  void DrawSpread() override { renderer_.DrawSpread(SpreadDocumentOf(state_)); }
  TColor backgroundPixel(int x, int y) override {
    const QImage& back = renderer_.Bitmaps().BackBitmap;
    if (back.isNull()) return kNoPixel;
    return renderer_.BackgroundPixel(x, y);
  }
  void setTextLayers(const TextLayer& body, const TextLayer& ruby) override { renderer_.SetTextLayers(body, ruby); }

 private:
  EngineState& state_;
  Renderer& renderer_;
};

}  // namespace yomira
