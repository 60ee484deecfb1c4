#include "platform/html/html_tree.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace yomira {
namespace {

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
char LowerAscii(char c) { return IsAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsLowerAscii(std::string_view lower, std::string_view any) {
  if (lower.size() != any.size()) return false;
  for (size_t i = 0; i < lower.size(); ++i)
    if (LowerAscii(any[i]) != lower[i]) return false;
  return true;
}

const char* Chars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Copies libxml2's tree into an HtmlTree while the parser builds it. The tree builder's own
// callbacks run unchanged, so the parser sees exactly the tree it would have built; each of
// ours then copies what was added and frees what the parser no longer reads: the children
// of a closed element, and every child of an element before its last one (the parser looks
// at the last child, and past trailing comments at the one before them, when it weighs a
// run of blanks).
class TreeCopier {
 public:
  TreeCopier(HtmlTree& tree, size_t pageBytes, size_t expectedNodes) : tree_(tree) {
    tree_.nodes.reserve(expectedNodes);
    // The texts are never longer than the page.
    tree_.text.reserve(pageBytes);
    tree_.nodes.emplace_back().kind = HtmlNode::Document;
  }

  static void Install(xmlSAXHandler& sax) {
    sax.startElement = StartElement;
    sax.endElement = EndElement;
    sax.characters = Characters;
    sax.cdataBlock = CdataBlock;
    sax.comment = Comment;
    sax.processingInstruction = ProcessingInstruction;
  }

 private:
  static TreeCopier& Of(void* ctx) { return *static_cast<TreeCopier*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }

  static void StartElement(void* ctx, const xmlChar* name, const xmlChar** atts) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    xmlSAX2StartElement(ctx, name, atts);
    xmlNodePtr e = ctxt->node;
    if (!e || e->_private || e->type != XML_ELEMENT_NODE) return;
    TreeCopier& self = Of(ctx);
    self.CopyElement(ctxt, e, name);
    self.Prune(ctxt, e->parent);
  }

  static void EndElement(void* ctx, const xmlChar* name) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    xmlNodePtr closed = ctxt->node;
    xmlSAX2EndElement(ctx, name);
    if (!closed || closed == ctxt->node || closed->type != XML_ELEMENT_NODE) return;
    // Copied when it opened; the parser looks at a closed element's name and type only.
    xmlFreeNodeList(closed->children);
    closed->children = closed->last = nullptr;
    xmlFreePropList(closed->properties);
    closed->properties = nullptr;
  }

  static void Characters(void* ctx, const xmlChar* ch, int len) { Text(ctx, ch, len, xmlSAX2Characters); }
  static void CdataBlock(void* ctx, const xmlChar* ch, int len) { Text(ctx, ch, len, xmlSAX2CDataBlock); }

