// srcprobe: looks at the document sources from a terminal: code-page detection, decoding
// to cp932 source lines, and picture loading.
//
//   srcprobe detect FILE...
//   srcprobe decode [--cc N] FILE
//   srcprobe picture [--pixel X,Y]... FILE
//   srcprobe picture --resource NAME [--type TYPE] [--pixel X,Y]...
//
// Output is UTF-8 lines ending in LF (except the cp932 lines of decode on stdout). A usage
// error prints the usage on stderr and exits 2.
#include <QImage>

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
#include "sources/codepage.h"
#include "sources/file_item.h"
#include "sources/picture.h"

namespace yomira {
namespace {

constexpr char kUsage[] =
    "usage: srcprobe detect FILE...\n"
    "       srcprobe decode [--cc N] FILE\n"
    "       srcprobe picture [--pixel X,Y]... FILE\n"
    "       srcprobe picture --resource NAME [--type TYPE] [--pixel X,Y]...\n";

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
  for (const auto& line : lines) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  std::fprintf(stderr, "codepage %d lines %zu\n", codePage, lines.size());
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

int Run(int argc, char** argv) {
  struct Command {
    std::string_view name;
    int (*run)(int, char**);
  };
  static const Command commands[] = {{"detect", Detect}, {"decode", Decode}, {"picture", Picture}};
  if (argc < 2) throw UsageError{"no subcommand"};
  for (const auto& c : commands)
    if (argv[1] == c.name) return c.run(argc, argv);
  throw UsageError{"unknown subcommand " + std::string(argv[1])};
}

}  // namespace
}  // namespace yomira

int main(int argc, char** argv) {
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
