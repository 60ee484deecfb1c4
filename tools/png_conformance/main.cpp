// png_conformance [--expect FILE] PATH...
// Every *.png under the paths (sorted by relative path) is read by TQRNPNG and by libpng.
// A file listed in the expect file (relpath TAB message) must raise exactly that message and
// be rejected by libpng too; every other file must decode, with toQImage() equal to libpng's
// RGBA8 on every channel.
//
// png_conformance --roundtrip [--keep DIR] PATH...
// Every file not in the expect file is loaded and saved under 37 settings (6 filters × 2
// interlace methods × levels -1, 0, 9, and IDAT size 256). Each output must be read by libpng
// without a warning to the original's RGBA8, and by our reader to the same toQImage() (and,
// for palette pictures, the same index bytes). --keep writes the level -1 outputs as
// DIR/<relpath with / as _>-<filter>-<n|i>.png.
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "png/qrnpng.h"
#include "tools/png_conformance/libpng_reference.h"
#include "tools/tool_help.h"

namespace fs = std::filesystem;

namespace {

using yomira::pngref::DecodeLibpng;
using Reference = yomira::pngref::LibpngImage;

Reference DecodeWithLibpng(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Reference{};
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeLibpng(bytes);
}

// "" when ours (ARGB32) equals libpng's RGBA8 on every channel, else where they first differ.
std::string ComparePixels(const QImage& ours, const Reference& ref, const char* who) {
  if (ours.width() != ref.width || ours.height() != ref.height)
    return std::string(who) + (*who ? " " : "") + "size " + std::to_string(ours.width()) + "x" + std::to_string(ours.height()) +
           " libpng " + std::to_string(ref.width) + "x" + std::to_string(ref.height);
  for (int y = 0; y < ref.height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(ours.constScanLine(y));
    for (int x = 0; x < ref.width; ++x) {
      const QRgb c = line[x];
      const uint8_t* r = ref.rgba.data() + (static_cast<size_t>(y) * ref.width + x) * 4;
      if (qRed(c) != r[0] || qGreen(c) != r[1] || qBlue(c) != r[2] || qAlpha(c) != r[3]) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "%s%spixel (%d,%d) ours %02X%02X%02X%02X libpng %02X%02X%02X%02X", who,
                      *who ? " " : "", x, y,
                      qRed(c), qGreen(c), qBlue(c), qAlpha(c), r[0], r[1], r[2], r[3]);
        return buf;
      }
    }
  }
  return "";
}

std::map<std::string, std::string> ReadExpect(const fs::path& file) {
  std::map<std::string, std::string> m;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    m[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return m;
}

}  // namespace

// ---------------------------------------------------------------- --roundtrip

struct Setting {
  yomira::qrn::TQRNPNGFilterType filter;
  int interlace, level, idat;
};

const char* FilterName(yomira::qrn::TQRNPNGFilterType f) {
  static const char* const names[] = {"gpfJust", "gpfNone", "gpfSub", "gpfUp", "gpfAvg", "gpfPaeth"};
  return f <= yomira::qrn::gpfPaeth ? names[f] : "?";
}

// Every filter × interlace × level {-1, 0, 9}, then IDAT size 256 with the defaults: 37.
std::vector<Setting> Settings() {
  std::vector<Setting> v;
  for (int f = yomira::qrn::gpfJust; f <= yomira::qrn::gpfPaeth; ++f)
    for (int interlace = 0; interlace < 2; ++interlace)
      for (int level : {-1, 0, 9}) v.push_back({static_cast<yomira::qrn::TQRNPNGFilterType>(f), interlace, level, 32768});
  v.push_back({yomira::qrn::gpfNone, 0, -1, 256});
  return v;
}

// "" when the index bytes of the two bitmaps agree, else where they first differ.
std::string CompareIndexes(const yomira::qrn::Bitmap& a, const yomira::qrn::Bitmap& b) {
  const int bits = a.BitCount();
  if (b.BitCount() != bits) return "index depth " + std::to_string(b.BitCount()) + " not " + std::to_string(bits);
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      auto at = [&](const yomira::qrn::Bitmap& m) {
        const uint8_t* s = m.ScanLine(y);
        if (bits == 1) return (s[x >> 3] >> (7 - (x & 7))) & 1;
        if (bits == 4) return (x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4);
        return static_cast<int>(s[x]);
      };
      if (at(a) != at(b))
        return "index (" + std::to_string(x) + "," + std::to_string(y) + ") " + std::to_string(at(b)) + " not " +
               std::to_string(at(a));
    }
  return "";
}