  static void Text(void* ctx, const xmlChar* ch, int len, void (*add)(void*, const xmlChar*, int)) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    xmlNodePtr parent = ctxt->node;
    add(ctx, ch, len);
    if (!parent || !parent->last) return;  // text outside any element is dropped
    xmlNodePtr last = parent->last;
    if (last->type != XML_TEXT_NODE && last->type != XML_CDATA_SECTION_NODE) return;
    TreeCopier& self = Of(ctx);
    if (last->_private) {
      // The parser appended to its last text node.
      self.AppendText(Index(last), std::string_view(Chars(ch), static_cast<size_t>(std::max(len, 0))));
      return;
    }
    const char* content = last->content ? Chars(last->content) : "";
    HtmlNode node;
    node.kind = HtmlNode::Text;
    const int at = self.Add(ctxt, last, node);
    if (at >= 0) {
      self.tree_.nodes[static_cast<size_t>(at)].begin = self.TextEnd();
      self.AppendText(at, content);
    }
    self.Prune(ctxt, parent);
  }

  static void Comment(void* ctx, const xmlChar* value) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    xmlNodePtr parent = ctxt->node;
    xmlSAX2Comment(ctx, value);
    Of(ctx).Prune(ctxt, parent ? parent : reinterpret_cast<xmlNodePtr>(ctxt->myDoc));
  }

  static void ProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    xmlNodePtr parent = ctxt->node;
    xmlSAX2ProcessingInstruction(ctx, target, data);
    Of(ctx).Prune(ctxt, parent ? parent : reinterpret_cast<xmlNodePtr>(ctxt->myDoc));
  }

  // Our index of a copied node (in _private, plus one).
  static int Index(const xmlNode* x) { return static_cast<int>(reinterpret_cast<intptr_t>(x->_private)) - 1; }
  static void* Mark(int index) { return reinterpret_cast<void*>(static_cast<intptr_t>(index) + 1); }

  // Our index of a parent, -1 for a node we did not copy. The last child copied so far is
  // kept in the parent's psvi, which the HTML parser does not use.
  int ParentIndex(xmlParserCtxtPtr ctxt, xmlNodePtr parent, void**& lastChild) const {
    if (!parent) return -1;
    if (parent == reinterpret_cast<xmlNodePtr>(ctxt->myDoc)) {
      lastChild = &ctxt->myDoc->psvi;
      return 0;
    }
    if (parent->type != XML_ELEMENT_NODE || !parent->_private) return -1;
    lastChild = &parent->psvi;
    return Index(parent);
  }

  // Links node as the last child of x's parent; returns its index, -1 when dropped.
  int Add(xmlParserCtxtPtr ctxt, xmlNodePtr x, HtmlNode node) {
    void** lastChild = nullptr;
    const int parent = ParentIndex(ctxt, x->parent, lastChild);
    if (parent < 0 || tree_.nodes.size() >= static_cast<size_t>(INT_MAX)) return -1;
    const int index = static_cast<int>(tree_.nodes.size());
    node.parent = parent;
    if (!*lastChild)
      tree_.nodes[static_cast<size_t>(parent)].firstChild = index;
    else
      tree_.nodes[static_cast<size_t>(static_cast<int>(reinterpret_cast<intptr_t>(*lastChild)) - 1)].nextSibling = index;
    *lastChild = Mark(index);
    x->_private = Mark(index);
    tree_.nodes.push_back(node);
    return index;
  }

  uint32_t TextEnd() const { return static_cast<uint32_t>(std::min<size_t>(tree_.text.size(), UINT32_MAX)); }

  // Appends to the text of node at. Bytes after a NUL are not part of a text: libxml2's
  // texts are C strings.
  void AppendText(int at, std::string_view bytes) {
    HtmlNode& n = tree_.nodes[static_cast<size_t>(at)];
    if (at != lastText_) {
      lastText_ = at;
      textCut_ = false;
      if (static_cast<size_t>(n.begin) + n.size != tree_.text.size()) {
        // The parser only appends to the text it wrote last; should another ever grow,
        // it moves to the end first.
        const std::string copy = tree_.text.substr(n.begin, n.size);
        n.begin = TextEnd();
        tree_.text += copy;
      }
    }
    if (textCut_) return;
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
      bytes = bytes.substr(0, nul);
      textCut_ = true;
    }
    if (tree_.text.size() + bytes.size() > UINT32_MAX) return;
    tree_.text += bytes;
    n.size += static_cast<uint32_t>(bytes.size());
  }

  uint32_t NameId(std::string_view name) {
    std::string lower;
    if (std::any_of(name.begin(), name.end(), IsAsciiUpper)) {
      lower.assign(name);
      for (char& c : lower) c = LowerAscii(c);
      name = lower;
    }
    const auto it = nameIds_.find(name);
    if (it != nameIds_.end()) return it->second;
    const auto id = static_cast<uint32_t>(tree_.names.size());
    tree_.names.emplace_back(name);
    nameIds_.emplace(std::string(name), id);
    return id;
  }

  void CopyElement(xmlParserCtxtPtr ctxt, xmlNodePtr e, const xmlChar* parsedName) {
    HtmlNode node;
    node.kind = HtmlNode::Element;
    // The parser hands the same dictionary string for the same tag: look it up once.
    const char* name = e->name ? Chars(e->name) : "";
    const auto cached = tagIds_.find(parsedName);
    if (cached != tagIds_.end() && tree_.names[cached->second] == name) {
      node.name = cached->second;
    } else {
      node.name = NameId(name);
      tagIds_[parsedName] = node.name;
    }
    node.begin = static_cast<uint32_t>(tree_.attributes.size());
    for (const xmlAttr* a = e->properties; a; a = a->next) {
      HtmlAttribute attribute;
      attribute.name = NameId(a->name ? Chars(a->name) : "");
      attribute.begin = static_cast<uint32_t>(std::min<size_t>(tree_.values.size(), UINT32_MAX));
      for (const xmlNode* c = a->children; c; c = c->next)
        if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
          tree_.values += Chars(c->content);
      attribute.size = static_cast<uint32_t>(std::min<size_t>(tree_.values.size() - attribute.begin, UINT32_MAX));
      tree_.attributes.push_back(attribute);
      ++node.size;
    }
    Add(ctxt, e, node);
  }

  // Frees the children of parent that the parser will not look at again (see the class).
  // The document keeps its first child and its doctype, which the parser consults.
  void Prune(xmlParserCtxtPtr ctxt, xmlNodePtr parent) {
    if (!parent || !parent->last) return;
    const bool document = parent == reinterpret_cast<xmlNodePtr>(ctxt->myDoc);
    xmlNodePtr last = parent->last;
    xmlNodePtr keep = last;
    while (keep && keep->type == XML_COMMENT_NODE) keep = keep->prev;
    xmlNodePtr first = parent->children;
    for (xmlNodePtr c = first; c && c != last;) {
      xmlNodePtr next = c->next;
      if (c != keep && !(document && (c == first || c->type == XML_DTD_NODE))) {
        xmlUnlinkNode(c);
        xmlFreeNode(c);
      }
      c = next;
    }
  }

  HtmlTree& tree_;
  std::unordered_map<std::string, uint32_t, StringHash, std::equal_to<>> nameIds_;
  std::unordered_map<const xmlChar*, uint32_t> tagIds_;
  int lastText_ = -1;
  bool textCut_ = false;  // lastText_ has met a NUL
};

