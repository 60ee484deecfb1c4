#include "engine/render/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>
#include <map>
#include <set>
#include <unordered_map>

#include "platform/file/regular_file.h"
#include "platform/text/utf8.h"

namespace yomira {

namespace {

constexpr size_t kCacheLimit = 32u << 20;  // bytes of rasters kept

// How a glyph is chosen and turned.
enum class Select { Horizontal, Vertical, HalfWidth };
enum class Turn { Upright, Side, Half, UprightX2, SideX2 };

struct Form {
  Select select;
  Turn turn;
};

Form FormFor(bool doubleByte, bool verticalFace, int mode) {
  if (!doubleByte) {
    // Half-width characters lie on their side except in an upright group.
    if (mode == 1) return {Select::HalfWidth, Turn::Upright};
    if (mode >= 3 && mode <= 5) return {Select::HalfWidth, Turn::SideX2};
    return {Select::HalfWidth, Turn::Side};
  }
  switch (mode) {
    case 1: return {Select::Horizontal, Turn::Upright};
    case 2: return verticalFace ? Form{Select::Horizontal, Turn::Side} : Form{Select::Horizontal, Turn::Half};
    case 3: case 4: case 5:
      return verticalFace ? Form{Select::Vertical, Turn::UprightX2} : Form{Select::Horizontal, Turn::SideX2};
    default:
      return verticalFace ? Form{Select::Vertical, Turn::Upright} : Form{Select::Horizontal, Turn::Side};
  }
}

bool ContainsGothic(const std::string& utf8) {
  if (utf8.find("ゴシック") != std::string::npos || utf8.find("ｺﾞｼｯｸ") != std::string::npos) return true;
  std::string lower = utf8;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower.find("gothic") != std::string::npos;
}

size_t EntryBytes(const GlyphRaster& g) { return g.coverage.size() + g.gray17.size() + sizeof(GlyphRaster) + 64; }

}  // namespace

struct FaceEntry {
  uint32_t id = 0;
  std::string file;
  int index = 0;
  FT_Face ft = nullptr;
  hb_face_t* hbFace = nullptr;
  hb_font_t* hb = nullptr;
  hb_blob_t* blob = nullptr;  // the file's bytes under ft, which does not copy them
  bool hwid = false;
  int typoAscender = 0, typoDescender = 0, unitsPerEm = 1000, avgCharWidth = 0;
  std::string family;
  int currentSize = -1;
  // glyph ids by (select, code)
  std::unordered_map<uint32_t, uint32_t> gids;
};

struct ResolvedFont {
  uint32_t id = 0;
  FaceEntry* face = nullptr;
  bool vertical = false;
  bool embolden = false;
  std::string fallbackFamily;
};

struct FontEngine::Impl {
  FT_Library library = nullptr;
  std::map<std::string, std::unique_ptr<FaceEntry>> faces;         // by file + index
  std::map<std::string, std::unique_ptr<ResolvedFont>> resolved;   // by name + bold
  std::unordered_map<uint64_t, FaceEntry*> fallbackFaces;           // by family id, char
  hb_buffer_t* buffer = nullptr;

  struct CacheEntry {
    uint64_t key;
    GlyphRaster raster;
  };
  std::list<CacheEntry> lru;
  std::unordered_map<uint64_t, std::list<CacheEntry>::iterator> index;
  size_t bytes = 0;
  uint64_t hits = 0, misses = 0;

