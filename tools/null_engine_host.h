// The relayout driver's two sides for programs without a window (tools, benchmarks): the
// window shows nothing and the drawing side draws nothing and has no background bitmap.
#pragma once

#include <string>

#include "engine/core/EngineHost.h"
#include "engine/core/RenderStages.h"

namespace yomira::tools {

class NullEngineHost : public EngineHost {
 public:
  void hideHint() override {}
  void hideStartUpPanel() override {}
  void enablePageButtons() override {}
  void ShowProgressBar(bool) override {}
  void RecreatePageSlider() override {}
  void UpdateSliderRange(int) override {}
  void progress(int, int) override {}
  int progressBarWidth() override { return 0; }
  void setCaption(const std::string&) override {}
  void ApplyParamPosition(int&) override {}
  void StartPageTurn(int) override {}
};

class NullRenderStages : public RenderStages {
 public:
  void FitWindowToLayout() override {}
  void BuildBackground() override {}
  void LoadEmphasisMarks() override {}
  void DrawSpread() override {}
  TColor backgroundPixel(int, int) override { return kNoPixel; }
  void setTextLayers(const TextLayer&, const TextLayer&) override {}
};

}  // namespace yomira::tools
