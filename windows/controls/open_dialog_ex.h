// The file dialogs with a character-code row: TOpenDialogEx (open, with the code-page list)
// and TSaveDialogEx (save, with the line-break list as well). Each run builds a Qt file
// dialog (Qt's own widgets, so the extra row can go below the file-type list) and reads the
// row back when it closes, accepted or not.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

namespace yomira {

class TOpenDialogEx : public QObject {
 public:
  explicit TOpenDialogEx(QWidget* parent = nullptr);
  ~TOpenDialogEx() override;

  const QStringList& CharCodeList() const { return charCodes_; }
  void setCharCodeList(const QStringList& list);
  int CharCodeIndex() const { return charCodeIndex_; }
  // Any value outside the list is stored as -1 (no selection).
  void setCharCodeIndex(int index);
  const QStringList& ReturnCodeList() const { return returnCodes_; }
  void setReturnCodeList(const QStringList& list);
  int ReturnCodeIndex() const { return returnCodeIndex_; }
  void setReturnCodeIndex(int index);
  bool ReadOnly = false;

  // "description|patterns|..." with patterns separated by ";".
  QString Filter;
  // In: the file preset in the name box (a path or a bare name). Out: the chosen path.
  QString FileName;
  // The folder the dialog starts in when FileName has none.
  QString InitialDir;

  // Raised with the dialog once it is shown, and when it closes (before Execute returns).
  std::function<void(QFileDialog&)> OnShow;
  std::function<void(QFileDialog&)> OnClose;

  // Runs the dialog modally; true when a file was confirmed.
  bool Execute();
  // The dialog of a run with its row, not yet shown (the row is filled as it shows). Execute
  // uses it; pictures of the dialog too. The dialog must go before this object.
  std::unique_ptr<QFileDialog> Build();

  // The dialog of the run in progress, null otherwise.
  QFileDialog* dialog() const { return dialog_; }

 protected:
  explicit TOpenDialogEx(QWidget* parent, bool save);

 private:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void AddPanel(QFileDialog& dialog);
  void DoShow();
  void DoClose();

  QWidget* parent_;
  bool save_;
  QStringList charCodes_, returnCodes_;
  int charCodeIndex_ = -1;
  int returnCodeIndex_ = -1;
  QFileDialog* dialog_ = nullptr;
  bool shown_ = false;
};

class TSaveDialogEx : public TOpenDialogEx {
 public:
  explicit TSaveDialogEx(QWidget* parent = nullptr) : TOpenDialogEx(parent, true) {}
};

}  // namespace yomira