  FaceEntry* OpenFace(const std::string& file, int faceIndex) {
    const std::string key = file + "#" + std::to_string(faceIndex);
    auto it = faces.find(key);
    if (it != faces.end()) return it->second.get();
    auto entry = std::make_unique<FaceEntry>();
    // One mapping of the file serves both FreeType and HarfBuzz: a second one would count
    // the font's pages twice in the resident set. Only a regular file: reading a FIFO or a
    // device would block.
    hb_blob_t* blob = IsRegularFile(file) ? hb_blob_create_from_file(file.c_str()) : hb_blob_get_empty();
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    if (length == 0 || FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data),
                                          static_cast<FT_Long>(length), faceIndex, &entry->ft) != 0) {
      hb_blob_destroy(blob);
      faces[key] = nullptr;
      return nullptr;
    }
    entry->blob = blob;
    entry->id = static_cast<uint32_t>(faces.size() + 1);
    entry->file = file;
    entry->index = faceIndex;
    entry->unitsPerEm = entry->ft->units_per_EM > 0 ? entry->ft->units_per_EM : 1000;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(entry->ft, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->sTypoAscender - os2->sTypoDescender > 0) {
      entry->typoAscender = os2->sTypoAscender;
      entry->typoDescender = os2->sTypoDescender;
      entry->avgCharWidth = os2->xAvgCharWidth;
    } else {
      // hhea values when there is no usable OS/2 table
      entry->typoAscender = entry->ft->ascender;
      entry->typoDescender = entry->ft->descender;
      if (entry->typoAscender - entry->typoDescender <= 0) {
        entry->typoAscender = entry->unitsPerEm * 88 / 100;
        entry->typoDescender = entry->typoAscender - entry->unitsPerEm;
      }
      entry->avgCharWidth = entry->unitsPerEm / 2;
    }
    entry->hbFace = hb_face_create(blob, static_cast<unsigned>(faceIndex));
    entry->hb = hb_font_create(entry->hbFace);
    unsigned count = 0;
    hb_tag_t tags[256];
    unsigned start = 0;
    do {
      count = 256;
      hb_ot_layout_table_get_feature_tags(entry->hbFace, HB_OT_TAG_GSUB, start, &count, tags);
      for (unsigned i = 0; i < count; ++i)
        if (tags[i] == HB_TAG('h', 'w', 'i', 'd')) entry->hwid = true;
      start += count;
    } while (count == 256);
    if (entry->ft->family_name) entry->family = entry->ft->family_name;
    FaceEntry* raw = entry.get();
    faces[key] = std::move(entry);
    return raw;
  }

  uint32_t Shape(FaceEntry* face, char32_t cp, Select select) {
    if (select == Select::Horizontal || (select == Select::HalfWidth && !face->hwid))
      return FT_Get_Char_Index(face->ft, cp);
    hb_buffer_clear_contents(buffer);
    const uint32_t u = cp;
    hb_buffer_add_utf32(buffer, &u, 1, 0, 1);
    hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
    hb_feature_t features[2];
    unsigned nfeatures = 0;
    if (select == Select::Vertical) {
      // 'vert' comes with the direction; 'vrt2' would also turn proportional Latin.
      hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
      hb_buffer_set_script(buffer, HB_SCRIPT_HAN);
      hb_feature_from_string("-vrt2", -1, &features[nfeatures++]);
    } else {
      hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
      hb_buffer_guess_segment_properties(buffer);
      hb_feature_from_string("+hwid", -1, &features[nfeatures++]);
    }
    hb_shape(face->hb, buffer, features, nfeatures);
    unsigned len = 0;
    hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &len);
    return len ? info[0].codepoint : 0;
  }

  uint32_t GlyphId(FaceEntry* face, char32_t cp, Select select) {
    const uint32_t key = (static_cast<uint32_t>(select) << 24) | (cp & 0xFFFFFF);
    auto it = face->gids.find(key);
    if (it != face->gids.end()) return it->second;
    const uint32_t gid = Shape(face, cp, select);
    face->gids[key] = gid;
    return gid;
  }

  // The first face (lang ja order) that has the character.
  FaceEntry* FallbackFace(const ResolvedFont* font, char32_t cp) {
    const uint64_t key = (static_cast<uint64_t>(font->id) << 32) | cp;
    auto it = fallbackFaces.find(key);
    if (it != fallbackFaces.end()) return it->second;
    FaceEntry* found = nullptr;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(font->fallbackFamily.c_str()));
    FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcFontSet* set = FcFontSort(nullptr, pat, FcFalse, nullptr, &result);
    if (set) {
      for (int i = 0; i < set->nfont && !found; ++i) {
        FcCharSet* cs = nullptr;
        if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &cs) != FcResultMatch || !FcCharSetHasChar(cs, cp))
          continue;
        FcChar8* file = nullptr;
        int idx = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &idx);
        FaceEntry* face = OpenFace(reinterpret_cast<const char*>(file), idx);
        if (face && FT_Get_Char_Index(face->ft, cp) != 0) found = face;
      }
      FcFontSetDestroy(set);
    }
    FcPatternDestroy(pat);
    fallbackFaces[key] = found;
    return found;
  }

  void Render(const ResolvedFont* font, int height, uint16_t code, int mode, GlyphRaster& out) {
    const char32_t cp = Cp932CodeToUnicode(code);
    const bool doubleByte = code > 0xFF;
    const Form form = FormFor(doubleByte, font->vertical, mode);
    FaceEntry* face = font->face;
    uint32_t gid = cp ? GlyphId(face, cp, form.select) : 0;
    if (cp && gid == 0) {
      face = FallbackFace(font, cp);
      gid = face ? GlyphId(face, cp, form.select) : 0;
    }
    // Placement uses the metrics of the font asked for, so the cell stays put.
    const FaceEntry* own = font->face;
    const int f = height;
    const int A = static_cast<int>(std::lround(static_cast<double>(f) * own->typoAscender /
                                               (own->typoAscender - own->typoDescender)));
    const int D = f - A;
    const int IL = 0;
    int px = 0, py = 0;
    switch (form.turn) {
      case Turn::Upright: px = 0; py = A; break;
      case Turn::UprightX2: px = 0; py = 2 * A; break;
      case Turn::Half: px = f; py = D; break;
      case Turn::Side: case Turn::SideX2: px = D; py = 0; break;
    }
    int Ox = D - IL, Oy = 0;
    if (mode == 1) { Ox = 0; Oy = A; }
    if (mode == 2) { Ox = f; Oy = D; }
    out = GlyphRaster{};
    // An empty cell still advances by the size of the face.
    out.cellIncX = doubleByte ? f : f / 2;
    out.bx = px;
    out.by = py;
    if (!face || gid == 0) {
      out.ox = out.bx - Ox;
      out.oy = Oy - out.by;
      return;
    }
    if (face->currentSize != height) {
      FT_Set_Pixel_Sizes(face->ft, 0, static_cast<FT_UInt>(height));
      face->currentSize = height;
    }
    if (FT_Load_Glyph(face->ft, gid, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0 ||
        face->ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      out.ox = out.bx - Ox;
      out.oy = Oy - out.by;
      return;
    }
    FT_GlyphSlot slot = face->ft->glyph;
    out.cellIncX = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    if (font->embolden) {
      const FT_Pos strength = static_cast<FT_Pos>(f) * 64 / 24;
      FT_Outline_EmboldenXY(&slot->outline, strength, strength);
    }
    FT_Matrix m{0x10000, 0, 0, 0x10000};
    switch (form.turn) {
      case Turn::Upright: break;
      case Turn::UprightX2: m = {0x10000, 0, 0, 0x20000}; break;
      case Turn::Side: m = {0, 0x10000, -0x10000, 0}; break;       // 90 degrees clockwise
      case Turn::SideX2: m = {0, 0x10000, -0x20000, 0}; break;     // doubled along the line, then turned
      case Turn::Half: m = {-0x10000, 0, 0, -0x10000}; break;      // 180 degrees
    }
    if (form.turn != Turn::Upright) FT_Outline_Transform(&slot->outline, &m);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
      out.ox = out.bx - Ox;
      out.oy = Oy - out.by;
      return;
    }
    const FT_Bitmap& bm = slot->bitmap;
    out.w = static_cast<int32_t>(bm.width);
    out.h = static_cast<int32_t>(bm.rows);
    out.bx = px + slot->bitmap_left;
    out.by = py - slot->bitmap_top;
    out.ox = out.bx - Ox;
    out.oy = Oy - out.by;
    if (out.w > 0 && out.h > 0 && bm.buffer) {
      out.coverage.resize(static_cast<size_t>(out.w) * out.h);
      for (int y = 0; y < out.h; ++y) {
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(bm.pitch) * y;
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
          std::memcpy(&out.coverage[static_cast<size_t>(y) * out.w], row, static_cast<size_t>(out.w));
        } else {
          for (int x = 0; x < out.w; ++x)
            out.coverage[static_cast<size_t>(y) * out.w + x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        }
      }
      // "GRAY4": the 17 coverage levels 0-16 the outline path blends in steps of 1/16.
      out.gray17Pitch = (out.w + 3) & ~3;
      out.gray17.assign(static_cast<size_t>(out.gray17Pitch) * out.h, 0);
      for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x)
          out.gray17[static_cast<size_t>(y) * out.gray17Pitch + x] =
              Gray17(out.coverage[static_cast<size_t>(y) * out.w + x]);
    } else {
      out.w = out.h = 0;
    }
  }
};

