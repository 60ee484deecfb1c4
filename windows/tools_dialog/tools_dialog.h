// The tools dialog "環境設定": edits the main window's tools, filters and the shortcuts of
// the main and book actions in place. There is no OK or Cancel; every add, edit, delete and
// move acts at once, and closing rebuilds the tool and filter actions.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "ui/action.h"
#include "sources/tool_item.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTableView;

namespace yomira {

class ShellEnv;
class ShortcutCaptureEdit;
class ToolListModel;
class UxSpeedEdit;

struct ToolsDialogSetup {
  ToolItemList& tools;
  ToolItemList& filters;
  ActionCatalogue& catalogue;
  ShellEnv& env;
  // The window the dialog is centred over (its screen); may be null.
  QWidget* owner = nullptr;
  // Asks for a program: the start file (empty unless it exists); nullopt when cancelled.
  // Empty: a non-native file dialog.
  std::function<std::optional<std::string>(QWidget* parent, const std::string& startFile)> pickProgram;
  // The remembered dialog rectangle of the run: restored on opening, saved on closing.
  std::function<void(QWidget*)> restoreDialogRect;
  std::function<void(QWidget*)> saveDialogRect;
  // Run once each when the dialog closes, however it closes.
  std::function<void()> buildToolActions;
  std::function<void()> buildFilterActions;
};

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(ToolsDialogSetup setup);
  ~TForm4() override;

  int tab() const;
  void setTab(int tab);
  int EditingRow() const;
  int selectedRow() const;
  void selectRow(int row);
  void UpdateEditors();

  void ActionEditAddExecute();
  void ActionEditEditExecute();
  void ActionEditDeleteExecute();
  void ActionEditUpExecute();
  void ActionEditDownExecute();
  void EditFilePathButtonClick();
  void EditParamButtonClick();

  // Components, for tests and pictures.
  QTabBar* TabControlBase = nullptr;
  QTableView* ListViewTool = nullptr;
  ToolListModel* Model = nullptr;
  QLabel* LabelCaption = nullptr;
  QLabel* LabelFilePath = nullptr;
  QLabel* LabelParam = nullptr;
  QLabel* LabelShortCut = nullptr;
  QLabel* LabelFilter = nullptr;
  QLineEdit* EditCaption = nullptr;
  UxSpeedEdit* EditFilePath = nullptr;
  UxSpeedEdit* EditParam = nullptr;
  ShortcutCaptureEdit* EditShortCut = nullptr;
  QComboBox* EditFilter = nullptr;
  QPushButton* ButtonEditAdd = nullptr;
  QPushButton* ButtonEditEdit = nullptr;
  QPushButton* ButtonEditDelete = nullptr;
  QPushButton* ButtonEditUp = nullptr;
  QPushButton* ButtonEditDown = nullptr;
  QAction* ActionEditAdd = nullptr;
  QAction* ActionEditEdit = nullptr;
  QAction* ActionEditDelete = nullptr;
  QAction* ActionEditUp = nullptr;
  QAction* ActionEditDown = nullptr;
  QMenu* PopupMenuTool = nullptr;
  QMenu* PopupMenuParam = nullptr;
  QAction* MenuParamL = nullptr;
  QAction* MenuParamN = nullptr;

  static constexpr int kClientWidth = 545;
  static constexpr int kClientHeight = 409;

 public slots:
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void buildWidgets();
  void TabControlBaseChange();
  void MarkPending();
  void UpdateAddEnabled();
  TToolItem EditorItem() const;
  void selectAndShow(int row);

  ToolsDialogSetup setup_;
  bool closed_ = false;
  bool filling_ = false;
};

}  // namespace yomira
