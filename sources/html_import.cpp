#include "sources/html_import.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_map>

#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "sources/document_sources.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

constexpr std::string_view kRubyOpen = "\x0B《\x0B";
constexpr std::string_view kRubyClose = "\x0B》\x0B";
constexpr std::string_view kNbsp = "\xC2\xA0";
constexpr std::string_view kComeMark = "※";  // U+203B, cp932 81 A6
// A link's text is read from at most this many nodes under it: a pathological nest of
// links must not make the import quadratic.
constexpr size_t kLinkTextNodes = 20000;

// The kinds of what the walk asks the renderer to write around or in place of an element;
// the first handler that takes an element is its only one.
enum Decoration : unsigned char {
  kPlain = 0,
  kBarBefore,     // "｜" before the element
  kOpenReading,   // the element's own text replaced by kRubyOpen
  kCloseReading,  // ... by kRubyClose
  kRuleAfter,     // 80 "-" and a line break after the element
  kNoteAfter,     // a note (UTF-8) after the element
};
// The decorations of a page, by node index.
struct Decorations {
  explicit Decorations(size_t nodes) : kind(nodes, kPlain) {}
  std::vector<unsigned char> kind;
  std::unordered_map<int, std::string> notes;
  size_t bytes = 0;  // at most what they write
};

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiAlpha(char c) { return IsAsciiUpper(c) || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (IsAsciiUpper(c)) c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// HTML's own white space; VT is not among it (and std::isspace must not be used).
bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Page text without the bytes that would mean something else in our lines: VT frames the
// ruby brackets the import itself writes, and a NUL never belongs in a line.
std::string WithoutVtOrNul(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s)
    if (c != '\x0B' && c != '\0') out += c;
  return out;
}

enum Role : unsigned char { kInline = 0, kHidden = 1, kBlock = 2, kPreformatted = 4, kCell = 8, kLineBreak = 16 };

// How the plain text treats an element. HEAD is not hidden: libxml2 keeps an element it does
// not know (RUBY, ARTICLE) that comes before the body inside HEAD, text and all.
unsigned RoleOf(std::string_view name) {
  static const std::unordered_map<std::string_view, unsigned> roles = [] {
    std::unordered_map<std::string_view, unsigned> m;
    for (const char* n : {"title", "script", "style", "noscript", "template", "iframe", "object", "embed", "select",
                          "textarea", "svg", "math", "img"})
      m[n] = kHidden;
    for (const char* n : {"address", "article", "aside", "blockquote", "body", "caption", "center", "dd", "details",
                          "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure", "footer", "form",
                          "h1", "h2", "h3", "h4", "h5", "h6", "header", "hgroup", "hr", "legend", "li", "main", "menu",
                          "nav", "ol", "p", "section", "summary", "table", "tr", "ul"})
      m[n] = kBlock;
    m["pre"] = m["listing"] = kBlock | kPreformatted;
    m["xmp"] = m["plaintext"] = kPreformatted;
    m["td"] = m["th"] = kCell;
    m["br"] = kLineBreak;
    return m;
  }();
  const auto it = roles.find(name);
  return it == roles.end() ? static_cast<unsigned>(kInline) : it->second;
}

std::vector<unsigned char> RolesOf(const HtmlTree& tree) {
  std::vector<unsigned char> roles(tree.names.size());
  for (size_t i = 0; i < roles.size(); ++i) roles[i] = static_cast<unsigned char>(RoleOf(tree.names[i]));
  return roles;
}

// Plain text of a subtree, as a browser renders it: blocks and BR end lines, blanks
// collapse outside preformatted text, cells of a row are separated by TABs. Each node costs
// the same whatever the page around it.
class TextRenderer {
 public:
  TextRenderer(const HtmlTree& tree, const std::vector<unsigned char>& roles, const Decorations* decorations)
      : tree_(tree), roles_(roles), decorations_(decorations) {}

