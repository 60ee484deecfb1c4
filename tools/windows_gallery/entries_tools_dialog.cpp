// The tools dialog on each tab, with a pending edit, and its placeholder menu.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <memory>

#include "platform/shell_env.h"
#include "tools/windows_gallery/gallery.h"
#include "windows/tools_dialog/tools_dialog.h"

namespace yomira::gallery {
namespace {


// The lists the dialog edits live as long as the program.
struct Lists {
  ToolItemList tools;
  ToolItemList filters;
  ActionCatalogue catalogue;
  NullShellEnv env;
  Lists() {
    TToolItem editor;
    editor.Caption = "Editor";
    editor.FilePath = "/usr/bin/gedit";
    editor.Param = "%F";
    editor.ShortCut = 24646;
    tools.push_back(editor);
    TToolItem browser;
    browser.Caption = "Browser";
    browser.FilePath = "/usr/bin/firefox";
    browser.Param = "%U";
    tools.push_back(browser);
    TToolItem pdf;
    pdf.Caption = "PDF";
    pdf.FilePath = "/usr/bin/pdftotext";
    pdf.Param = "%F -";
    pdf.Filter = "*.pdf";
    filters.push_back(pdf);
  }
};

Lists& TheLists() {
  static Lists lists;
  return lists;
}

TForm4* Dialog(int tab, int row) {
  Lists& l = TheLists();
  auto* d = new TForm4(ToolsDialogSetup{l.tools, l.filters, l.catalogue, l.env});
  d->show();
  QApplication::processEvents();
  d->setTab(tab);
  if (row >= 0) d->selectRow(row);
  return d;
}

QWidget* Pending() {
  TForm4* d = Dialog(0, 0);
  d->EditCaption->setText("Editor 2");
  return d;
}

QWidget* ParamMenu() {
  std::unique_ptr<TForm4> d(Dialog(0, 0));
  d->EditParamButtonClick();
  QApplication::processEvents();
  auto* label = new QLabel;
  label->setPixmap(d->PopupMenuParam->grab());
  label->setFixedSize(d->PopupMenuParam->size());
  d->PopupMenuParam->close();
  return label;
}

const GalleryEntries kEntries("tools", {
    {"tools-tools", [] { return static_cast<QWidget*>(Dialog(0, 0)); }, {}},
    {"tools-filters", [] { return static_cast<QWidget*>(Dialog(1, 0)); }, {}},
    {"tools-main-keys", [] { return static_cast<QWidget*>(Dialog(2, 1)); }, {}},
    {"tools-book-keys", [] { return static_cast<QWidget*>(Dialog(3, 3)); }, {}},
    {"tools-pending", Pending, {}},
    {"tools-param-menu", ParamMenu, {}},
});

}  // namespace
}  // namespace yomira::gallery
