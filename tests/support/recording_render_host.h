// A RenderHost that records what the renderer hands it and serves pictures from files
// (QImageReader) or from a map set up by the test.
#pragma once

#include <QImage>
#include <QImageReader>
#include <QString>

#include <map>
#include <string>
#include <vector>

#include "engine/render/RenderHost.h"

namespace yomira::test {

class RecordingRenderHost : public RenderHost {
 public:
  std::map<std::string, QImage> pictures;  // served before the file system
  std::string folder;
  std::vector<std::string> pictureRequests;
  int bottomBarCalls = 0;
  QImage slider, text, menu;
  std::vector<QRgb> labelColours;

  QImage loadPicture(const std::string& pathUtf8) override {
    pictureRequests.push_back(pathUtf8);
    auto it = pictures.find(pathUtf8);
    if (it != pictures.end()) return it->second;
    QImageReader reader(QString::fromStdString(pathUtf8));
    return reader.read();
  }
  std::string dataFolder() override { return folder; }
  void setBottomBars(const QImage& s, const QImage& t, const QImage& m) override {
    ++bottomBarCalls;
    slider = s;
    text = t;
    menu = m;
  }
  void setPageLabelColour(QRgb colour) override { labelColours.push_back(colour); }
};

}  // namespace yomira::test
