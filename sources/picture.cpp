#include "sources/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include "platform/file/regular_file.h"

namespace yomira {
namespace {

constexpr int64_t kMaxPictureBytes = int64_t{kPictureAllocationLimitMb} << 20;

bool HasPngExtension(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".png";
}

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

}  // namespace

bool LoadPicture(const std::string& path, QImage& out) {
  if (HasPngExtension(path)) {
    if (CheckRegularFile(path, kMaxPictureFileBytes) != ReadFileStatus::Ok) return false;
    QImage image;
    if (!LoadPngPicture(path, image) || image.isNull() || image.width() <= 0 || image.height() <= 0) return false;
    if (image.format() != QImage::Format_ARGB32) image = image.convertToFormat(QImage::Format_ARGB32);
    out = std::move(image);
    return true;
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
  QFile file(QStringLiteral(":/yomira/emphasis/emphasis.png"));
  if (!file.open(QIODevice::ReadOnly)) return false;
  return DecodePicture(file, {"png"}, out);
}

}  // namespace yomira
