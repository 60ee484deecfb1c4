#include "platform/html/html_tree.h"

#include <gtest/gtest.h>

#include <string>

namespace yomira {
namespace {

// The tree in a compact form: elements as name[attr=value]( children ), texts quoted.
std::string Shape(const HtmlTree& t, int at = 0) {
  std::string out;
  const HtmlNode& n = t.nodes[at];
  if (n.kind == HtmlNode::Text) return '"' + n.text + '"';
  if (n.kind == HtmlNode::Element) {
    out = n.name;
    for (const auto& [k, v] : n.attributes) out += '[' + k + '=' + v + ']';
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
  ASSERT_EQ(img.name, "img");
  EXPECT_EQ(HtmlAttribute(img, "SRC"), "a b.png");
  EXPECT_EQ(HtmlAttribute(img, "Alt"), "");
  EXPECT_EQ(HtmlAttribute(img, "title"), "");
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
    if (n.kind == HtmlNode::Text) texts += n.text + "|";
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

}  // namespace
}  // namespace yomira
