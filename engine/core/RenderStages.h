// The drawing side of the relayout driver. The implementation (engine/render) owns the
// bitmaps and the two text-metrics objects and reads EngineState by reference. Every
// method does nothing by default. No Qt here.
#pragma once

#include <string>

#include "engine/core/option.h"

namespace yomira {

// One text layer (body or ruby): the implementation turns it into a SetFont call.
struct TextLayer {
  std::string face;  // UTF-8, as stored in the options (font_family)
  bool bold = false;
  int height = 0;
  TColor textColor = 0;  // 0x00BBGGRR, system colours already resolved
  TColor backColor = 0;
  bool operator==(const TextLayer&) const = default;
};

class RenderStages {
 public:
  // What backgroundPixel answers when there is no background bitmap: the driver then uses
  // back_color.
  static constexpr TColor kNoPixel = 0xFFFFFFFFu;

  virtual ~RenderStages() = default;

  virtual void FitWindowToLayout() {}
  virtual void BuildBackground() {}
  virtual void LoadEmphasisMarks() {}
  virtual void DrawSpread() {}
  // The background bitmap's colour at (x, y) as 0x00BBGGRR.
  virtual TColor backgroundPixel(int /*x*/, int /*y*/) { return kNoPixel; }
  virtual void setTextLayers(const TextLayer& /*body*/, const TextLayer& /*ruby*/) {}
};

}  // namespace yomira
