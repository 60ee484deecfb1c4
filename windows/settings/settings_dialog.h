// The settings dialog "設定": a modeless window over the live options. It records what kind
// of change the user made in four flags and acts on them at Apply, OK or Enter; the copying
// between the controls and an option record is the main window's (through its host).
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "windows/settings/settings_values.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace yomira {

class ColourCombo;
class PropGrid;
class SetupDialogHost;
class UxSpinEdit;
class UxStaticText;

class PropGridModel;

// The detail grid's 36 items with their sections, keys and pick lists, and the grid settings
// the dialog uses (automatic commits, the two lists, sections, key column 120).
void FillSetupGrid(PropGridModel& m);

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 281;
  static constexpr int kClientHeight = 463;

  TForm2(SetupDialogHost& host, QWidget* owner);
  ~TForm2() override;

  // What the controls show, and back.
  void setValues(const SetupValues& values);
  SetupValues values() const;
  void setControlEnabled(const std::string& name, bool on);
  FavoriteColorList& colourLists() { return colours_; }
  void colourListsChanged();
  int textWidth(const std::string& utf8) const;
  int controlWidth(const std::string& name) const;
  // FillStyleCombo: the names, keeping the text the box shows.
  void setStyleNames(const std::vector<std::string>& names);

  void ButtonApplyClick();
  void ButtonOKClick();
  void ButtonCancelClick();
  void ComboBoxStyleClick();
  void ButtonStyleSaveClick();
  void StaticTextClick(UxStaticText* label);

  // The file picker of the path labels: (filter in Qt form, start file) → chosen path.
  std::function<std::optional<std::string>(const QString& filter, const std::string& start)> pickFile;
  // The picker an ellipsis item would use for a program: the value in, the value out.
  void PropGridSetUpItemEditExeNeedValue(std::string& value);

  bool NeedReload = false;
  bool NeedRelayout = false;
  bool NeedReformat = false;
  bool NeedFileListScan = false;

  // Components.
  QTabWidget* PageControlOption = nullptr;
  QComboBox* ComboBoxStyle = nullptr;
  QPushButton* ButtonStyleSave = nullptr;
  std::array<UxSpinEdit*, 12> spins{};         // kSetupSpinEdits
  std::array<QCheckBox*, 16> checks{};         // kSetupCheckBoxes
  std::array<ColourCombo*, 5> colourCombos{};  // kSetupColourCombos
  std::array<UxStaticText*, 2> pathLabels{};   // kSetupPathLabels
  QComboBox* ComboBoxFont2ByteName = nullptr;
  QComboBox* ComboBoxFont1ByteName = nullptr;
  PropGrid* PropGridSetUp = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonApply = nullptr;

  UxSpinEdit* spin(const char* name) const;
  QCheckBox* check(const char* name) const;
  ColourCombo* colour(const char* name) const;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void buildStyleTab(QWidget* page);
  void buildDetailTab(QWidget* page);
  void bindHandlers();
  void set(bool& flag);
  void clearFlags();
  void refillFontLists();

  SetupDialogHost& host_;
  FavoriteColorList colours_;
  std::vector<std::string> styleNames_;
  std::array<SetupColourValue, 5> shownColours_{};
  std::vector<QWidget*> tabOrder_;
};

}  // namespace yomira
