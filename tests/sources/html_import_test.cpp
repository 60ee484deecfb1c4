#include "sources/html_import.h"

#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "platform/text/cp932.h"
#include "fake_sources_host.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;
using test::u8;
using V = std::vector<std::string>;

const std::string kLibraryMeta = R"(<meta name="DC.Publisher" content="青空文庫">)";
const std::string kRule80(80, '-');
const std::string kRule55(55, '-');

struct Importer {
  Importer() {
    option = DefaultOptions();
    item.Path = "/t/p.html";
  }

  // Imports a UTF-8 page (converted to cp932 lines first) and gives the lines in UTF-8.
  V Run(const std::string& page, bool parse = true, bool collectLinks = true) {
    V lines = SplitLines(sj(page));
    import.ImportHtml(lines, item, parse, collectLinks);
    V out;
    for (const auto& line : lines) out.push_back(u8(line));
    return out;
  }
  // The lines of a library page (no cover block).
  V Library(const std::string& body) { return Run("<html><head>" + kLibraryMeta + "</head><body>" + body + "</body></html>"); }

  V Locations() const {
    V out;
    for (const auto& link : links) out.push_back(std::to_string(link->Kind) + " " + link->GetLocation());
    return out;
  }

  test::FakeSourcesHost host;
  FileItemList links;
  TYomiraOption option;
  TFileItem item;
  HtmlImport import{links,
                    [this] {
                      host.calls.push_back("ClearPageLinks");
                      links.clear();
                    },
                    option, host};
};

TEST(HtmlImportRuby, Table) {
  const std::string twoWords =
      "<ruby><rb>漢字</rb><rp>（</rp><rt>かんじ</rt><rp>）</rp></ruby>の<ruby>本<rp>(<rt>ほん<rp>)</ruby>";
  struct Case {
    std::string body;
    bool rubyTag;
    V lines;
  } cases[] = {
      // The second word leaves the RP and RT end tags to the parser, which nests them.
      {twoWords, true, {"｜漢字\v《\vかんじ\v》\vの｜本\v《\vほん\v》\v"}},
      {"<ruby>漢字<rt>かんじ</rt></ruby>", true, {"｜漢字かんじ"}},
      {twoWords, false, {"漢字（かんじ）の本(ほん)"}},
  };
  for (const Case& c : cases) {
    Importer im;
    im.option.ruby_tag = c.rubyTag;
    EXPECT_EQ(im.Library(c.body), c.lines) << c.body;
  }
}

// libxml2 keeps an element it does not know that comes before the body inside HEAD.
TEST(HtmlImportText, ContentTakenIntoTheHeadIsKept) {
  Importer im;
  im.option.ruby_tag = 0;
  EXPECT_EQ(im.Run("<meta name=a content=b><ruby>漢字<rt>かんじ</rt></ruby>の<article>記事</article>"),
            (V{"漢字かんじ", "の", "記事"}));
  EXPECT_EQ(im.Run("<title>T</title><style>p{}</style><script>s()</script>x"), V{"x"});
}

TEST(HtmlImportRuby, WithoutRubyTagThereIsNoCoverBlock) {
  Importer im;
  im.option.ruby_tag = 0;
  EXPECT_EQ(im.Run("<title>T</title><meta name=author content=A><ruby>本<rp>(<rt>ほん<rp>)</ruby>"), V{"本(ほん)"});
}

TEST(HtmlImportRules, HrIsA80HyphenLineOfItsOwn) {
  Importer im;
  EXPECT_EQ(im.Library("x<hr>y"), (V{"x", kRule80, "y"}));
  EXPECT_EQ(im.Library("<p>x</p><hr><hr><p>y</p>"), (V{"x", kRule80, kRule80, "y"}));
}

