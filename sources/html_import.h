// The HTML import: turns a page into text in the reader's notation (ruby, rules, the
// library's non-standard-character and illustration notes, a cover block for other
// publishers' pages) and collects its links for the book window.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/core/option.h"
#include "platform/html/html_tree.h"
#include "sources/file_item.h"
#include "sources/sources_host.h"

namespace yomira {

// (name, content) of the kept META elements, UTF-8, in document order.
using HtmlMetaPairs = std::vector<std::pair<std::string, std::string>>;

class HtmlImport {
 public:
  // The links are emptied only through clearPageLinks, which must empty whatever refers
  // to them first.
  HtmlImport(FileItemList& PageLinks, std::function<void()> ClearPageLinks, const TYomiraOption& Option,
             SourcesHost& host);

  // lines: cp932 source lines, the HTML text on entry, the notation text on exit when parse.
  // collectLinks: the page's links replace PageLinks unless the link list is held.
  void ImportHtml(std::vector<std::string>& lines, TFileItem& item, bool parse, bool collectLinks);

  // Puts the cover block (title, kept pairs, rules and the format line) above lines;
  // only with ruby_tag on. title is cp932.
  void InsertHtmlHeader(std::vector<std::string>& lines, const std::string& title, const HtmlMetaPairs& pairs) const;
  // Reads the META element at index meta: keeps its pair when its name is one of the
  // cover's, and sets library when the page is one of the public e-text library's. handled
  // is always set.
  static void ReadMetaElement(const HtmlTree& tree, int meta, HtmlMetaPairs& pairs, bool& handled, bool& library);
  // Appends the link entry of one href (UTF-8) with its text, relative to item.
  void AddLink(std::string_view href, std::string_view text, const TFileItem& item);
  // The links of every AREA inside the MAP element at index map.
  void AddMapLinks(const HtmlTree& tree, int map, const TFileItem& item);
  // The display text of a link: its rendered text on one line, else its TITLE, else its
  // ALT, else the first TITLE or ALT below it.
  static std::string GetElementText(const HtmlTree& tree, int element);
  // "［＃挿絵（src）入る］" (UTF-8) for the IMG element at index img, "" for an empty SRC.
  static std::string IllustrationNote(const HtmlTree& tree, int img);
  static std::string_view GetAttribute(const HtmlTree& tree, int element, std::string_view name);

 private:
  // How the plain text treats each of the tree's names (see the renderer).
  using NameRoles = std::vector<unsigned char>;
  void AddMapLinks(const HtmlTree& tree, const NameRoles& roles, int map, const TFileItem& item);
  static std::string GetElementText(const HtmlTree& tree, const NameRoles& roles, int element);

  FileItemList& PageLinks;
  std::function<void()> ClearPageLinks;
  const TYomiraOption& Option;
  SourcesHost& host_;
};

}  // namespace yomira
