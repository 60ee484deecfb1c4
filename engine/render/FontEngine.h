// Fonts and glyphs in place of the platform font calls: fontconfig finds the face,
// HarfBuzz picks the glyph form (vertical, half-width), FreeType turns and rasterises it.
// One engine per process; everything runs on the one UI thread, except a start's FontPreload.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace yomira {

struct ResolvedFont;  // a matched face with its weight; owned by the engine

// Metrics of a font at one pixel height, named after the platform's text metrics.
struct FontMetrics {
  int32_t tmHeight = 0;
  int32_t tmAscent = 0;
  int32_t tmDescent = 0;
  int32_t tmInternalLeading = 0;
  int32_t tmExternalLeading = 0;
  int32_t tmAveCharWidth = 0;  // informational only
};

// 256-level coverage to the 17 levels ("GRAY4") the outline path blends in steps of 1/16.
inline uint8_t Gray17(uint8_t coverage) { return static_cast<uint8_t>((coverage * 16 + 127) / 255); }

// One rendered glyph. Coverage is 0..255, w bytes per row, rows top-down.
struct GlyphRaster {
  int32_t w = 0;         // black box width
  int32_t h = 0;         // black box height
  int32_t bx = 0;        // raster top-left relative to the cell's top-left
  int32_t by = 0;
  int32_t cellIncX = 0;  // horizontal cell advance, rounded
  int32_t ox = 0;        // glyph origin as the text metrics expect it
  int32_t oy = 0;
  std::vector<uint8_t> coverage;
  std::vector<uint8_t> gray17;  // the same raster in the outline path's 17 levels, pitch gray17Pitch
  int32_t gray17Pitch = 0;      // (w + 3) with the two low bits cleared
};

class FontEngine {
 public:
  static FontEngine& Instance();

  // face: the stored name, cp932; a leading "@" marks a vertical face.
  const ResolvedFont* Resolve(std::string_view faceUtf8, bool bold);
  FontMetrics Metrics(const ResolvedFont* font, int height);
  // The glyph of a cp932 code (one byte: 0x00-0xFF; two bytes: lead * 256 + trail) in an
  // orientation mode 0-5. Null when the code draws nothing (control bytes, a size <= 0).
  // The pointer stays valid until the next Glyph call or ClearCaches.
  const GlyphRaster* Glyph(const ResolvedFont* font, int height, uint16_t code, int mode);

  void ClearCaches();
  uint64_t CacheHits() const;
  uint64_t CacheMisses() const;
  size_t CacheBytes() const;

  // The font list the settings dialog offers: "@" + each family that supports Japanese.
  std::vector<std::string> JapaneseFamilies();

  // Descriptions for tools and tests.
  static std::string FamilyOf(const ResolvedFont* font);
  static bool IsVertical(const ResolvedFont* font);
  static bool HasHwid(const ResolvedFont* font);
  static bool Emboldened(const ResolvedFont* font);
  // True when the face itself (no fallback) has a glyph for the code.
  bool HasCode(const ResolvedFont* font, uint16_t code);

  // cp932 code -> Unicode, 0 when the code has none.
  static char32_t CodeToUnicode(uint16_t code);

  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

 private:
  FontEngine();
  ~FontEngine();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The engine's start (fontconfig's configuration files and caches, FreeType) and the match
// of one face, run on a worker thread while the program's start goes on. Nothing else may
// use the engine until join() has returned (the destructor joins too). No Qt in the worker.
class FontPreload {
 public:
  FontPreload(std::string face, bool bold);
  ~FontPreload() { join(); }
  void join() {
    if (thread_.joinable()) thread_.join();
  }

  FontPreload(const FontPreload&) = delete;
  FontPreload& operator=(const FontPreload&) = delete;

 private:
  std::thread thread_;
};

}  // namespace yomira
