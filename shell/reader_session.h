// The reader's state without its widgets: the view shown and the moves allowed from it,
// the place of the text kept across relayouts, full screen and the once-per-window
// flags of the start-up. The main window shows this state and forwards its input here.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/core/engine.h"
#include "engine/core/source_place.h"

namespace yomira {

class ReaderSession {
 public:
  explicit ReaderSession(EngineState& state) : s_(state) {}

  EngineState& state() { return s_; }
  const EngineState& state() const { return s_; }
  int CurrentView() const { return s_.currentPage; }
  int ViewCount() const { return s_.option.GetViewCount(s_.displayLines); }
  bool IsLaidOut() const { return s_.documentLoaded && s_.laidOut; }

  // The views got a range (the slider's): a layout exists. A failed load later leaves it
  // set while the document is gone, so the moves also need a laid-out document.
  void SetViewRangeShown() { viewRangeShown_ = true; }
  bool PageMovesAllowed() const { return viewRangeShown_ && IsLaidOut(); }
  // The view a move to the next or the previous view reaches; nothing at the end.
  std::optional<int> NextView() const;
  std::optional<int> PreviousView() const;

  // A view typed by the user: at most the last; nothing for 0 or less.
  std::optional<int> ViewOfTypedPage(int n) const;
  // The 0-based source line the current view begins with (the go-to-line box's default).
  int32_t CurrentSourceLine() const;
  // The view of a typed 1-based source line (limited to the last line); nothing for a line
  // below 1 or one that no display line reaches.
  std::optional<int> ViewOfTypedLine(int64_t line) const;

  // The place the next relayout keeps in view: the one kept by the relayout before while
  // the view still holds it (steps back and forth come back to the same view), else where
  // the current view begins. Nothing when the view has no elements.
  std::optional<SourcePlace> PlaceToKeep() const;
  // The relayout kept place; ForgetPlace: the document or the view changed otherwise.
  void KeepPlace(const SourcePlace& place) { kept_ = place; }
  void ForgetPlace() { kept_.reset(); }

  bool fullScreen = false;
  // Once per window: the command line handled, favorite.dat read, the dialog place restored.
  bool startupArgumentsDone = false;
  bool favoriteColorsLoaded = false;
  bool dialogRectRestored = false;

 private:
  EngineState& s_;
  bool viewRangeShown_ = false;
  std::optional<SourcePlace> kept_;
};

}  // namespace yomira
