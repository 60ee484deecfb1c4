#include "sources/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include "platform/file/regular_file.h"
#include "platform/path/path_parts.h"
#include "platform/text/cp932.h"

// The resource lives in a static library: its registration must be referenced to be linked.
static bool InitEmphasisResource() {
#ifdef YOMIRA_HAVE_EMPHASIS_STRIP
  Q_INIT_RESOURCE(emphasis_strip);
  return true;
#else
  return false;
#endif
}

namespace yomira {
namespace {

constexpr int64_t kMaxPictureBytes = int64_t{kPictureAllocationLimitMb} << 20;

bool HasPngExtension(const std::string& path) { return AsciiLower(ExtractFileExt(path)) == ".png"; }

bool FitsAllocation(const QSize& size) {
  return size.width() > 0 && size.height() > 0 &&
         int64_t{size.width()} * size.height() * 4 <= kMaxPictureBytes;
}

// Decodes the first frame of a BMP, JPEG or GIF held in memory; other formats are refused.
bool DecodePicture(QIODevice& device, const QList<QByteArray>& formats, QImage& out) {
  QImageReader reader(&device);
  reader.setAutoTransform(false);
  reader.setAllocationLimit(kPictureAllocationLimitMb);
  if (!formats.contains(reader.format())) return false;
  // Bound the size from the header before anything is allocated.
  const QSize size = reader.size();
  if (size.isValid() && !FitsAllocation(size)) return false;
  QImage image;
  if (!reader.read(&image) || image.isNull() || !FitsAllocation(image.size())) return false;
  image = image.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return false;
  out = std::move(image);
  return true;
}

// A decoded PNG as every picture is handed on: not empty, in ARGB32.
bool AcceptPng(QImage image, QImage& out) {
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return false;
  if (image.format() != QImage::Format_ARGB32) image = image.convertToFormat(QImage::Format_ARGB32);
  out = std::move(image);
  return true;
}

}  // namespace

bool LoadPicture(const std::string& path, QImage& out) {
  if (HasPngExtension(path)) {
    if (CheckRegularFile(path, kMaxPictureFileBytes) != ReadFileStatus::Ok) return false;
    QImage image;
    return LoadPngPicture(path, image) && AcceptPng(std::move(image), out);
  }
  std::string bytes;
  if (ReadRegularFile(path, kMaxPictureFileBytes, bytes) != ReadFileStatus::Ok) return false;
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return false;
  return DecodePicture(buffer, {"bmp", "jpeg", "gif"}, out);
}

bool LoadResourcePicture(const std::string& name, const std::string& type, QImage& out) {
  if (name != "IMG_EMPHASIS" || type != "GIF") return false;
  static const bool registered = InitEmphasisResource();
  if (!registered) return false;
  QFile file(QStringLiteral(":/yomira/emphasis/emphasis.png"));
  if (!file.open(QIODevice::ReadOnly)) return false;
  // Our PNG reader: Qt's would load every image-format plugin at the first page.
  const QByteArray bytes = file.readAll();
  QImage image;
  return LoadPngPictureBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), image) &&
         AcceptPng(std::move(image), out);
}

}  // namespace yomira
