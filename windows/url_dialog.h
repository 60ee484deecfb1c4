// The URL dialog, TForm5: asks for the address of a web page, offering the web addresses of
// the history. While the main window still shows its start-up panel, one fixed phrase is
// accepted as well and changes the panel's picture instead of opening anything.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;
class QWidget;

namespace yomira {

// The main window as the dialog sees it.
class UrlDialogHost {
 public:
  virtual ~UrlDialogHost() = default;
  // The locations of the history's web entries, in history order.
  virtual std::vector<std::string> HistoryUrls() = 0;
  virtual bool StartUpPanelVisible() = 0;
  // Hides the start-up icon and shows the other picture.
  virtual void ShowEasterEgg() = 0;
};

// The phrase that the start-up panel answers.
inline constexpr char kUrlDialogPhrase[] = "quietly & briskly";

// OK is enabled for a text (UTF-8) of at least 5 bytes that starts with "http", or for the
// phrase while the start-up panel shows.
bool UrlDialogOkEnabled(const std::string& text, bool startUpPanelVisible);

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  TForm5(QWidget* owner, UrlDialogHost& host);

  // Made, shown modally with proposed in the box, freed; the owner gets the focus back.
  // The box's text on OK, nullopt otherwise.
  static std::optional<std::string> Run(QWidget* owner, UrlDialogHost& host, const std::string& proposed);

  std::string Text() const;

  QWidget* PanelBase = nullptr;
  QComboBox* ComboBoxURL = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void FormShow();
  void ComboBoxURLChange();
  void ButtonOKClick();

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  UrlDialogHost& host_;
};

}  // namespace yomira
