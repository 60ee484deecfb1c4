// An HTML page as a flat, read-only tree: libxml2's forgiving HTML parser reads the page and
// its events build plain nodes directly, laid out as libxml2's own tree builder would lay
// its tree, which is never built. Nothing here recurses, so a page nested a hundred thousand
// levels deep is walked like any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yomira {

// 28 bytes: a large page has millions of nodes, their texts and names live in the tree.
struct HtmlNode {
  enum Kind : unsigned char { Document, Element, Text };
  Kind kind = Element;
  uint32_t name = 0;   // element: index in HtmlTree::names (lower-case tag name)
  uint32_t begin = 0;  // text: offset in HtmlTree::text; element: first of its HtmlTree::attributes
  uint32_t size = 0;   // text: bytes; element: number of attributes
  int parent = -1;
  int firstChild = -1;
  int nextSibling = -1;
};

struct HtmlAttribute {
  uint32_t name = 0;   // index in HtmlTree::names (lower case)
  uint32_t begin = 0;  // the UTF-8 value in HtmlTree::values
  uint32_t size = 0;
};

struct HtmlTree {
  bool ok = false;              // false when the parser gave no document
  std::vector<HtmlNode> nodes;  // nodes[0] is the document when ok; then document order
  std::vector<std::string> names;         // element and attribute names, each once
  std::vector<HtmlAttribute> attributes;  // of each element in turn
  std::string text;                       // the texts (UTF-8, entities decoded) one after another
  std::string values;                     // the attribute values one after another

  // The tag name of an element, "" for other nodes.
  std::string_view Name(const HtmlNode& node) const;
  // The text of a text node, "" for other nodes.
  std::string_view Text(const HtmlNode& node) const;
  // The value of the attribute name (compared without regard to ASCII case); "" when missing.
  std::string_view Attribute(const HtmlNode& node, std::string_view name) const;
};

// Parses UTF-8 text (a broken page is repaired, never refused). Comments, processing
// instructions and the doctype are dropped.
HtmlTree ParseHtmlTree(const std::string& utf8);

// The most attributes a start tag keeps in CapStartTagAttributes.
constexpr size_t kMaxStartTagAttributes = 256;

// Removes, in place, every attribute after the first kMaxStartTagAttributes of each start
// tag, read the way the parser reads the page (quoted values, comments and the raw text of
// SCRIPT and STYLE are no tags). Returns the number of attributes removed. The parser checks
// each attribute against all earlier ones of its tag, so a tag with tens of thousands costs
// seconds; no real page comes near the limit, a page with more is hostile.
size_t CapStartTagAttributes(std::string& page);

}  // namespace yomira
