// Property grid: fill 200 items' values by name (each a rebuild, as the option mapping
// does), one rebuild, one full paint, and Down through every row with the editor following.
// Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include <chrono>
#include <cstdio>
#include <string>

#include "windows/controls/prop_grid/prop_grid.h"

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  using yomira::PropGridStyle;
  yomira::PropGrid grid;
  grid.resize(300, 600);
  grid.model().SetBreakBySection(true);
  yomira::PropGridModel& m = grid.model();
  m.Items().BeginUpdate();
  for (int i = 0; i < 200; ++i) {
    yomira::PropGridItem& item = m.Items().Add();
    item.SetDisplayName("Item" + std::to_string(i + 1));
    item.SetSection("section " + std::to_string(i / 20));
    item.SetLevel(i % 3);
    item.SetKey("key " + std::to_string(i));
    item.SetStyle(static_cast<PropGridStyle>(i % 12));
    item.SetPickList({"a", "b", "c"});
  }
  m.Items().EndUpdate();
  grid.show();
  QApplication::processEvents();

  auto t = std::chrono::steady_clock::now();
  for (int i = 0; i < 200; ++i) grid.Names("Item" + std::to_string(i + 1)).SetValue("value " + std::to_string(i));
  const double fill = Ms(t);

  t = std::chrono::steady_clock::now();
  m.UpdateIndex();
  const double rebuild = Ms(t);

  QImage image(grid.viewport()->size(), QImage::Format_RGB32);
  t = std::chrono::steady_clock::now();
  {
    QPainter p(&image);
    grid.PaintRows(p);
  }
  const double paint = Ms(t);

  m.SelectRow(0);
  t = std::chrono::steady_clock::now();
  for (int r = 1; r < m.RowCount(); ++r) {
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&grid, &down);
  }
  const double walk = Ms(t);

  std::printf("propgrid items=%d rows=%d fill-ms=%.2f rebuild-ms=%.3f paint-ms=%.2f walk-ms=%.2f\n",
              m.Items().Count(), m.RowCount(), fill, rebuild, paint, walk);
  return 0;
}
