#include "platform/html/html_tree.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>
#include <mutex>

namespace yomira {
namespace {

std::string LowerAscii(const char* s) {
  std::string out = s ? s : "";
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool EqualsLowerAscii(std::string_view lower, std::string_view any) {
  if (lower.size() != any.size()) return false;
  for (size_t i = 0; i < lower.size(); ++i) {
    char c = any[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

const char* Chars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

std::string AttributeValue(const xmlAttr* attr) {
  std::string value;
  for (const xmlNode* c = attr->children; c; c = c->next)
    if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content) value += Chars(c->content);
  return value;
}

// Our node for a libxml2 node, or false for a node we drop (with everything under it).
bool Convert(const xmlNode* x, HtmlNode& out) {
  switch (x->type) {
    case XML_ELEMENT_NODE:
      out.kind = HtmlNode::Element;
      out.name = LowerAscii(Chars(x->name));
      for (const xmlAttr* a = x->properties; a; a = a->next)
        out.attributes.emplace_back(LowerAscii(Chars(a->name)), AttributeValue(a));
      return true;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
      out.kind = HtmlNode::Text;
      if (x->content) out.text = Chars(x->content);
      return true;
    default:
      return false;
  }
}

}  // namespace

HtmlTree ParseHtmlTree(std::string_view utf8) {
  static std::once_flag init;
  std::call_once(init, [] { xmlInitParser(); });

  HtmlTree tree;
  if (utf8.size() > static_cast<size_t>(INT_MAX)) return tree;
  htmlDocPtr doc = htmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                                  HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                      HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE);
  if (!doc) return tree;
  tree.ok = true;
  tree.nodes.emplace_back().kind = HtmlNode::Document;

  // Pre-order walk by the libxml2 links themselves; `last` holds, per open level, the index
  // of the last child copied so far, to chain the next sibling.
  std::vector<int> last{-1};
  int parent = 0;
  const xmlNode* x = doc->children;
  while (x) {
    HtmlNode node;
    const bool kept = Convert(x, node);
    if (kept) {
      const int index = static_cast<int>(tree.nodes.size());
      node.parent = parent;
      if (last.back() < 0)
        tree.nodes[parent].firstChild = index;
      else
        tree.nodes[last.back()].nextSibling = index;
      last.back() = index;
      tree.nodes.push_back(std::move(node));
      if (x->type == XML_ELEMENT_NODE && x->children) {
        parent = index;
        last.push_back(-1);
        x = x->children;
        continue;
      }
    }
    // Next in pre-order: a sibling, else the sibling of the nearest ancestor that has one.
    while (x && !x->next) {
      x = x->parent;
      if (!x || x == reinterpret_cast<const xmlNode*>(doc)) {
        x = nullptr;
        break;
      }
      last.pop_back();
      parent = tree.nodes[parent].parent;
    }
    if (x) x = x->next;
  }
  xmlFreeDoc(doc);
  return tree;
}

const std::string& HtmlAttribute(const HtmlNode& node, std::string_view name) {
  static const std::string empty;
  for (const auto& [key, value] : node.attributes)
    if (EqualsLowerAscii(key, name)) return value;
  return empty;
}

}  // namespace yomira
