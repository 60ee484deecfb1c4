// The URL dialog: an empty box, an address that enables OK, and the history's list open.
#include <QComboBox>
#include <QListView>

#include "tools/windows_gallery/gallery.h"
#include "windows/url_dialog.h"

namespace yomira::gallery {
namespace {

class PictureHost : public UrlDialogHost {
 public:
  explicit PictureHost(std::vector<std::string> urls) : urls_(std::move(urls)) {}
  std::vector<std::string> HistoryUrls() override { return urls_; }
  bool StartUpPanelVisible() override { return false; }
  void ShowEasterEgg() override {}

 private:
  std::vector<std::string> urls_;
};

PictureHost& EmptyHost() {
  static PictureHost host({});
  return host;
}

PictureHost& HistoryHost() {
  static PictureHost host({"http://127.0.0.1:8080/page.html", "https://www.example.com/books/neko.txt",
                           "http://www.example.org/index.html"});
  return host;
}

QWidget* Dialog(UrlDialogHost& host, const char* text) {
  auto* d = new TForm5(nullptr, host);
  d->ComboBoxURL->setEditText(QString::fromUtf8(text));
  return d;
}

// A picture cannot hold the list's own pop-up window: the dialog sits in a sheet with the
// box's items drawn below the box, where the list opens.
QWidget* WithListOpen() {
  QWidget* sheet = Sheet(385, 65 + 3 * 18 + 4);
  auto* d = new TForm5(sheet, HistoryHost());
  d->setWindowFlags(Qt::Widget);
  d->move(0, 0);
  d->ComboBoxURL->setEditText(QStringLiteral("http://"));
  auto* list = new QListView(sheet);
  list->setModel(d->ComboBoxURL->model());
  list->setGeometry(8, 8 + 22, 369, 3 * 18 + 4);
  list->setCurrentIndex(d->ComboBoxURL->model()->index(0, 0));
  return sheet;
}

const GalleryEntries kEntries("url-dialog", {
    {"url-empty", [] { return Dialog(EmptyHost(), ""); }, {}},
    {"url-enabled", [] { return Dialog(EmptyHost(), "http://www.example.com/neko.txt"); }, {}},
    {"url-history", WithListOpen, {}},
});

}  // namespace
}  // namespace yomira::gallery