TEST(HtmlImportImages, Table) {
  const std::string gaiji = R"(<img class="gaiji" alt="※（「てへん＋劣」、第3水準1-84-77）" src="g.png">)";
  const std::string note = "※［＃（「てへん＋劣」、第3水準1-84-77）］";
  struct Case {
    std::string page;
    bool web;
    std::string line;
  } cases[] = {
      {kLibraryMeta + "a" + gaiji + "b", false, "a" + note + "b"},
      {kLibraryMeta + "a" + gaiji + "b", true, "a" + note + "b"},
      {kLibraryMeta + R"(a<img class="gaiji" alt="※">b)", false, "ab"},
      {kLibraryMeta + R"(a<img class="gaiji" alt="（※）">b)", false, "ab"},
      {kLibraryMeta + R"(a<img class="Gaiji" alt="※（x）">b)", false, "ab"},
      {kLibraryMeta + R"(a<img class="illustration" src="fig1.png">b)", false, "a［＃挿絵（fig1.png）入る］b"},
      {kLibraryMeta + R"(a<img class="photo" src="p.jpg">b)", false, "a［＃挿絵（p.jpg）入る］b"},
      {kLibraryMeta + R"(a<img class="illustration" src="fig1.png">b)", true, "ab"},
      {kLibraryMeta + R"(a<img class="illustration" src="">b)", false, "ab"},
      // The publisher is known only from its META on: an image before it is not the library's.
      {"a" + gaiji + "b" + kLibraryMeta, false, "ab"},
  };
  for (const Case& c : cases) {
    Importer im;
    if (c.web) {
      im.item.Kind = fkWeb;
      im.item.Href = "http://h.example/d/p.html";
    }
    const V lines = im.Run(c.page);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), c.line) << c.page << (c.web ? " (web)" : "");
  }
}

TEST(HtmlImportImages, OtherPublishersGetNoLibraryNotes) {
  Importer im;
  const V lines =
      im.Run(R"(a<img class="gaiji" alt="※（x）"><img class="illustration" src="f.png">b)");
  EXPECT_EQ(lines.back(), "ab");
}

TEST(HtmlImportHeader, CoverBlockOfAnotherPublishersPage) {
  Importer im;
  const V lines = im.Run(
      "<html><head><title>こころ</title><meta name=\"author\" content=\" 夏目漱石 \">"
      "<meta name=\"copyright\" content=\"none\"><meta name=\"description\" content=\"d\">"
      "<meta name=\"Author\" content=\"B\"><meta name=\"pub\" content=\"P\">"
      "<meta name=\"dc.publisher\" content=\"X\"><meta name=\"author\" content=\"\"></head><body>本文</body></html>");
  EXPECT_EQ(lines, (V{"こころ", "author:夏目漱石", "copyright:none", "Author:B", "pub:P", kRule55, " yomira format ",
                      kRule55, "本文"}));
}

TEST(HtmlImportHeader, NoTitleGivesAnEmptyFirstLineAndTheLibraryNone) {
  Importer im;
  EXPECT_EQ(im.Run("<p>x</p>"), (V{"", kRule55, " yomira format ", kRule55, "x"}));
  EXPECT_EQ(im.Library("<title>T</title><p>x</p>"), V{"x"});
}

TEST(HtmlImportTitle, Table) {
  const std::pair<std::string, std::string> cases[] = {
      {"<title>題\t名</title>", "題名"},
      {"<title>  a\n b\r\n\fc </title>", "a b c"},
      {"<title></title>", "old"},
      {"<p>no title</p>", "old"},
      {"<title>one</title><title>two</title>", "one"},
  };
  for (const auto& [page, title] : cases) {
    Importer im;
    im.item.Title = "old";
    im.Run(page, true, false);
    EXPECT_EQ(im.item.Title, title) << page;
  }
  Importer im;
  EXPECT_EQ(im.Run("<title>題\t名</title>x").front(), "題名");
}

