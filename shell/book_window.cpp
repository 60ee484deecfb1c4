// The book window as the main window drives it: it owns the window and binds the book
// list's actions to it for as long as it lives. The window is built on its first use, not
// at start-up: until then it is hidden, was never shown and shows its first tab.
#include "shell/book_host.h"
#include "ui/key_dispatcher.h"
#include "shell/book_port.h"
#include "shell/main_window.h"
#include "windows/book/book_window.h"

namespace yomira {

namespace {

class BookWindow : public BookWindowPort {
 public:
  explicit BookWindow(TForm1& f) : host_(MakeMainBookHost(f)), form_(std::make_unique<TForm3>(*host_)) {
    form_->BindActions();
  }
  ~BookWindow() override {
    form_->UnbindActions();
    form_.reset();  // writes the bookmarks while the lists still exist
  }

  void show() override { form_->ShowBook(); }
  void close() override { form_->close(); }
  bool isVisible() const override { return form_->isVisible(); }
  bool everShown() const override { return form_->BookLoaded; }
  void scanFileList(const std::string& folder, bool force, bool indexEvenIfHidden) override {
    form_->ScanFileList(folder, force, indexEvenIfHidden);
  }
  int findNeighbourFile(const std::string& path, int direction) override {
    return form_->FindNeighbourFile(path, direction);
  }
  void makeTextIndex() override {
    form_->MakeTextIndex(host_->BookMarks());
    form_->MakeTextIndex(host_->FileList());
  }
  void tabControlBookChange() override { form_->TabControlBookChange(); }
  void buildLinkList() override { form_->BuildLinkList(); }
  int tabIndex() const override { return form_->tabIndex(); }
  void rebuildKeys() override {
    form_->keys().rebuild();
    form_->MirrorMenus();
  }
  QWidget* widget() override { return form_.get(); }

 private:
  std::unique_ptr<BookHost> host_;
  std::unique_ptr<TForm3> form_;
};

// Builds the window when a call needs it. What only a shown window does is skipped while
// there is none: a hidden window's non-forced scan, tab refresh and key rebuild change
// nothing (a window built later binds the keys of its day).
class LazyBookWindow : public BookWindowPort {
 public:
  explicit LazyBookWindow(TForm1& f) : f_(f) {}

  void show() override { real().show(); }
  void close() override {
    if (book_) book_->close();
  }
  bool isVisible() const override { return book_ && book_->isVisible(); }
  bool everShown() const override { return book_ && book_->everShown(); }
  void scanFileList(const std::string& folder, bool force, bool indexEvenIfHidden) override {
    if (book_ || force) real().scanFileList(folder, force, indexEvenIfHidden);
  }
  int findNeighbourFile(const std::string& path, int direction) override {
    return real().findNeighbourFile(path, direction);
  }
  void makeTextIndex() override { real().makeTextIndex(); }
  void tabControlBookChange() override {
    if (book_) book_->tabControlBookChange();
  }
  // The list is the main window's: it is refilled with or without a window.
  void buildLinkList() override {
    if (book_) return book_->buildLinkList();
    if (!host_) host_ = MakeMainBookHost(f_);
    RebuildLinkList(*host_);
  }
  int tabIndex() const override { return book_ ? book_->tabIndex() : 0; }
  void rebuildKeys() override {
    if (book_) book_->rebuildKeys();
  }
  QWidget* widget() override { return book_ ? book_->widget() : nullptr; }

 private:
  BookWindow& real() {
    if (!book_) book_ = std::make_unique<BookWindow>(f_);
    return *book_;
  }

  TForm1& f_;
  std::unique_ptr<BookHost> host_;  // for the link list while there is no window
  std::unique_ptr<BookWindow> book_;
};

}  // namespace

std::unique_ptr<BookWindowPort> MakeBookWindow(TForm1& form) { return std::make_unique<LazyBookWindow>(form); }

}  // namespace yomira
