// srcprobe: looks at the document sources from a terminal: code-page detection, decoding
// to cp932 source lines, picture loading, and the opening roads traced without a window.
//
//   srcprobe detect FILE...
//   srcprobe decode [--cc N] FILE
//   srcprobe picture [--pixel X,Y]... FILE
//   srcprobe picture --resource NAME [--type TYPE] [--pixel X,Y]...
//   srcprobe open [--cc N] [--filter N] [--force] [--no-rebuild] [SHARED] [--reopen] [--recent N] PATH...
//   srcprobe params [--filter-def C=M]... [--apply N [--layout L,T,P] [--pending R] [--page P]] -- ARG...
//   srcprobe forward [SHARED] [--drop] -- ARG...
//   srcprobe html [--cc N] [--parse 0|1] [--links 0|1] [--ruby-tag 0|1] [--web URL] [--hold] FILE
//   srcprobe filter [--deadline-ms N] [--max-bytes N] [--html] [--quiet] PROGRAM PARAM FILE
//   srcprobe expand [--no-document] [--web URL] [--line N] [--element-line N] [--char N] TEMPLATE PATH
//   srcprobe fetch [--timeout S] [--agent TEXT] [--max-bytes N] [--stall-ms N] [--total-ms N] URL
//   srcprobe url URL...
//
// SHARED: [--filter-def CAPTION=MASKS]... [--parse-html 0|1] [--order name|ext|time] [--desc]
//         [--record-rate R]
//
// Output is UTF-8 lines ending in LF (except the cp932 lines of decode and filter on stdout). A usage
// error prints the usage on stderr and exits 2.
#include <QCoreApplication>
#include <QImage>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file/regular_file.h"
#include "engine/core/option_defaults.h"
#include "sources/arguments.h"
#include "sources/codepage.h"
#include "sources/document_sources.h"
#include "sources/external_filter.h"
#include "sources/tool_template.h"
#include "sources/history.h"
#include "sources/html_import.h"
#include "sources/file_item.h"
#include "sources/picture.h"
#include "sources/web_fetch.h"
#include "platform/path/path_parts.h"
#include "tools/tool_help.h"

namespace yomira {
namespace {

constexpr char kUsage[] =
    "usage: srcprobe detect FILE...\n"
    "       srcprobe decode [--cc N] FILE\n"
    "       srcprobe picture [--pixel X,Y]... FILE\n"
    "       srcprobe picture --resource NAME [--type TYPE] [--pixel X,Y]...\n"
    "       srcprobe open [--cc N] [--filter N] [--force] [--no-rebuild] [SHARED] [--reopen] [--recent N] PATH...\n"
    "       srcprobe params [--filter-def C=M]... [--apply N [--layout L,T,P] [--pending R] [--page P]] -- ARG...\n"
    "       srcprobe forward [SHARED] [--drop] -- ARG...\n"
    "       srcprobe html [--cc N] [--parse 0|1] [--links 0|1] [--ruby-tag 0|1] [--web URL] [--hold] FILE\n"
    "       srcprobe filter [--deadline-ms N] [--max-bytes N] [--html] [--quiet] PROGRAM PARAM FILE\n"
    "       srcprobe expand [--no-document] [--web URL] [--line N] [--element-line N] [--char N] TEMPLATE PATH\n"
    "       srcprobe fetch [--timeout S] [--agent TEXT] [--max-bytes N] [--stall-ms N] [--total-ms N] URL\n"
    "       srcprobe url URL...\n"
    "  SHARED: [--filter-def CAPTION=MASKS]... [--parse-html 0|1] [--order name|ext|time] [--desc]\n"
    "          [--record-rate R]\n";

struct UsageError {
  std::string message;
};

// A free text for one output line: backslash, line ends, tabs and other control bytes are
// escaped; inside double quotes the quote too.
std::string Escape(std::string_view text, bool quoted = false) {
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '"':
        out += quoted ? "\\\"" : "\"";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  return out;
}

// Options and operands of a subcommand. "--" ends the options.
class ArgReader {
 public:
  ArgReader(int argc, char** argv, int first) : args_(argv + first, argv + argc) {}

