// The main window as the web fetch and the URL dialog see it.
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>

#include "shell/main_window.h"
#include "sources/history.h"

namespace yomira {
namespace {

// Drops the user's input to every window while a page comes in. Events of the window
// system go on: a close request among them, which ExcludeUserInputEvents would hold back
// until the download ended.
class InputRefusal : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::NonClientAreaMouseButtonPress:
      case QEvent::NonClientAreaMouseButtonRelease:
      case QEvent::NonClientAreaMouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::TabletPress:
      case QEvent::TabletRelease:
      case QEvent::InputMethod:
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

void TForm1::CreateWebFetch() {
  web_ = std::make_unique<WebFetch>(*sources_, static_cast<SourcesHost&>(*this), static_cast<WebHost&>(*this));
  sources_->OpenUrl = [this](const std::string& url, int rate) {
    const QString caption = windowTitle();
    const bool opened = web_->OpenUrl(url, rate);
    // "Failure [url]" has been seen with the message; the document shown keeps its caption.
    if (!opened) setWindowTitle(caption);
    return opened;
  };
}

std::optional<std::string> TForm1::PromptUrl(const std::string& proposed) {
  return TForm5::Run(this, *this, proposed);
}

void TForm1::SetCaption(const std::string& utf8) { setWindowTitle(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))); }

// Painting, the page-turn timer and forwarded frames go on; input is refused.
void TForm1::SetInputEnabled(bool enabled) { setEnabled(enabled); }

bool TForm1::PumpEvents() {
  if (closed_) return false;
  InputRefusal refusal;
  QCoreApplication::instance()->installEventFilter(&refusal);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return !closed_;
}

std::vector<std::string> TForm1::HistoryUrls() {
  std::vector<std::string> urls;
  ListHistoryURLs(RecentFiles, urls);
  return urls;
}

// The flag, not the visibility: at start-up the dialog comes before the window is shown.
bool TForm1::StartUpPanelVisible() { return !PanelStartUp->isHidden(); }

void TForm1::ShowEasterEgg() {
  ImageIcon->hide();
  ImageEasterEgg->show();
}

}  // namespace yomira