  // Walks root and everything under it, at most budget nodes. The result has no line
  // break at either end. expectedBytes: room to make at once.
  std::string Render(int root, size_t budget = SIZE_MAX, size_t expectedBytes = 0) {
    const std::vector<HtmlNode>& nodes = tree_.nodes;
    out_.reserve(expectedBytes);
    cellSeen_.assign(1, CellBefore(root));
    int at = root;
    while (at >= 0 && budget-- > 0) {
      const bool descend = Enter(at);
      if (descend && nodes[at].firstChild >= 0) {
        at = nodes[at].firstChild;
        cellSeen_.push_back(false);
        continue;
      }
      // Leave at, then every ancestor up to one with a next sibling, root excluded.
      for (;;) {
        Leave(at);
        if (at == root) {
          at = -1;
          break;
        }
        if (nodes[at].nextSibling >= 0) {
          at = nodes[at].nextSibling;
          break;
        }
        at = nodes[at].parent;
        cellSeen_.pop_back();
      }
    }
    size_t end = out_.size();
    while (end > 0 && (out_[end - 1] == '\n' || out_[end - 1] == '\r')) --end;
    out_.resize(end);
    size_t begin = 0;
    while (begin < end && (out_[begin] == '\n' || out_[begin] == '\r')) ++begin;
    out_.erase(0, begin);
    return std::move(out_);
  }

 private:
  Decoration DecorationOf(int at) const {
    return decorations_ ? static_cast<Decoration>(decorations_->kind[static_cast<size_t>(at)]) : kPlain;
  }
  unsigned RoleAt(const HtmlNode& n) const { return n.kind == HtmlNode::Element ? roles_[n.name] : static_cast<unsigned>(kInline); }

  // Whether a cell comes before at among its siblings; for the root only, the walk knows
  // it for every other node.
  bool CellBefore(int at) const {
    const HtmlNode& n = tree_.nodes[at];
    if (!(RoleAt(n) & kCell) || n.parent < 0) return false;
    for (int s = tree_.nodes[n.parent].firstChild; s >= 0 && s != at; s = tree_.nodes[s].nextSibling)
      if (RoleAt(tree_.nodes[s]) & kCell) return true;
    return false;
  }

  bool LineEmpty() const { return out_.size() == lineStart_; }
  void Break() {
    out_ += '\n';
    lineStart_ = out_.size();
    pendingBlank_ = false;
  }
  void Boundary() {
    if (!LineEmpty()) Break();
    pendingBlank_ = false;
  }
  void BeforeContent() {
    if (pendingBlank_ && !LineEmpty()) out_ += ' ';
    pendingBlank_ = false;
  }
  // Text written as it stands (decorations): never collapsed.
  void Verbatim(std::string_view s) {
    if (s.empty()) return;
    BeforeContent();
    const size_t at = out_.size();
    out_ += s;
    const size_t nl = s.rfind('\n');
    if (nl != std::string_view::npos) lineStart_ = at + nl + 1;
  }

