#include "tests/fuzz/html_fuzz_one.h"

#include "engine/core/option_defaults.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "sources/html_import.h"
#include "tools/null_sources_host.h"

namespace yomira::test {
namespace {

std::string LineFault(const std::string& line, bool rubyTag) {
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  const size_t n = line.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = p[i];
    if (c == 0 || c == '\r' || c == '\n') return "line end or NUL at " + std::to_string(i);
    if (c == 0x0B) {
      if (!rubyTag) return "VT with ruby_tag off at " + std::to_string(i);
      if (i + 3 >= n || p[i + 1] != 0x81 || (p[i + 2] != 0x73 && p[i + 2] != 0x74) || p[i + 3] != 0x0B)
        return "VT outside a ruby frame at " + std::to_string(i);
      i += 4;
      continue;
    }
    if (IsLeadRange(c)) {
      if (i + 1 >= n) return "lead byte at the end";
      const unsigned char t = p[i + 1];
      if (t < 0x40 || t == 0x7F || t > 0xFC) return "bad trail byte at " + std::to_string(i + 1);
      i += 2;
      continue;
    }
    ++i;
  }
  return "";
}

}  // namespace

std::string HtmlLinesFault(const std::vector<std::string>& lines, bool rubyTag) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string fault = LineFault(lines[i], rubyTag);
    if (!fault.empty()) return "line " + std::to_string(i) + ": " + fault;
  }
  return "";
}

std::string FuzzHtmlOne(const uint8_t* data, size_t size) {
  const int options = size > 0 ? data[size - 1] : 0;
  const std::string page(reinterpret_cast<const char*>(data), size > 0 ? size - 1 : 0);
  const bool parse = options & 1, collect = options & 2, rubyTag = options & 4, web = options & 8;

  tools::NullSourcesHost host;
  host.linkListHeld = options & 16;
  FileItemList links;
  TYomiraOption option = DefaultOptions();
  option.ruby_tag = rubyTag;
  HtmlImport import(links, [&links] { links.clear(); }, option, host);
  TFileItem item;
  item.Kind = web ? fkWeb : fkLocalFile;
  item.Path = "/t/p.html";
  if (web) item.Href = "http://h.example/d/p.html";

  std::vector<std::string> lines = SplitLines(page);
  const std::vector<std::string> before = lines;
  import.ImportHtml(lines, item, parse, collect);
  if (!parse && lines != before) return "the lines changed without parse";
  if (parse) {
    const std::string fault = HtmlLinesFault(lines, rubyTag);
    if (!fault.empty()) return fault;
  }
  if (!IsValidUtf8(item.Title)) return "title is not UTF-8";
  for (const auto& link : links)
    if (!IsValidUtf8(link->Title) || !IsValidUtf8(link->GetLocation())) return "link is not UTF-8";
  return "";
}

}  // namespace yomira::test