FontEngine& FontEngine::Instance() {
  static FontEngine engine;
  return engine;
}

FontPreload::FontPreload(std::string face, bool bold)
    : thread_([face = std::move(face), bold] { FontEngine::Instance().Resolve(face, bold); }) {}

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
  FcInit();
  FT_Init_FreeType(&impl_->library);
  impl_->buffer = hb_buffer_create();
}

FontEngine::~FontEngine() {
  for (auto& [key, face] : impl_->faces) {
    if (!face) continue;
    hb_font_destroy(face->hb);
    hb_face_destroy(face->hbFace);
    FT_Done_Face(face->ft);
    hb_blob_destroy(face->blob);
  }
  hb_buffer_destroy(impl_->buffer);
  FT_Done_FreeType(impl_->library);
}

const ResolvedFont* FontEngine::Resolve(std::string_view faceUtf8, bool bold) {
  // Face names are UTF-8, as the settings hold them: fontconfig takes them as they are.
  std::string key(faceUtf8);
  key.push_back(bold ? '\x01' : '\x02');
  auto it = impl_->resolved.find(key);
  if (it != impl_->resolved.end()) return it->second.get();
  std::string name(faceUtf8);
  bool vertical = false;
  if (!name.empty() && name[0] == '@') {
    vertical = true;
    name.erase(0, 1);
  }
  const std::string fallback = ContainsGothic(name) ? "IPAexGothic" : "IPAexMincho";
  FcPattern* pat = FcPatternCreate();
  if (!name.empty()) FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(fallback.c_str()));
  FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  FcPatternDestroy(pat);
  auto font = std::make_unique<ResolvedFont>();
  font->id = static_cast<uint32_t>(impl_->resolved.size() + 1);
  font->vertical = vertical;
  font->fallbackFamily = fallback;
  if (match) {
    FcChar8* file = nullptr;
    int index = 0;
    FcBool embolden = FcFalse;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
      font->face = impl_->OpenFace(reinterpret_cast<const char*>(file), index);
      font->embolden = embolden == FcTrue;
    }
    FcPatternDestroy(match);
  }
  const ResolvedFont* raw = font.get();
  impl_->resolved[key] = std::move(font);
  return raw;
}

