// The tool's renderer host: pictures from files and the program's resources, the data
// folder from YOMIRA_HOME, nothing on screen.
#pragma once

#include <QImage>
#include <QString>

#include <cstdlib>
#include <string>

#include "engine/render/EmphasisStrip.h"
#include "sources/picture.h"
#include "tools/null_render_host.h"

namespace yomira::tools {

class FileRenderHost : public NullRenderHost {
 public:
  QImage loadPicture(const std::string& pathUtf8) override { return ReadImageBounded(QString::fromStdString(pathUtf8)); }
  QImage loadResourcePicture(const std::string& name, const std::string& type) override {
    QImage img;
    return LoadResourcePicture(name, type, img) ? img : QImage();
  }
  std::string dataFolder() override {
    const char* home = std::getenv("YOMIRA_HOME");
    return home ? std::string(home) : std::string();
  }
};

}  // namespace yomira::tools
