// engine_dump: lays out a text the way the reader will and prints the display lines, or
// prints the page geometry. A developer tool for looking at the engine from a terminal.
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/convert.h"
#include "engine/core/display_line.h"
#include "engine/core/engine.h"
#include "engine/core/line_break.h"
#include "engine/core/option.h"
#include "engine/core/option_defaults.h"
#include "engine/core/option_keys.h"
#include "engine/core/special_lines.h"
#include "engine/core/trace_host.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "tools/tool_help.h"

namespace yomira {
namespace {

// A document larger than this is refused rather than read into memory.
constexpr long long kMaxInputBytes = 512LL * 1024 * 1024;

enum class Format { Text, Elements, Widths, None };

struct Args {
  bool utf8 = false;
  bool auto_indent = false;
  bool geometry = false;
  bool plain = false;      // one text element per source line, notation not read
  bool rewrap = false;
  bool to_ruby = false;
  bool html_imported = false;
  bool stats = false;
  bool trace_relayout = false;  // print the driver's calls to its hosts instead of a layout
  bool have_name = false;
  std::string name;        // document name for the caption (UTF-8)
  Format format = Format::Text;
  std::string file;  // "" or "-" for standard input
  TYomiraOption option = DefaultOptions();
};

constexpr char kUsage[] =
    "usage: engine_dump [--utf8] [-o KEY=VALUE]... [--auto-indent] [--rewrap] [--to-ruby] "
    "[--html-imported] [--plain] [--name NAME] [--stats] [--trace-relayout] "
    "[--format text|elements|widths|none] [--geometry] [FILE|-]\n";

[[noreturn]] void UsageError(const std::string& message) {
  std::fprintf(stderr, "engine_dump: %s\n", message.c_str());
  std::fputs(kUsage, stderr);
  std::exit(2);
}

Args ParseArgs(int argc, char** argv) {
  Args a;
  bool have_file = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= argc) UsageError(std::string(arg) + " needs a value");
      return argv[++i];
    };
    if (arg == "--utf8") {
      a.utf8 = true;
    } else if (arg == "--auto-indent") {
      a.auto_indent = true;
    } else if (arg == "--geometry") {
      a.geometry = true;
    } else if (arg == "--plain") {
      a.plain = true;
    } else if (arg == "--rewrap") {
      a.rewrap = true;
    } else if (arg == "--to-ruby") {
      a.to_ruby = true;
    } else if (arg == "--html-imported") {
      a.html_imported = true;
    } else if (arg == "--stats") {
      a.stats = true;
    } else if (arg == "--trace-relayout") {
      a.trace_relayout = true;
    } else if (arg == "--name") {
      a.name = value();
      a.have_name = true;
    } else if (arg == "--format") {
      std::string_view f = value();
      if (f == "text") a.format = Format::Text;
      else if (f == "elements") a.format = Format::Elements;
      else if (f == "widths") a.format = Format::Widths;
      else if (f == "none") a.format = Format::None;
      else UsageError("unknown format " + std::string(f));
    } else if (arg == "-o") {
      std::string_view kv = value();
      size_t eq = kv.find('=');
      if (eq == std::string_view::npos) UsageError("-o takes KEY=VALUE, not " + std::string(kv));
      std::string error = SetOptionByKey(a.option, kv.substr(0, eq), kv.substr(eq + 1));
      if (!error.empty()) UsageError(error);
    } else if (arg.size() > 1 && arg[0] == '-') {
      UsageError("unknown option " + std::string(arg));
    } else {
      if (have_file) UsageError("only one FILE may be given");
      a.file = arg;
      have_file = true;
    }
  }
  a.option.Validate();
  return a;
}

bool ReadInput(const std::string& file, std::string& out, std::string& reason) {
  if (file.empty() || file == "-") {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) {
      out.append(buf, n);
      if (static_cast<long long>(out.size()) > kMaxInputBytes) return reason = "larger than 512 MB", false;
    }
    if (std::ferror(stdin)) return reason = std::strerror(errno), false;
    return true;
  }
  struct stat st{};
  if (stat(file.c_str(), &st) != 0) return reason = std::strerror(errno), false;
  if (!S_ISREG(st.st_mode)) return reason = "not a regular file", false;
  if (st.st_size > kMaxInputBytes) return reason = "larger than 512 MB", false;
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return reason = std::strerror(errno), false;
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = std::fread(out.data(), 1, out.size(), f);
  bool failed = std::ferror(f);
  std::fclose(f);
  if (failed) return reason = "read error", false;
  out.resize(got);
  return true;
}