  // Calls onOption(name, next) for each option; next() yields its value.
  void Parse(const std::function<void(std::string_view, const std::function<std::string()>&)>& onOption) {
    for (size_t i = 0; i < args_.size(); ++i) {
      const std::string& arg = args_[i];
      if (arg == "--") {
        operands_.insert(operands_.end(), args_.begin() + static_cast<long>(i) + 1, args_.end());
        return;
      }
      if (arg.size() > 1 && arg[0] == '-') {
        const auto next = [&, name = arg]() -> std::string {
          if (i + 1 >= args_.size()) throw UsageError{name + " needs a value"};
          return args_[++i];
        };
        onOption(arg, next);
        continue;
      }
      operands_.push_back(arg);
    }
  }
  const std::vector<std::string>& operands() const { return operands_; }

 private:
  std::vector<std::string> args_;
  std::vector<std::string> operands_;
};

int ParseInt(const std::string& text, const std::string& option) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
    throw UsageError{option + ": not a number: " + text};
  return static_cast<int>(v);
}

[[noreturn]] void Unknown(std::string_view option) { throw UsageError{"unknown option " + std::string(option)}; }

int Detect(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  args.Parse([](std::string_view name, const auto&) { Unknown(name); });
  if (args.operands().empty()) throw UsageError{"detect needs a file"};
  int rc = 0;
  for (const auto& path : args.operands()) {
    std::string bytes;
    if (ReadRegularFile(path, kMaxTextFileBytes, bytes) != ReadFileStatus::Ok) {
      std::printf("error %s\n", Escape(path).c_str());
      rc = 1;
      continue;
    }
    std::printf("%d %s\n", DetectCodePage(bytes), Escape(path).c_str());
  }
  return rc;
}

// Decoded lines as raw cp932 on stdout, each ending in LF; the summary on stderr.
void PrintDecoded(const std::vector<std::string>& lines, int codePage) {
  for (const auto& line : lines) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  std::fprintf(stderr, "codepage %d lines %zu\n", codePage, lines.size());
}

int Decode(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  int cc = 0;
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--cc")
      cc = ParseInt(next(), "--cc");
    else
      Unknown(name);
  });
  if (args.operands().size() != 1) throw UsageError{"decode needs exactly one file"};
  TFileItem item;
  item.Path = args.operands()[0];
  std::vector<std::string> lines;
  int codePage = 0;
  try {
    if (!LoadTextFile(item, lines, cc, false, false, codePage)) {
      std::fprintf(stderr, "error %s\n", Escape(item.Path).c_str());
      return 1;
    }
  } catch (const ConvertError& e) {
    std::fprintf(stderr, "%s\n", Escape(e.what()).c_str());
    return 1;
  }
  PrintDecoded(lines, codePage);
  return 0;
}

int Picture(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  std::optional<std::string> resource;
  std::string type = "GIF";
  bool typeGiven = false;
  std::vector<std::pair<int, int>> pixels;
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--resource") {
      resource = next();
    } else if (name == "--type") {
      type = next();
      typeGiven = true;
    } else if (name == "--pixel") {
      const std::string xy = next();
      const size_t comma = xy.find(',');
      if (comma == std::string::npos) throw UsageError{"--pixel needs X,Y"};
      pixels.emplace_back(ParseInt(xy.substr(0, comma), "--pixel"), ParseInt(xy.substr(comma + 1), "--pixel"));
    } else {
      Unknown(name);
    }
  });
  QImage image;
  bool ok;
  if (resource) {
    if (!args.operands().empty()) throw UsageError{"picture --resource takes no file"};
    ok = LoadResourcePicture(*resource, type, image);
  } else {
    if (typeGiven) throw UsageError{"--type goes with --resource"};
    if (args.operands().size() != 1) throw UsageError{"picture needs exactly one file"};
    ok = LoadPicture(args.operands()[0], image);
  }
  if (!ok) {
    std::printf("fail\n");
    return 1;
  }
  std::string line = "ok ";
  line += std::to_string(image.width()) + ' ' + std::to_string(image.height());
  for (const auto& [x, y] : pixels) {
    line += ' ' + std::to_string(x) + ',' + std::to_string(y) + '=';
    if (image.valid(x, y)) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%08x", image.pixel(x, y));
      line += buf;
    } else {
      line += "none";
    }
  }
  std::printf("%s\n", line.c_str());
  return 0;
}

// --- The opening roads, traced -------------------------------------------------------------

const char* Bit(bool b) { return b ? "1" : "0"; }

