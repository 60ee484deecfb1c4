#include "sources/picture.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <sys/stat.h>

#include <fstream>

#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;

// 2x2 GIF89a, palette red and blue, index 1 transparent; pixels 0 1 / 0 0.
const std::string kGif = std::string("GIF89a") +
                         bytes({0x02, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00,  // screen, 2-colour table
                                0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,        // red, blue
                                0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x01, 0x00,  // transparent index 1
                                0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00,
                                0x02, 0x03, 0x44, 0x00, 0x05, 0x00, 0x3B});

std::string Encoded(const QImage& image, const char* format) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format)) << format;
  return data.toStdString();
}

class PictureTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& data) {
    const std::string path = dir_ / name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }
  static QImage Bmp3x2() {
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                            qRgb(10, 20, 30), qRgb(255, 255, 255), qRgb(0, 0, 0)};
    for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colours[i]);
    return image;
  }
  static std::string Jpeg40x30() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    return Encoded(image, "JPEG");
  }
  test::TempDir dir_;
};

TEST_F(PictureTest, QtHasTheGifAndJpegPlugins) {
  const auto formats = QImageReader::supportedImageFormats();
  EXPECT_TRUE(formats.contains("gif"));
  EXPECT_TRUE(formats.contains("jpeg"));
  EXPECT_TRUE(formats.contains("bmp"));
}

TEST_F(PictureTest, BmpKeepsSizeAndPixels) {
  const QImage source = Bmp3x2();
  QImage out;
  ASSERT_TRUE(LoadPicture(Write("a.bmp", Encoded(source, "BMP")), out));
  EXPECT_EQ(out.format(), QImage::Format_ARGB32);
  ASSERT_EQ(out.size(), QSize(3, 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out.pixel(x, y), source.pixel(x, y) | 0xFF000000u) << x << "," << y;
}

TEST_F(PictureTest, JpegKeepsItsPixelSize) {
  QImage out;
  // The extension does not choose the decoder for these formats.
  ASSERT_TRUE(LoadPicture(Write("photo.dat", Jpeg40x30()), out));
  EXPECT_EQ(out.size(), QSize(40, 30));
  EXPECT_EQ(out.format(), QImage::Format_ARGB32);
  EXPECT_NEAR(qGreen(out.pixel(20, 15)), 200, 8);
}

TEST_F(PictureTest, GifKeepsTransparency) {
  QImage out;
  ASSERT_TRUE(LoadPicture(Write("t.gif", kGif), out));
  ASSERT_EQ(out.size(), QSize(2, 2));
  EXPECT_EQ(out.format(), QImage::Format_ARGB32);
  EXPECT_EQ(qAlpha(out.pixel(1, 0)), 0);
  EXPECT_EQ(out.pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(out.pixel(0, 1), 0xFFFF0000u);
  EXPECT_EQ(out.pixel(1, 1), 0xFFFF0000u);
}

TEST_F(PictureTest, PngExtensionGoesToThePngReaderOnly) {
  // A picture Qt would read, named .png in any case, is left to our PNG reader, which
  // refuses it because it is no PNG.
  const std::string jpeg = Jpeg40x30();
  for (const char* name : {"x.png", "x.PNG", "x.Png"}) {
    QImage out;
    EXPECT_FALSE(LoadPicture(Write(name, jpeg), out)) << name;
  }
  // A real PNG named so loads through it, alpha kept.
  QImage png(5, 4, QImage::Format_ARGB32);
  png.fill(qRgba(0, 0, 255, 255));
  png.setPixel(1, 2, qRgba(255, 0, 0, 0));
  for (const char* name : {"t.png", "t.PNG"}) {
    QImage out;
    ASSERT_TRUE(LoadPicture(Write(name, Encoded(png, "PNG")), out)) << name;
    EXPECT_EQ(out.format(), QImage::Format_ARGB32);
    ASSERT_EQ(out.size(), QSize(5, 4));
    EXPECT_EQ(out.pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(qAlpha(out.pixel(1, 2)), 0);
  }
  // A dot in a folder name is no extension.
  std::filesystem::create_directory(dir_ / "d.png");
  QImage out;
  EXPECT_TRUE(LoadPicture(Write("d.png/photo", jpeg), out));
}

TEST_F(PictureTest, OtherFormatsAreRefused) {
  QImage small(4, 3, QImage::Format_RGB32);
  small.fill(Qt::red);
  const std::pair<const char*, std::string> cases[] = {
      {"png_data.bmp", Encoded(small, "PNG")},
      {"text.gif", "GIF? no, just text"},
      {"empty.bmp", ""},
  };
  for (const auto& [name, data] : cases) {
    QImage out(1, 1, QImage::Format_ARGB32);
    EXPECT_FALSE(LoadPicture(Write(name, data), out)) << name;
    EXPECT_EQ(out.size(), QSize(1, 1)) << name;
  }
}

TEST_F(PictureTest, BadFilesFailWithoutLargeAllocations) {
  const std::string jpeg = Jpeg40x30();
  std::string huge = jpeg;
  const size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = huge[sof + 7] = static_cast<char>(60000 >> 8);
  huge[sof + 6] = huge[sof + 8] = static_cast<char>(60000 & 0xFF);
  const std::string fifo = dir_ / "f.gif";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string fifoPng = dir_ / "f.png";
  ASSERT_EQ(::mkfifo(fifoPng.c_str(), 0600), 0);
  const std::string paths[] = {
      dir_ / "missing.jpg", dir_.path(), fifo, fifoPng, Write("cut.jpg", jpeg.substr(0, 100)), Write("huge.jpg", huge),
  };
  for (const auto& path : paths) {
    QImage out;
    EXPECT_FALSE(LoadPicture(path, out)) << path;
    EXPECT_TRUE(out.isNull()) << path;
  }
}

TEST(ResourcePicture, EmphasisStrip) {
  QImage out;
  EXPECT_FALSE(LoadResourcePicture("IMG_EMPHASIS", "BMP", out));
  EXPECT_FALSE(LoadResourcePicture("IMG_OTHER", "GIF", out));
#ifndef YOMIRA_HAVE_EMPHASIS_STRIP
  EXPECT_FALSE(LoadResourcePicture("IMG_EMPHASIS", "GIF", out));
  GTEST_SKIP() << "the emphasis-mark strip is not in the tree yet";
#else
  ASSERT_TRUE(LoadResourcePicture("IMG_EMPHASIS", "GIF", out));
  EXPECT_EQ(out.format(), QImage::Format_ARGB32);
  const int h = out.height();
  ASSERT_GT(h, 0);
  EXPECT_EQ(out.width(), 8 * h);
  auto dark = [&](int x, int y) { return qGray(out.pixel(x, y)) < 128; };
  for (int cell = 0; cell < 8; ++cell) {
    bool ink = false;
    for (int y = 0; y < h && !ink; ++y)
      for (int x = cell * h; x < (cell + 1) * h && !ink; ++x) ink = dark(x, y);
    EXPECT_TRUE(ink) << "cell " << cell;
    EXPECT_FALSE(dark(cell * h, 0)) << "cell " << cell;
    EXPECT_FALSE(dark((cell + 1) * h - 1, h - 1)) << "cell " << cell;
  }
  // Our PNG reader decodes the strip; it must give the pixels Qt's reader gives.
  const QImage qt = QImage(QStringLiteral(":/yomira/emphasis/emphasis.png")).convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(qt.isNull());
  EXPECT_EQ(out, qt);
#endif
}

}  // namespace
}  // namespace yomira
