// A RenderHost that records what the renderer hands it and serves pictures from files
// (QImageReader) or from a map set up by the test, and the built-in emphasis-mark strip.
// calls names the fitting, hint and spread calls in order ("slider 3 7", "hideHint").
#pragma once

#include <QImage>
#include <QImageReader>
#include <QString>

#include <map>
#include <string>
#include <vector>

#include "engine/render/RenderHost.h"
#include "support/test_support.h"

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
  // The built-in strip as the program carries it: the committed file (the resource
  // itself belongs to the sources layer).
  bool builtinStrip = true;
  QImage loadResourcePicture(const std::string& name, const std::string& type) override {
    if (!builtinStrip || name != "IMG_EMPHASIS" || type != "GIF") return QImage();
    return QImageReader(QString::fromStdString(TestData("../../resources/emphasis/emphasis.png").string())).read();
  }
  std::string dataFolder() override { return folder; }
  void setBottomBars(const QImage& s, const QImage& t, const QImage& m) override {
    ++bottomBarCalls;
    slider = s;
    text = t;
    menu = m;
  }
  void setPageLabelColour(QRgb colour) override { labelColours.push_back(colour); }

  // Window fitting and the annotation hint. calls names them in order.
  bool fullScreen = false;
  QSize screen{1920, 1080};
  QPoint imageOrigin{100, 200};  // where the page image sits on the screen
  QSize cursor{32, 32};
  std::vector<std::string> calls;
  std::vector<PanelLayout> layouts;
  std::string shownText;
  QRect shownRect;
  int32_t hintMaxWidth = -1;

  void applyPanelLayout(const PanelLayout& layout) override {
    calls.push_back("applyPanelLayout");
    layouts.push_back(layout);
  }
  bool isFullScreen() override { return fullScreen; }
  QSize screenSize() override { return screen; }
  QPoint mapToScreen(QPoint p) override { return p + imageOrigin; }
  // 10 px a byte of UTF-8 by 30.
  QSize hintSize(const std::string& textUtf8, int32_t maxWidth) override {
    calls.push_back("hintSize");
    hintMaxWidth = maxWidth;
    return QSize(int(textUtf8.size()) * 10, 30);
  }
  QSize cursorSize() override { return cursor; }
  void showHint(const std::string& textUtf8, const QRect& rect) override {
    calls.push_back("showHint");
    shownText = textUtf8;
    shownRect = rect;
  }
  void hideHint() override { calls.push_back("hideHint"); }

  // The spread drawing: slider, page label and history position; fileName is history
  // entry 0's path.
  std::vector<int32_t> rates;
  std::string fileName;
  void updateSliderPosition(int32_t page, int32_t views) override {
    calls.push_back("slider " + std::to_string(page) + " " + std::to_string(views));
  }
  void showPageLabel(int32_t page, int32_t views) override {
    calls.push_back("label " + std::to_string(page) + " " + std::to_string(views));
  }
  void setHistoryPosition(int32_t rate) override {
    calls.push_back("history " + std::to_string(rate));
    rates.push_back(rate);
  }
  std::string currentFileName() override { return fileName; }
};

}  // namespace yomira::test
