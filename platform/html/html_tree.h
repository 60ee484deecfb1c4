// An HTML page as a flat, read-only tree: libxml2's forgiving HTML parser reads the page,
// the result is copied into plain nodes and libxml2's document is freed at once. Nothing
// here recurses, so a page nested a hundred thousand levels deep is walked like any other.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yomira {

struct HtmlNode {
  enum Kind : unsigned char { Document, Element, Text };
  Kind kind = Element;
  std::string name;  // element: lower-case tag name
  std::string text;  // text: UTF-8 with entities decoded
  std::vector<std::pair<std::string, std::string>> attributes;  // lower-case name, UTF-8 value
  int parent = -1;
  int firstChild = -1;
  int nextSibling = -1;
};

struct HtmlTree {
  bool ok = false;              // false when the parser gave no document
  std::vector<HtmlNode> nodes;  // nodes[0] is the document when ok; then document order
};

// Parses UTF-8 text (a broken page is repaired, never refused). Comments, processing
// instructions and the doctype are dropped.
HtmlTree ParseHtmlTree(std::string_view utf8);

// The value of the attribute name (compared without regard to ASCII case); "" when missing.
const std::string& HtmlAttribute(const HtmlNode& node, std::string_view name);

}  // namespace yomira
