// Qt's own texts (file dialogs, standard buttons, edit menus) in Japanese, as the reader's
// own texts are, whatever the locale.
#pragma once

#include <QString>

class QCoreApplication;

namespace yomira {

// Installs qtbase_ja.qm from Qt's translations folder into app (once per application).
// Returns the file loaded, or an empty string when there is none: Qt then speaks English.
QString InstallQtTranslation(QCoreApplication& app);

}  // namespace yomira
