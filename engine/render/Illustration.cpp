#include "engine/render/Illustration.h"

#include <QString>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/core/special_lines.h"
#include "platform/path/resolve_path.h"


namespace yomira {

namespace fs = std::filesystem;

QImage PictureCache::Get(RenderHost& host, const std::string& pathUtf8) {
  std::error_code ec;
  const fs::path path(pathUtf8);
  const auto status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status)) return QImage();
  const int64_t size = static_cast<int64_t>(fs::file_size(path, ec));
  if (ec) return QImage();
  const auto time = fs::last_write_time(path, ec);
  if (ec) return QImage();
  const int64_t mtime = time.time_since_epoch().count();

  auto it = index_.find(pathUtf8);
  if (it != index_.end()) {
    if (it->second->mtime == mtime && it->second->size == size) {
      entries_.splice(entries_.begin(), entries_, it->second);
      return it->second->image;
    }
    bytes_ -= it->second->bytes;
    entries_.erase(it->second);
    index_.erase(it);
  }
  QImage image = host.loadPicture(pathUtf8);
  const int64_t bytes = image.isNull() ? 0 : static_cast<int64_t>(image.sizeInBytes());
  if (bytes > kCapBytes) return image;  // used once, never kept
  entries_.push_front({pathUtf8, mtime, size, image, bytes});
  index_[pathUtf8] = entries_.begin();
  bytes_ += bytes;
  while (bytes_ > kCapBytes && entries_.size() > 1) {
    bytes_ -= entries_.back().bytes;
    index_.erase(entries_.back().path);
    entries_.pop_back();
  }
  return image;
}

void PictureCache::Clear() {
  entries_.clear();
  index_.clear();
  bytes_ = 0;
}

Rect IllustrationRect(const TYomiraOption& o, int32_t width, std::string_view valign, QSize picture, int32_t line,
                      int32_t page, int32_t block) {
  const int64_t pw = picture.width(), ph = picture.height();
  if (pw <= 0 || ph <= 0) return {};
  const int64_t lw = int64_t{o.f_size} + o.ruby_size + o.s_size;
  int64_t left = 0, top = 0, right = 0, bottom = 0, avail = 0;
  if (width >= 1) {
    left = int64_t{o.GetLineX(line - 1, page)} - o.s_size - width;
    top = o.GetCharY(1, block);
    right = left + width;
    bottom = top + ph * width / pw;
    avail = (int64_t{o.f_size} + o.m_size) * o.v_size / 2;
    const int64_t q = lw > 0 ? width % lw : 0;
    if (q > 0) {
      left -= (lw - q) / 2;
      right -= (lw - q) / 2;
    }
  } else {
    const Rect pr = o.GetPageRect(page);
    const int64_t pageW = int64_t{pr.right} - pr.left, pageH = int64_t{pr.bottom} - pr.top;
    int64_t w = pw, h = ph;
    avail = pageH;
    if (pageW < w) {
      h = pageW * h / w;
      w = pageW;
    }
    if (pageH < h) {
      w = h > 0 ? pageH * w / h : 0;
      h = pageH;
    }
    left = pr.left;
    top = pr.top;
    right = left + w;
    bottom = top + h;
    if (w < pageW) {
      left += (pageW - w) / 2;
      right += (pageW - w) / 2;
    }
  }
  const int64_t height = bottom - top;
  if (height < avail) {
    int64_t move = (avail - height) / 2;
    if (valign == "top") move = 0;
    if (valign == "bottom") move = avail - height;
    top += move;
    bottom += move;
  }
  auto narrow = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  return {narrow(left), narrow(top), narrow(right), narrow(bottom)};
}

std::string FindPictureFile(const std::string& documentUtf8, std::string_view fileCp932) {
  if (documentUtf8.empty()) return {};
  const std::string resolved =
      ResolveRelativePath(fs::path(documentUtf8).parent_path().string(), fileCp932);
  if (resolved.empty()) return {};
  std::error_code ec;
  const fs::path path(resolved);
  if (fs::is_regular_file(path, ec)) return resolved;
  // Names written for a file system that ignores case.
  const QString wanted = QString::fromStdString(path.filename().string());
  if (wanted.isEmpty()) return {};
  for (fs::directory_iterator it(path.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    if (QString::fromStdString(it->path().filename().string()).compare(wanted, Qt::CaseInsensitive) == 0)
      return it->path().string();
  }
  return {};
}

void IllustrationDrawer::DrawPicture(std::string_view fileCp932, int32_t width, std::string_view valign,
                                     int32_t line, int32_t page, int32_t block) {
  const std::string path = FindPictureFile(host_.currentFileName(), fileCp932);
  if (path.empty()) return;
  const QImage picture = cache_.Get(host_, path);
  if (picture.isNull()) return;
  const Rect rect = IllustrationRect(option_, width, valign, picture.size(), line, page, block);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  painter_.DrawPicture(picture, rect);
}

void IllustrationDrawer::DrawIllustration(std::string_view t, int32_t line, int32_t page, int32_t block) {
  const std::optional<Illustration> parsed = ParseIllustration(t, option_);
  if (!parsed) return;
  // A file named with the size suffix, where there is one, is taken as written.
  const bool asWritten =
      !parsed->writtenFile.empty() && !FindPictureFile(host_.currentFileName(), parsed->writtenFile).empty();
  DrawPicture(asWritten ? parsed->writtenFile : parsed->file, parsed->width, parsed->valign, line, page, block);
}

}  // namespace yomira