// The main window as a trace: every host call prints one line.
class TraceHost : public SourcesHost {
 public:
  explicit TraceHost(OwnedSourcesFields& f) : f_(f) {}

  void ShowMessage(const std::string& text) override { std::printf("message \"%s\"\n", Escape(text, true).c_str()); }
  void Relayout(bool force, bool rebuild) override {
    std::printf("relayout force=%s rebuild=%s PendingRate=%d\n", Bit(force), Bit(rebuild), f_.PendingRate);
    // What the relayout driver does with the state, without laying anything out.
    if (!f_.DocumentLoaded) return;
    f_.LaidOut = true;
    f_.PendingRate = -1;
    f_.StartParams.Reset();
    if (recordRate) SetHistoryPosition(f_.RecentFiles, 0, *recordRate);
  }
  void ClearDisplayLines() override { std::printf("clear-display-lines\n"); }
  void ForceForeground() override { std::printf("foreground\n"); }
  bool IsFullScreen() override { return fullScreen; }
  void ExecuteFullScreen() override {
    std::printf("full-screen\n");
    fullScreen = !fullScreen;
  }
  void CheckReOpenCharset() override { std::printf("check-reopen-charset %d\n", f_.DocumentCodePage); }
  void UpdateRecentMenu() override { std::printf("update-recent-menu\n"); }
  void SetMomentaryToggles(bool autIndent, bool reWrap, bool toRuby) override {
    std::printf("toggles aut_indent=%s re_wrap=%s toRuby=%s\n", Bit(autIndent), Bit(reWrap), Bit(toRuby));
  }
  void BuildFilterActions() override { std::printf("build-filter-actions ActiveFilter=%d\n", f_.ActiveFilter); }
  void LoadTurnSound() override { std::printf("load-turn-sound %s\n", Escape(f_.Option.SoundPath).c_str()); }
  FileListOrder GetFileListOrder() override { return order; }
  void ApplyStyleIndex(int index) override { std::printf("apply-style-index %d\n", index); }
  void ApplyStyleName(const std::string& name) override { std::printf("apply-style-name %s\n", Escape(name).c_str()); }
  bool BookExists() override { return false; }
  bool BookVisible() override { return false; }
  int BookTabIndex() override { return 0; }
  void ScanFileList(const std::string& folder) override { std::printf("scan-file-list %s\n", Escape(folder).c_str()); }
  bool LinkListHeld() override { return linkListHeld; }
  void BuildLinkList() override { std::printf("build-link-list\n"); }
  void RefreshBookTab() override { std::printf("refresh-book-tab\n"); }

  std::optional<int> recordRate;
  FileListOrder order;
  bool fullScreen = false;
  bool linkListHeld = false;

 private:
  OwnedSourcesFields& f_;
};

// The state and options every probe of the roads starts from, and its hooks.
struct Probe {
  Probe() : host(fields), sources(fields.Fields(), host) {
    fields.Option = DefaultOptions();
    fields.Option.ParseHTML = 1;
    fields.Option.aut_indent = 0;
    fields.Option.re_wrap = 0;
    fields.Option.toRuby = 0;
    sources.RunFilter = [](TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml, bool,
                           int index) {
      std::printf("run-filter index=%d isHtml=%s %s\n", index, Bit(isHtml), Escape(item.Path).c_str());
      lines.clear();
      codePage = 932;
      return true;
    };
    sources.OpenUrl = [](const std::string& url, int rate) {
      std::printf("open-url rate=%d %s\n", rate, Escape(url).c_str());
      return false;
    };
    sources.ImportHtml = [](std::vector<std::string>&, TFileItem&, bool parse, bool collectLinks) {
      std::printf("import-html parse=%s collectLinks=%s\n", Bit(parse), Bit(collectLinks));
    };
  }

