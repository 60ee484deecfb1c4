// windows_gallery: draws the project's dialogs and controls into PNG files without a
// display, lists them, or shows one live to be driven by hand or by the e2e checks.
//
//   windows_gallery --list
//   windows_gallery --out DIR [--only NAME]...     NAME ending in '*' selects by prefix
//   windows_gallery --show NAME
//   --larger with --out or --show: the desktop font one size up
//
// Exit 0; 1 when a picture cannot be written or no display can be opened; 2 for a usage
// error or an unknown name.
#include "platform/atomic_file.h"
#include "tools/windows_gallery/gallery.h"
#include "tools/tool_help.h"
#include "windows/controls/qt_translation.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QFont>
#include <QKeySequence>
#include <QPixmap>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using yomira::gallery::Entry;

constexpr const char* kUsage =
    "usage: windows_gallery --list\n"
    "       windows_gallery --out DIR [--only NAME]... [--larger]\n"
    "       windows_gallery --show NAME [--larger]\n";

int UsageError(const std::string& why) {
  std::fprintf(stderr, "windows_gallery: %s\n%s", why.c_str(), kUsage);
  return 2;
}

void PrintUtf8(const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

// The same look on every machine: Fusion, its own palette and the reader's UI font.
// --larger: the desktop's font one size up (14 pixels), which the windows follow.
void SetUpLook(QApplication& app, bool larger) {
  app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  app.setPalette(app.style()->standardPalette());
  QFont font(QStringLiteral("IPAexGothic"));
  font.setPixelSize(larger ? 14 : 12);
  app.setFont(font);
}

struct Options {
  enum class Mode { None, List, Out, Show } mode = Mode::None;
  std::string dir;
  std::vector<std::string> only;
  std::string show;
  bool larger = false;
};

// Returns an empty string on success, else the reason of the usage error.
std::string Parse(int argc, char** argv, Options& o) {
  auto setMode = [&](Options::Mode m) -> bool {
    if (o.mode != Options::Mode::None && o.mode != m) return false;
    o.mode = m;
    return true;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc && argv[i + 1][0] != '\0';
    if (arg == "--larger") {
      o.larger = true;
    } else if (arg == "--list") {
      if (!setMode(Options::Mode::List)) return "--list cannot be combined with " + std::string(argv[1]);
    } else if (arg == "--out" || arg == "--only" || arg == "--show") {
      if (!hasValue) return arg + " needs a value";
      const std::string value = argv[++i];
      if (arg == "--out") {
        if (!setMode(Options::Mode::Out) || !o.dir.empty()) return "--out given twice or with another mode";
        o.dir = value;
      } else if (arg == "--only") {
        o.only.push_back(value);
      } else {
        if (!setMode(Options::Mode::Show) || !o.show.empty()) return "--show given twice or with another mode";
        o.show = value;
      }
    } else {
      return "unknown argument: " + arg;
    }
  }
  if (o.mode == Options::Mode::None) return "nothing to do";
  if (!o.only.empty() && o.mode != Options::Mode::Out) return "--only needs --out";
  return {};
}

bool Matches(const std::string& pattern, const std::string& name) {
  if (!pattern.empty() && pattern.back() == '*')
    return name.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
  return name == pattern;
}

// The entries the patterns select, in registry order; an empty list selects all.
bool Select(const std::vector<std::string>& patterns, std::vector<const Entry*>& out) {
  const auto all = yomira::gallery::AllEntries();
  bool ok = true;
  for (const auto& p : patterns) {
    bool any = false;
    for (const Entry* e : all) any = any || Matches(p, e->name);
    if (!any) {
      std::fprintf(stderr, "windows_gallery: no entry named %s\n", p.c_str());
      ok = false;
    }
  }
  for (const Entry* e : all) {
    bool take = patterns.empty();
    for (const auto& p : patterns) take = take || Matches(p, e->name);
    if (take) out.push_back(e);
  }
  return ok;
}

const Entry* Find(const std::string& name) {
  for (const Entry* e : yomira::gallery::AllEntries())
    if (e->name == name) return e;
  return nullptr;
}

int WritePictures(const Options& o) {
  std::vector<const Entry*> chosen;
  if (!Select(o.only, chosen)) return 2;
  int status = 0;
  for (const Entry* e : chosen) {
    std::unique_ptr<QWidget> w(e->build());
    w->show();
    QApplication::processEvents();
    const QImage image = w->grab().toImage();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const std::string path = o.dir + "/" + e->name + ".png";
    std::string error;
    if (!image.save(&buffer, "PNG")) error = path + ": the picture could not be encoded";
    if (error.empty()) error = yomira::AtomicWriteFile(path, std::string_view(png.constData(), png.size()));
    if (!error.empty()) {
      std::fprintf(stderr, "windows_gallery: %s\n", error.c_str());
      status = 1;
      continue;
    }
    std::printf("%s %dx%d %s\n", e->name.c_str(), image.width(), image.height(), path.c_str());
  }
  return status;
}

int ShowLive(QApplication& app, const Entry& e) {
  QWidget* w = e.build();
  w->setWindowTitle(QStringLiteral("windows_gallery: ") + QString::fromStdString(e.name));
  bool done = false;
  auto finish = [&] {
    if (done) return;
    done = true;
    if (e.state)
      for (const QString& line : e.state(w)) PrintUtf8(line);
    std::fflush(stdout);
    app.quit();
  };
  auto* quit = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Q")), w);
  quit->setContext(Qt::ApplicationShortcut);
  QObject::connect(quit, &QShortcut::activated, &app, finish);
  // Closing the window (or a dialog's Esc hiding it) ends the run as Ctrl+Q does.
  QObject::connect(&app, &QApplication::lastWindowClosed, &app, finish);
  if (auto* dialog = qobject_cast<QDialog*>(w)) QObject::connect(dialog, &QDialog::finished, &app, finish);
  app.setQuitOnLastWindowClosed(false);
  w->show();
  app.exec();
  delete w;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (yomira::tools::PrintHelpIfAsked(argc, argv, kUsage)) return 0;
  Options o;
  if (const std::string why = Parse(argc, argv, o); !why.empty()) return UsageError(why);

  // Duplicate names would make --only ambiguous: a fault of an entries file.
  std::set<std::string> seen;
  for (const Entry* e : yomira::gallery::AllEntries())
    if (!seen.insert(e->name).second) return UsageError("two entries are named " + e->name);

  if (o.mode == Options::Mode::Show) {
    if (!Find(o.show)) return UsageError("no entry named " + o.show);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      std::fprintf(stderr, "windows_gallery: --show needs a display\n");
      return 1;
    }
  } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }

  QApplication app(argc, argv);
  yomira::InstallQtTranslation(app);
  SetUpLook(app, o.larger);
  switch (o.mode) {
    case Options::Mode::List:
      for (const Entry* e : yomira::gallery::AllEntries()) std::printf("%s\n", e->name.c_str());
      return 0;
    case Options::Mode::Out:
      return WritePictures(o);
    case Options::Mode::Show:
      return ShowLive(app, *Find(o.show));
    case Options::Mode::None:
      break;
  }
  return 2;
}
