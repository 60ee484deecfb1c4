// The page slider of the bottom bar (UxTrackBarPage). Its scale runs right to left like the
// text: view 1 is at the right end (position = maximum + 1 - view). Presses of the left,
// right and middle buttons run the configured slider codes; releasing the thumb goes to the
// view under it; a popup menu offers the page moves.
//
// The main window implements PageSliderHost and keeps one PageSlider for its whole life
// (a relayout updates skin, range and position in place):
//   - EngineHost::UpdateSliderRange(views)        -> slider->UpdateSliderRange(views)
//   - RenderHost::updateSliderPosition(page, ..)  -> slider->UpdateSliderPosition(page)
//   - EngineHost::RecreatePageSlider()            -> bar colour, bottom images, then
//                                                    slider->setSkin(SliderBitmap)
// Codes 1, 2, 5, 6, 7 and the menu entries run the catalogue's actions (ActionPageNext,
// ActionPageBack, ActionWindowPopUp, ActionPageFileNext, ActionPageFileBack, ...) with the
// slider as sender; those actions keep their own guards.
#pragma once

#include <QImage>

#include <cstdint>

#include "windows/controls/ux_track_bar.h"

class QMenu;
class QAction;

namespace yomira {

class ActionCatalogue;
class MenuProxy;

// The slider codes of the option record (TrackLeft, TrackRight, TrackMiddle).
struct SliderCodes {
  int32_t left = 3;
  int32_t right = 5;
  int32_t middle = 4;
};

// What the slider asks of the main window.
class PageSliderHost {
 public:
  virtual ~PageSliderHost() = default;
  // DocumentLoaded && LaidOut: the slider moves nothing before that.
  virtual bool sliderDocumentReady() = 0;
  virtual int sliderCurrentView() = 0;  // CurrentPage
  virtual int sliderViewCount() = 0;    // GetViewCount of the display lines
  // CurrentPage = view, DrawSpread, StartPageTurn(0): the view at once, no sound.
  virtual void sliderShowView(int view) = 0;
  // ShowPageLabel(view): "view / count".
  virtual void sliderShowPageLabel(int view) = 0;
  // Option.TrackLeft, TrackRight, TrackMiddle.
  virtual SliderCodes sliderCodes() = 0;
};

class PageSlider : public UxTrackBar {
  Q_OBJECT

 public:
  PageSlider(PageSliderHost& host, ActionCatalogue& actions, QWidget* parent = nullptr);
  ~PageSlider() override;

  // Maximum = views - 1 (at least 0), position kept where it fits; enables the slider.
  void UpdateSliderRange(int views);
  // Position = maximum + 1 - view. Emits the value change, so the label follows.
  void UpdateSliderPosition(int view);
  // The view under a position: maximum - position + 1.
  int ViewAtPosition(int position) const;
  // The bottom-bar skin as the slider's background (a null image: the plain face).
  void setSkin(const QImage& skin);

  // Runs a slider code (1..8; anything else does nothing) for a press at client x.
  void RunSliderCode(int code, int x);
  void StepTowardSliderClick(int x);
  void JumpToSliderPosition(int x);
  void PopupSliderMenu(int x);
  void MenuTrackBarThisClick();

  // The x of the press that opened the slider menu; -1 before.
  int SliderPopupX = -1;
  QMenu* PopupMenuTrackBar = nullptr;
  QAction* MenuTrackBarThis = nullptr;

  // The press latch: set by a press that was looked at, cleared by a release.
  bool latched() const { return latch_; }

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void UxTrackBarPageChange(int value);
  void UxTrackBarPageEnter();
  void UxTrackBarPageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos);
  void runAction(const char* name);
  void buildMenu();

  PageSliderHost& host_;
  ActionCatalogue& actions_;
  bool latch_ = false;
};

}  // namespace yomira
