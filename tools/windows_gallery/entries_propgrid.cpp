// The property grid in its states, and the live page "propgrid" that the e2e check drives.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QMouseEvent>

#include <memory>

#include "tests/windows/prop_grid_fixtures.h"
#include "tools/windows_gallery/gallery.h"
#include "windows/controls/hint_window.h"
#include "windows/controls/prop_grid/prop_grid.h"
#include "windows/controls/prop_grid/prop_grid_popup.h"

namespace yomira::gallery {
namespace {

using S = PropGridStyle;

// The live page: one grid filling the client, every style, and the changes it made.
class LivePage : public QWidget {
 public:
  LivePage() {
    resize(360, 300);
    grid = new PropGrid(this);
    grid->setGeometry(0, 0, 360, 300);
    grid->setBorderSingle(false);
    PropGridModel& m = grid->model();
    m.SetKeyColWidth(150);
    m.SetRowHeight(15);
    m.AutoUpdate = true;
    m.DropDownCount = 5;
    m.DefaultColorPickList = {"Black=$00000000", "White=$00FFFFFF", "Red=$000000FF", "Navy=$00800000"};
    struct Spec {
      const char* name;
      const char* section;
      int level;
      const char* key;
      S style;
      const char* value;
    };
    const Spec specs[] = {
        {"EditName", "一般", 0, "名前", S::psEdit, "yomira"},
        {"ListQuality", "一般", 0, "Level", S::psComboList, "Normal"},
        {"BoolFlag", "一般", 0, "有効", S::psBooleanComboList, "True"},
        {"YesNoFlag", "一般", 0, "確認", S::psYesNoComboList, "No"},
        {"CheckFlag", "一般", 0, "チェック", S::psCheckBox, "Yes"},
        {"Parent", "詳細", 0, "親", S::psEdit, ""},
        {"ChildCombo", "詳細", 1, "子コンボ", S::psCombo, "abc"},
        {"ChildKey", "詳細", 1, "ショートカット", S::psHotKey, "Ctrl+K"},
        {"ColorCombo", "色", 0, "文字色", S::psColorCombo, "$00000000"},
        {"ColorList", "色", 0, "背景色", S::psColorComboList, "$00FFFFFF"},
        {"ColorEllipsis", "色", 0, "罫線色", S::psColorEllipsis, "$00800000"},
        {"FilePath", "ファイル", 0, "画像", S::psFileNameEllipsis,
         "/usr/share/yomira/pictures/a/long/folder/name/background-picture.png"},
        {"Ellipsis", "ファイル", 0, "プログラム", S::psEllipsis, "xdg-open"},
        {"Veto", "ファイル", 0, "拒否", S::psEdit, "ok"},
        {"Disabled", "ファイル", 0, "無効", S::psEdit, "grey"},
    };
    const std::pair<const char*, const char*> answers[] = {{"ColorCombo", "$00FF0000"},
                                                           {"ColorEllipsis", "$0000FF00"},
                                                           {"FilePath", "/srv/gallery/background.png"},
                                                           {"Ellipsis", "/usr/bin/env"}};
    m.Items().BeginUpdate();
    for (const Spec& s : specs) {
      PropGridItem& item = m.Items().Add();
      item.SetDisplayName(s.name);
      item.SetSection(s.section);
      item.SetLevel(s.level);
      item.SetKey(s.key);
      item.SetStyle(s.style);
      item.SetValue(s.value);
      item.OnValueChange = [this](PropGridItem&, const std::string& name, const std::string& before,
                                  const std::string& after) {
        changes << QString::fromStdString("change " + name + " " + before + " -> " + after);
      };
      for (const auto& [name, answer] : answers)
        if (item.Name() == name)
          item.OnNeedValue = [answer = std::string(answer)](PropGridItem&, const std::string&, std::string& value,
                                                            bool&) { value = answer; };
    }
    m.Names("ListQuality").SetPickList({"Lowest", "Lower", "Normal", "Higher", "Highest"});
    m.Names("ChildCombo").SetPickList({"abc", "def"});
    m.Names("Veto").OnValueChanging = [](PropGridItem&, const std::string&, std::string& value, bool& update) {
      if (value.find('x') != std::string::npos) update = false;
    };
    m.Names("Disabled").SetEnabled(false);
    m.Items().EndUpdate();
    m.SetBreakBySection(true);
    m.SelectRow(0);
  }

