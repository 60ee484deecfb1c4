// The help entries: readme.txt beside the program and the online help page.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "platform/shell_env.h"
#include "shell/actions/menu_proxy.h"
#include "shell/help_location.h"
#include "shell/main_window.h"

namespace yomira {
namespace {

std::string Encoded(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

std::string ReadmeLocation(const std::string& appDir, const std::string& programFolder) {
  const QString app = QFile::decodeName(QByteArray::fromStdString(appDir));
  const QString installed = app + QStringLiteral("/../share/yomira/readme.txt");
  if (programFolder.empty() && QFileInfo(installed).isFile()) return Encoded(QFileInfo(installed).absoluteFilePath());
  return (programFolder.empty() ? appDir : programFolder) + "/readme.txt";
}

std::string OnlineHelpAddress(const std::string& configured, const std::string& readmePath) {
  if (configured != kHelpUrlAtRunTime) return configured;
  const QString path = QFileInfo(QFile::decodeName(QByteArray::fromStdString(readmePath))).absoluteFilePath();
  return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toStdString();
}

std::string TForm1::ReadmePath() const {
  return ReadmeLocation(Encoded(QCoreApplication::applicationDirPath()), programFolder_);
}

void TForm1::ActionHelpReadmeExecute(QObject*) {
  // A help entry that does nothing visible leaves the user guessing: say what is missing.
  const std::string path = ReadmePath();
  if (!QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).isFile()) {
    env_->showMessage("[ " + path + " ]\nファイルがありません。");
    return;
  }
  if (!env_->openExternally(path)) env_->showMessage("[ " + path + " ]\n開くプログラムが見つかりませんでした。");
}

void TForm1::ActionHelpOnlineHelpExecute(QObject*) {
  if (helpUrl_.empty()) return;
  if (!env_->askOkCancel("オンラインヘルプ", helpUrl_)) return;
  if (!env_->openExternally(helpUrl_))
    env_->showMessage("[ " + helpUrl_ + " ]\n開くプログラムが見つかりませんでした。");
}

}  // namespace yomira
