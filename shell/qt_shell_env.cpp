#include "shell/qt_shell_env.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace yomira {

QWidget* QtShellEnv::ownerOf(QWidget* owner) const {
  if (owner) return owner->window();
  if (QWidget* active = QApplication::activeWindow()) return active;
  return parent_.data();
}

void QtShellEnv::showMessage(QWidget* owner, const std::string& text) {
  // YOMIRA_TRACE_MESSAGES=1: the text on stderr too, one line, "\n" for a line break (a
  // message box's text cannot be read from outside).
  if (qEnvironmentVariableIntValue("YOMIRA_TRACE_MESSAGES") == 1) {
    QByteArray line = QByteArray::fromStdString(text);
    line.replace('\\', "\\\\").replace('\n', "\\n");
    std::fprintf(stderr, "message: %s\n", line.constData());
    std::fflush(stderr);
  }
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("yomira"), Q(text), QMessageBox::Ok, ownerOf(owner));
  box.exec();
}

bool QtShellEnv::askOkCancel(QWidget* owner, const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::Ok | QMessageBox::Cancel,
                  ownerOf(owner));
  return box.exec() == QMessageBox::Ok;
}

std::optional<std::string> QtShellEnv::askText(QWidget* owner, const std::string& caption,
                                               const std::string& prompt, const std::string& defaultText) {
  QInputDialog box(ownerOf(owner));
  box.setWindowTitle(Q(caption));
  box.setLabelText(Q(prompt));
  box.setInputMode(QInputDialog::TextInput);
  box.setTextValue(Q(defaultText));
  // The default comes selected, so typing replaces it.
  if (auto* edit = box.findChild<QLineEdit*>()) {
    edit->selectAll();
    QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
  }
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue().toStdString();
}

bool QtShellEnv::openExternally(const std::string& target) {
  // D9: shell-open is xdg-open through QDesktopServices. A path is a local file.
  const QString t = Q(target);
  const QUrl url = t.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(target)))
                                                   : QUrl(t);
  return QDesktopServices::openUrl(url);
}

bool QtShellEnv::launchProgram(const std::string& program, const std::vector<std::string>& args) {
  QStringList arguments;
  for (const std::string& a : args) arguments << Q(a);
  QProcess process;
  process.setProgram(Q(program));
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  // Detached: Qt's double fork leaves no child of ours to reap.
  return process.startDetached();
}

std::string QtShellEnv::clipboardText() {
  const QClipboard* c = QGuiApplication::clipboard();
  return c ? c->text().toStdString() : std::string();
}

void QtShellEnv::setCursorPos(int x, int y) { QCursor::setPos(x, y); }

// Kept as given until the first play: decoding opens SDL2, which the start does without.
// The player decodes into its own copy; the caller's bytes may go at any time.
void QtShellEnv::setTurnSound(const std::string& wavBytes) {
  player_.setSound({});
  pendingSound_ = wavBytes;
  soundPending_ = !pendingSound_.empty();
}

void QtShellEnv::playTurnSound() {
  if (soundPending_) {
    soundPending_ = false;
    player_.setSound(pendingSound_);
    std::string().swap(pendingSound_);
  }
  player_.play();
}

void QtShellEnv::stopSound() { player_.stop(); }

}  // namespace yomira