  QStringList State() const {
    QStringList lines;
    const PropGridModel& m = grid->model();
    for (int i = 0; i < m.Items().Count(); ++i)
      lines << QString::fromStdString("item " + m.Item(i).Name() + "=" + m.Item(i).Value());
    lines << changes;
    const PropGridItem* selected = m.SelectedItem();
    lines << (selected ? QString::fromStdString("selected=" + selected->Name())
                       : QString::fromStdString("selected=section:" + m.CurrentSection));
    lines << QStringLiteral("rows=%1").arg(m.RowCount());
    return lines;
  }

  PropGrid* grid;
  QStringList changes;
};

// The page with the given top-level windows (a pick list, a hint) drawn where they stand
// on the screen; the picture grows to hold them.
QWidget* Composed(QWidget* page, std::initializer_list<QWidget*> overlays) {
  QRect area(QPoint(0, 0), page->size());
  for (QWidget* o : overlays)
    if (o && o->isVisible()) area |= QRect(page->mapFromGlobal(o->geometry().topLeft()), o->size());
  QImage img(area.size(), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.drawPixmap(-area.topLeft(), page->grab());
  for (QWidget* o : overlays)
    if (o && o->isVisible()) p.drawPixmap(page->mapFromGlobal(o->geometry().topLeft()) - area.topLeft(), o->grab());
  p.end();
  auto* label = new QLabel;
  label->setPixmap(QPixmap::fromImage(img));
  label->setFixedSize(img.size());
  return label;
}

void Settle(QWidget* w) {
  w->show();
  QApplication::processEvents();
}

QWidget* SettingsGrid(bool scrolled) {
  auto* grid = new PropGrid;
  grid->setBorderSingle(false);
  grid->resize(273, 405);
  yomira::testing::FillSettings(grid->model());
  grid->model().BooleanList = {"True", "False"};
  grid->model().YesNoList = {"Yes", "No"};
  grid->model().SelectRow(0);
  if (scrolled) {
    Settle(grid);
    grid->model().ModifyScrollBar(7);
  }
  return grid;
}

QWidget* PopupPage() {
  std::unique_ptr<LivePage> page(new LivePage);
  Settle(page.get());
  page->grid->model().SetCurrentIndex(page->grid->model().Names("ListQuality").Index());
  QApplication::processEvents();
  page->grid->DropDownBtnClick();
  QApplication::processEvents();
  QWidget* out = Composed(page.get(), {page->grid->popupList()});
  page->grid->popupList()->PopupCancel();
  return out;
}

QWidget* HotKeyPage() {
  auto* page = new LivePage;
  Settle(page);
  PropGridModel& m = page->grid->model();
  m.SetCurrentIndex(m.Names("ChildKey").Index());
  QApplication::processEvents();
  page->grid->DropDownBtnClick();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  QApplication::sendEvent(page->grid->keyEditor(), &press);
  return page;
}

QWidget* HintPage() {
  std::unique_ptr<LivePage> page(new LivePage);
  Settle(page.get());
  PropGridModel& m = page->grid->model();
  const int row = [&] {
    for (int r = 0; r < m.RowCount(); ++r)
      if (m.RowItem(r) && m.RowItem(r)->Name() == "FilePath") return r;
    return 0;
  }();
  QWidget* vp = page->grid->viewport();
  const QPointF at(200, (row - m.TopRow) * m.RowHeight() + 7);
  QMouseEvent move(QEvent::MouseMove, at, vp->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(vp, &move);
  QApplication::processEvents();
  QWidget* out = Composed(page.get(), {page->grid->hintWindow()});
  page->grid->hintWindow()->hide();
  return out;
}

QWidget* EmptyGrid() {
  auto* grid = new PropGrid;
  grid->setBorderSingle(false);
  grid->resize(200, 100);
  return grid;
}

const GalleryEntries kEntries("propgrid", {
    {"propgrid", [] { return static_cast<QWidget*>(new LivePage); },
     [](QWidget* w) { return static_cast<LivePage*>(w)->State(); }},
    {"propgrid-settings", [] { return SettingsGrid(false); }, {}},
    {"propgrid-scrolled", [] { return SettingsGrid(true); }, {}},
    {"propgrid-popup", PopupPage, {}},
    {"propgrid-hotkey", HotKeyPage, {}},
    {"propgrid-hint", HintPage, {}},
    {"propgrid-empty", EmptyGrid, {}},
});

}  // namespace
}  // namespace yomira::gallery
