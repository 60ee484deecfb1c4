// html_bench: the HTML import of a 2 MB page in the library's markup, made in memory (ruby
// every 20 characters, a non-standard-character image every 200, a link every 500, "<br />"
// line ends), with parse and links; five runs. Build in Release and read the figures;
// nothing here is asserted.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "sources/html_import.h"
#include "tools/null_sources_host.h"

namespace {

std::string Page() {
  using yomira::Utf8ToCp932;
  const std::string ruby = Utf8ToCp932("<ruby><rb>漢字</rb><rp>（</rp><rt>かんじ</rt><rp>）</rp></ruby>");
  const std::string kana = Utf8ToCp932("あいうえおかきくけこさしすせそたちつ");  // 18 characters
  const std::string gaiji =
      Utf8ToCp932(R"(<img src="../gaiji/1-84/1-84-77.png" alt="※（「てへん＋劣」、第3水準1-84-77）" class="gaiji" />)");
  const std::string link = Utf8ToCp932(R"(">次へ</a>)");
  std::string page =
      Utf8ToCp932(R"(<html><head><meta name="DC.Publisher" content="青空文庫" /><title>試験</title></head><body>)");
  for (int chars = 20; page.size() < (2u << 20); chars += 20) {
    page += ruby + kana;
    if (chars % 200 == 0) page += gaiji;
    if (chars % 500 == 0) page += R"(<a href="chapter.html#s)" + std::to_string(chars) + link;
    if (chars % 40 == 0) page += "<br />\r\n";
  }
  return page + "</body></html>";
}

// Milliseconds of one import of page (UTF-8), parsed, links collected.
double ImportMs(const std::string& page) {
  using namespace yomira;
  TYomiraOption option = DefaultOptions();
  tools::NullSourcesHost host;
  FileItemList links;
  HtmlImport import(links, [&links] { links.clear(); }, option, host);
  std::vector<std::string> lines = SplitLines(Utf8ToCp932(page));
  TFileItem item;
  item.Path = "/bench/hostile.html";
  const auto t0 = std::chrono::steady_clock::now();
  import.ImportHtml(lines, item, true, true);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

std::string RubyParagraph(int rubies) {
  std::string p = "<html><body><p>";
  for (int i = 0; i < rubies; ++i) p += "<ruby><rb>漢</rb><rp>(</rp><rt>かん</rt><rp>)</rp></ruby>";
  return p + "</p></body></html>";
}

// Peak resident memory (KiB) of a child that imports the page, as srcprobe html would.
long ChildPeakKib(const std::string& page) {
  const pid_t pid = fork();
  if (pid == 0) {
    ImportMs(page);
    _exit(0);
  }
  int status = 0;
  struct rusage usage {};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return -1;
  return usage.ru_maxrss;
}

}  // namespace

int main() {
  using namespace yomira;
  const std::string page = Page();
  TYomiraOption option = DefaultOptions();
  tools::NullSourcesHost host;
  FileItemList links;
  HtmlImport import(links, [&links] { links.clear(); }, option, host);
  std::vector<double> ms;
  size_t lineCount = 0;
  for (int run = 0; run < 5; ++run) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < page.size();) {
      size_t end = page.find("\r\n", start);
      if (end == std::string::npos) end = page.size();
      lines.push_back(page.substr(start, end - start));
      start = end + 2;
    }
    TFileItem item;
    item.Path = "/bench/page.html";
    const auto t0 = std::chrono::steady_clock::now();
    import.ImportHtml(lines, item, true, true);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    lineCount = lines.size();
  }
  std::sort(ms.begin(), ms.end());
  std::printf("html-import bytes=%zu lines=%zu links=%zu median-ms=%.1f max-ms=%.1f\n", page.size(), lineCount,
              links.size(), ms[ms.size() / 2], ms.back());

  // Hostile pages: each should import in well under a second, the ruby time linear.
  const double r5 = ImportMs(RubyParagraph(5000));
  const double r20 = ImportMs(RubyParagraph(20000));
  std::string nested = "<html><body>";
  for (int i = 0; i < 100000; ++i) nested += "<ruby>";
  nested += "x";
  for (int i = 0; i < 100000; ++i) nested += "</ruby>";
  const double nest = ImportMs(nested);
  std::string flood = "<html><body><p";
  for (int i = 0; i < 40000; ++i) flood += " a" + std::to_string(i) + "=\"v\"";
  const double attributes = ImportMs(flood + ">x</p></body></html>");
  std::printf("hostile ruby5000-ms=%.1f ruby20000-ms=%.1f ratio=%.2f nested100000-ms=%.1f attributes40000-ms=%.1f\n",
              r5, r20, r20 / r5, nest, attributes);

  // A 50 MB page of the library's markup: its import's peak memory in a child of its own.
  std::string big = Page();
  const std::string body = big.substr(big.find("<body>") + 6, (2u << 20) - 200);
  while (big.size() < 50000000) big.insert(big.size() - 14, body);
  const long kib = ChildPeakKib(Cp932ToUtf8(big));
  std::printf("html-import-50MB bytes=%zu peak-rss-MiB=%.0f ratio=%.1f\n", big.size(), kib / 1024.0,
              kib * 1024.0 / static_cast<double>(big.size()));
  return 0;
}
