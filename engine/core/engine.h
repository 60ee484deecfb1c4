// The relayout driver: the single entry into the typesetting engine. It converts the
// source lines, sizes the annotation map, places the reading position and asks the
// window (EngineHost) and the drawing side (RenderStages) for the rest.
#pragma once

#include <optional>
#include <string>

#include "engine/core/EngineHost.h"
#include "engine/core/RenderStages.h"
#include "engine/core/annotation_map.h"
#include "engine/core/convert.h"
#include "engine/core/display_line.h"
#include "engine/core/option.h"
#include "engine/core/source_place.h"

namespace yomira {

// The engine's part of the main window's state; the main window owns it.
struct EngineState {
  TYomiraOption option;
  SourceLines sourceLines;
  DisplayLines displayLines;
  TPageAnnotation annotations;
  ConvertSwitches switches;
  std::string documentName;  // UTF-8, without folder: the caption when the text has no legend
  int delimiterWidth = 2;    // ruby delimiter width of the last conversion
  int currentPage = 1;       // the view shown, 1-based
  int pendingRate = -1;      // a reading position in 1/10000 of the views to restore; < 0 none
  // A place of the text to show after the next relayout, whatever the views become; the
  // start parameters and a pending rate still win over it.
  std::optional<SourcePlace> pendingPlace;
  // Display lines a view held at the last relayout: the views the reader sees, while the
  // option record may already hold the numbers of the next layout.
  int64_t viewLines = 0;
  bool documentLoaded = false;
  bool laidOut = false;      // the geometry-dependent set-up has been done once
};

class Engine {
 public:
  Engine(EngineState& state, EngineHost& host, RenderStages& stages);

  // geometry: the layout numbers or the window changed. rebuild: convert the source lines
  // again. Does nothing while no document is loaded.
  void Relayout(bool geometry, bool rebuild);

 private:
  EngineState& state_;
  EngineHost& host_;
  RenderStages& stages_;
};

}  // namespace yomira
