// html_bench: the HTML import of a 2 MB page in the library's markup, made in memory (ruby
// every 20 characters, a non-standard-character image every 200, a link every 500, "<br />"
// line ends), with parse and links; five runs. Then a 32 MiB page of mixed markup (nested
// divisions, paragraphs with ruby, links and references, tables), hostile pages, and the peak
// memory of a 50 MB import. Build in Release and read the figures; nothing here is asserted.
// With a folder, the 32 MiB and the 50 MB page are also written there (cp932), for srcprobe html.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "platform/atomic_file.h"
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

// A page of about bytes (cp932) as sites other than the library write them: divisions
// nested three deep, headings, paragraphs of kana and kanji with ruby, links, character and
// entity references, images, tables and rules; CR LF line ends.
std::string MixedPage(size_t bytes) {
  using yomira::Utf8ToCp932;
  std::mt19937 rng(20261211);
  const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::string words[] = {Utf8ToCp932("吾輩は猫である。"), Utf8ToCp932("名前はまだ無い。"),
                               Utf8ToCp932("どこで生れたかとんと見当がつかぬ。"), Utf8ToCp932("しかし"),
                               Utf8ToCp932("「ここは何処だ」と"), Utf8ToCp932("薄暗いじめじめした所で"),
                               " Natsume Soseki ", Utf8ToCp932("　")};
  const std::string refs[] = {"&amp;", "&lt;", "&gt;", "&nbsp;", "&quot;", "&#x3042;", "&#12354;", "&copy;"};
  const std::string ruby[] = {Utf8ToCp932("<ruby><rb>吾輩</rb><rp>（</rp><rt>わがはい</rt><rp>）</rp></ruby>"),
                              Utf8ToCp932("<ruby>書生<rt>しょせい</rt></ruby>"),
                              Utf8ToCp932("<ruby><rb>獰悪</rb><rp>(</rp><rt>どうあく</rt><rp>)</rp></ruby>")};
  std::string page = Utf8ToCp932(
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html lang=\"ja\"><head>"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n<title>猫 &mdash; "
      "試験</title>\r\n<style type=\"text/css\">p { margin: 0 }</style></head>\r\n<body>\r\n");
  page.reserve(bytes + 4096);
  for (int section = 0; page.size() < bytes; ++section) {
    page += "<div class=\"chapter\" id=\"c" + std::to_string(section) + "\">\r\n<div class=\"body\">\r\n<h3>" +
            Utf8ToCp932("第") + std::to_string(section) + Utf8ToCp932("章</h3>\r\n");
    for (int para = 0; para < 12; ++para) {
      page += "<div><p class=\"text\">";
      for (int piece = 0, n = 8 + pick(12); piece < n; ++piece) {
        switch (pick(10)) {
          case 0:
          case 1: page += ruby[pick(3)]; break;
          case 2: page += refs[pick(8)]; break;
          case 3:
            page += "<a href=\"chapter" + std::to_string(pick(40)) + ".html#s" + std::to_string(pick(99)) + "\">" +
                    words[pick(6)] + "</a>";
            break;
          case 4: page += "<br />\r\n"; break;
          case 5: page += "<span class=\"em\">" + words[pick(8)] + "</span>"; break;
          default: page += words[pick(8)]; break;
        }
      }
      page += "</p></div>\r\n";
      if (para == 5) page += "<img src=\"fig" + std::to_string(section) + ".png\" alt=\"fig\" width=\"80\">\r\n";
    }
    page += "<table border=\"1\">\r\n";
    for (int row = 0; row < 4; ++row) {
      page += "<tr>";
      for (int cell = 0; cell < 3; ++cell) page += "<td>" + words[pick(8)] + refs[pick(8)] + "</td>";
      page += "</tr>\r\n";
    }
    page += "</table>\r\n<hr>\r\n</div></div>\r\n";
  }
  return page + "</body></html>\r\n";
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

void WritePage(const std::string& path, const std::string& page) {
  const std::string error = yomira::AtomicWriteFile(path, page);
  if (!error.empty()) std::fprintf(stderr, "html_bench: %s\n", error.c_str());
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

int main(int argc, char** argv) {
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
  if (argc > 1) WritePage(std::string(argv[1]) + "/library-50MB.html", big);
  const long kib = ChildPeakKib(Cp932ToUtf8(big));
  std::printf("html-import-50MB bytes=%zu peak-rss-MiB=%.0f ratio=%.1f\n", big.size(), kib / 1024.0,
              kib * 1024.0 / static_cast<double>(big.size()));
  // A 32 MiB page of mixed markup (cp932 lines, as a file is read), parsed with links; three runs.
  {
    const std::string mixed = MixedPage(32u << 20);
    if (argc > 1) WritePage(std::string(argv[1]) + "/mixed-32MiB.html", mixed);
    // CPU time too: on a shared machine the wall clock also counts other processes' turns.
    const auto cpuMs = [] {
      timespec t{};
      clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
      return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    std::vector<double> mixedMs, mixedCpu;
    size_t mixedLines = 0;
    for (int run = 0; run < 3; ++run) {
      std::vector<std::string> lines = SplitLines(mixed);
      TFileItem item;
      item.Path = "/bench/mixed.html";
      const double c0 = cpuMs();
      const auto t0 = std::chrono::steady_clock::now();
      import.ImportHtml(lines, item, true, true);
      mixedMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
      mixedCpu.push_back(cpuMs() - c0);
      mixedLines = lines.size();
    }
    std::sort(mixedMs.begin(), mixedMs.end());
    std::sort(mixedCpu.begin(), mixedCpu.end());
    std::printf("html-import-32MiB bytes=%zu out-lines=%zu links=%zu median-ms=%.1f max-ms=%.1f cpu-median-ms=%.1f\n",
                mixed.size(), mixedLines, links.size(), mixedMs[1], mixedMs.back(), mixedCpu[1]);
  }
  return 0;
}
