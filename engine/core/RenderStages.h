// The drawing side of the relayout driver. The implementation (engine/render) owns the
// bitmaps and the two text-metrics objects and reads EngineState by reference. Every
// method is the implementation's to provide. No Qt here.
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

  virtual void FitWindowToLayout() = 0;
  virtual void BuildBackground() = 0;
  virtual void LoadEmphasisMarks() = 0;
  virtual void DrawSpread() = 0;
  // The background bitmap's colour at (x, y) as 0x00BBGGRR; kNoPixel without a bitmap.
  virtual TColor backgroundPixel(int x, int y) = 0;
  virtual void setTextLayers(const TextLayer& body, const TextLayer& ruby) = 0;
};

}  // namespace yomira