  void Text(std::string_view s) {
    if (preDepth_ > 0) {
      for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\r' || c == '\n') {
          if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
          Break();
        } else if (c != '\x0B' && c != '\0') {
          out_ += c;
        }
      }
      return;
    }
    for (size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      if (IsHtmlSpace(c)) {
        pendingBlank_ = true;
      } else if (c == '\x0B' || c == '\0') {
        // dropped: see WithoutVtOrNul
      } else if (c == kNbsp[0] && i + 1 < s.size() && s[i + 1] == kNbsp[1]) {
        BeforeContent();
        out_ += ' ';
        ++i;
      } else {
        BeforeContent();
        out_ += c;
      }
    }
  }

  // Returns whether the children are rendered.
  bool Enter(int at) {
    const HtmlNode& n = tree_.nodes[at];
    if (n.kind == HtmlNode::Text) {
      const Decoration parent = n.parent >= 0 ? DecorationOf(n.parent) : kPlain;
      if (parent != kOpenReading && parent != kCloseReading) Text(tree_.Text(n));
      return false;
    }
    if (n.kind != HtmlNode::Element) return true;
    const Decoration d = DecorationOf(at);
    if (d == kBarBefore) Verbatim("｜");
    const unsigned role = roles_[n.name];
    if (role & kHidden) return false;
    if (role & kLineBreak) {
      Break();
    } else if (role & kBlock) {
      Boundary();
    } else if (role & kCell) {
      if (cellSeen_.back()) {
        pendingBlank_ = false;
        out_ += '\t';
      }
      cellSeen_.back() = true;
    }
    if (role & kPreformatted) ++preDepth_;
    if (d == kOpenReading) Verbatim(kRubyOpen);
    if (d == kCloseReading) Verbatim(kRubyClose);
    return true;
  }

  void Leave(int at) {
    const HtmlNode& n = tree_.nodes[at];
    if (n.kind != HtmlNode::Element) return;
    const unsigned role = roles_[n.name];
    if (!(role & kHidden)) {
      if (role & kPreformatted) --preDepth_;
      if (role & kBlock) Boundary();
    }
    const Decoration d = DecorationOf(at);
    if (d == kNoteAfter) {
      Verbatim(decorations_->notes.at(at));
    } else if (d == kRuleAfter) {
      static const std::string rule(80, '-');
      Verbatim(rule);
      Break();
    }
  }

  const HtmlTree& tree_;
  const std::vector<unsigned char>& roles_;
  const Decorations* decorations_;
  std::string out_;
  size_t lineStart_ = 0;
  bool pendingBlank_ = false;
  int preDepth_ = 0;
  std::vector<bool> cellSeen_;  // per open level: a cell has been entered there
};

// The text of the first TITLE element: TABs removed, other blanks collapsed, trimmed.
std::string PageTitle(const HtmlTree& tree) {
  for (size_t i = 0; i < tree.nodes.size(); ++i) {
    const HtmlNode& n = tree.nodes[i];
    if (tree.Name(n) != "title") continue;
    std::string raw;
    for (int c = n.firstChild; c >= 0; c = tree.nodes[c].nextSibling) raw += tree.Text(tree.nodes[c]);
    std::string title;
    bool blank = false;
    for (const char c : WithoutVtOrNul(raw)) {
      if (c == '\t') continue;
      if (c == ' ' || c == '\r' || c == '\n' || c == '\f') {
        blank = true;
        continue;
      }
      if (blank && !title.empty()) title += ' ';
      blank = false;
      title += c;
    }
    return title;
  }
  return {};
}

// "scheme" of an href that starts with one (RFC 3986), else "".
std::string_view SchemeOf(std::string_view href) {
  const size_t colon = href.find(':');
  if (colon == std::string_view::npos || colon == 0) return {};
  const size_t stop = href.find_first_of("/?#");
  if (stop != std::string_view::npos && stop < colon) return {};
  if (!IsAsciiAlpha(href[0])) return {};
  for (size_t i = 1; i < colon; ++i) {
    const char c = href[i];
    if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.') return {};
  }
  return href.substr(0, colon);
}

// An absolute URL with its scheme and host in lower case, the rest as written.
std::string LowerSchemeAndHost(std::string_view url, size_t schemeLength) {
  std::string out = LowerAscii(url.substr(0, schemeLength)) + std::string(url.substr(schemeLength));
  const size_t authority = schemeLength + 1;
  if (out.compare(authority, 2, "//") != 0) return out;
  size_t end = out.find_first_of("/?#", authority + 2);
  if (end == std::string::npos) end = out.size();
  const size_t at = out.rfind('@', end);
  size_t host = at != std::string::npos && at >= authority + 2 ? at + 1 : authority + 2;
  for (; host < end; ++host)
    if (IsAsciiUpper(out[host])) out[host] = static_cast<char>(out[host] - 'A' + 'a');
  return out;
}

int HexValue(char c) {
  if (IsAsciiDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX escapes decoded; the text as written when that would not be UTF-8 or would hold a NUL.
std::string PercentDecoded(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      const char c = static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      if (c == '\0') return std::string(s);
      out += c;
      i += 2;
    } else {
      out += s[i];
    }
  }
  return IsValidUtf8(out) ? out : std::string(s);
}

