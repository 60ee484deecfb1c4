// Page navigation of the main window: the page actions, the page-turn driver, the page
// label, the progress bar in the slider's place and the bottom-bar buttons.
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "engine/render/PageTurn.h"
#include "engine/render/Pixels.h"
#include "platform/color.h"
#include "platform/shell_env.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "ui/guard.h"
#include "shell/main_window.h"
#include "shell/turn_sound.h"
#include "sources/history.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

QString PageLabelText(int64_t page, int64_t views) { return QStringLiteral("%1 / %2").arg(page).arg(views); }

}  // namespace

bool TForm1::turnRunning() const { return TimerAnimate->isActive(); }

void TForm1::bindPageActions() {
  TimerAnimate = new QTimer(this);
  TimerAnimate->setObjectName(QStringLiteral("TimerAnimate"));
  TimerAnimate->setSingleShot(true);
  TimerAnimate->setInterval(10);
  TimerAnimate->setTimerType(Qt::PreciseTimer);
  connect(TimerAnimate, &QTimer::timeout, this, [this] { guarded([this] { TimerAnimateTimer(); }); });

  for (const char* name : {"ActionPageNext", "ActionPageNext2", "ActionPageNext3", "ActionPageNext4", "ActionPageNext5"})
    bindAction(name, &TForm1::ActionPageNextExecute);
  for (const char* name : {"ActionPageBack", "ActionPageBack2", "ActionPageBack3", "ActionPageBack4", "ActionPageBack5"})
    bindAction(name, &TForm1::ActionPageBackExecute);
  bindAction("ActionPageHome", &TForm1::ActionPageHomeExecute);
  bindAction("ActionPageEnd", &TForm1::ActionPageEndExecute);
  bindAction("ActionPageGotoPage", &TForm1::ActionPageGotoPageExecute);
  bindAction("ActionPageGotoLine", &TForm1::ActionPageGotoLineExecute);
  bindAction("ActionPageFileNext", &TForm1::ActionPageFileNextExecute);
  bindAction("ActionPageFileBack", &TForm1::ActionPageFileBackExecute);

  connect(SpeedButtonNext, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButtonNextClick(); }); });
  connect(SpeedButtonBack, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButtonBackClick(); }); });
  // The middle button opens the neighbouring file; a tool button ignores it otherwise.
  SpeedButtonNext->installEventFilter(this);
  SpeedButtonBack->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  if ((watched == SpeedButtonNext || watched == SpeedButtonBack) && e->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(e)->button() == Qt::MiddleButton) {
    QToolButton* button = static_cast<QToolButton*>(watched);
    if (button->isEnabled()) {
      guarded([&] {
        if (button == SpeedButtonNext) ActionPageFileNextExecute(button);
        else ActionPageFileBackExecute(button);
      });
    }
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

void TForm1::SpeedButtonNextClick() { ActionPageNextExecute(SpeedButtonNext); }

void TForm1::SpeedButtonBackClick() { ActionPageBackExecute(SpeedButtonBack); }

// ---------------------------------------------------------------- state

int TForm1::ViewCount() const { return session_.ViewCount(); }

bool TForm1::PageMovesAllowed() const { return session_.PageMovesAllowed(); }

void TForm1::DrawSpread() { stages_->DrawSpread(); }

void TForm1::GoToView(int view) {
  CurrentPage = view;
  DrawSpread();
  StartPageTurn(0);
}

// ---------------------------------------------------------------- page actions

void TForm1::ActionPageNextExecute(QObject* sender) {
  if (const std::optional<int> next = session_.NextView()) {
    CurrentPage = *next;
    DrawSpread();
    StartPageTurn(1);
    return;
  }
  if (actions_.at("ActionOptionBookAutoOpen").checked) {
    ActionBookExecute(sender);
    if (book_) book_->findNeighbourFile(GetCurrentFileName(RecentFiles), +1);
  }
}

void TForm1::ActionPageBackExecute(QObject* sender) {
  if (const std::optional<int> previous = session_.PreviousView()) {
    CurrentPage = *previous;
    DrawSpread();
    StartPageTurn(2);
    return;
  }
  if (actions_.at("ActionOptionBookAutoOpen").checked) {
    ActionBookExecute(sender);
    if (book_) book_->findNeighbourFile(GetCurrentFileName(RecentFiles), -1);
  }
}

void TForm1::ActionPageHomeExecute(QObject* sender) {
  if (!PageMovesAllowed() || CurrentPage <= 1) return;
  if (CurrentPage == 2) ActionPageBackExecute(sender);
  else GoToView(1);
}

void TForm1::ActionPageEndExecute(QObject* sender) {
  const int views = ViewCount();
  if (!PageMovesAllowed() || CurrentPage >= views) return;
  if (CurrentPage == views - 1) ActionPageNextExecute(sender);
  else GoToView(views);
}

void TForm1::ActionPageGotoPageExecute(QObject*) {
  if (!IsLaidOut()) return;
  const uint64_t generation = layoutGeneration_;
  const auto text = env_->askText(this, "ページ指定", "指定ページへ移動", std::to_string(CurrentPage));
  if (!text || generation != layoutGeneration_ || !IsLaidOut()) return;
  // A text that is not a 32-bit number counts as 0.
  if (const std::optional<int> view = session_.ViewOfTypedPage(StrToIntDef(Utf8ToCp932(*text), 0))) GoToView(*view);
}

void TForm1::ActionPageGotoLineExecute(QObject*) {
  if (!IsLaidOut()) return;
  const uint64_t generation = layoutGeneration_;
  const auto text = env_->askText(this, "行指定", "指定行へ移動", std::to_string(int64_t{session_.CurrentSourceLine()} + 1));
  // The box runs events: a document opened under it must not take the old line count.
  if (!text || generation != layoutGeneration_ || !IsLaidOut()) return;
  if (const std::optional<int> view = session_.ViewOfTypedLine(StrToIntDef(Utf8ToCp932(*text), 0))) GoToView(*view);
}

void TForm1::ActionPageFileNextExecute(QObject*) { OpenNeighbourFile(+1); }

void TForm1::ActionPageFileBackExecute(QObject*) { OpenNeighbourFile(-1); }

void TForm1::OpenNeighbourFile(int direction) {
  if (!IsLaidOut() || !book_) return;
  const std::string path = GetCurrentFileName(RecentFiles);
  const std::string folder = ExtractFilePath(path);
  // A document without a folder (a web page) has no neighbours; an empty folder would
  // scan the working folder.
  if (folder.empty()) return;
  book_->scanFileList(folder, true);
  if (FileList.empty()) return;
  const int i = book_->findNeighbourFile(path, direction);
  if (i < 0 || i >= static_cast<int>(FileList.size()) || !FileList[i]) return;
  // A copy: the open rebuilds the lists.
  const TFileItem entry = *FileList[i];
  if (entry.Kind == fkLocalFile) {
    PendingRate = entry.Rate;
    sources_->OpenFileItem(entry, false, -1, 0, false, true);
  } else if (entry.Kind == fkWeb) {
    OpenUrl(entry.GetLocation(), entry.Rate);
  }
}

// ---------------------------------------------------------------- turn driver

void TForm1::PlayTurnSound() {
  if (Option.UseSound) env_->playTurnSound();
}

void TForm1::StartPageTurn(int kind) {
  TimerAnimate->stop();
  TurnFrames = Option.GetAnimationFrames();
  const QImage& page = renderer_->Bitmaps().PageBitmap;
  QImage& prev = renderer_->Bitmaps().PrevPageBitmap;
  QImage& shown = ImageView_->picture();
  auto showNow = [&] {
    prev = QImage();
    TurnStep = 0;
    // Copied into the picture's own pixels: sharing them with the page bitmap would make
    // the next drawing allocate and copy a whole view.
    ImageView_->update(DrawTurnStep(kTurnNone, 0, 0, shown, page, prev).dirty);
  };
  if (kind == 1 || kind == 2) PlayTurnSound();
  // The frames read both pictures at the same size; after a relayout between two turns
  // they can differ.
  if (kind == 0 || ((kind == 1 || kind == 2) && (!Option.page_ani || shown.size() != page.size()))) {
    showNow();
    return;
  }
  if (kind == 1) {
    kind = Option.Page == 2 ? kTurnSpreadNext : kTurnNext;
    if (kind == kTurnSpreadNext) prev = shown.copy();
  } else if (kind == 2) {
    kind = Option.Page == 2 ? kTurnSpreadBack : kTurnBack;
    prev = shown.copy();
  } else {
    return;
  }
  TurnKind = kind;
  TurnStep = 0;
  // Frame 0 now, painted inside the page action; the timer paces the frames after it.
  DrawTurnFrame(true);
}

void TForm1::TimerAnimateTimer() { DrawTurnFrame(false); }

void TForm1::DrawTurnFrame(bool paintNow) {
  TimerAnimate->stop();
  if (TurnStep < 0) return;
  QImage& prev = renderer_->Bitmaps().PrevPageBitmap;
  // The last step copies the whole new page, so the end state is exact whatever the width.
  const TurnStepResult r =
      DrawTurnStep(TurnKind, TurnStep, TurnFrames, ImageView_->picture(), renderer_->Bitmaps().PageBitmap, prev);
  if (paintNow) ImageView_->repaint(r.dirty);
  else ImageView_->update(r.dirty);
  if (r.ended) {
    prev = QImage();
    TurnStep = 0;
    return;
  }
  ++TurnStep;
  TimerAnimate->start();
}

// ---------------------------------------------------------------- bottom bar

void TForm1::ShowPageLabel(int page) { LabelPage->setText(PageLabelText(page, ViewCount())); }

void TForm1::showPageLabel(int32_t page, int32_t views) { LabelPage->setText(PageLabelText(page, views)); }

void TForm1::updateSliderPosition(int32_t page, int32_t) { UxTrackBarPage->UpdateSliderPosition(page); }

void TForm1::UpdateSliderRange(int views) {
  session_.SetViewRangeShown();
  UxTrackBarPage->UpdateSliderRange(views);
}

void TForm1::RecreatePageSlider() {
  // One slider for the window's life: its own press handler may be running the relayout.
  PanelBottomBase->setColor(QColor(BgrToQRgb(ColorToRgb(Option.back_color))));
  PanelBottomText->show();
  PanelBottomMenu->show();
  UxTrackBarPage->setSkin(SliderBitmap);
}

void TForm1::LoadTurnSound(TYomiraOption& record) { yomira::LoadTurnSound(record, TurnSound, *env_); }

void TForm1::ShowProgressBar(bool show) {
  ProgressBarPage->setValue(0);
  ProgressBarPage->setVisible(show);
  UxTrackBarPage->setVisible(!show);
  progressPainted_.invalidate();
}

int TForm1::progressBarWidth() { return ProgressBarPage->width(); }

void TForm1::progress(int pos, int max) {
  if (ProgressBarPage->isHidden()) return;
  // Painted now, without letting other events in, but about 30 times a second at most: a
  // paint costs more than the conversion of many lines. The bar repaints itself when its
  // value moves a step, so it is not touched between paints.
  if (progressPainted_.isValid() && progressPainted_.elapsed() < 33) return;
  ProgressBarPage->setUpdatesEnabled(false);
  ProgressBarPage->setMaximum(std::max(1, max));
  ProgressBarPage->setValue(std::clamp(pos, 0, std::max(1, max)));
  ProgressBarPage->setUpdatesEnabled(true);
  ProgressBarPage->repaint();
  progressPainted_.start();
}

}  // namespace yomira