  // The options every road subcommand shares; false when name is not one of them.
  bool SharedOption(std::string_view name, const std::function<std::string()>& next) {
    if (name == "--filter-def") {
      const std::string def = next();
      const size_t eq = def.find('=');
      if (eq == std::string::npos) throw UsageError{"--filter-def needs CAPTION=MASKS"};
      TToolItem item;
      item.Caption = def.substr(0, eq);
      item.Filter = def.substr(eq + 1);
      fields.Filters.push_back(item);
    } else if (name == "--parse-html") {
      const int v = ParseInt(next(), "--parse-html");
      if (v != 0 && v != 1) throw UsageError{"--parse-html takes 0 or 1"};
      fields.Option.ParseHTML = static_cast<uint8_t>(v);
    } else if (name == "--order") {
      const std::string v = next();
      if (v != "name" && v != "ext" && v != "time") throw UsageError{"--order takes name, ext or time"};
      host.order.OrderName = v == "name";
      host.order.OrderExt = v == "ext";
      host.order.OrderTime = v == "time";
    } else if (name == "--desc") {
      host.order.OrderUp = false;
    } else if (name == "--record-rate") {
      host.recordRate = ParseInt(next(), "--record-rate");
    } else {
      return false;
    }
    return true;
  }

  void PrintState() const {
    const OwnedSourcesFields& f = fields;
    std::printf(
        "state DocumentLoaded=%s LaidOut=%s DocumentCodePage=%d ActiveFilter=%d PendingRate=%d HtmlImported=%s "
        "SourceLines=%zu\n",
        Bit(f.DocumentLoaded), Bit(f.LaidOut), f.DocumentCodePage, f.ActiveFilter, f.PendingRate, Bit(f.HtmlImported),
        f.SourceLines.size());
    std::printf("option bg_image=%s bg_image_str=%s\n", Bit(f.Option.bg_image), Escape(f.Option.bg_image_str).c_str());
    std::printf("option UseSound=%s SoundPath=%s\n", Bit(f.Option.UseSound), Escape(f.Option.SoundPath).c_str());
    for (size_t i = 0; i < f.RecentFiles.size(); ++i) {
      const TFileItem& e = *f.RecentFiles[i];
      std::printf("history %zu kind=%d rate=%d %s\n", i, e.Kind, e.Rate, Escape(e.GetLocation()).c_str());
    }
  }

  void PrintParams() const {
    const TParamOption& p = fields.StartParams;
    std::printf("FullScreen=%s StartCharCode=%d StartFilter=%d StartPage=%d StartLine=%d StartPos=%d StartRate=%d\n",
                Bit(p.FullScreen), p.StartCharCode, p.StartFilter, p.StartPage, p.StartLine, p.StartPos, p.StartRate);
  }

  OwnedSourcesFields fields;
  TraceHost host;
  DocumentSources sources;
};

int Open(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  Probe probe;
  int cc = 0;
  int filter = -1;
  bool force = false;
  bool rebuild = true;
  bool reopen = false;
  std::optional<int> recent;
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--cc")
      cc = ParseInt(next(), "--cc");
    else if (name == "--filter")
      filter = ParseInt(next(), "--filter");
    else if (name == "--force")
      force = true;
    else if (name == "--no-rebuild")
      rebuild = false;
    else if (name == "--reopen")
      reopen = true;
    else if (name == "--recent")
      recent = ParseInt(next(), "--recent");
    else if (!probe.SharedOption(name, next))
      Unknown(name);
  });
  if (args.operands().empty()) throw UsageError{"open needs a path"};
  for (const auto& path : args.operands()) {
    std::printf("open %s force=%s filter=%d charCode=%d\n", Escape(path).c_str(), Bit(force), filter, cc);
    TFileItem item;
    item.Kind = fkLocalFile;
    item.Path = path;
    probe.sources.OpenFileItem(item, force, filter, cc, false, rebuild);
    probe.PrintState();
  }
  if (reopen) {
    std::printf("reopen force=0 filter=-1\n");
    probe.sources.ReopenCurrent(false, -1);
    probe.PrintState();
  }
  if (recent) {
    std::printf("recent %d\n", *recent);
    probe.sources.RecentMenuClick(*recent);
    probe.PrintState();
  }
  return 0;
}

// "A,B,C" as three numbers.
std::array<int, 3> ParseTriple(const std::string& text, const std::string& option) {
  std::array<int, 3> out{};
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t comma = text.find(',', start);
    if ((i < 2) == (comma == std::string::npos)) throw UsageError{option + " needs L,T,P"};
    out[static_cast<size_t>(i)] = ParseInt(text.substr(start, comma - start), option);
    start = comma + 1;
  }
  return out;
}