void PrintGeometry(const TYomiraOption& o) {
  const int32_t L = o.c_size, T = o.Colum, P = o.Page, V = o.v_size;
  const auto [w, h] = o.GetColumnExtent(L);
  std::printf("lw=%d cell_pitch=%d block=%dx%d frames=%d lines_per_view=%d\n",
              o.f_size + o.ruby_size + o.s_size, (o.f_size + o.m_size) / 2, w, h,
              o.GetAnimationFrames(), L * T * P);
  for (int p = 1; p <= P; ++p) {
    Rect r = o.GetPageRect(p);
    std::printf("page %d rect=%d,%d,%d,%d\n", p, r.left, r.top, r.right, r.bottom);
  }
  for (int p = 1; p <= P; ++p)
    for (int k = 0; k < L; ++k)
      std::printf("line %d page %d x=%d ruby_x=%d\n", k, p, o.GetLineX(k, p), o.GetRubyLineX(k, p));
  for (int j = 1; j <= T; ++j)
    std::printf("block %d y=%d bottom=%d\n", j, o.GetCharY(1, j), o.GetCharY(V + 1, j));
  const int64_t a = int64_t{L} * T * P;
  std::printf("views(%lld)=%d views(%lld)=%d\n", static_cast<long long>(a), o.GetViewCount(a),
              static_cast<long long>(a + 1), o.GetViewCount(a + 1));
}

// Each source line is one paragraph: one text element broken into display lines.
DisplayLines LayOutPlain(const SourceLines& sources, const TYomiraOption& o, bool auto_indent) {
  DisplayLines lines;
  for (int32_t i = 0; i < static_cast<int32_t>(sources.size()); ++i) {
    const std::string& text = sources[i];
    if (text.empty()) {
      TYomiraLine blank;
      blank.ends_paragraph = true;
      blank.source_line = i;
      lines.push_back(std::move(blank));
      continue;
    }
    std::vector<TYomiraObject> elements;
    AddElement(elements, {.kind = kText, .first = i, .column = 1, .length = static_cast<int32_t>(text.size())});
    const int extra = auto_indent && NeedAutoIndent(text, o) ? 2 : 0;
    BreakParagraph(elements, text, i, extra, 0, o, lines);
  }
  return lines;
}

// Quotes element text: backslash and double quote escaped, control bytes as \xNN.
std::string Quote(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Blanks(int cells) {
  std::string out;
  for (int i = 0; i < cells / 2; ++i) out += "\xE3\x80\x80";  // full-width space
  if (cells % 2) out += ' ';
  return out;
}

bool HasQuotedText(int kind) { return kind == 0 || kind == 1 || kind == 3 || kind == 6 || kind == 7 || kind == 11; }

void PrintElements(const TYomiraLine& line, const SourceLines& sources, bool wide) {
  for (const TYomiraObject& el : line.elements) {
    std::string row = " | ";
    row += ElementKindLetter(el.kind);
    row += ' ' + std::to_string(el.first);
    if (el.last != el.first) row += '-' + std::to_string(el.last);
    row += ':' + std::to_string(el.column) + '+' + std::to_string(el.length);
    if (el.split) row += '/' + std::to_string(el.split);
    if (el.emphasis) row += " e" + std::to_string(el.emphasis);
    if (el.side_line) row += " ~";
    if (HasQuotedText(el.kind)) {
      std::string text = el.GetText(sources, true, wide);
      if (!text.empty()) row += ' ' + Quote(Cp932ToUtf8(text));
    }
    std::fputs(row.c_str(), stdout);
  }
}

std::string LineAsText(const TYomiraLine& line, const SourceLines& sources, bool wide) {
  std::string out = Blanks(line.indent);
  for (const TYomiraObject& el : line.elements) {
    switch (el.kind) {
      case 0:
      case 11: out += Cp932ToUtf8(el.GetText(sources, false, wide)); break;
      case 1: out += "《" + Cp932ToUtf8(el.GetText(sources, false, wide)) + "》"; break;
      case 2: out += "｜"; break;
      case 3: out += "［＃" + Cp932ToUtf8(el.GetText(sources, false, wide)) + "］"; break;
      case 6: out += el.length == 2 ? "ヽ" : "ヽヽ"; break;
      case 7: out += el.length == 2 ? "ヾ" : "ヾヾ"; break;
      case 8: out += Blanks(el.length); break;
      case 10:
        for (int i = 0; i < el.length / 2; ++i) out += "─";
        break;
    }
  }
  return out;
}

void PrintLayout(const DisplayLines& lines, const SourceLines& sources, const TYomiraOption& o, Format format,
                 bool wide) {
  const int32_t L = o.c_size, T = o.Colum, P = o.Page;
  std::printf("# source=%zu lines=%zu views=%d L=%d T=%d P=%d V=%d\n", sources.size(), lines.size(),
              o.GetViewCount(static_cast<int64_t>(lines.size())), L, T, P, o.v_size);
  for (size_t k = 0; k < lines.size(); ++k) {
    const int64_t kk = static_cast<int64_t>(k);
    if (L > 0 && T > 0 && P > 0 && kk % L == 0) {
      std::printf("== view %lld page %lld block %lld\n", static_cast<long long>(kk / (int64_t{L} * T * P) + 1),
                  static_cast<long long>((kk / (int64_t{L} * T)) % P + 1), static_cast<long long>((kk / L) % T + 1));
    }
    const TYomiraLine& line = lines[k];
    switch (format) {
      case Format::Widths:
        std::printf("%04zu s=%d i=%d w=%d end=%d\n", k, line.source_line, line.indent, line.GetTextWidth(),
                    line.ends_paragraph ? 1 : 0);
        break;
      case Format::Elements:
        std::printf("%04zu s=%d i=%d %c", k, line.source_line, line.indent, line.ends_paragraph ? 'P' : '.');
        PrintElements(line, sources, wide);
        std::fputc('\n', stdout);
        break;
      case Format::Text:
        std::printf("%s\n", LineAsText(line, sources, wide).c_str());
        break;
      case Format::None:
        break;
    }
  }
}

}  // namespace
}  // namespace yomira

