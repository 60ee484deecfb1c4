#include "platform/html/html_tree.h"

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/text/utf8.h"

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

// Builds an HtmlTree from the parser's events the way libxml2's own tree builder (SAX2)
// would lay its tree out, with no libxml2 tree at all. The HTML parser itself repairs the
// page (implied HTML, BODY and P, auto-closed elements) from its stack of open names, not
// from the tree: with blanks kept, the one place it reads the tree (to weigh a run of
// blanks) decides nothing. What the builder has to match is where SAX2 puts each node:
// - a text joins the previous child when that is a text of the same kind (a text or the
//   raw text of SCRIPT and STYLE), else it starts a new node; text with no open element is
//   dropped;
// - an element opened with none open goes under the document's first child when that is
//   an element and there is no doctype, else under the document;
// - an element's name loses a namespace prefix ("o:p" is "p"); attributes keep theirs, and
//   a bare boolean one has its name as its value.
class SaxBuilder {
 public:
  SaxBuilder(HtmlTree& tree, size_t pageBytes, size_t expectedNodes) : tree_(tree) {
    tree_.nodes.reserve(expectedNodes);
    tree_.attributes.reserve(expectedNodes / 8);
    // The texts are never longer than the page.
    tree_.text.reserve(pageBytes);
    tree_.nodes.emplace_back().kind = HtmlNode::Document;
  }

  static void Install(xmlSAXHandler& sax) {
    sax.startElement = StartElement;
    sax.endElement = EndElement;
    sax.characters = Characters;
    sax.cdataBlock = CdataBlock;
    sax.ignorableWhitespace = nullptr;  // blanks are kept: the parser hands them to characters
    sax.comment = Comment;
    sax.processingInstruction = ProcessingInstruction;
  }

 private:
  // What SAX2 would have as the last child of a node, as far as a following text cares.
  enum Last : unsigned char { kNone, kElement, kText, kRawText, kOther };
  struct Open {
    int index;      // -1: not kept (the array is full); nothing under it is kept either
    int lastChild;  // our last child of it, -1 when none
    Last last;
  };

  static SaxBuilder& Of(void* ctx) { return *static_cast<SaxBuilder*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }

  static void StartElement(void* ctx, const xmlChar* name, const xmlChar** atts) {
    Of(ctx).Start(static_cast<xmlParserCtxtPtr>(ctx), name, atts);
  }
  static void EndElement(void* ctx, const xmlChar*) { Of(ctx).End(); }
  static void Characters(void* ctx, const xmlChar* ch, int len) { Of(ctx).AddText(ch, len, kText); }
  static void CdataBlock(void* ctx, const xmlChar* ch, int len) { Of(ctx).AddText(ch, len, kRawText); }
  static void Comment(void* ctx, const xmlChar*) { Of(ctx).Other(); }
  static void ProcessingInstruction(void* ctx, const xmlChar*, const xmlChar*) { Of(ctx).Other(); }

  // Appends node under parent, after its last child; returns its index, -1 when dropped.
  int Link(int parent, int& lastChild, HtmlNode node) {
    if (parent < 0 || tree_.nodes.size() >= static_cast<size_t>(INT_MAX)) return -1;
    const int index = static_cast<int>(tree_.nodes.size());
    node.parent = parent;
    if (lastChild < 0)
      tree_.nodes[static_cast<size_t>(parent)].firstChild = index;
    else
      tree_.nodes[static_cast<size_t>(lastChild)].nextSibling = index;
    lastChild = index;
    tree_.nodes.push_back(node);
    return index;
  }