// One write of png under s, checked by libpng and by our reader against the original.
std::string CheckWrite(yomira::qrn::TQRNPNG& png, const Setting& s, const Reference& original, const QImage& ours,
                       bool palette, std::vector<uint8_t>& out) {
  png.Filter = s.filter;
  png.Interlace = s.interlace ? yomira::qrn::gptAdam7 : yomira::qrn::gptNone;
  png.CompressionLevel = s.level;
  png.SetIDATSize(s.idat);
  yomira::qrn::MemoryStream stream;
  try {
    png.SaveToStream(stream);
  } catch (const yomira::qrn::EQRNPNG& e) {
    return std::string("raised \"") + e.what() + "\"";
  }
  out = stream.data();
  const Reference ref = DecodeLibpng(out);
  if (!ref.warnings.empty()) return "libpng warning \"" + ref.warnings.front() + "\"";
  if (!ref.ok) return "libpng error";
  // libpng must give the original's RGBA8.
  if (ref.width != original.width || ref.height != original.height) return "libpng size differs";
  for (size_t i = 0; i < ref.rgba.size(); i += 4)
    if (std::memcmp(&ref.rgba[i], &original.rgba[i], 4) != 0) {
      const size_t p = i / 4;
      char buf[128];
      std::snprintf(buf, sizeof buf, "libpng pixel (%d,%d) %02X%02X%02X%02X not %02X%02X%02X%02X",
                    static_cast<int>(p % ref.width), static_cast<int>(p / ref.width), ref.rgba[i], ref.rgba[i + 1],
                    ref.rgba[i + 2], ref.rgba[i + 3], original.rgba[i], original.rgba[i + 1], original.rgba[i + 2],
                    original.rgba[i + 3]);
      return buf;
    }
  yomira::qrn::TQRNPNG back;
  try {
    yomira::qrn::MemoryStream in(out);
    back.LoadFromStream(in);
  } catch (const yomira::qrn::EQRNPNG& e) {
    return std::string("raised \"") + e.what() + "\"";
  }
  const QImage mine = back.toQImage();
  if (mine.size() != ours.size()) return "ours size differs";
  for (int y = 0; y < ours.height(); ++y)
    for (int x = 0; x < ours.width(); ++x)
      if (mine.pixel(x, y) != ours.pixel(x, y)) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "ours pixel (%d,%d) %08X not %08X", x, y, mine.pixel(x, y), ours.pixel(x, y));
        return buf;
      }
  if (palette) return CompareIndexes(*png.Image(), *back.Image());
  return "";
}

