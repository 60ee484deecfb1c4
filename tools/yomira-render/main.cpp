// yomira-render: backgrounds, glyph sheets and image comparison without a window system.
//   yomira-render [--ini FILE] [--set KEY=VALUE]... --background-only --out F.png
//   yomira-render --glyph-sheet [--face NAME] [--size F] --out F.png
//   yomira-render --compare A.png B.png
//   yomira-render --make-emphasis-strip F.png
//   yomira-render [options] --text FILE [--utf8] [--view N] [--out F.png] [--annotations] [--bench K]
//     [--to-ruby] [--auto-indent] [--rewrap] [--html-imported]
//     [--turn next|back --frames-dir DIR | --hint X,Y]
// Exit 0 success, 1 differs or a check failed, 2 usage or input error.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "engine/render/Background.h"
#include "engine/render/EmphasisStrip.h"
#include "engine/render/Renderer.h"
#include "file_render_host.h"
#include "glyph_sheet.h"
#include "image_io.h"
#include "render_options.h"
#include "sources/picture.h"
#include "text_mode.h"
#include "tools/tool_help.h"

namespace {

using namespace yomira;
using tools::SavePng;

int Fail(const std::string& message, int code = 2) {
  std::fprintf(stderr, "yomira-render: %s\n", message.c_str());
  return code;
}

int Compare(const std::string& a, const std::string& b) {
  QImage ia = ReadImageBounded(QString::fromStdString(a));
  QImage ib = ReadImageBounded(QString::fromStdString(b));
  if (ia.isNull()) return Fail("cannot read " + a);
  if (ib.isNull()) return Fail("cannot read " + b);
  if (ia.size() != ib.size()) {
    std::printf("differ: size %dx%d vs %dx%d\n", ia.width(), ia.height(), ib.width(), ib.height());
    return 1;
  }
  ia = ia.convertToFormat(QImage::Format_RGB32);
  ib = ib.convertToFormat(QImage::Format_RGB32);
  long long count = 0;
  int fx = -1, fy = -1;
  QRgb pa = 0, pb = 0;
  for (int y = 0; y < ia.height(); ++y) {
    const QRgb* ra = reinterpret_cast<const QRgb*>(ia.constScanLine(y));
    const QRgb* rb = reinterpret_cast<const QRgb*>(ib.constScanLine(y));
    for (int x = 0; x < ia.width(); ++x) {
      if ((ra[x] & 0xFFFFFF) == (rb[x] & 0xFFFFFF)) continue;
      if (count++ == 0) {
        fx = x;
        fy = y;
        pa = ra[x];
        pb = rb[x];
      }
    }
  }
  if (count == 0) {
    std::printf("same %dx%d\n", ia.width(), ia.height());
    return 0;
  }
  std::printf("differ: %lld pixels, first at (%d,%d) #%06X vs #%06X\n", count, fx, fy, pa & 0xFFFFFF,
              pb & 0xFFFFFF);
  return 1;
}

constexpr char kUsage[] =
    "usage: yomira-render [--ini FILE] [--set KEY=VALUE]... (--background-only --out F.png | "
    "--glyph-sheet [--face NAME] [--size F] --out F.png | --compare A.png B.png | "
    "--make-emphasis-strip F.png | --text FILE [--utf8] [--view N] [--out F.png] [--annotations] "
    "[--bench K] [--turn next|back --frames-dir DIR | --hint X,Y])\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (yomira::tools::PrintHelpIfAsked(argc, argv, kUsage)) return 0;
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string mode, out, ini, face = "@IPAexMincho";
  std::vector<std::string> sets, operands;
  tools::TextRun text;
  int size = 40;
  auto value = [&](size_t& i, std::string& target) {
    if (i + 1 >= args.size()) return false;
    target = args[++i];
    return true;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    if (a == "--background-only" || a == "--glyph-sheet") {
      mode = a;
    } else if (a == "--compare") {
      mode = a;
      std::string x, y;
      if (!value(i, x) || !value(i, y)) return Usage();
      operands = {x, y};
    } else if (a == "--make-emphasis-strip") {
      mode = a;
      if (!value(i, v)) return Usage();
      operands = {v};
    } else if (a == "--text") {
      mode = a;
      if (!value(i, text.file)) return Usage();
    } else if (a == "--utf8") {
      text.utf8 = true;
    } else if (a == "--annotations") {
      text.annotations = true;
    } else if (a == "--to-ruby" || a == "--auto-indent" || a == "--rewrap" || a == "--html-imported") {
      (a == "--to-ruby"       ? text.momentary.toRuby
       : a == "--auto-indent" ? text.momentary.autoIndent
       : a == "--rewrap"      ? text.momentary.reWrap
                              : text.momentary.htmlImported) = true;
    } else if (a == "--view" || a == "--bench") {
      if (!value(i, v)) return Usage();
      char* end = nullptr;
      const long n = std::strtol(v.c_str(), &end, 10);
      const long low = a == "--bench" ? 1 : INT32_MIN;
      if (v.empty() || !end || *end || n < low || n > INT32_MAX) return Fail("bad " + a + ": " + v);
      (a == "--view" ? text.view : text.bench) = static_cast<int32_t>(n);
    } else if (a == "--turn" || a == "--frames-dir" || a == "--hint") {
      std::string error;
      if (!tools::ParseTurnHintArg(args, i, text.turnHint, error)) return Fail(error);
    } else if (a == "--out") {
      if (!value(i, out)) return Usage();
    } else if (a == "--ini") {
      if (!value(i, ini)) return Usage();
    } else if (a == "--set") {
      if (!value(i, v)) return Usage();
      sets.push_back(v);
    } else if (a == "--face") {
      if (!value(i, face)) return Usage();
    } else if (a == "--size") {
      if (!value(i, v)) return Usage();
      char* end = nullptr;
      const long n = std::strtol(v.c_str(), &end, 10);
      if (!end || *end || n < 4 || n > 512) return Fail("bad --size: " + v);
      size = static_cast<int>(n);
    } else {
      return Fail("unknown argument: " + a);
    }
  }
  if (mode.empty()) return Usage();
  if (const std::string error = tools::CheckTurnHintArgs(text.turnHint); !error.empty()) return Fail(error);
  if ((text.turnHint.turnNext || text.turnHint.hint) && mode != "--text") return Fail("--turn and --hint need --text");