int main(int argc, char** argv) {
  using namespace yomira;
  if (tools::PrintHelpIfAsked(argc, argv, kUsage)) return 0;
  Args args = ParseArgs(argc, argv);
  if (args.geometry) {
    PrintGeometry(args.option);
    return 0;
  }
  std::string data, reason;
  if (!ReadInput(args.file, data, reason)) {
    std::fprintf(stderr, "engine_dump: cannot read %s: %s\n", args.file.empty() ? "-" : args.file.c_str(),
                 reason.c_str());
    return 1;
  }
  if (args.utf8) data = Utf8ToCp932(data);
  const SourceLines sources = SplitLines(data);
  const ConvertSwitches switches{.autoIndent = args.auto_indent || args.option.aut_indent,
                                 .reWrap = args.rewrap || args.option.re_wrap,
                                 .toRuby = args.to_ruby || args.option.toRuby,
                                 .htmlImported = args.html_imported};
  // The document name is the file name without its folder, split at "/" only.
  std::string name = args.name;
  if (!args.have_name) {
    const bool stdin_input = args.file.empty() || args.file == "-";
    name = stdin_input ? "stdin" : args.file.substr(args.file.rfind('/') + 1);
  }
  if (args.trace_relayout) {
    // As an open does: convert and draw, then a relayout with both flags off.
    EngineState state;
    state.option = args.option;
    state.sourceLines = sources;
    state.switches = switches;
    state.documentName = name;
    state.documentLoaded = true;
    TraceHost host(&state);
    Engine engine(state, host, host);
    engine.Relayout(false, true);
    host.calls.push_back("--");
    engine.Relayout(false, false);
    std::fputs(host.Joined().c_str(), stdout);
    return std::ferror(stdout) ? 1 : 0;
  }
  const auto start = std::chrono::steady_clock::now();
  ConvertResult result;
  if (args.plain) {
    result.lines = LayOutPlain(sources, args.option, switches.autoIndent);
    result.title = name;
  } else {
    SpecialLines hooks;
    result = Converter(args.option, sources, switches).ConvertText(name, nullptr, &hooks);
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("# caption: %s\n", result.title.c_str());
  PrintLayout(result.lines, sources, args.option, args.format, result.delimiterWidth == 4);
  if (args.stats) {
    std::fflush(stdout);  // the figures follow the rows when both streams go to one place
    size_t elements = 0;
    for (const TYomiraLine& line : result.lines) elements += line.elements.size();
    std::fprintf(stderr, "stats: source=%zu lines=%zu elements=%zu views=%d convert_ms=%.1f\n", sources.size(),
                 result.lines.size(), elements, args.option.GetViewCount(static_cast<int64_t>(result.lines.size())),
                 ms);
  }
  return std::ferror(stdout) ? 1 : 0;
}
