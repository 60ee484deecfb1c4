#include "windows/controls/qt_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace yomira {

QString InstallQtTranslation(QCoreApplication& app) {
  if (auto* installed = app.findChild<QTranslator*>(QStringLiteral("QtJapanese")))
    return installed->filePath();
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(&app);
  translator->setObjectName(QStringLiteral("QtJapanese"));
  if (!translator->load(QStringLiteral("qtbase_ja"), folder) || !app.installTranslator(translator)) {
    delete translator;
    return {};
  }
  return translator->filePath();
}

}  // namespace yomira
