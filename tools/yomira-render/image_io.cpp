#include "image_io.h"

#include <QSaveFile>

namespace yomira::tools {

bool SavePng(const QImage& image, const std::string& path, std::string& error) {
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool SaveText(const std::string& text, const std::string& path, std::string& error) {
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size()) ||
      !file.commit()) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace yomira::tools