int Roundtrip(const std::vector<std::pair<std::string, fs::path>>& files,
              const std::map<std::string, std::string>& expect, const std::string& keep) {
  const std::vector<Setting> settings = Settings();
  int passed = 0, failed = 0, nFiles = 0, writes = 0;
  for (const auto& [rel, path] : files) {
    if (expect.count(rel)) continue;
    ++nFiles;
    yomira::qrn::TQRNPNG png;
    QImage ours;
    std::string reason;
    try {
      png.LoadFromFile(path.string());
      ours = png.toQImage();
    } catch (const yomira::qrn::EQRNPNG& e) {
      reason = std::string("raised \"") + e.what() + "\"";
    }
    const Reference original = DecodeWithLibpng(path);
    if (reason.empty() && !original.ok) reason = "libpng rejects the original";
    if (!reason.empty()) {
      ++failed;
      std::printf("FAIL roundtrip %s load %s\n", rel.c_str(), reason.c_str());
      continue;
    }
    const bool palette = !png.GrayScale && png.Image()->BitCount() <= 8;
    std::string flat = rel;
    std::replace(flat.begin(), flat.end(), '/', '_');
    if (flat.size() > 4 && flat.compare(flat.size() - 4, 4, ".png") == 0) flat.resize(flat.size() - 4);
    bool ok = true;
    for (const Setting& s : settings) {
      ++writes;
      std::vector<uint8_t> out;
      const std::string r = CheckWrite(png, s, original, ours, palette, out);
      if (!r.empty()) {
        ok = false;
        std::printf("FAIL roundtrip %s filter=%s interlace=%d level=%d idat=%d %s\n", rel.c_str(),
                    FilterName(s.filter), s.interlace, s.level, s.idat, r.c_str());
      }
      if (!keep.empty() && s.level == -1 && s.idat == 32768 && !out.empty()) {
        const std::string name = flat + "-" + FilterName(s.filter) + "-" + (s.interlace ? "i" : "n") + ".png";
        const std::string err = yomira::AtomicWriteFile(
            (fs::path(keep) / name).string(),
            std::string_view(reinterpret_cast<const char*>(out.data()), out.size()));
        if (!err.empty()) std::fprintf(stderr, "png_conformance: %s\n", err.c_str());
      }
    }
    if (ok) {
      ++passed;
      std::printf("PASS roundtrip %s %zu\n", rel.c_str(), settings.size());
    } else {
      ++failed;
    }
    std::fflush(stdout);
  }
  std::printf("roundtrip: %d files, %d writes\n", nFiles, writes);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
  constexpr char kUsage[] = "usage: png_conformance [--expect FILE] [--roundtrip [--keep DIR]] PATH...\n";
  if (yomira::tools::PrintHelpIfAsked(argc, argv, kUsage)) return 0;
  std::string expectFile, keep;
  bool roundtrip = false;
  std::vector<fs::path> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--expect" && i + 1 < argc) expectFile = argv[++i];
    else if (a == "--roundtrip") roundtrip = true;
    else if (a == "--keep" && i + 1 < argc) keep = argv[++i];
    else paths.emplace_back(a);
  }
  if (paths.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (expectFile.empty() && paths.size() == 1 && fs::is_directory(paths[0]))
    expectFile = (paths[0] / "expected-errors.tsv").string();
  const auto expect = expectFile.empty() ? std::map<std::string, std::string>{} : ReadExpect(expectFile);

  std::vector<std::pair<std::string, fs::path>> files;
  for (const auto& p : paths) {
    if (fs::is_directory(p)) {
      for (const auto& e : fs::recursive_directory_iterator(p))
        if (e.is_regular_file() && e.path().extension() == ".png")
          files.emplace_back(fs::relative(e.path(), p).generic_string(), e.path());
    } else {
      files.emplace_back(p.filename().string(), p);
    }
  }
  std::sort(files.begin(), files.end());
  if (roundtrip) return Roundtrip(files, expect, keep);

  int passed = 0, failed = 0, nValid = 0, nInvalid = 0;
  for (const auto& [rel, path] : files) {
    const auto it = expect.find(rel);
    const bool invalid = it != expect.end();
    (invalid ? nInvalid : nValid)++;
    const char* kind = invalid ? "invalid" : "valid";

    std::string raised;
    bool threw = false;
    QImage ours;
    yomira::qrn::TQRNPNG png;
    try {
      png.LoadFromFile(path.string());
      ours = png.toQImage();
    } catch (const yomira::qrn::EQRNPNG& e) {
      threw = true;
      raised = e.what();
    } catch (const std::exception& e) {
      threw = true;
      raised = std::string("non-codec exception: ") + e.what();
    }
    const Reference ref = DecodeWithLibpng(path);

    std::string reason;
    if (invalid) {
      if (!threw) reason = "decoded";
      else if (raised != it->second) reason = "message \"" + raised + "\" expected \"" + it->second + "\"";
      else if (ref.ok) reason = "libpng verdict differs";
    } else if (ref.tooLarge) {
      reason = "reference: too large";
    } else if (threw) {
      reason = "raised \"" + raised + "\"";
    } else if (!ref.ok) {
      reason = "libpng verdict differs";
    } else {
      reason = ComparePixels(ours, ref, "");
    }
    if (reason.empty()) {
      ++passed;
      if (invalid) std::printf("PASS invalid %s \"%s\"%s\n", rel.c_str(), raised.c_str(),
                               ref.tooLarge ? " reference: too large" : "");
      else std::printf("PASS valid %s %dx%d\n", rel.c_str(), ref.width, ref.height);
    } else {
      ++failed;
      std::printf("FAIL %s %s %s\n", kind, rel.c_str(), reason.c_str());
    }
  }
  std::printf("valid: %d invalid: %d\n", nValid, nInvalid);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
