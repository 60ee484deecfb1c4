#include "windows/url_dialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

#include "windows/controls/window_util.h"
#include "platform/qt_text.h"

namespace yomira {
namespace {

constexpr int kClientWidth = 385;
constexpr int kClientHeight = 65;

bool IsEnter(const QEvent* e) {
  if (e->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(e)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

bool UrlDialogOkEnabled(const std::string& text, bool startUpPanelVisible) {
  if (text.size() >= 5 && text.compare(0, 4, "http") == 0) return true;
  return startUpPanelVisible && text == kUrlDialogPhrase;
}

TForm5::TForm5(QWidget* owner, UrlDialogHost& host) : QDialog(owner), host_(host) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("URLを開く"));
  setFont(UiFont());

  PanelBase = new QWidget(this);
  PanelBase->setObjectName(QStringLiteral("PanelBase"));
  PanelBase->setGeometry(0, 0, kClientWidth, kClientHeight);
  ComboBoxURL = new QComboBox(PanelBase);
  ComboBoxURL->setObjectName(QStringLiteral("ComboBoxURL"));
  ComboBoxURL->setEditable(true);
  ComboBoxURL->setMaxVisibleItems(16);
  // Enter must not add the typed text to the list.
  ComboBoxURL->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxURL->setGeometry(8, 8, 369, 22);
  ButtonOK = new QPushButton(QStringLiteral("&OK"), PanelBase);
  ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
  ButtonOK->setGeometry(214, 36, 75, 25);
  ButtonOK->setDefault(true);
  ButtonCancel = new QPushButton(QStringLiteral("&Cancel"), PanelBase);
  ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
  ButtonCancel->setGeometry(302, 36, 75, 25);
  setTabOrder(ComboBoxURL, ButtonOK);
  setTabOrder(ButtonOK, ButtonCancel);
  setFixedSize(kClientWidth, kClientHeight);

  // The form sees the box's keys first: Enter is ours.
  ComboBoxURL->installEventFilter(this);
  if (QLineEdit* edit = ComboBoxURL->lineEdit()) edit->installEventFilter(this);
  connect(ComboBoxURL, &QComboBox::editTextChanged, this, [this] { ComboBoxURLChange(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { reject(); });
}

std::string TForm5::Text() const { return ComboBoxURL->currentText().toStdString(); }

void TForm5::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void TForm5::FormShow() {
  setFixedSize(PanelBase->size());
  // The list is the history's; the proposed text stays in the box.
  const QString text = ComboBoxURL->currentText();
  ComboBoxURL->blockSignals(true);
  ComboBoxURL->clear();
  for (const std::string& url : host_.HistoryUrls()) ComboBoxURL->addItem(Q(url));
  ComboBoxURL->setEditText(text);
  ComboBoxURL->blockSignals(false);
  ComboBoxURLChange();
  QWidget* owner = parentWidget();
  if (owner && isWindow()) {
    QRect r(QPoint(0, 0), frameGeometry().size());
    r.moveCenter(owner->frameGeometry().center());
    const QRect frame = ClampToVisibleScreen(r);
    move(frame.topLeft());
  }
  if (isVisible()) ComboBoxURL->setFocus();
}

void TForm5::ComboBoxURLChange() { ButtonOK->setEnabled(UrlDialogOkEnabled(Text(), host_.StartUpPanelVisible())); }

void TForm5::ButtonOKClick() {
  if (!ButtonOK->isEnabled()) return;
  if (host_.StartUpPanelVisible() && Text() == kUrlDialogPhrase) {
    host_.ShowEasterEgg();
    reject();
    return;
  }
  accept();
}

bool TForm5::eventFilter(QObject* watched, QEvent* e) {
  if (IsEnter(e) && (watched == ComboBoxURL || watched == ComboBoxURL->lineEdit())) {
    // Consumed either way; it counts as OK only while OK is enabled.
    if (ButtonOK->isEnabled()) ButtonOKClick();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void TForm5::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    e->accept();
    reject();
    return;
  }
  // Enter on a button is that button's; elsewhere it does nothing while OK is disabled.
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !ButtonOK->isEnabled()) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

std::optional<std::string> TForm5::Run(QWidget* owner, UrlDialogHost& host, const std::string& proposed) {
  QPointer<TForm5> dialog = new TForm5(owner, host);
  dialog->ComboBoxURL->setEditText(Q(proposed));
  const int result = dialog->exec();
  std::optional<std::string> text;
  if (dialog) {
    if (result == QDialog::Accepted) text = dialog->Text();
    delete dialog;
  }
  if (owner) {
    owner->activateWindow();
    owner->setFocus();
  }
  return text;
}

}  // namespace yomira