// libxml2 drops a "<" that starts the page without starting markup ("<3", a lone "<");
// written as a reference it stays text, as anywhere else in the page.
void KeepLeadingLessThan(std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsHtmlSpace(text[i])) ++i;
  if (i >= text.size() || text[i] != '<') return;
  const char next = i + 1 < text.size() ? text[i + 1] : '\0';
  if (IsAsciiAlpha(next) || next == '!' || next == '/' || next == '?') return;
  text.replace(i, 1, "&lt;");
}

// The lines joined with CR LF, in UTF-8, converted line by line: CR LF is no trail byte, so
// each line converts as it would inside the whole.
std::string JoinedUtf8(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 2;
  std::string utf8;
  utf8.reserve(total * 3);  // the most a cp932 byte becomes; what is never written costs nothing
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) utf8 += "\r\n";
    AppendCp932AsUtf8(utf8, lines[i]);
  }
  return utf8;
}

// The cp932 lines of UTF-8 text (split at CR LF, CR or LF), a piece at a time; a piece
// ends after a LF, where both the conversion and the split start afresh.
std::vector<std::string> Cp932Lines(std::string_view text) {
  constexpr size_t kPiece = 1 << 20;
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t stop = text.size();
    if (text.size() - start > kPiece) {
      const size_t lf = text.find('\n', start + kPiece);
      if (lf != std::string_view::npos) stop = lf + 1;
    }
    std::vector<std::string> part = SplitLines(Utf8ToCp932(text.substr(start, stop - start)));
    if (lines.empty())
      lines = std::move(part);
    else
      lines.insert(lines.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    start = stop;
  }
  return lines;
}

// cp932 has no no-break space: each becomes a blank, in place.
void NbspToBlank(std::string& text) {
  size_t write = 0;
  for (size_t read = 0; read < text.size(); ++read) {
    if (text[read] == kNbsp[0] && read + 1 < text.size() && text[read + 1] == kNbsp[1]) {
      text[write++] = ' ';
      ++read;
    } else {
      text[write++] = text[read];
    }
  }
  text.resize(write);
}

}  // namespace

HtmlImport::HtmlImport(FileItemList& pageLinks, std::function<void()> clearPageLinks, const TYomiraOption& option,
                       SourcesHost& host)
    : PageLinks(pageLinks), ClearPageLinks(std::move(clearPageLinks)), Option(option), host_(host) {}

std::string_view HtmlImport::GetAttribute(const HtmlTree& tree, int element, std::string_view name) {
  return tree.Attribute(tree.nodes[static_cast<size_t>(element)], name);
}

std::string HtmlImport::IllustrationNote(const HtmlTree& tree, int img) {
  const std::string src = WithoutVtOrNul(GetAttribute(tree, img, "SRC"));
  if (src.empty()) return {};
  return "［＃挿絵（" + src + "）入る］";
}

void HtmlImport::ReadMetaElement(const HtmlTree& tree, int meta, HtmlMetaPairs& pairs, bool& handled,
                                 bool& library) {
  handled = true;
  const std::string name = Trim(GetAttribute(tree, meta, "NAME"));
  const std::string content = Trim(GetAttribute(tree, meta, "CONTENT"));
  if (name.empty() || content.empty()) return;
  if (name == "DC.Publisher" && content == "青空文庫") library = true;
  if (std::string_view("author,publisher,copyright").find(LowerAscii(name)) != std::string_view::npos)
    pairs.emplace_back(name, content);
}

void HtmlImport::InsertHtmlHeader(std::vector<std::string>& lines, const std::string& title,
                                  const HtmlMetaPairs& pairs) const {
  if (!Option.ruby_tag) return;
  std::vector<std::string> block{title};
  for (const auto& [name, content] : pairs) block.push_back(Utf8ToCp932(WithoutVtOrNul(name + ":" + content)));
  block.push_back(std::string(55, '-'));
  block.push_back(" yomira format ");
  block.push_back(std::string(55, '-'));
  lines.insert(lines.begin(), block.begin(), block.end());
}

