// The window side of the relayout driver: what the engine asks of the main window. Every
// method does nothing by default. No Qt here; a host method that needs a Qt type belongs
// to an interface derived in engine/render/.
#pragma once

#include <string>

namespace yomira {

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  virtual void hideHint() {}
  virtual void hideStartUpPanel() {}
  virtual void enablePageButtons() {}
  // The progress bar in place of the page slider (true) or the slider back (false).
  virtual void ShowProgressBar(bool /*show*/) {}
  virtual void RecreatePageSlider() {}
  virtual void UpdateSliderRange(int /*views*/) {}
  // Conversion progress over the source lines; must not process events.
  virtual void progress(int /*pos*/, int /*max*/) {}
  // The progress bar's width in pixels, which sets the progress step; 0 for none.
  virtual int progressBarWidth() { return 0; }
  // The document title (UTF-8); the host composes the window caption from it.
  virtual void setCaption(const std::string& /*titleUtf8*/) {}
  // Applies the start parameters to currentPage and resets them.
  virtual void ApplyParamPosition(int& /*currentPage*/) {}
  virtual void StartPageTurn(int /*kind*/) {}
};

}  // namespace yomira