  void Start(xmlParserCtxtPtr ctxt, const xmlChar* name, const xmlChar** atts) {
    HtmlNode node;
    node.kind = HtmlNode::Element;
    node.name = TagId(name);
    node.begin = static_cast<uint32_t>(tree_.attributes.size());
    if (atts) {
      for (size_t i = 0; atts[i]; i += 2) {
        HtmlAttribute attribute;
        attribute.name = NameId(Chars(atts[i]));
        attribute.begin = static_cast<uint32_t>(std::min<size_t>(tree_.values.size(), UINT32_MAX));
        // SAX2 gives a bare boolean attribute ("nowrap") its name as its value.
        const xmlChar* value = atts[i + 1] ? atts[i + 1] : htmlIsBooleanAttr(atts[i]) ? atts[i] : nullptr;
        if (value) tree_.values += Chars(value);
        attribute.size = static_cast<uint32_t>(std::min<size_t>(tree_.values.size() - attribute.begin, UINT32_MAX));
        tree_.attributes.push_back(attribute);
        ++node.size;
      }
    }
    int index;
    if (!open_.empty()) {
      Open& parent = open_.back();
      index = Link(parent.index, parent.lastChild, node);
      parent.last = kElement;
    } else if (ctxt->myDoc && ctxt->myDoc->intSubset) {
      index = Link(0, documentLast_, node);  // beside the doctype
    } else if (documentFirst_ == kNone) {
      index = Link(0, documentLast_, node);
      documentFirst_ = kElement;
      root_ = index;
    } else if (documentFirst_ == kElement) {
      index = Link(root_, rootLast_, node);  // SAX2 puts it in the closed first element
    } else {
      index = Link(0, documentLast_, node);  // beside a leading comment
    }
    open_.push_back({index, -1, kNone});
  }

  void End() {
    if (open_.empty()) return;
    if (open_.size() == 1 && open_.back().index == root_ && root_ >= 0) rootLast_ = open_.back().lastChild;
    open_.pop_back();
  }

  void Other() {
    if (!open_.empty())
      open_.back().last = kOther;
    else if (documentFirst_ == kNone)
      documentFirst_ = kOther;
  }

  void AddText(const xmlChar* ch, int len, Last kind) {
    if (open_.empty()) return;  // text outside any element is dropped
    Open& parent = open_.back();
    const std::string_view bytes(Chars(ch), static_cast<size_t>(std::max(len, 0)));
    if (parent.last == kind) {
      if (parent.lastChild >= 0 && tree_.nodes[static_cast<size_t>(parent.lastChild)].kind == HtmlNode::Text)
        AppendText(parent.lastChild, bytes);
      return;
    }
    parent.last = kind;
    HtmlNode node;
    node.kind = HtmlNode::Text;
    node.begin = TextEnd();
    const int at = Link(parent.index, parent.lastChild, node);
    if (at >= 0) AppendText(at, bytes);
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
        // Only the text written last grows; should another ever do, it moves to the end.
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

  // The parser hands the same string (from its dictionary, or a literal for an implied
  // element) for the same tag: each is looked up once.
  uint32_t TagId(const xmlChar* parsed) {
    if (parsed == lastTag_) return lastTagId_;
    const auto cached = tagIds_.find(parsed);
    uint32_t id;
    if (cached != tagIds_.end()) {
      id = cached->second;
    } else {
      id = NameId(LocalName(parsed ? Chars(parsed) : ""));
      tagIds_.emplace(parsed, id);
    }
    lastTag_ = parsed;
    lastTagId_ = id;
    return id;
  }

  // The name without a namespace prefix, as SAX2 splits it: after the first ":" unless
  // the name starts or ends with it there.
  static std::string_view LocalName(std::string_view name) {
    const size_t colon = name.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == name.size()) return name;
    return name.substr(colon + 1);
  }

  HtmlTree& tree_;
  std::vector<Open> open_;
  Last documentFirst_ = kNone;  // what came first under the document
  int root_ = -1;               // the document's first child when that is an element
  int rootLast_ = -1;           // its last child once it is closed
  int documentLast_ = -1;
  std::unordered_map<std::string, uint32_t, StringHash, std::equal_to<>> nameIds_;
  std::unordered_map<const xmlChar*, uint32_t> tagIds_;
  const xmlChar* lastTag_ = nullptr;
  uint32_t lastTagId_ = 0;
  int lastText_ = -1;
  bool textCut_ = false;  // lastText_ has met a NUL
};