std::string HtmlImport::GetElementText(const HtmlTree& tree, int element) {
  return GetElementText(tree, RolesOf(tree), element);
}

std::string HtmlImport::GetElementText(const HtmlTree& tree, const NameRoles& roles, int element) {
  std::string text = TextRenderer(tree, roles, nullptr).Render(element, kLinkTextNodes);
  for (char& c : text)
    if (c == '\n') c = ' ';
  text = Trim(text);
  if (!text.empty()) return text;
  for (const char* name : {"TITLE", "ALT"}) {
    text = Trim(GetAttribute(tree, element, name));
    if (!text.empty()) return text;
  }
  // Below an element with no text there is no text either: only TITLE and ALT are left.
  // The subtree runs in document order up to the next node that is not under element.
  size_t end = tree.nodes.size();
  for (int up = element; up >= 0; up = tree.nodes[up].parent) {
    if (tree.nodes[up].nextSibling >= 0) {
      end = static_cast<size_t>(tree.nodes[up].nextSibling);
      break;
    }
  }
  if (end > static_cast<size_t>(element) + 1 + kLinkTextNodes) end = static_cast<size_t>(element) + 1 + kLinkTextNodes;
  for (size_t i = static_cast<size_t>(element) + 1; i < end; ++i) {
    for (const char* name : {"TITLE", "ALT"}) {
      text = Trim(GetAttribute(tree, static_cast<int>(i), name));
      if (!text.empty()) return text;
    }
  }
  return {};
}

void HtmlImport::AddLink(std::string_view hrefIn, std::string_view textIn, const TFileItem& item) {
  const std::string href = Trim(hrefIn);
  const std::string text = Trim(textIn);
  if (href.empty() || href[0] == '#') return;
  const std::string base =
      !item.BaseUrl.empty() ? item.BaseUrl : item.Kind == fkLocalFile ? item.Path : item.GetLocation();
  auto link = std::make_unique<TFileItem>();
  link->Rate = 0;
  link->BaseUrl = base;
  link->Title = text;
  const std::string_view scheme = SchemeOf(href);
  if (!scheme.empty()) {
    const std::string lower = LowerAscii(scheme);
    if (lower != "http" && lower != "https") return;
    link->Kind = fkWeb;
    link->Path = item.Path;
    link->Href = LowerSchemeAndHost(href, scheme.size());
  } else if (item.Kind != fkLocalFile || !item.BaseUrl.empty()) {
    link->Kind = fkWeb;
    link->Path = item.Path;
    link->Href = href;
  } else {
    // A file beside the page: the query and fragment name no file, escapes are decoded.
    link->Kind = fkLocalFile;
    link->Href = href;
    const std::string path = PercentDecoded(std::string_view(href).substr(0, href.find_first_of("?#")));
    if (path.empty())
      link->Path = item.Path;
    else if (path[0] == '/')
      link->Path = path;
    else
      link->Path = AbsoluteCleanPath(ExtractFilePath(item.Path) + "/" + path);
  }
  PageLinks.push_back(std::move(link));
}

void HtmlImport::AddMapLinks(const HtmlTree& tree, int map, const TFileItem& item) {
  AddMapLinks(tree, RolesOf(tree), map, item);
}

void HtmlImport::AddMapLinks(const HtmlTree& tree, const NameRoles& roles, int map, const TFileItem& item) {
  // Pre-order over the map's subtree; a nested MAP gives its own AREAs at its own turn.
  const std::vector<HtmlNode>& nodes = tree.nodes;
  int at = nodes[map].firstChild;
  while (at >= 0) {
    const HtmlNode& n = nodes[at];
    const bool nestedMap = tree.Name(n) == "map";
    if (tree.Name(n) == "area") AddLink(GetAttribute(tree, at, "HREF"), GetElementText(tree, roles, at), item);
    if (!nestedMap && n.firstChild >= 0) {
      at = n.firstChild;
      continue;
    }
    while (at >= 0 && at != map && nodes[at].nextSibling < 0) at = nodes[at].parent;
    at = at >= 0 && at != map ? nodes[at].nextSibling : -1;
  }
}