int Params(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  Probe probe;
  std::optional<int> apply;
  std::array<int, 3> layout{5, 1, 1};
  int pending = -1;
  int page = 1;
  bool applyDetails = false;
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--filter-def") {
      probe.SharedOption(name, next);
    } else if (name == "--apply") {
      apply = ParseInt(next(), "--apply");
      if (*apply < 0) throw UsageError{"--apply needs a count of lines"};
    } else if (name == "--layout") {
      layout = ParseTriple(next(), "--layout");
      applyDetails = true;
    } else if (name == "--pending") {
      pending = ParseInt(next(), "--pending");
      applyDetails = true;
    } else if (name == "--page") {
      page = ParseInt(next(), "--page");
      applyDetails = true;
    } else {
      Unknown(name);
    }
  });
  if (applyDetails && !apply) throw UsageError{"--layout, --pending and --page go with --apply"};
  for (const auto& arg : args.operands()) {
    probe.sources.ParseParam(arg);
    std::printf("param \"%s\" ", Escape(arg, true).c_str());
    probe.PrintParams();
  }
  if (apply) {
    // Line i belongs to source line i / 2 and holds one text of 40 bytes at column 1 or 41.
    DisplayLines lines(static_cast<size_t>(*apply));
    for (size_t i = 0; i < lines.size(); ++i) {
      lines[i].source_line = static_cast<int32_t>(i / 2);
      AddElement(lines[i].elements,
                 {.kind = kText, .first = static_cast<int32_t>(i / 2), .column = static_cast<int32_t>(1 + 40 * (i % 2)),
                  .length = 40});
    }
    OwnedSourcesFields& f = probe.fields;
    f.DocumentLoaded = true;
    f.LaidOut = true;
    f.Option.c_size = layout[0];
    f.Option.Colum = layout[1];
    f.Option.Page = layout[2];
    f.PendingRate = pending;
    probe.sources.ApplyParamPosition(page, lines);
    std::printf("apply page=%d PendingRate=%d\n", page, f.PendingRate);
  }
  return 0;
}

int Forward(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  Probe probe;
  bool drop = false;
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--drop")
      drop = true;
    else if (!probe.SharedOption(name, next))
      Unknown(name);
  });
  if (drop) {
    std::printf("drop %zu\n", args.operands().size());
    probe.sources.WMDropFiles(args.operands());
  } else {
    for (const auto& arg : args.operands()) {
      const ClassifiedArgument c = ClassifyArgument(arg);
      std::printf("arg %s %s\n", ArgumentKindName(c.kind), Escape(c.path).c_str());
      probe.sources.WMCopyData(arg);
    }
  }
  std::printf("params ");
  probe.PrintParams();
  probe.PrintState();
  return 0;
}

int ParseFlag(const std::string& text, const std::string& option) {
  const int v = ParseInt(text, option);
  if (v != 0 && v != 1) throw UsageError{option + " takes 0 or 1"};
  return v;
}

// The HTML import of one file, as an open with the real import: the lines on stdout (cp932),
// the code page, title, base URL and links on stderr.
// The links an HTML import collected, one "link" line each on stderr.
void PrintLinks(const FileItemList& pageLinks) {
  for (size_t i = 0; i < pageLinks.size(); ++i) {
    const TFileItem& link = *pageLinks[i];
    std::fprintf(stderr, "link %zu kind=%d location=%s title=\"%s\"\n", i, link.Kind,
                 Escape(link.GetLocation()).c_str(), Escape(link.Title, true).c_str());
  }
}

