// A modeless find dialog whose text box is a combo holding the recent find texts, newest
// first. No window of the reader opens it; it is kept as a building block.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QFrame;
class QPushButton;
class QRadioButton;

namespace yomira {

class UxFindDialog : public QDialog {
  Q_OBJECT

 public:
  enum FindOption { frDown = 1, frWholeWord = 2, frMatchCase = 4 };
  Q_DECLARE_FLAGS(FindOptions, FindOption)

  explicit UxFindDialog(QWidget* parent = nullptr);

  QString findText() const { return findText_; }
  void setFindText(const QString& text);
  FindOptions options() const;

  // How many texts the history keeps (8); 0 keeps all, a negative value is ignored.
  int itemsCount() const { return itemsCount_; }
  void setItemsCount(int count);
  // When not empty, execute() puts the find text back into the box first.
  QString executeText() const { return executeText_; }
  void setExecuteText(const QString& text) { executeText_ = text; }
  QStringList findItems() const { return findItems_; }
  void setFindItems(const QStringList& items) { findItems_ = items; }

  // Shows the dialog without blocking.
  void execute();
  // What the "Find Next" button does: the find text goes first into the history.
  void findNext();

  QComboBox* combo() const { return combo_; }
  QPushButton* findButton() const { return findButton_; }

 signals:
  void shown();
  void find();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void fillCombo();

  QFrame* panel_;
  QComboBox* combo_;
  QPushButton* findButton_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QRadioButton* up_;
  QRadioButton* down_;
  QString findText_;
  QString executeText_;
  QStringList findItems_;
  int itemsCount_ = 8;
};

}  // namespace yomira

Q_DECLARE_OPERATORS_FOR_FLAGS(yomira::UxFindDialog::FindOptions)