  TYomiraOption option = DefaultOptions();
  if (!ini.empty()) {
    const std::string error = tools::ApplyIniFile(option, ini);
    if (!error.empty()) return Fail(error);
  }
  for (const std::string& s : sets) {
    const std::string error = tools::ApplySet(option, s);
    if (!error.empty()) return Fail(error);
  }
  option.Validate();

  if (mode == "--compare") return Compare(operands[0], operands[1]);
  if (mode == "--text") {
    text.out = out;
    std::string error;
    const int code = tools::RunText(option, text, error);
    if (code != 0) return Fail(error, code);
    return 0;
  }
  if (mode == "--make-emphasis-strip") {
    std::string error;
    if (!SavePng(MakeEmphasisMaster(), operands[0], error)) return Fail(error);
    return 0;
  }
  if (out.empty()) return Usage();
  if (mode == "--background-only") {
    tools::FileRenderHost host;
    Renderer renderer(option, host);
    renderer.BuildBackground();
    const PanelLayout layout = ComputePanelSizes(option);
    const QImage& back = renderer.Bitmaps().BackBitmap;
    std::string error;
    if (back.isNull()) return Fail("the panel is empty");
    if (!SavePng(back, out, error)) return Fail(error);
    std::printf("{\"width\":%d,\"height\":%d,\"panel_width\":%lld,\"panel_height\":%lld,\"bg_image\":%d}\n",
                back.width(), back.height(), static_cast<long long>(layout.baseWidth),
                static_cast<long long>(layout.baseHeight), option.bg_image ? 1 : 0);
    return 0;
  }
  return tools::RunGlyphSheet(face, size, out);
}
