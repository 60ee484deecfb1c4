// The floor of a start: a bare Qt window of the reader's default size that paints one
// picture with one line of IPAex Mincho. bench/startup.sh sets the reader against it.
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {

class FloorWindow : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    if (page_.isNull()) {
      page_ = QImage(size(), QImage::Format_RGB32);
      page_.fill(QColor(255, 255, 240));
      QPainter p(&page_);
      p.setFont(QFont(QStringLiteral("IPAexMincho"), 16));
      p.setPen(Qt::black);
      p.drawText(40, 60, QStringLiteral("羅生門　芥川龍之介　ある日の暮方の事である。"));
    }
    QPainter(this).drawImage(0, 0, page_);
  }

 private:
  QImage page_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  FloorWindow w;
  w.resize(492, 539);
  w.show();
  return app.exec();
}