int Html(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  Probe probe;
  int cc = 0;
  bool parse = true, links = true, hold = false;
  std::optional<std::string> web;
  probe.fields.Option = DefaultOptions();
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--cc")
      cc = ParseInt(next(), "--cc");
    else if (name == "--parse")
      parse = ParseFlag(next(), "--parse");
    else if (name == "--links")
      links = ParseFlag(next(), "--links");
    else if (name == "--ruby-tag")
      probe.fields.Option.ruby_tag = static_cast<uint8_t>(ParseFlag(next(), "--ruby-tag"));
    else if (name == "--web")
      web = next();
    else if (name == "--hold")
      hold = true;
    else
      Unknown(name);
  });
  if (args.operands().size() != 1) throw UsageError{"html needs exactly one file"};
  TFileItem item;
  if (web) {
    item.Kind = fkWeb;
    item.Path = args.operands()[0];
    item.Href = *web;
  } else {
    item.Path = AbsoluteCleanPath(args.operands()[0]);
  }
  FileItemList pageLinks;
  if (hold) {
    auto held = std::make_unique<TFileItem>();
    held->Kind = fkWeb;
    held->Href = "http://held/";
    pageLinks.push_back(std::move(held));
  }
  probe.host.linkListHeld = hold;
  HtmlImport import(pageLinks, [&pageLinks] { pageLinks.clear(); }, probe.fields.Option, probe.host);
  const HtmlImportHook hook = [&import](std::vector<std::string>& lines, TFileItem& it, bool p, bool c) {
    import.ImportHtml(lines, it, p, c);
  };
  std::vector<std::string> lines;
  int codePage = 0;
  try {
    if (!LoadTextFile(item, lines, cc, links, parse, codePage, hook)) {
      std::fprintf(stderr, "error %s\n", Escape(item.Path).c_str());
      return 1;
    }
  } catch (const ConvertError& e) {
    std::fprintf(stderr, "%s\n", Escape(e.what()).c_str());
    return 1;
  }
  PrintDecoded(lines, codePage);
  std::fprintf(stderr, "title %s\n", Escape(item.Title).c_str());
  std::fprintf(stderr, "base %s\n", Escape(item.BaseUrl).c_str());
  PrintLinks(pageLinks);
  return 0;
}

// The messages of a filter run go to stderr, apart from the filter's lines on stdout.
class FilterHost : public TraceHost {
 public:
  using TraceHost::TraceHost;
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "message \"%s\"\n", Escape(text, true).c_str());
  }
};

int Filter(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  RunLimits limits;
  bool isHtml = false;
  bool quiet = false;
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--deadline-ms") {
      limits.deadlineMs = ParseInt(next(), "--deadline-ms");
      if (limits.deadlineMs < 0) throw UsageError{"--deadline-ms needs a count of milliseconds"};
    } else if (name == "--max-bytes") {
      const int n = ParseInt(next(), "--max-bytes");
      if (n < 0) throw UsageError{"--max-bytes needs a count of bytes"};
      limits.maxOutputBytes = static_cast<uint64_t>(n);
    } else if (name == "--html") {
      isHtml = true;
    } else if (name == "--quiet") {
      quiet = true;
    } else {
      Unknown(name);
    }
  });
  if (args.operands().size() != 3) throw UsageError{"filter needs PROGRAM, PARAM and FILE"};
  TToolItem filter;
  filter.Caption = "probe";
  filter.FilePath = args.operands()[0];
  filter.Param = args.operands()[1];
  const ToolItemList filters{filter};
  TFileItem item;
  item.Kind = fkLocalFile;
  item.Path = args.operands()[2];
  OwnedSourcesFields fields;
  fields.Option = DefaultOptions();
  FilterHost host(fields);
  // --html: the page's links come from the real import, as the reader collects them.
  FileItemList pageLinks;
  HtmlImport import(pageLinks, [&pageLinks] { pageLinks.clear(); }, fields.Option, host);
  const HtmlImportHook hook = [&import](std::vector<std::string>& lines, TFileItem& it, bool parse, bool collect) {
    import.ImportHtml(lines, it, parse, collect);
  };
  const FilterContext context{filters, host, hook, limits};
  std::vector<std::string> lines;
  int codePage = 0;
  if (!RunFilter(item, lines, codePage, isHtml, !quiet, 0, context)) {
    std::fprintf(stderr, "fail\n");
    return 1;
  }
  PrintDecoded(lines, codePage);
  if (isHtml) PrintLinks(pageLinks);
  return 0;
}

int Expand(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  bool document = true;
  std::optional<std::string> web;
  int line = 1, elementLine = 1, character = 1;
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--no-document")
      document = false;
    else if (name == "--web")
      web = next();
    else if (name == "--line")
      line = ParseInt(next(), "--line");
    else if (name == "--element-line")
      elementLine = ParseInt(next(), "--element-line");
    else if (name == "--char")
      character = ParseInt(next(), "--char");
    else
      Unknown(name);
  });
  if (args.operands().size() != 2) throw UsageError{"expand needs TEMPLATE and PATH"};
  const std::string& path = args.operands()[1];
  PlaceholderValues values;
  if (document)
    values = {{'F', path},
              {'D', ExtractFilePath(path)},
              {'U', web ? *web : path},
              {'L', std::to_string(line)},
              {'C', std::to_string(elementLine)},
              {'N', std::to_string(character)}};
  const std::vector<std::string> expanded = ExpandTemplate(args.operands()[0], values);
  for (size_t i = 0; i < expanded.size(); ++i) std::printf("arg %zu %s\n", i, Escape(expanded[i]).c_str());
  return 0;
}

