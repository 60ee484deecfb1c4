// Seeded random pages through the HTML import: every page finishes, and the lines are
// well-formed cp932 with no line end inside and no VT but the ruby frames the import writes.
#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"
#include "tests/fuzz/html_fuzz_one.h"

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

TEST(HtmlRandom, PagesGiveWellFormedLines) {
  PageMaker maker(20260521);
  for (int round = 0; round < 600; ++round) {
    // The page, then the byte that picks parse, links, ruby_tag, a web page and the hold.
    std::string input = maker.Make();
    input += static_cast<char>(maker.Uniform(0, 31));
    const std::string problem = test::FuzzHtmlOne(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    ASSERT_EQ(problem, "") << "round " << round << "\ninput: " << test::hex(input);
  }
}

}  // namespace
}  // namespace yomira