// libxml2 reads more input only through this; the page is all there from the start.
int NoMoreInput(void*, char*, int) { return 0; }

}  // namespace

std::string_view HtmlTree::Name(const HtmlNode& node) const {
  return node.kind == HtmlNode::Element ? std::string_view(names[node.name]) : std::string_view();
}

std::string_view HtmlTree::Text(const HtmlNode& node) const {
  return node.kind == HtmlNode::Text ? std::string_view(text).substr(node.begin, node.size) : std::string_view();
}

std::string_view HtmlTree::Attribute(const HtmlNode& node, std::string_view name) const {
  if (node.kind != HtmlNode::Element) return {};
  for (uint32_t i = node.begin; i < node.begin + node.size; ++i) {
    const HtmlAttribute& a = attributes[i];
    if (EqualsLowerAscii(names[a.name], name)) return std::string_view(values).substr(a.begin, a.size);
  }
  return {};
}

HtmlTree ParseHtmlTree(std::string_view utf8) {
  static std::once_flag init;
  std::call_once(init, [] { xmlInitParser(); });

  HtmlTree tree;
  if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX)) return tree;

  // As htmlReadMemory sets the parser up, but reading the page where it is instead of from
  // a copy of it, and with the tree copier around the tree builder.
  xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
  if (!ctxt) return tree;
  xmlParserInputBufferPtr buffer =
      xmlParserInputBufferCreateStatic(utf8.data(), static_cast<int>(utf8.size()), XML_CHAR_ENCODING_NONE);
  xmlParserInputPtr input = buffer ? xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE) : nullptr;
  if (!input) {
    if (buffer) xmlFreeParserInputBuffer(buffer);
    xmlFreeParserCtxt(ctxt);
    return tree;
  }
  buffer->readcallback = NoMoreInput;
  inputPush(ctxt, input);
  htmlDefaultSAXHandlerInit();
  if (ctxt->sax) std::memcpy(ctxt->sax, &htmlDefaultSAXHandler, sizeof(xmlSAXHandlerV1));

  // An element starts at "<", a text at or after one: twice the page's "<" count is room
  // for the nodes of about any page, so the array seldom has to move (and be held twice).
  // What is reserved and never written costs no memory.
  const size_t expectedNodes = 2 * static_cast<size_t>(std::count(utf8.begin(), utf8.end(), '<')) + 64;
  xmlDocPtr doc = nullptr;
  {
    TreeCopier copier(tree, utf8.size(), expectedNodes);
    if (ctxt->sax) TreeCopier::Install(*ctxt->sax);
    ctxt->_private = &copier;
    htmlCtxtUseOptions(ctxt, HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                 HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE);
    ctxt->html = 1;
    if (xmlCharEncodingHandlerPtr utf8Handler = xmlFindCharEncodingHandler("UTF-8")) {
      xmlSwitchToEncoding(ctxt, utf8Handler);
      if (ctxt->input->encoding) xmlFree(const_cast<xmlChar*>(ctxt->input->encoding));
      ctxt->input->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    }
    htmlParseDocument(ctxt);
    doc = ctxt->myDoc;
    ctxt->myDoc = nullptr;
    ctxt->_private = nullptr;
  }
  xmlFreeParserCtxt(ctxt);
  if (!doc) return HtmlTree();
  xmlFreeDoc(doc);
  tree.ok = true;
  return tree;
}

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsNameStart(char c) { return IsAsciiLetter(c) || c == '_' || c == ':' || c == '.'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-'; }

bool StartsWithNoCase(std::string_view s, size_t at, std::string_view lower) {
  return at + lower.size() <= s.size() && EqualsLowerAscii(lower, s.substr(at, lower.size()));
}

// Where the markup that starts at "<" at pos ends (just after it), for the kinds the parser
// reads as one piece; npos when it runs to the end of the page. Not for start tags.
size_t SkipMarkup(std::string_view s, size_t pos) {
  const auto after = [&](size_t found, size_t length) {
    return found == std::string_view::npos ? std::string_view::npos : found + length;
  };
  if (s.compare(pos, 4, "<!--") == 0) {
    // Ends at "-->" or "--!>" after the opening.
    for (size_t k = s.find("--", pos + 4); k != std::string_view::npos; k = s.find("--", k + 1)) {
      if (k + 2 < s.size() && s[k + 2] == '>') return k + 3;
      if (k + 3 < s.size() && s[k + 2] == '!' && s[k + 3] == '>') return k + 4;
    }
    return std::string_view::npos;
  }
  // A doctype, a processing instruction or an end tag: up to the next ">".
  return after(s.find('>', pos + 2), 1);
}

}  // namespace

