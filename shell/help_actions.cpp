// The help entries: readme.txt beside the program and the online help page.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "platform/shell_env.h"
#include "shell/actions/menu_proxy.h"
#include "shell/main_window.h"

namespace yomira {

std::string TForm1::ReadmePath() const {
  // An installed program finds its readme in share/yomira; bin/ holds only programs.
  const QString app = QCoreApplication::applicationDirPath();
  const QString installed = app + QStringLiteral("/../share/yomira/readme.txt");
  if (programFolder_.empty() && QFileInfo(installed).isFile())
    return QFile::encodeName(QFileInfo(installed).absoluteFilePath()).toStdString();
  const std::string folder = programFolder_.empty() ? QFile::encodeName(app).toStdString() : programFolder_;
  return folder + "/readme.txt";
}

void TForm1::ActionHelpReadmeExecute(QObject*) { env_->openExternally(ReadmePath()); }

void TForm1::ActionHelpOnlineHelpExecute(QObject*) {
  if (helpUrl_.empty()) return;
  if (env_->askOkCancel(this, "オンラインヘルプ", helpUrl_)) env_->openExternally(helpUrl_);
}

}  // namespace yomira