// Whether the parser would take the page's first bytes for the mark of an encoding other
// than UTF-8 ("<?xm" is UTF-8's and changes nothing).
bool StartsLikeAnotherEncoding(std::string_view page) {
  if (page.size() < 4) return true;
  const xmlCharEncoding found = xmlDetectCharEncoding(reinterpret_cast<const unsigned char*>(page.data()), 4);
  return found != XML_CHAR_ENCODING_NONE && !(found == XML_CHAR_ENCODING_UTF8 && page.compare(0, 3, "\xEF\xBB\xBF") != 0);
}

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

HtmlTree ParseHtmlTree(const std::string& utf8) {
  static std::once_flag init;
  std::call_once(init, [] { xmlInitParser(); });

  HtmlTree tree;
  if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX)) return tree;

  // As htmlReadMemory sets the parser up, but reading the page where it is instead of from
  // a copy of it, and with the builder in place of libxml2's tree builder.
  xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
  if (!ctxt) return tree;
  // The parser reads its input as UTF-8 either way; with an encoder set it first copies the
  // whole page through it. Only a page that is not UTF-8 throughout needs one: without, a
  // byte that is no UTF-8 would switch the parser to Latin-1. A page that starts the way
  // another encoding would (a byte order mark, UTF-16) keeps it too, so that the parser's
  // own look at the first bytes finds what it always found.
  const bool encoder = !IsValidUtf8(utf8) || StartsLikeAnotherEncoding(utf8);
  xmlParserInputPtr input = nullptr;
  if (encoder) {
    xmlParserInputBufferPtr buffer =
        xmlParserInputBufferCreateStatic(utf8.data(), static_cast<int>(utf8.size()), XML_CHAR_ENCODING_NONE);
    input = buffer ? xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE) : nullptr;
    if (buffer && !input) xmlFreeParserInputBuffer(buffer);
    if (buffer) buffer->readcallback = NoMoreInput;
  } else {
    // A bare input over the page, which ends in a NUL as the parser wants: no buffer to
    // grow, shrink or convert.
    input = xmlNewInputStream(ctxt);
    if (input) {
      input->base = input->cur = reinterpret_cast<const xmlChar*>(utf8.c_str());
      input->length = static_cast<int>(utf8.size());
      input->end = input->base + utf8.size();
    }
  }
  if (!input) {
    xmlFreeParserCtxt(ctxt);
    return tree;
  }
  inputPush(ctxt, input);
  htmlDefaultSAXHandlerInit();
  if (ctxt->sax) std::memcpy(ctxt->sax, &htmlDefaultSAXHandler, sizeof(xmlSAXHandlerV1));

  // An element starts at "<", a text at or after one: twice the page's "<" count is room
  // for the nodes of about any page, so the array seldom has to move (and be held twice).
  // What is reserved and never written costs no memory.
  const size_t expectedNodes = 2 * static_cast<size_t>(std::count(utf8.begin(), utf8.end(), '<')) + 64;
  xmlDocPtr doc = nullptr;
  {
    SaxBuilder builder(tree, utf8.size(), expectedNodes);
    if (ctxt->sax) SaxBuilder::Install(*ctxt->sax);
    ctxt->_private = &builder;
    htmlCtxtUseOptions(ctxt, HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                 HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE);
    ctxt->html = 1;
    if (encoder) {
      if (xmlCharEncodingHandlerPtr utf8Handler = xmlFindCharEncodingHandler("UTF-8"))
        xmlSwitchToEncoding(ctxt, utf8Handler);
    }
    // A META charset must not switch it either.
    if (ctxt->input->encoding) xmlFree(const_cast<xmlChar*>(ctxt->input->encoding));
    ctxt->input->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    htmlParseDocument(ctxt);
    // SAX2 still made the document: it holds no more than the doctype.
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
