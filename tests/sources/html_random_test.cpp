// Seeded random pages through the HTML import: every page finishes, and the lines are
// well-formed cp932 with no line end inside and no VT but the ruby frames the import writes.
#include <gtest/gtest.h>

#include <random>

#include "engine/core/option_defaults.h"
#include "fake_sources_host.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "sources/html_import.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;

class PageMaker {
 public:
  explicit PageMaker(uint32_t seed) : rng_(seed) {
    for (const char* t : {"ruby", "rb", "rt", "rp", "hr", "img", "a", "map", "area", "base", "meta", "title", "head",
                          "body", "html", "p", "br", "div", "pre", "table", "tr", "td", "th", "script", "style",
                          "span", "b", "font", "ul", "li", "h1", "xmp", "textarea", "noscript", "unknown"})
      tags_.push_back(t);
    for (const char* a : {"href", "src", "alt", "class", "name", "content", "title", "charset", "HREF", "Class"})
      attributes_.push_back(a);
    for (const char8_t* v :
         {u8"gaiji", u8"illustration", u8"photo", u8"DC.Publisher", u8"青空文庫", u8"author", u8"pub", u8"※",
          u8"※（「てへん＋劣」、第3水準1-84-77）", u8"x.html#s", u8"http://h.example/d/", u8"HTTP://A.example/p",
          u8"../m.html", u8"a%20b.html?q=1", u8"%ZZ", u8"mailto:m@x", u8"#top", u8"", u8"fig 1.png", u8"http"})
      values_.push_back(sj(v));
    for (const char8_t* t : {u8"漢字", u8"かんじ", u8"（", u8"）", u8"《", u8"》", u8"｜", u8"［＃", u8"］", u8"　",
                             u8"ⅰ", u8"※", u8"表", u8"ソ"})
      texts_.push_back(sj(t));
    for (const char* t : {"&nbsp;", "&amp;", "&lt;", "&gt;", "&#11;", "&#0;", "&#13;", "&#x3042;", "&#3000000000;",
                          "&bogus;", "&", " ", "\t", "\r\n", "\n", "\x0B", "\x0C", "ab", "<", ">", "<!--", "-->",
                          "<!DOCTYPE html>", "<?x?>", "<![CDATA[c]]>", "\"", "'", "="})
      texts_.push_back(t);
    // Byte traps: a lead byte before a quote, a bracket or the end, and an EEEF duplicate code.
    for (const char* t : {"\x81\"", "\x81<", "\x81>", "\x82", "\xEE\xEF", "\x80", "\xA0", "\xFD", "\xFF"})
      texts_.push_back(t);
  }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  template <class T>
  const T& Pick(const std::vector<T>& v) {
    return v[static_cast<size_t>(Uniform(0, static_cast<int>(v.size()) - 1))];
  }

  std::string Make() {
    std::string page;
    const int pieces = Uniform(0, 80);
    for (int i = 0; i < pieces; ++i) {
      switch (Uniform(0, 9)) {
        case 0:
        case 1:
        case 2: {
          page += "<" + Pick(tags_);
          for (int n = Uniform(0, 3); n > 0; --n) {
            page += " " + Pick(attributes_);
            switch (Uniform(0, 3)) {
              case 0: page += "=\"" + Pick(values_) + "\""; break;
              case 1: page += "='" + Pick(values_) + "'"; break;
              case 2: page += "=" + Pick(values_); break;
              default: break;
            }
          }
          page += Uniform(0, 5) == 0 ? " />" : ">";
          break;
        }
        case 3:
        case 4: page += "</" + Pick(tags_) + ">"; break;
        case 5: {
          for (int n = Uniform(1, 8); n > 0; --n) page += static_cast<char>(Uniform(0, 255));
          break;
        }
        default: page += Pick(texts_); break;
      }
    }
    return page;
  }

 private:
  std::mt19937 rng_;
  std::vector<std::string> tags_, attributes_, values_, texts_;
};

// "" when line is well-formed, else what is wrong with it.
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

TEST(HtmlRandom, PagesGiveWellFormedLines) {
  PageMaker maker(20260521);
  for (int round = 0; round < 600; ++round) {
    const std::string page = maker.Make();
    const bool rubyTag = maker.Uniform(0, 1) == 1;
    const bool parse = maker.Uniform(0, 3) != 0;
    const bool collect = maker.Uniform(0, 1) == 1;
    const bool web = maker.Uniform(0, 2) == 0;

    test::FakeSourcesHost host;
    host.linkListHeld = maker.Uniform(0, 4) == 0;
    FileItemList links;
    TYomiraOption option = DefaultOptions();
    option.ruby_tag = rubyTag;
    HtmlImport import(links, [&links] { links.clear(); }, option, host);
    TFileItem item;
    item.Kind = web ? fkWeb : fkLocalFile;
    item.Path = "/t/p.html";
    if (web) item.Href = "http://h.example/d/p.html";

    std::vector<std::string> lines = SplitLines(page);
    import.ImportHtml(lines, item, parse, collect);
    if (!parse) continue;
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string fault = LineFault(lines[i], rubyTag);
      ASSERT_EQ(fault, "") << "round " << round << " line " << i << ": " << test::hex(lines[i]) << "\npage: "
                           << test::hex(page);
    }
    EXPECT_TRUE(IsValidUtf8(item.Title)) << round;
    for (const auto& link : links) {
      EXPECT_TRUE(IsValidUtf8(link->Title)) << round;
      EXPECT_TRUE(IsValidUtf8(link->GetLocation())) << round;
    }
  }
}

}  // namespace
}  // namespace yomira
