#include "shell/argument_classify.h"

#include <QFile>
#include <QUrl>

#include <sys/stat.h>

namespace yomira {

ArgumentClassifier StartArgumentClassifier() {
  return [](const std::string& text) {
    ClassifiedArgument c;
    c.path = text;
    if (text.size() > 7 && text.compare(0, 7, "file://") == 0)
      c.path = QFile::encodeName(QUrl(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())))
                                     .toLocalFile())
                   .toStdString();
    struct stat st {};
    if (!c.path.empty() && ::stat(c.path.c_str(), &st) == 0) {
      if (S_ISREG(st.st_mode)) {
        c.kind = ArgumentKind::File;
        return c;
      }
      if (S_ISDIR(st.st_mode)) {
        c.kind = ArgumentKind::Folder;
        return c;
      }
    }
    c.kind = text.size() > 4 && text.compare(0, 4, "http") == 0 ? ArgumentKind::Url : ArgumentKind::Switch;
    if (c.kind != ArgumentKind::File && c.kind != ArgumentKind::Folder) c.path = text;
    return c;
  };
}

}  // namespace yomira
