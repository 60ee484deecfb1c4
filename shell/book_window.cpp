// The book window as the main window drives it: it owns the window and binds the book
// list's actions to it for as long as it lives.
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

}  // namespace

std::unique_ptr<BookWindowPort> MakeBookWindow(TForm1& form) { return std::make_unique<BookWindow>(form); }

}  // namespace yomira
