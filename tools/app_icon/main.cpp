// app_icon SIDE OUT.png: the program's icon at SIDE x SIDE pixels, for installing.
#include <QBuffer>
#include <QImage>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/atomic_file.h"

#include "resources/ui/ui_glyphs.h"
#include "tools/tool_help.h"

namespace {
constexpr char kUsage[] = "usage: app_icon SIDE OUT.png\n";
}  // namespace

int main(int argc, char** argv) {
  if (yomira::tools::PrintHelpIfAsked(argc, argv, kUsage)) return 0;
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  int side = 0;
  const char* end = argv[1] + std::strlen(argv[1]);
  const auto parsed = std::from_chars(argv[1], end, side);
  if (parsed.ec != std::errc() || parsed.ptr != end || side < 16 || side > 1024) {
    std::fprintf(stderr, "app_icon: SIDE must be 16..1024\n");
    return 2;
  }
  // Encoded in memory and written whole, so an interrupted build leaves no cut icon.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!yomira::AppIconImage(side).save(&buffer, "PNG")) {
    std::fprintf(stderr, "app_icon: cannot encode the icon\n");
    return 1;
  }
  const std::string error = yomira::AtomicWriteFile(argv[2], std::string_view(png.constData(), png.size()));
  if (!error.empty()) {
    std::fprintf(stderr, "app_icon: cannot write %s\n", error.c_str());
    return 1;
  }
  return 0;
}
