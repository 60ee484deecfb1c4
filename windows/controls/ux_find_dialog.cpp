#include "windows/controls/ux_find_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace yomira {

UxFindDialog::UxFindDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("検索"));
  panel_ = new QFrame(this);
  panel_->setObjectName(QStringLiteral("PanelFind"));
  panel_->setFrameShape(QFrame::NoFrame);
  combo_ = new QComboBox(panel_);
  combo_->setObjectName(QStringLiteral("ComboBoxFind"));
  combo_->setEditable(true);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  combo_->setMinimumWidth(180);
  auto* panelLayout = new QHBoxLayout(panel_);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  panelLayout->addWidget(combo_);

  auto* label = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  label->setBuddy(combo_);
  wholeWord_ = new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this);
  matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
  auto* direction = new QGroupBox(QStringLiteral("方向"), this);
  up_ = new QRadioButton(QStringLiteral("上へ(&U)"), direction);
  down_ = new QRadioButton(QStringLiteral("下へ(&D)"), direction);
  down_->setChecked(true);
  auto* dirLayout = new QHBoxLayout(direction);
  dirLayout->addWidget(up_);
  dirLayout->addWidget(down_);

  findButton_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
  findButton_->setDefault(true);
  findButton_->setEnabled(false);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(panel_, 0, 1, 1, 2);
  grid->addWidget(findButton_, 0, 3);
  auto* checks = new QVBoxLayout;
  checks->addWidget(wholeWord_);
  checks->addWidget(matchCase_);
  grid->addLayout(checks, 1, 0, 1, 2);
  grid->addWidget(direction, 1, 2);
  grid->addWidget(cancel, 1, 3, Qt::AlignTop);
  setTabOrder(combo_, findButton_);

  // The box's text is the find text; Find Next needs one.
  connect(combo_, &QComboBox::editTextChanged, this, [this](const QString& text) {
    findText_ = text;
    findButton_->setEnabled(!text.isEmpty());
  });
  connect(findButton_, &QPushButton::clicked, this, &UxFindDialog::findNext);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void UxFindDialog::setFindText(const QString& text) {
  findText_ = text;
  if (isVisible()) combo_->setEditText(text);  // else the box takes it when shown
  findButton_->setEnabled(!findText_.isEmpty());
}

UxFindDialog::FindOptions UxFindDialog::options() const {
  FindOptions o;
  if (down_->isChecked()) o |= frDown;
  if (wholeWord_->isChecked()) o |= frWholeWord;
  if (matchCase_->isChecked()) o |= frMatchCase;
  return o;
}

void UxFindDialog::setItemsCount(int count) {
  if (count >= 0) itemsCount_ = count;
}

void UxFindDialog::fillCombo() {
  const QString text = findText_;
  combo_->clear();
  combo_->addItems(findItems_);
  combo_->setEditText(text);
}

void UxFindDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  fillCombo();
  emit shown();
  combo_->setFocus(Qt::OtherFocusReason);
  combo_->lineEdit()->selectAll();
}

void UxFindDialog::execute() {
  if (!executeText_.isEmpty() && combo_->currentText() != findText_) combo_->setEditText(findText_);
  show();
  raise();
  activateWindow();
}

void UxFindDialog::findNext() {
  if (!findText_.isEmpty()) {
    findItems_.removeAll(findText_);
    findItems_.prepend(findText_);
  }
  if (itemsCount_ > 0)
    while (findItems_.size() > itemsCount_) findItems_.removeLast();
  fillCombo();
  emit find();
}

}  // namespace yomira
