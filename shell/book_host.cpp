// The main window as the book window sees it.
#include "shell/book_host.h"

#include "shell/main_window.h"
#include "sources/web_fetch.h"
#include "windows/controls/window_util.h"

namespace yomira {

// Named (not file-local): the main window lets it reach the lists it keeps.
class MainBookHost : public BookHost {
 public:
  explicit MainBookHost(TForm1& f) : f_(f) {}

  FileItemList& BookMarks() override { return f_.BookMarks; }
  FileItemList& FileList() override { return f_.FileList; }
  FileItemList& PageLinks() override { return f_.PageLinks; }
  std::vector<int>& LinkList() override { return f_.LinkList; }
  const FileItemList& RecentFiles() override { return f_.RecentFiles; }
  const ToolItemList& Filters() override { return f_.Filters; }
  const TYomiraOption& Option() override { return f_.Option; }
  bool DocumentLoaded() override { return f_.DocumentLoaded; }
  bool LaidOut() override { return f_.LaidOut; }
  int& PendingRate() override { return f_.PendingRate; }
  int ActiveFilter() override { return f_.ActiveFilter; }
  QRect& BookRect() override { return f_.BookRect; }
  bool BookRectSaved() override { return f_.BookRectSaved; }
  QWidget* MainWindow() override { return &f_; }
  std::string DataFolder() override { return f_.dataFolder(); }
  ShellEnv& Env() override { return f_.env(); }
  ActionCatalogue& Actions() override { return f_.actions(); }
  bool MainActive() override { return f_.isActiveWindow(); }

  void OpenFileItem(const TFileItem& item, bool force, int filter, int charCode, bool keepBookSel,
                    bool rebuild) override {
    f_.sources().OpenFileItem(item, force, filter, charCode, keepBookSel, rebuild);
  }
  bool OpenUrl(const std::string& url, int rate) override { return f_.OpenUrl(url, rate); }
  void ReopenCurrent(bool force, int filter) override { f_.sources().ReopenCurrent(force, filter); }
  bool RunFilter(TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml, bool showErrors,
                 int index) override {
    const auto& run = f_.sources().RunFilter;
    return run && run(item, lines, codePage, isHtml, showErrors, index);
  }
  bool HasFilterRunner() override { return static_cast<bool>(f_.sources().RunFilter); }
  std::string HostOfUrl(const std::string& url) override { return WebFetch::HostOfUrl(url); }
  void EnableActions(bool main, bool book) override { f_.EnableActions(main, book); }
  void SetStayOnTop(QWidget* window, bool on) override { yomira::SetStayOnTop(window, on); }

 private:
  TForm1& f_;
};

std::unique_ptr<BookHost> MakeMainBookHost(TForm1& form) { return std::make_unique<MainBookHost>(form); }

}  // namespace yomira
