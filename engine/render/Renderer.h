// Binds the render operations to the option record and a RenderHost, and owns the view
// bitmaps, the two text layers and the panel layout in force.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <string>

#include "engine/core/option.h"
#include "engine/render/PanelLayout.h"
#include "engine/render/RenderHost.h"
#include "engine/render/TextMetrics.h"

namespace yomira {

struct ViewBitmaps {
  QImage BackBitmap;      // the whole panel: page view and bottom bar
  QImage PageBitmap;      // the page view
  QImage PrevPageBitmap;  // the view before a page turn
  QImage EmphasisBitmap;  // emphasis strip, 8r x r
};

// One text layer as the relayout sets it up: colours first, then the font.
struct TextLayer {
  std::string face;  // cp932, as the record stores it
  bool bold = false;
  int32_t height = 0;
  TColor TextColor = clWindowText;
  TColor BackColor = clWindow;
};

class Renderer {
 public:
  Renderer(TYomiraOption& option, RenderHost& host) : option_(option), host_(host) {}

  // Composes BackBitmap at the stored layout (computed when none is stored yet), resets
  // PageBitmap, draws paper lines and shadow, hands the bottom bars and label colour on.
  // It reads back, paper-line and shadow colours, so a change of any of them needs a
  // relayout with geometry (the settings dialog must ask for one).
  void BuildBackground();
  void ClearPageBitmap();
  // Rebuilds EmphasisBitmap at the ruby size.
  void LoadEmphasisMarks();
  void SetTextLayers(const TextLayer& body, const TextLayer& ruby);
  // 0x00BBGGRR of BackBitmap; 0 outside it.
  uint32_t BackgroundPixel(int32_t x, int32_t y) const;

  // The window fitting stores the layout it applied.
  void SetPanelLayout(const PanelLayout& layout) { layout_ = layout; }
  const std::optional<PanelLayout>& StoredPanelLayout() const { return layout_; }

  ViewBitmaps& Bitmaps() { return bitmaps_; }
  const ViewBitmaps& Bitmaps() const { return bitmaps_; }
  TYomiraTextMetrics BodyMetrics;
  TYomiraTextMetrics RubyMetrics;

 private:
  PanelLayout CurrentLayout() const;

  TYomiraOption& option_;
  RenderHost& host_;
  ViewBitmaps bitmaps_;
  std::optional<PanelLayout> layout_;
};

}  // namespace yomira