size_t CapStartTagAttributes(std::string& page) {
  // The parser stops reading at a NUL; what follows is left as it is.
  const std::string_view s(page.data(), std::min(page.size(), page.find('\0')));
  const size_t end = s.size();
  size_t removed = 0;
  size_t write = 0, kept = 0;  // page[0, write) is final; page[kept, ...) is still to move there
  const auto drop = [&](size_t from, size_t to) {
    if (write != kept) std::memmove(page.data() + write, page.data() + kept, from - kept);
    write += from - kept;
    kept = to;
  };
  size_t i = 0;
  while (i < end) {
    i = s.find('<', i);
    if (i == std::string_view::npos || i + 1 >= end) break;
    const char next = s[i + 1];
    if (next == '!' || next == '?' || next == '/') {
      const bool markup = next == '?' || (next == '/' && i + 2 < end && IsNameStart(s[i + 2])) ||
                          s.compare(i, 4, "<!--") == 0 || StartsWithNoCase(s, i + 2, "doctype");
      if (!markup) {
        ++i;  // read as text
        continue;
      }
      i = SkipMarkup(s, i);
      continue;
    }
    if (!IsAsciiLetter(next)) {
      ++i;
      continue;
    }
    // A start tag, read as the parser reads it: name, then attributes (name, blanks, "=",
    // blanks, a quoted or bare value) and stray bytes up to ">" or "/>".
    size_t j = i + 1;
    while (j < end && IsNameChar(s[j])) ++j;
    const std::string_view tag = s.substr(i + 1, j - i - 1);
    size_t count = 0, cutFrom = std::string_view::npos;
    for (;;) {
      while (j < end && IsBlank(s[j])) ++j;
      if (j >= end || s[j] == '>' || (s[j] == '/' && j + 1 < end && s[j + 1] == '>')) break;
      if (!IsNameStart(s[j])) {
        while (j < end && !IsBlank(s[j]) && s[j] != '>' && !(s[j] == '/' && j + 1 < end && s[j + 1] == '>')) ++j;
        continue;
      }
      if (++count == kMaxStartTagAttributes + 1) cutFrom = j;
      while (j < end && IsNameChar(s[j])) ++j;
      while (j < end && IsBlank(s[j])) ++j;
      if (j >= end || s[j] != '=') continue;
      ++j;
      while (j < end && IsBlank(s[j])) ++j;
      if (j < end && (s[j] == '"' || s[j] == '\'')) {
        const size_t close = s.find(s[j], j + 1);
        j = close == std::string_view::npos ? end : close + 1;
      } else {
        while (j < end && !IsBlank(s[j]) && s[j] != '>') ++j;
      }
    }
    if (cutFrom != std::string_view::npos) {
      drop(cutFrom, j);
      removed += count - kMaxStartTagAttributes;
    }
    if (j >= end) break;
    const bool selfClosing = s[j] == '/';
    i = j + (selfClosing ? 2 : 1);
    // The text of SCRIPT and STYLE runs to the first "</" and its name, in any case.
    const bool rawText = EqualsLowerAscii("script", tag) || EqualsLowerAscii("style", tag);
    if (rawText && !selfClosing) {
      std::string lower(tag);
      for (char& c : lower) c = LowerAscii(c);
      size_t close = s.find("</", i);
      while (close != std::string_view::npos && !StartsWithNoCase(s, close + 2, lower)) close = s.find("</", close + 1);
      i = close;
    }
  }
  if (removed == 0) return 0;
  drop(page.size(), page.size());
  page.resize(write);
  return removed;
}

}  // namespace yomira
