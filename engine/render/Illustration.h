// Inline illustrations: where a picture goes on the page, the cache of decoded pictures,
// and the drawing of an illustration element.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/core/option.h"
#include "engine/render/GlyphPainter.h"
#include "engine/render/RenderHost.h"

namespace yomira {

// Decoded pictures keyed by path, modification time and size, so a changed file is read
// again; the least recently used go first once the total passes the cap. Failures are kept
// too, so an undecodable file is not decoded on every page.
class PictureCache {
 public:
  static constexpr int64_t kCapBytes = int64_t{64} << 20;

  // The picture at pathUtf8 through host.loadPicture; null when missing or undecodable.
  QImage Get(RenderHost& host, const std::string& pathUtf8);
  void Clear();
  int64_t Bytes() const { return bytes_; }
  size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    std::string path;
    int64_t mtime = 0;
    int64_t size = 0;
    QImage image;
    int64_t bytes = 0;
  };
  std::list<Entry> entries_;  // most recent first
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
  int64_t bytes_ = 0;
};

// The rectangle of a picture of the given size for an illustration of the given width (0
// or less: as large as the page allows) and vertical alignment ("top", "bottom", else
// centred) on the line, page and block. Empty (all 0) for a picture without pixels.
Rect IllustrationRect(const TYomiraOption& option, int32_t width, std::string_view valign, QSize picture,
                      int32_t line, int32_t page, int32_t block);

// The file named in a document, resolved against the document's folder; when that file
// does not exist, a file of the same name in another letter case. "" for none.
std::string FindPictureFile(const std::string& documentUtf8, std::string_view fileCp932);

class IllustrationDrawer {
 public:
  IllustrationDrawer(const TYomiraOption& option, RenderHost& host, PictureCache& cache, GlyphPainter& painter)
      : option_(option), host_(host), cache_(cache), painter_(painter) {}

  // The illustration note or tag t (cp932); nothing when it does not parse or the picture
  // cannot be had.
  void DrawIllustration(std::string_view t, int32_t line, int32_t page, int32_t block);
  // The same for an illustration already parsed.
  void DrawPicture(std::string_view fileCp932, int32_t width, std::string_view valign, int32_t line, int32_t page,
                   int32_t block);

 private:
  const TYomiraOption& option_;
  RenderHost& host_;
  PictureCache& cache_;
  GlyphPainter& painter_;
};

}  // namespace yomira
