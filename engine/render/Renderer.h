// Binds the render operations to the option record and a RenderHost, and owns the view
// bitmaps, the two text layers and the panel layout in force.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <string>

#include "engine/core/annotation_map.h"
#include "engine/core/RenderStages.h"  // TextLayer
#include "engine/core/option.h"
#include "engine/render/Illustration.h"
#include "engine/render/PanelLayout.h"
#include "engine/render/RenderHost.h"
#include "engine/render/TextMetrics.h"

namespace yomira {

struct SpreadDocument;

struct ViewBitmaps {
  QImage BackBitmap;      // the whole panel: page view and bottom bar
  QImage PageBitmap;      // the page view
  QImage PrevPageBitmap;  // the view before a page turn
  QImage EmphasisBitmap;  // emphasis strip, 8r x r
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

  // Fits the panels and the window to the layout (full screen: centres the panel), stores
  // the layout for the background and the hint, and hands it to the host.
  void FitWindowToLayout();
  void HideHint();
  // The hint for the mouse at (x, y) of the page image: the annotation of the cell there, or
  // no hint. Sets the map's current annotation to the one shown. The map is the engine
  // state's; the caller passes it until the renderer reads that state.
  void ShowAnnotationHint(int32_t x, int32_t y, TPageAnnotation& annotations);

  // Draws the view doc.currentPage into PageBitmap, from a copy of BackBitmap
  // (SpreadRenderer.cpp).
  void DrawSpread(const SpreadDocument& doc);
  // Glyphs and pictures are decoded again after this.
  void ClearCaches();
  PictureCache& Pictures() { return pictures_; }

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
  PictureCache pictures_;
};

}  // namespace yomira