FontMetrics FontEngine::Metrics(const ResolvedFont* font, int height) {
  FontMetrics m;
  if (!font || !font->face || height <= 0) return m;
  const FaceEntry* face = font->face;
  m.tmHeight = height;
  m.tmAscent = static_cast<int32_t>(std::lround(static_cast<double>(height) * face->typoAscender /
                                                (face->typoAscender - face->typoDescender)));
  m.tmDescent = height - m.tmAscent;
  m.tmInternalLeading = 0;
  m.tmAveCharWidth = static_cast<int32_t>(
      std::lround(static_cast<double>(height) * face->avgCharWidth / face->unitsPerEm));
  return m;
}

const GlyphRaster* FontEngine::Glyph(const ResolvedFont* font, int height, uint16_t code, int mode) {
  if (!font || !font->face || height <= 0 || height > 0xFFFF) return nullptr;
  if (code < 0x20 || code == 0x7F) return nullptr;
  if (mode < 0 || mode > 5) mode = 0;
  const uint64_t key = (static_cast<uint64_t>(font->id) << 36) | (static_cast<uint64_t>(height) << 20) |
                       (static_cast<uint64_t>(code) << 4) | static_cast<uint64_t>(mode);
  auto it = impl_->index.find(key);
  if (it != impl_->index.end()) {
    ++impl_->hits;
    if (it->second != impl_->lru.begin()) impl_->lru.splice(impl_->lru.begin(), impl_->lru, it->second);
    return &it->second->raster;
  }
  ++impl_->misses;
  impl_->lru.push_front({key, {}});
  impl_->Render(font, height, code, mode, impl_->lru.front().raster);
  impl_->index[key] = impl_->lru.begin();
  impl_->bytes += EntryBytes(impl_->lru.front().raster);
  while (impl_->bytes > kCacheLimit && impl_->lru.size() > 1) {
    auto& last = impl_->lru.back();
    impl_->bytes -= EntryBytes(last.raster);
    impl_->index.erase(last.key);
    impl_->lru.pop_back();
  }
  return &impl_->lru.front().raster;
}

void FontEngine::ClearCaches() {
  impl_->lru.clear();
  impl_->index.clear();
  impl_->bytes = 0;
  for (auto& [key, face] : impl_->faces)
    if (face) face->gids.clear();
}

uint64_t FontEngine::CacheHits() const { return impl_->hits; }
uint64_t FontEngine::CacheMisses() const { return impl_->misses; }
size_t FontEngine::CacheBytes() const { return impl_->bytes; }

std::vector<std::string> FontEngine::JapaneseFamilies() {
  std::set<std::string> names;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pat, os);
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* family = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch)
        names.insert(std::string("@") + reinterpret_cast<const char*>(family));
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(os);
  FcPatternDestroy(pat);
  return {names.begin(), names.end()};
}

std::string FontEngine::FamilyOf(const ResolvedFont* font) {
  return font && font->face ? font->face->family : std::string();
}
bool FontEngine::IsVertical(const ResolvedFont* font) { return font && font->vertical; }
bool FontEngine::HasHwid(const ResolvedFont* font) { return font && font->face && font->face->hwid; }
bool FontEngine::Emboldened(const ResolvedFont* font) { return font && font->embolden; }

bool FontEngine::HasCode(const ResolvedFont* font, uint16_t code) {
  if (!font || !font->face) return false;
  const char32_t cp = Cp932CodeToUnicode(code);
  return cp && FT_Get_Char_Index(font->face->ft, cp) != 0;
}

char32_t FontEngine::CodeToUnicode(uint16_t code) { return Cp932CodeToUnicode(code); }

}  // namespace yomira
