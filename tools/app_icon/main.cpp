// app_icon SIDE OUT.png: the program's icon at SIDE x SIDE pixels, for installing.
#include <QImage>

#include <cstdio>
#include <cstdlib>

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
  const int side = std::atoi(argv[1]);
  if (side < 16 || side > 1024) {
    std::fprintf(stderr, "app_icon: SIDE must be 16..1024\n");
    return 2;
  }
  if (!yomira::AppIconImage(side).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "app_icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
