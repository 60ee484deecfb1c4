#include "sources/html_import.h"

#include <cstdint>
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

// What the walk asks the renderer to write around or in place of an element (UTF-8).
struct Decoration {
  std::string before;
  std::string after;
  std::string ownText;     // replaces the element's own text children when hasOwnText
  bool hasOwnText = false;
  bool rule = false;       // 80 "-" and a line break after the element
};
// The decorations of a page, found by node index.
class Decorations {
 public:
  explicit Decorations(size_t nodes) : index_(nodes, -1) {}
  Decoration& operator[](int node) {
    int& i = index_[static_cast<size_t>(node)];
    if (i < 0) {
      i = static_cast<int>(items_.size());
      items_.emplace_back();
    }
    return items_[static_cast<size_t>(i)];
  }
  const Decoration* Find(int node) const {
    const int i = index_[static_cast<size_t>(node)];
    return i < 0 ? nullptr : &items_[static_cast<size_t>(i)];
  }

 private:
  std::vector<int> index_;
  std::vector<Decoration> items_;
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
unsigned RoleOf(const std::string& name) {
  static const std::unordered_map<std::string, unsigned> roles = [] {
    std::unordered_map<std::string, unsigned> m;
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

// Plain text of a subtree, as a browser renders it: blocks and BR end lines, blanks
// collapse outside preformatted text, cells of a row are separated by TABs.
class TextRenderer {
 public:
  TextRenderer(const HtmlTree& tree, const Decorations* decorations) : tree_(tree), decorations_(decorations) {}


  // Walks root and everything under it, at most budget nodes. The result has no line
  // break at either end.
  std::string Render(int root, size_t budget = SIZE_MAX) {
    const std::vector<HtmlNode>& nodes = tree_.nodes;
    int at = root;
    while (at >= 0 && budget-- > 0) {
      const bool descend = Enter(at);
      if (descend && nodes[at].firstChild >= 0) {
        at = nodes[at].firstChild;
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
      }
    }
    size_t begin = 0, end = out_.size();
    while (begin < end && (out_[begin] == '\n' || out_[begin] == '\r')) ++begin;
    while (end > begin && (out_[end - 1] == '\n' || out_[end - 1] == '\r')) --end;
    return out_.substr(begin, end - begin);
  }

 private:
  const Decoration* DecorationOf(int at) const {
    return decorations_ ? decorations_->Find(at) : nullptr;
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
    out_ += s;
    const size_t nl = out_.rfind('\n');
    if (nl != std::string::npos && nl + 1 > lineStart_) lineStart_ = nl + 1;
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
      const Decoration* parent = n.parent >= 0 ? DecorationOf(n.parent) : nullptr;
      if (!(parent && parent->hasOwnText)) Text(n.text);
      return false;
    }
    if (n.kind != HtmlNode::Element) return true;
    const Decoration* d = DecorationOf(at);
    if (d) Verbatim(d->before);
    const unsigned role = RoleOf(n.name);
    if (role & kHidden) return false;
    if (role & kLineBreak) {
      Break();
    } else if (role & kBlock) {
      Boundary();
    } else if (role & kCell) {
      for (int s = n.parent >= 0 ? tree_.nodes[n.parent].firstChild : -1; s >= 0 && s != at;
           s = tree_.nodes[s].nextSibling) {
        if (tree_.nodes[s].kind == HtmlNode::Element && (RoleOf(tree_.nodes[s].name) & kCell)) {
          pendingBlank_ = false;
          out_ += '\t';
          break;
        }
      }
    }
    if (role & kPreformatted) ++preDepth_;
    if (d && d->hasOwnText) Verbatim(d->ownText);
    return true;
  }

  void Leave(int at) {
    const HtmlNode& n = tree_.nodes[at];
    if (n.kind != HtmlNode::Element) return;
    const unsigned role = RoleOf(n.name);
    if (!(role & kHidden)) {
      if (role & kPreformatted) --preDepth_;
      if (role & kBlock) Boundary();
    }
    if (const Decoration* d = DecorationOf(at)) {
      Verbatim(d->after);
      if (d->rule) {
        Verbatim(std::string(80, '-'));
        Break();
      }
    }
  }

  const HtmlTree& tree_;
  const Decorations* decorations_;
  std::string out_;
  size_t lineStart_ = 0;
  bool pendingBlank_ = false;
  int preDepth_ = 0;
};

// The text of the first TITLE element: TABs removed, other blanks collapsed, trimmed.
std::string PageTitle(const HtmlTree& tree) {
  for (size_t i = 0; i < tree.nodes.size(); ++i) {
    const HtmlNode& n = tree.nodes[i];
    if (n.kind != HtmlNode::Element || n.name != "title") continue;
    std::string raw;
    for (int c = n.firstChild; c >= 0; c = tree.nodes[c].nextSibling)
      if (tree.nodes[c].kind == HtmlNode::Text) raw += tree.nodes[c].text;
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

}  // namespace

HtmlImport::HtmlImport(FileItemList& pageLinks, std::function<void()> clearPageLinks, const TYomiraOption& option,
                       SourcesHost& host)
    : PageLinks(pageLinks), ClearPageLinks(std::move(clearPageLinks)), Option(option), host_(host) {}

const std::string& HtmlImport::GetAttribute(const HtmlNode& element, std::string_view name) {
  return HtmlAttribute(element, name);
}

std::string HtmlImport::IllustrationNote(const HtmlNode& img) {
  const std::string src = WithoutVtOrNul(GetAttribute(img, "SRC"));
  if (src.empty()) return {};
  return "［＃挿絵（" + src + "）入る］";
}

void HtmlImport::ReadMetaElement(const HtmlNode& meta, HtmlMetaPairs& pairs, bool& handled, bool& library) {
  handled = true;
  const std::string name = Trim(GetAttribute(meta, "NAME"));
  const std::string content = Trim(GetAttribute(meta, "CONTENT"));
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
  std::string text = TextRenderer(tree, nullptr).Render(element, kLinkTextNodes);
  for (char& c : text)
    if (c == '\n') c = ' ';
  text = Trim(text);
  if (!text.empty()) return text;
  const HtmlNode& e = tree.nodes[element];
  for (const char* name : {"TITLE", "ALT"}) {
    text = Trim(GetAttribute(e, name));
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
      text = Trim(GetAttribute(tree.nodes[i], name));
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
  // Pre-order over the map's subtree; a nested MAP gives its own AREAs at its own turn.
  const std::vector<HtmlNode>& nodes = tree.nodes;
  int at = nodes[map].firstChild;
  while (at >= 0) {
    const HtmlNode& n = nodes[at];
    const bool nestedMap = n.kind == HtmlNode::Element && n.name == "map";
    if (n.kind == HtmlNode::Element && n.name == "area") AddLink(GetAttribute(n, "HREF"), GetElementText(tree, at), item);
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

  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += "\r\n";
    joined += lines[i];
  }
  std::string utf8 = Cp932ToUtf8(joined);
  joined = std::string();
  KeepLeadingLessThan(utf8);
  const HtmlTree tree = ParseHtmlTree(utf8);
  utf8 = std::string();

  if (tree.ok) {
    const std::string title = PageTitle(tree);
    if (!title.empty()) item.Title = title;

    HtmlMetaPairs pairs;
    bool library = false;
    bool rubyOpen = false;  // an RP has opened the reading
    Decorations decorations(tree.nodes.size());
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
      const HtmlNode& e = tree.nodes[i];
      if (e.kind != HtmlNode::Element) continue;
      const int at = static_cast<int>(i);
      const std::string& name = e.name;
      if (name == "base") {
        const std::string href = Trim(GetAttribute(e, "HREF"));
        if (href.size() > 4 && StartsWith(href, "http")) {
          item.BaseUrl = href;
          continue;
        }
      }
      if (name == "meta") {
        bool handled = false;
        ReadMetaElement(e, pairs, handled, library);
        continue;
      }
      if (parse) {
        if (Option.ruby_tag && name == "ruby") {
          decorations[at].before += "｜";
          rubyOpen = false;
          continue;
        }
        if (Option.ruby_tag && name == "rp") {
          Decoration& d = decorations[at];
          d.hasOwnText = true;
          d.ownText = rubyOpen ? kRubyClose : kRubyOpen;
          rubyOpen = !rubyOpen;
          continue;
        }
        if (name == "hr") {
          decorations[at].rule = true;
          continue;
        }
        if (name == "img" && library) {
          const std::string& cls = GetAttribute(e, "class");
          if (item.Kind == fkLocalFile && (cls == "illustration" || cls == "photo")) {
            const std::string note = IllustrationNote(e);
            if (!note.empty()) decorations[at].after += note;
            continue;
          }
          const std::string alt = WithoutVtOrNul(GetAttribute(e, "ALT"));
          if (cls == "gaiji" && Utf8ToCp932(alt).size() > 2 && StartsWith(alt, kComeMark)) {
            decorations[at].after += std::string(kComeMark) + "［＃" + alt.substr(kComeMark.size()) + "］";
            continue;
          }
        }
      }
      if (links && name == "a") {
        AddLink(GetAttribute(e, "HREF"), GetElementText(tree, at), item);
      } else if (links && name == "map") {
        AddMapLinks(tree, at, item);
      }
    }

    if (parse) {
      std::string text = TextRenderer(tree, &decorations).Render(0);
      // cp932 has no no-break space.
      for (size_t p = 0; (p = text.find(kNbsp, p)) != std::string::npos;) text.replace(p, kNbsp.size(), " ");
      std::vector<std::string> out = SplitLines(Utf8ToCp932(text));
      if (!library) InsertHtmlHeader(out, Utf8ToCp932(title), pairs);
      lines = std::move(out);
    }
  }

  if (links && host_.BookExists() && host_.BookTabIndex() == 2) host_.RefreshBookTab();
}

}  // namespace yomira
