// The settings dialog from the default options: the style tab, the detail grid, and the
// back colour's list open over a few favourite colours.
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTabWidget>

#include <memory>

#include "engine/core/option_defaults.h"
#include "platform/shell_env.h"
#include "tools/windows_gallery/gallery.h"
#include "windows/settings/colour_combo.h"
#include "windows/settings/settings_dialog.h"
#include "tools/still_setup_host.h"

namespace yomira::gallery {
namespace {


tools::StillSetupHost& Host() {
  static tools::StillSetupHost host;
  return host;
}

TForm2* Dialog(int tab) {
  auto* d = new TForm2(Host(), nullptr);
  FavoriteColorList& list = d->colourLists();
  for (const auto& [text, name] : std::initializer_list<std::pair<const char*, const char*>>{
           {"#000000", "Black"}, {"#800000", "Maroon"}, {"#FFFAF0", "FloralWhite"}, {"#FFDEAD", "NavajoWhite"},
           {"#FFEBCD", "BlanchedAlmond"}})
    list.Append(text, name);
  d->colourListsChanged();
  SetupValues v = d->values();
  v.styleText = "未指定";
  const int picks[5] = {0, 1, 2, 3, 4};
  for (size_t i = 0; i < 5; ++i) v.colours[i].selected = v.colours[i].tag = picks[i];
  const int spins[12] = {14, 8, 4, 0, 16, 32, 40, 25, 1, 0, 1, 16};
  for (size_t i = 0; i < 12; ++i) v.spins[i] = spins[i];
  v.paths = {{{"", "( 参照 )"}, {"", "( 参照 )"}}};
  v.font2ByteName = v.font1ByteName = "@HGｺﾞｼｯｸE";
  v.items[0] = "Normal";
  d->setValues(v);
  d->show();
  QApplication::processEvents();
  d->PageControlOption->setCurrentIndex(tab);
  return d;
}

QWidget* Colours() {
  std::unique_ptr<TForm2> d(Dialog(0));
  ColourCombo* back = d->colour("ComboBoxBackColor");
  back->showPopup();
  QApplication::processEvents();
  QWidget* popup = back->view()->window();
  // The picture grows to hold the open list where it stands on the screen.
  const QPoint at = d->mapFromGlobal(popup->geometry().topLeft());
  const QRect area = QRect(QPoint(0, 0), d->size()) | QRect(at, popup->size());
  QImage img(area.size(), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.drawPixmap(-area.topLeft(), d->grab());
  p.drawPixmap(at - area.topLeft(), popup->grab());
  p.end();
  back->hidePopup();
  auto* label = new QLabel;
  label->setPixmap(QPixmap::fromImage(img));
  label->setFixedSize(img.size());
  return label;
}

const GalleryEntries kEntries("settings", {
    {"settings-style", [] { return static_cast<QWidget*>(Dialog(0)); }, {}},
    {"settings-detail", [] { return static_cast<QWidget*>(Dialog(1)); }, {}},
    {"settings-colours", Colours, {}},
});

}  // namespace
}  // namespace yomira::gallery
