// The window side of the relayout driver: what the engine asks of the main window. Every
// method is the host's to implement. No Qt here; a host method that needs a Qt type belongs
// to an interface derived in engine/render/.
#pragma once

#include <string>

namespace yomira {

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  virtual void hideHint() = 0;
  virtual void hideStartUpPanel() = 0;
  virtual void enablePageButtons() = 0;
  // The progress bar in place of the page slider (true) or the slider back (false).
  virtual void ShowProgressBar(bool show) = 0;
  virtual void RecreatePageSlider() = 0;
  virtual void UpdateSliderRange(int views) = 0;
  // Conversion progress over the source lines; must not process events.
  virtual void progress(int pos, int max) = 0;
  // The progress bar's width in pixels, which sets the progress step; 0 for none.
  virtual int progressBarWidth() = 0;
  // The document title (UTF-8); the host composes the window caption from it.
  virtual void setCaption(const std::string& titleUtf8) = 0;
  // Applies the start parameters to currentPage and resets them.
  virtual void ApplyParamPosition(int& currentPage) = 0;
  virtual void StartPageTurn(int kind) = 0;
};

}  // namespace yomira
