// A host for both sides of the relayout driver that only records the calls, one line per
// call ("ShowProgressBar 1", "DrawSpread 3", "setTextLayers body=…"). engine_dump's
// --trace-relayout prints them and the tests compare them.
#pragma once

#include <string>
#include <vector>

#include "engine/core/engine.h"

namespace yomira {

class TraceHost : public EngineHost, public RenderStages {
 public:
  // state, when given, supplies the current page that DrawSpread reports.
  explicit TraceHost(const EngineState* state = nullptr) : state_(state) {}

  std::vector<std::string> calls;
  TColor pixel = kNoPixel;    // what backgroundPixel answers
  int paramPage = 0;          // ApplyParamPosition sets the current page to this when > 0

  // The calls joined by "\n", each ended by one.
  std::string Joined() const;

  void hideHint() override;
  void hideStartUpPanel() override;
  void enablePageButtons() override;
  void ShowProgressBar(bool show) override;
  void RecreatePageSlider() override;
  void UpdateSliderRange(int views) override;
  void progress(int pos, int max) override;
  // No bar: no progress step.
  int progressBarWidth() override { return 0; }
  void setCaption(const std::string& titleUtf8) override;
  void ApplyParamPosition(int& currentPage) override;
  void StartPageTurn(int kind) override;

  void FitWindowToLayout() override;
  void BuildBackground() override;
  void LoadEmphasisMarks() override;
  void DrawSpread() override;
  TColor backgroundPixel(int x, int y) override;
  void setTextLayers(const TextLayer& body, const TextLayer& ruby) override;

 private:
  const EngineState* state_;
};

// "$" and eight upper-case hex digits, as the settings files write a colour.
std::string ColorText(TColor color);

}  // namespace yomira
