// The open dialog with its code-page row (a folder of a text, an HTML and a picture file),
// the same with no code page chosen, and the save dialog with the line-break row.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>

#include "tools/windows_gallery/gallery.h"
#include "windows/controls/open_dialog_ex.h"

namespace yomira::gallery {
namespace {

const char* kFilter = "テキスト文章(*.txt,*.html,*.htm)|*.txt;*.html;*.htm|すべてのファイル|*";

QString Folder() {
  static QTemporaryDir dir;
  static bool made = false;
  if (!made) {
    made = true;
    for (const char* name : {"a.txt", "b.htm", "c.png"}) {
      QFile f(dir.filePath(QString::fromLatin1(name)));
      if (f.open(QIODevice::WriteOnly)) f.write("x");
    }
  }
  return dir.path();
}

QWidget* Dialog(TOpenDialogEx* ex, int charCode) {
  ex->setCharCodeList({QString::fromUtf8("(自動)"), "Shift-JIS", "EUC-JP", "ISO-2022-JP", "UTF7", "UTF8", "UTF8N"});
  ex->setCharCodeIndex(charCode);
  ex->Filter = QString::fromUtf8(kFilter);
  ex->InitialDir = Folder();
  QFileDialog* d = ex->Build().release();
  ex->setParent(d);  // goes with the dialog
  // The folder is read in the background: the picture waits for it (a few seconds at most).
  if (auto* model = d->findChild<QFileSystemModel*>()) {
    QElapsedTimer t;
    t.start();
    while (model->rowCount(model->index(Folder())) < 3 && t.elapsed() < 3000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return d;
}

const GalleryEntries kEntries("open-dialog", {
    {"open-dialog", [] { return Dialog(new TOpenDialogEx, 0); }, nullptr},
    {"open-dialog-none", [] { return Dialog(new TOpenDialogEx, 7); }, nullptr},
    {"save-dialog",
     [] {
       auto* ex = new TSaveDialogEx;
       ex->setReturnCodeList({"CR+LF", "LF", "CR"});
       ex->setReturnCodeIndex(0);
       return Dialog(ex, 0);
     },
     nullptr},
});

}  // namespace
}  // namespace yomira::gallery
