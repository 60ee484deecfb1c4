#include "platform/html/html_tree.h"

#include <gtest/gtest.h>

#include <string>

namespace yomira {
namespace {

// The tree in a compact form: elements as name[attr=value]( children ), texts quoted.
std::string Shape(const HtmlTree& t, int at = 0) {
  std::string out;
  const HtmlNode& n = t.nodes[at];
  if (n.kind == HtmlNode::Text) return '"' + std::string(t.Text(n)) + '"';
  if (n.kind == HtmlNode::Element) {
    out = t.Name(n);
    for (uint32_t i = n.begin; i < n.begin + n.size; ++i) {
      const HtmlAttribute& a = t.attributes[i];
      out += '[' + t.names[a.name] + '=' + t.values.substr(a.begin, a.size) + ']';
    }
  }
  std::string kids;
  for (int c = n.firstChild; c >= 0; c = t.nodes[c].nextSibling) {
    EXPECT_EQ(t.nodes[c].parent, at);
    kids += (kids.empty() ? "" : " ") + Shape(t, c);
  }
  return out + "(" + kids + ")";
}

TEST(HtmlTree, CopiesElementsTextsAndAttributes) {
  const HtmlTree t = ParseHtmlTree(
      "<!DOCTYPE html><!-- note --><HTML><Head><TITLE>T&amp;t</TITLE></head>"
      "<BODY Class=\"A b\"><?pi x?><p ID=x>one<BR>tw&#x6F; &lt;</p>&nbsp;</BODY></HTML>");
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(Shape(t),
            "(html(head(title(\"T&t\")) body[class=A b](p[id=x](\"one\" br() \"two <\") \"\xC2\xA0\")))");
}

TEST(HtmlTree, BareContentIsWrappedAndAttributesAreLookedUpWithoutCase) {
  const HtmlTree t = ParseHtmlTree("<img SRC='a b.png' alt=\"\">x");
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(Shape(t), "(html(body(img[src=a b.png][alt=]() \"x\")))");
  const HtmlNode& img = t.nodes[3];
  ASSERT_EQ(t.Name(img), "img");
  EXPECT_EQ(t.Attribute(img, "SRC"), "a b.png");
  EXPECT_EQ(t.Attribute(img, "Alt"), "");
  EXPECT_EQ(t.Attribute(img, "title"), "");
}

// Where the nodes go is where libxml2's own tree builder would put them: the reader's text
// of a page must not depend on the builder.
TEST(HtmlTree, NodesGoWhereLibxml2sTreeBuilderPutsThem) {
  const std::pair<const char*, const char*> cases[] = {
      // A bare boolean attribute has its name as its value; others stay empty.
      {"<table><tr><td nowrap Checked=x noWrap title>a", "(html(body(table(tr(td[nowrap=nowrap][checked=x][title=](\"a\"))))))"},
      // An element's namespace prefix is dropped, unless the name ends at the colon.
      {"<o:p>x</o:p><svg:rect>y<x:>z", "(html(body(p(\"x\") rect(\"y\" x:(\"z\")))))"},
      // After the first element closes, the next one goes inside it...
      {"<html>a</html><p>b", "(html(body(p(\"a\")) html(p(\"b\"))))"},
      {"<html></html>x<b>y</b>", "(html(html(body(p(\"x\" b(\"y\"))))))"},
      // ... unless a comment came first or there is a doctype, wherever it is.
      {"<!--c--><html>a</html><p>b", "(html(body(p(\"a\"))) html(p(\"b\")))"},
      {"<html>a</html><!DOCTYPE html><p>b", "(html(body(p(\"a\"))) html(p(\"b\")))"},
      // A comment or a processing instruction ends a text; the next one is a node of its own.
      {"<p>a<!--c-->b<?pi?>c</p>", "(html(body(p(\"a\" \"b\" \"c\"))))"},
      {"<p>a<script>s</script>b</p>", "(html(body(p(\"a\" script(\"s\") \"b\"))))"},
      {"<frameset><frame></frameset><p>x", "(html(frameset(frame()) body(p(\"x\"))))"},
  };
  for (const auto& [page, shape] : cases) {
    const HtmlTree t = ParseHtmlTree(page);
    ASSERT_TRUE(t.ok) << page;
    EXPECT_EQ(Shape(t), shape) << page;
  }
}

TEST(HtmlTree, NothingToParseIsNoDocument) {
  const HtmlTree t = ParseHtmlTree("");
  EXPECT_FALSE(t.ok);
  EXPECT_TRUE(t.nodes.empty());
}

// The parser's default depth limit would drop everything after the 256th level.
TEST(HtmlTree, DeepNestingKeepsTheTextAfterIt) {
  constexpr int kDepth = 200000;
  std::string page;
  for (int i = 0; i < kDepth; ++i) page += "<div>";
  page += "deep";
  for (int i = 0; i < kDepth; ++i) page += "</div>";
  page += "<p>after</p>";
  const HtmlTree t = ParseHtmlTree(page);
  ASSERT_TRUE(t.ok);
  std::string texts;
  int deepest = 0;
  for (const HtmlNode& n : t.nodes) {
    if (n.kind == HtmlNode::Text) texts += std::string(t.Text(n)) + "|";
  }
  for (int at = 0; at >= 0 && at < static_cast<int>(t.nodes.size());) {
    const int c = t.nodes[at].firstChild;
    if (c < 0) break;
    at = c;
    ++deepest;
  }
  EXPECT_EQ(texts, "deep|after|");
  EXPECT_GT(deepest, kDepth);
}

std::string Attributes(size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to; ++i) out += " a" + std::to_string(i) + "=\"v\"";
  return out;
}

TEST(CapStartTagAttributes, KeepsTheFirstOnesOfAHostileTagOnly) {
  struct Case {
    std::string page, expected;
    size_t removed;
  };
  const std::string kept = Attributes(0, 256);
  const Case cases[] = {
      {"<p" + kept + ">x", "<p" + kept + ">x", 0},
      {"<p" + kept + Attributes(256, 300) + ">x</p>", "<p" + kept + " >x</p>", 44},
      {"<br" + kept + Attributes(256, 257) + "/>y", "<br" + kept + " />y", 1},
      // Quoted values, comments and the text of SCRIPT and STYLE hold no attributes.
      {"<p title='" + Attributes(0, 400) + "'>x", "<p title='" + Attributes(0, 400) + "'>x", 0},
      {"<!--<p" + Attributes(0, 400) + ">-->x", "<!--<p" + Attributes(0, 400) + ">-->x", 0},
      {"<script><p" + Attributes(0, 400) + "></script>", "<script><p" + Attributes(0, 400) + "></script>", 0},
      {"<STYLE><p" + Attributes(0, 400) + "></style><i" + kept + " b>", "<STYLE><p" + Attributes(0, 400) +
                                                                             "></style><i" + kept + " >",
       1},
      {"<script/><p" + kept + " b>", "<script/><p" + kept + " >", 1},
      {"<!-- open <p" + Attributes(0, 400) + ">", "<!-- open <p" + Attributes(0, 400) + ">", 0},
  };
  for (const Case& c : cases) {
    std::string page = c.page;
    EXPECT_EQ(CapStartTagAttributes(page), c.removed) << c.page.substr(0, 60);
    EXPECT_EQ(page, c.expected) << c.page.substr(0, 60);
  }
}

TEST(CapStartTagAttributes, TheParserSeesTheKeptAttributes) {
  std::string page = "<p" + Attributes(0, 1000) + ">x</p>";
  EXPECT_EQ(CapStartTagAttributes(page), 744u);
  const HtmlTree t = ParseHtmlTree(page);
  ASSERT_TRUE(t.ok);
  const HtmlNode& p = t.nodes[3];
  ASSERT_EQ(t.Name(p), "p");
  EXPECT_EQ(p.size, 256u);
  EXPECT_EQ(t.Attribute(p, "a255"), "v");
  EXPECT_EQ(t.Attribute(p, "a256"), "");
}

}  // namespace
}  // namespace yomira
