// The book window's lists at size: a folder of 10,000 small text files scanned and sorted by
// name, sorted by time, scanned with previews, and rows painted through the delegate.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>

#include "engine/core/option_defaults.h"
#include "windows/book/book_list.h"
#include "windows/book/book_logic.h"

using namespace yomira;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  constexpr int kFiles = 10000;
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%05d.txt", (i * 7919) % kFiles);
    std::ofstream(folder + name) << "title " << i << "\r\nline two\r\nline three\r\n";
  }
  const TYomiraOption option = DefaultOptions();
  QElapsedTimer t;
  t.start();
  FileItemList list = ScanFolderFiles(folder, option, FileListOrder{});
  const qint64 scan = t.elapsed();
  FileListOrder byTime;
  byTime.OrderName = false;
  byTime.OrderTime = true;
  t.restart();
  SortFileItems(list, byTime);
  const qint64 sortTime = t.elapsed();
  t.restart();
  FileItemList indexed = ScanFolderFiles(folder, option, FileListOrder{});
  MakeTextIndex(indexed, PreviewSource{});
  const qint64 index = t.elapsed();

  BookRowDelegate d([&](int row) { return BookRowState{indexed[row % indexed.size()].get(), kTabFileList, true, nullptr}; });
  QFont font(QStringLiteral("IPAex Gothic"));
  font.setPixelSize(12);
  const int h = QFontMetrics(font).height() + 4;
  QImage image(200, h * 100, QImage::Format_RGB32);
  QPainter p(&image);
  constexpr int kRounds = 20;
  t.restart();
  for (int r = 0; r < kRounds; ++r)
    for (int row = 0; row < 100; ++row) d.paintRow(&p, QRect(0, row * h, 200, h), font, row == 3, row);
  const double paint = static_cast<double>(t.nsecsElapsed()) / 1e6 / kRounds;
  std::printf("book files=%zu scan-ms=%lld sort-time-ms=%lld index-ms=%lld paint-ms-per-100-rows=%.2f\n", list.size(),
              static_cast<long long>(scan), static_cast<long long>(sortTime), static_cast<long long>(index), paint);
  return 0;
}
