// png_conformance [--expect FILE] PATH...
// Every *.png under the paths (sorted by relative path) is read by TQRNPNG and by libpng.
// A file listed in the expect file (relpath TAB message) must raise exactly that message and
// be rejected by libpng too; every other file must decode, with toQImage() equal to libpng's
// RGBA8 on every channel.
#include <png.h>

#include <QImage>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "png/qrnpng.h"

namespace fs = std::filesystem;

namespace {

struct Reference {
  bool ok = false;
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

void ErrorFn(png_structp png, png_const_charp) { longjmp(png_jmpbuf(png), 1); }
// libpng reports a chunk longer than its 8 MB chunk limit as a benign error (a warning), then
// allocates and zeroes the whole claimed length anyway before the read fails (1 GiB for each
// huge_* file of crashers/). Taking that warning as the error it becomes a moment later keeps
// the verdict and saves the gigabyte.
void WarningFn(png_structp png, png_const_charp message) {
  if (std::strstr(message, "chunk data is too large")) longjmp(png_jmpbuf(png), 1);
}

// libpng's classic API, no gamma, everything widened to RGBA8.
Reference DecodeWithLibpng(const fs::path& path) {
  Reference ref;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return ref;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorFn, WarningFn);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return Reference{};
  }
  png_init_io(png, f);
  png_read_info(png, info);
  png_set_strip_16(png);
  png_set_expand(png);
  png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  ref.width = static_cast<int>(png_get_image_width(png, info));
  ref.height = static_cast<int>(png_get_image_height(png, info));
  ref.rgba.assign(static_cast<size_t>(ref.width) * ref.height * 4, 0);
  rows.resize(ref.height);
  for (int y = 0; y < ref.height; ++y) rows[y] = ref.rgba.data() + static_cast<size_t>(y) * ref.width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  ref.ok = true;
  return ref;
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

int main(int argc, char** argv) {
  std::string expectFile;
  std::vector<fs::path> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--expect" && i + 1 < argc) expectFile = argv[++i];
    else paths.emplace_back(a);
  }
  if (paths.empty()) {
    std::fprintf(stderr, "usage: png_conformance [--expect FILE] PATH...\n");
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
    } else if (threw) {
      reason = "raised \"" + raised + "\"";
    } else if (!ref.ok) {
      reason = "libpng verdict differs";
    } else if (ours.width() != ref.width || ours.height() != ref.height) {
      reason = "size " + std::to_string(ours.width()) + "x" + std::to_string(ours.height()) + " libpng " +
               std::to_string(ref.width) + "x" + std::to_string(ref.height);
    } else {
      for (int y = 0; y < ref.height && reason.empty(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(ours.constScanLine(y));
        for (int x = 0; x < ref.width; ++x) {
          const QRgb c = line[x];
          const uint8_t* r = ref.rgba.data() + (static_cast<size_t>(y) * ref.width + x) * 4;
          if (qRed(c) != r[0] || qGreen(c) != r[1] || qBlue(c) != r[2] || qAlpha(c) != r[3]) {
            char buf[128];
            std::snprintf(buf, sizeof buf, "pixel (%d,%d) ours %02X%02X%02X%02X libpng %02X%02X%02X%02X", x, y,
                          qRed(c), qGreen(c), qBlue(c), qAlpha(c), r[0], r[1], r[2], r[3]);
            reason = buf;
            break;
          }
        }
      }
    }
    if (reason.empty()) {
      ++passed;
      if (invalid) std::printf("PASS invalid %s \"%s\"\n", rel.c_str(), raised.c_str());
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