// The window as the fetch sees it: the captions are printed, nothing waits.
class TraceWebHost : public WebHost {
 public:
  std::optional<std::string> PromptUrl(const std::string& proposed) override { return proposed; }
  void SetCaption(const std::string& text) override { std::printf("caption %s\n", Escape(text).c_str()); }
  void SetInputEnabled(bool) override {}
  bool PumpEvents() override { return true; }
};

long long ParseCount(const std::string& text, const std::string& option) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < 0) throw UsageError{option + ": not a count: " + text};
  return v;
}

int Fetch(int argc, char** argv) {
  // The transfer runs on Qt's event loop.
  int appArgc = 1;
  QCoreApplication app(appArgc, argv);
  ArgReader args(argc, argv, 2);
  Probe probe;
  TraceWebHost web;
  WebFetch fetch(probe.sources, probe.host, web);
  probe.fields.Option = DefaultOptions();
  args.Parse([&](std::string_view name, const auto& next) {
    if (name == "--timeout")
      probe.fields.Option.TimeOut = ParseInt(next(), "--timeout");
    else if (name == "--agent")
      probe.fields.Option.HTTPAgent = next();
    else if (name == "--max-bytes")
      fetch.MaxBytes = static_cast<uint64_t>(ParseCount(next(), "--max-bytes"));
    else if (name == "--stall-ms")
      fetch.StallMs = static_cast<long>(ParseCount(next(), "--stall-ms"));
    else if (name == "--total-ms")
      fetch.TotalMs = static_cast<long>(ParseCount(next(), "--total-ms"));
    else
      Unknown(name);
  });
  if (args.operands().size() != 1) throw UsageError{"fetch needs one URL"};
  TWebContentKind kind = wcOther;
  WebFetchResult r;
  if (!fetch.FetchUrl(WebFetch::NormalizeUrl(args.operands()[0]), kind, r)) {
    std::printf("fail kind=%d reason=%s\n", kind, r.reason.c_str());
    return 1;
  }
  std::printf("ok kind=%d code=%ld bytes=%llu cache=%s final=%s charset=%s\n", kind, r.httpCode,
              static_cast<unsigned long long>(r.bytes), Escape(r.cachePath).c_str(), Escape(r.finalUrl).c_str(),
              r.charset.empty() ? "-" : Escape(r.charset).c_str());
  return 0;
}

int Url(int argc, char** argv) {
  ArgReader args(argc, argv, 2);
  args.Parse([&](std::string_view name, const auto&) { Unknown(name); });
  for (const auto& url : args.operands()) {
    const std::string n = WebFetch::NormalizeUrl(url);
    std::printf("normalized=%s host=%s\n", Escape(n).c_str(), Escape(WebFetch::HostOfUrl(n)).c_str());
  }
  return 0;
}

int Run(int argc, char** argv) {
  struct Command {
    std::string_view name;
    int (*run)(int, char**);
  };
  static const Command commands[] = {{"detect", Detect}, {"decode", Decode},   {"picture", Picture},
                                     {"open", Open},     {"params", Params}, {"forward", Forward},
                                     {"filter", Filter}, {"expand", Expand},
                                     {"fetch", Fetch},   {"url", Url},       {"html", Html}};
  if (argc < 2) throw UsageError{"no subcommand"};
  for (const auto& c : commands)
    if (argv[1] == c.name) return c.run(argc, argv);
  throw UsageError{"unknown subcommand " + std::string(argv[1])};
}

}  // namespace
}  // namespace yomira

int main(int argc, char** argv) {
  if (yomira::tools::PrintHelpIfAsked(argc, argv, yomira::kUsage)) return 0;
  try {
    return yomira::Run(argc, argv);
  } catch (const yomira::UsageError& e) {
    std::fprintf(stderr, "srcprobe: %s\n%s", yomira::Escape(e.message).c_str(), yomira::kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "srcprobe: %s\n", yomira::Escape(e.what()).c_str());
    return 1;
  }
}