void HtmlImport::ImportHtml(std::vector<std::string>& lines, TFileItem& item, bool parse, bool collectLinks) {
  if (!parse && !collectLinks) return;
  const bool held = host_.LinkListHeld();
  const bool links = collectLinks && !held;
  if (links) ClearPageLinks();

  std::string utf8 = JoinedUtf8(lines);
  KeepLeadingLessThan(utf8);
  CapStartTagAttributes(utf8);
  HtmlTree tree = ParseHtmlTree(utf8);
  std::string().swap(utf8);

  if (tree.ok) {
    const std::string title = PageTitle(tree);
    if (!title.empty()) item.Title = title;
    const NameRoles roles = RolesOf(tree);

    HtmlMetaPairs pairs;
    bool library = false;
    bool rubyOpen = false;  // an RP has opened the reading
    Decorations decorations(parse ? tree.nodes.size() : 0);
    size_t elements = 0;
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
      const HtmlNode& e = tree.nodes[i];
      if (e.kind != HtmlNode::Element) continue;
      ++elements;
      const int at = static_cast<int>(i);
      const std::string_view name = tree.Name(e);
      if (name == "base") {
        const std::string href = Trim(GetAttribute(tree, at, "HREF"));
        if (href.size() > 4 && StartsWith(href, "http")) {
          item.BaseUrl = href;
          continue;
        }
      }
      if (name == "meta") {
        bool handled = false;
        ReadMetaElement(tree, at, pairs, handled, library);
        continue;
      }
      if (parse) {
        unsigned char& d = decorations.kind[i];
        if (Option.ruby_tag && name == "ruby") {
          d = kBarBefore;
          decorations.bytes += std::string_view("｜").size();
          rubyOpen = false;
          continue;
        }
        if (Option.ruby_tag && name == "rp") {
          d = rubyOpen ? kCloseReading : kOpenReading;
          decorations.bytes += kRubyOpen.size();
          rubyOpen = !rubyOpen;
          continue;
        }
        if (name == "hr") {
          d = kRuleAfter;
          decorations.bytes += 81;
          continue;
        }
        if (name == "img" && library) {
          const std::string_view cls = GetAttribute(tree, at, "class");
          std::string note;
          bool handled = false;
          if (item.Kind == fkLocalFile && (cls == "illustration" || cls == "photo")) {
            note = IllustrationNote(tree, at);
            handled = true;
          } else {
            const std::string alt = WithoutVtOrNul(GetAttribute(tree, at, "ALT"));
            if (cls == "gaiji" && Utf8ToCp932(alt).size() > 2 && StartsWith(alt, kComeMark)) {
              note = std::string(kComeMark) + "［＃" + alt.substr(kComeMark.size()) + "］";
              handled = true;
            }
          }
          if (!note.empty()) {
            d = kNoteAfter;
            decorations.bytes += note.size();
            decorations.notes.emplace(at, std::move(note));
          }
          if (handled) continue;
        }
      }
      if (links && name == "a") {
        AddLink(GetAttribute(tree, at, "HREF"), GetElementText(tree, roles, at), item);
      } else if (links && name == "map") {
        AddMapLinks(tree, roles, at, item);
      }
    }

    if (parse) {
      // Each element writes at most a line break or a TAB as it opens and one as it closes.
      const size_t expected = tree.text.size() + 2 * elements + decorations.bytes + 16;
      std::string text = TextRenderer(tree, roles, &decorations).Render(0, SIZE_MAX, expected);
      tree = HtmlTree();
      decorations = Decorations(0);
      NbspToBlank(text);
      std::vector<std::string> out = Cp932Lines(text);
      std::string().swap(text);
      if (!library) InsertHtmlHeader(out, Utf8ToCp932(title), pairs);
      lines = std::move(out);
    }
  }

  if (links && host_.BookExists() && host_.BookTabIndex() == 2) host_.RefreshBookTab();
}

}  // namespace yomira