TEST(HtmlImportLinks, Table) {
  struct Case {
    std::string page;      // with {} for the links
    std::string itemHref;  // a web page when not empty
    std::string itemBase;
    V expected;            // kind, location
    V titles = {};
  } cases[] = {
      {R"(<a href="x.html#s">X</a>)", "http://h/d/p.html", "", {"1 http://h/d/x.html#s"}},
      {R"(<base href="http://b/e/"><a href="x.html">X</a><map><area href="../m.html" alt="エリア"></map>)",
       "http://h/d/p.html",
       "",
       {"1 http://b/e/x.html", "1 http://b/m.html"},
       {"X", "エリア"}},
      {R"(<a href="c.html">C</a>)", "http://h/d/q.html", "http://h/r/q.html", {"1 http://h/r/c.html"}},
      {R"(<a href="sub/a%20b.html?q=1#s">1</a><a href="/abs/x.txt">2</a><a href="HTTP://A.example/p">3</a>)",
       "",
       "",
       {"0 /t/sub/a b.html", "0 /abs/x.txt", "1 http://a.example/p"}},
      {R"(<a href="../up/./f.html">1</a><a href="%E6%9C%AC.html">2</a><a href="bad%ZZ%FF.html">3</a>)",
       "",
       "",
       {"0 /up/f.html", "0 /t/本.html", "0 /t/bad%ZZ%FF.html"}},
      {R"(<base href="http://b/e/"><a href="x.html">X</a>)", "", "", {"1 http://b/e/x.html"}},
      {R"~(<a href="mailto:a@b">1</a><a href="javascript:x()">2</a><a href="#top">3</a><a href="">4</a>)~"
       R"(<a href="ftp://x">5</a><a href="file:///etc/passwd">6</a><a>7</a><area href="x.html">)",
       "",
       "",
       {}},
      {R"(<a href=" https://h/x "><img alt="表紙"></a><a href="a" title="T"></a><a href="b"><span title="S"></span></a>)"
       R"(<a href="c">line<br>break</a>)",
       "",
       "",
       {"1 https://h/x", "0 /t/a", "0 /t/b", "0 /t/c"},
       {"表紙", "T", "S", "line break"}},
  };
  for (const Case& c : cases) {
    Importer im;
    if (!c.itemHref.empty()) {
      im.item.Kind = fkWeb;
      im.item.Href = c.itemHref;
      im.item.BaseUrl = c.itemBase;
    }
    im.Run(c.page, false, true);
    EXPECT_EQ(im.Locations(), c.expected) << c.page;
    if (!c.titles.empty()) {
      V titles;
      for (const auto& link : im.links) titles.push_back(link->Title);
      EXPECT_EQ(titles, c.titles) << c.page;
    }
  }
}

TEST(HtmlImportLinks, EntriesCarryThePageAndItsBase) {
  Importer im;
  im.item.Kind = fkWeb;
  im.item.Path = "/cache/yomira_web.html";
  im.item.Href = "http://h/d/p.html";
  im.Run(R"(<a href="x.html">X</a><a href="HTTPS://User@Host.Example:8080/A?B">Y</a>)", false, true);
  ASSERT_EQ(im.links.size(), 2u);
  for (const auto& link : im.links) {
    EXPECT_EQ(link->Kind, fkWeb);
    EXPECT_EQ(link->Rate, 0);
    EXPECT_EQ(link->Path, "/cache/yomira_web.html");
    EXPECT_EQ(link->BaseUrl, "http://h/d/p.html");
  }
  EXPECT_EQ(im.links[0]->Href, "x.html");
  EXPECT_EQ(im.links[1]->Href, "https://User@host.example:8080/A?B");
}

TEST(HtmlImportText, Table) {
  const std::pair<std::string, V> cases[] = {
      {"<p>　一字下げ</p>", {"　一字下げ"}},
      {"a<br>\n b", {"a", "b"}},
      {"<p>a</p><p><br></p><p>b</p>", {"a", "", "b"}},
      {"a<br><br>b", {"a", "", "b"}},
      {"<p>a</p><p>b</p>", {"a", "b"}},
      {"  a \t\r\n  b  <b> c </b> d ", {"a b c d"}},
      {"<div><div>a</div>b<h2>c</h2></div><ul><li>d<li>e</ul>", {"a", "b", "c", "d", "e"}},
      {"<table><tr><td>a</td><td>b</td></tr><tr><th>c</th><td> </td><td>e</td></tr></table>", {"a\tb", "c\t\te"}},
      {"<pre>  a  b\n\n c</pre>d", {"  a  b", "", " c", "d"}},
      {"<head><style>p{}</style><script>x()</script></head><body>a<script>y()</script><noscript>n</noscript>"
       "<select><option>o</select><textarea>t</textarea>b</body>",
       {"ab"}},
      {"a&nbsp;&nbsp;b&nbsp;", {"a  b "}},
      {"<br><br><p>a</p><br>", {"a"}},
      {"a<span>b</span><font>c</font><unknown>d</unknown>", {"abcd"}},
      {"&lt;PBR&gt; &amp; &#x3042;", {"<PBR> & あ"}},
      {"a&#11;b&#0;c", {"abc"}},
      {"", {}},
  };
  for (const auto& [body, lines] : cases) {
    Importer im;
    EXPECT_EQ(im.Library(body), lines) << body;
  }
}

TEST(HtmlImportText, DuplicateCodesComeBackAsTheSameCharacters) {
  // NEC-selected IBM rows come back as the IBM rows: the same characters, other bytes.
  Importer im;
  V lines{sj(kLibraryMeta) + "\xEE\xEF\xED\x40"};
  im.import.ImportHtml(lines, im.item, true, false);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(u8(lines[0]), u8("\xEE\xEF\xED\x40"));
}

TEST(HtmlImportWalk, EveryElementAfterRulesIsVisited) {
  Importer im;
  const V lines = im.Library(
      R"(a<hr>b<hr>c<hr>d<img class="gaiji" alt="※（x）" src="g.png"><a href="last.html">L</a>)");
  EXPECT_EQ(lines, (V{"a", kRule80, "b", kRule80, "c", kRule80, "d※［＃（x）］L"}));
  EXPECT_EQ(im.Locations(), V{"0 /t/last.html"});
}

TEST(HtmlImportWalk, TheHeldLinkListIsLeftAlone) {
  Importer im;
  im.links.push_back(std::make_unique<TFileItem>());
  im.links.back()->Path = "/held";
  im.host.linkListHeld = true;
  im.host.bookExists = true;
  im.host.bookTab = 2;
  EXPECT_EQ(im.Library(R"(<a href="x.html">x</a>)"), V{"x"});
  EXPECT_EQ(im.Locations(), V{"0 /held"});
  EXPECT_TRUE(im.host.calls.empty());
}

TEST(HtmlImportWalk, LinksAreClearedOnceBeforeTheNewOnes) {
  Importer im;
  im.links.push_back(std::make_unique<TFileItem>());
  im.host.onShowMessage = nullptr;
  V lines = SplitLines(sj(R"(<a href="x.html">x</a><a href="y.html">y</a>)"));
  im.import.ImportHtml(lines, im.item, false, true);
  EXPECT_EQ(im.host.calls, V{"ClearPageLinks"});
  EXPECT_EQ(im.Locations(), (V{"0 /t/x.html", "0 /t/y.html"}));
  // Neither flag: nothing at all.
  im.host.Clear();
  V untouched{"<p>x</p>"};
  im.import.ImportHtml(untouched, im.item, false, false);
  EXPECT_EQ(untouched, V{"<p>x</p>"});
  EXPECT_TRUE(im.host.calls.empty());
  EXPECT_EQ(im.links.size(), 2u);
  // Parsing only keeps the links too.
  im.Run("<p>x</p><a href=z>z</a>", true, false);
  EXPECT_TRUE(im.host.calls.empty());
  EXPECT_EQ(im.links.size(), 2u);
}

TEST(HtmlImportWalk, TheLinkTabIsRefreshedWhenItShows) {
  struct Case {
    bool exists;
    int tab;
    bool held;
    bool collect;
    int refreshes;
  } cases[] = {
      {true, 2, false, true, 1}, {true, 1, false, true, 0}, {true, 2, true, true, 0},
      {false, 2, false, true, 0}, {true, 2, false, false, 0},
  };
  for (const Case& c : cases) {
    Importer im;
    im.host.bookExists = c.exists;
    im.host.bookTab = c.tab;
    im.host.linkListHeld = c.held;
    im.Run("<a href=x>x</a>", true, c.collect);
    EXPECT_EQ(im.host.CallsStartingWith("RefreshBookTab").size(), static_cast<size_t>(c.refreshes))
        << c.exists << c.tab << c.held << c.collect;
  }
}

TEST(HtmlImportRobustness, HostilePagesFinishAndKeepTheirText) {
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    out.reserve(s.size() * n);
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  struct Case {
    std::string name;
    std::string page;
    V lines;
  };
  const std::string plain(2 << 20, 'a');
  const Case cases[] = {
      {"deep divs", repeat("<div>", 200000) + "deep" + repeat("</div>", 200000) + "<p>after</p>", {"deep", "after"}},
      {"unclosed b", repeat("<b>x", 100000), {std::string(100000, 'x')}},
      {"nested tables", repeat("<table><tr><td>", 20000) + "cell", {"cell"}},
      {"huge reference", "a&#3000000000;b", {}},
      {"lone <", "<", {"<"}},
      {"2 MB without a tag", plain, {plain}},
  };
  for (const Case& c : cases) {
    Importer im;
    im.option.ruby_tag = 0;
    const V lines = im.Run(c.page);
    if (c.name == "huge reference") {
      ASSERT_EQ(lines.size(), 1u) << c.name;
      EXPECT_EQ(lines[0].front(), 'a');
      EXPECT_EQ(lines[0].back(), 'b');
    } else {
      EXPECT_EQ(lines, c.lines) << c.name;
    }
  }
}

TEST(HtmlImportRobustness, NothingToParseLeavesTheLines) {
  Importer im;
  V lines;
  im.import.ImportHtml(lines, im.item, true, true);
  EXPECT_TRUE(lines.empty());
  V blank{""};
  im.import.ImportHtml(blank, im.item, true, true);
  EXPECT_EQ(blank, V{""});
}

}  // namespace
}  // namespace yomira
