// Styles on the main window's side: the list of style files, the "スタイル読込" submenu,
// applying a style by its place or name, and saving the settings dialog's values as one.
#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "platform/datafolder.h"
#include "platform/file/regular_file.h"
#include "shell/main_menu.h"
#include "ui/guard.h"
#include "shell/main_window.h"
#include "shell/setup_mapping.h"
#include "shell/style_store.h"
#include "sources/history.h"

namespace yomira {

std::string TForm1::StyleFolder() const { return dataFolder_ + "/Style"; }

std::string TForm1::StylePath(const std::string& name) const {
  // A listed style is the file the scan found, whatever the case of its name.
  const int i = FindStyle(StyleEntries_, name);
  return StyleFolder() + "/" + (i >= 0 ? StyleEntries_[static_cast<size_t>(i)].fileName : name + ".ini");
}

void TForm1::ScanStyles() {
  StyleEntries_ = ScanStyleFolder(StyleFolder());
  StyleNames.clear();
  for (const StyleEntry& e : StyleEntries_) StyleNames.push_back(e.name);
  // Also with no folder: styles removed since the last scan leave the menu.
  BuildStyleMenu();
  setupDialog().setStyleNames(StyleNames);
}

bool TForm1::StyleExists(const std::string& name) const {
  return IsValidStyleName(name) && FindStyle(StyleEntries_, name) >= 0 && IsRegularFile(StylePath(name));
}

bool TForm1::EnsureStyleFolder() {
  if (EnsureFolder(StyleFolder())) return true;
  ShowMessage("スタイルフォルダを作成できませんでした。");
  return false;
}

bool TForm1::LoadStyle(const std::string& name, TYomiraOption& record) {
  if (IsValidStyleName(name) && ReadStyleFile(StylePath(name), Option, record)) return true;
  ShowMessage("スタイルファイルが見つかりませんでした。");
  ScanStyles();
  return false;
}

bool TForm1::SaveStyle(const std::string& name, const SetupValues& values) {
  if (!IsValidStyleName(name)) {
    ShowMessage("[ " + name + " ]\nこの名前ではスタイルを保存できません。");
    return false;
  }
  if (!EnsureStyleFolder()) return false;
  // The dialog's values over the live record: an untouched system colour stays one.
  TYomiraOption record = Option;
  ReadValues(values, setupShown_, record);
  record.Validate();
  const std::string path = StylePath(name);
  if (!WriteStyleFile(path, record).empty()) {
    ShowMessage("[ " + path + " ]\nスタイルを保存できませんでした。");
    return false;
  }
  ScanStyles();
  return true;
}

void TForm1::BuildStyleMenu() {
  QMenu* load = menu_.submenus.count("MenuStyleLoad") ? menu_.submenus.at("MenuStyleLoad") : nullptr;
  if (!load) return;
  if (!styleGroup_) {
    styleGroup_ = new QActionGroup(load);
    styleGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  }
  // Items are made as needed and never destroyed; those past the list are hidden.
  while (styleItems_.size() < StyleNames.size()) {
    const int n = static_cast<int>(styleItems_.size());
    QAction* item = load->addAction(QString());
    item->setObjectName(QStringLiteral("MenuStyle%1").arg(n));
    item->setCheckable(true);
    item->setData(n);
    styleGroup_->addAction(item);
    connect(item, &QAction::triggered, this, [this, n] { guarded([this, n] { StyleMenuClick(n); }); });
    styleItems_.push_back(item);
  }
  for (size_t i = 0; i < styleItems_.size(); ++i) {
    QAction* item = styleItems_[i];
    if (i >= StyleNames.size()) {
      item->setVisible(false);
      item->setChecked(false);
      continue;
    }
    QString name = QString::fromStdString(StyleNames[i]);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    item->setText(QStringLiteral("&%1\t").arg(i) + name);
    item->setChecked(StyleNames[i] == StyleName);
    item->setVisible(true);
  }
}

void TForm1::StyleMenuClick(int index) { ApplyStyleIndex(index); }

void TForm1::ApplyStyleIndex(int index) {
  if (index < 0 || index >= static_cast<int>(StyleNames.size())) return;
  // The name first: a failed load rescans the list.
  const std::string name = StyleNames[static_cast<size_t>(index)];
  TYomiraOption record;
  if (!LoadStyle(name, record)) return;  // the live options and the view stay
  StyleName = name;
  BuildStyleMenu();
  Option.Assign(record);
  SyncTextReviseMenu(Option);
  menu_.mirrorAll();
  LoadTurnSound(Option);
  // Where the view holds no text, the saved reading position.
  PendingRate = GetHistoryPosition(RecentFiles);
  if (DocumentLoaded) RelayoutKeepingPlace(true, true);
  if (setupDialog().isVisible()) ShowOptionInDialog(Option);
}

void TForm1::ApplyStyleName(const std::string& name) { ApplyStyleIndex(FindStyle(StyleEntries_, name)); }

}  // namespace yomira
