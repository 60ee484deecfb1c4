#include "sources/html_charset.h"

#include <array>
#include <string>

#include "platform/ini.h"

namespace yomira {
namespace {

// Position of needle in hay from pos on, ignoring ASCII case.
size_t FindNoCase(std::string_view hay, std::string_view needle, size_t pos = 0) {
  if (needle.size() > hay.size()) return std::string_view::npos;
  for (size_t i = pos; i + needle.size() <= hay.size(); ++i)
    if (EqualsAsciiNoCase(hay.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

bool IsHtmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

struct CharsetName {
  std::string_view name;
  int codePage;
};

constexpr std::array<CharsetName, 12> kCharsets{{
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"windows-31j", 932},
    {"cp932", 932},
    {"ms_kanji", 932},
    {"euc-jp", 51932},
    {"x-euc-jp", 51932},
    {"iso-2022-jp", 50220},
    {"utf-8", 65001},
    {"utf8", 65001},
}};

}  // namespace

int CodePageFromCharsetName(std::string_view name) {
  if (name.empty()) return 0;
  for (const CharsetName& c : kCharsets)
    if (EqualsAsciiNoCase(name, c.name)) return c.codePage;
  return 0;
}

int DeclaredHtmlCodePage(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, 1024);
  for (size_t at = FindNoCase(head, "<meta"); at != std::string_view::npos; at = FindNoCase(head, "<meta", at + 5)) {
    const size_t after = at + 5;
    if (after < head.size() && !IsHtmlBlank(head[after]) && head[after] != '/' && head[after] != '>') continue;
    const size_t end = head.find('>', at);
    const std::string_view tag = head.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    const size_t key = FindNoCase(tag, "charset=");
    if (key == std::string_view::npos) continue;
    size_t i = key + 8;
    if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) ++i;
    size_t j = i;
    while (j < tag.size() && tag[j] != '"' && tag[j] != '\'' && tag[j] != ';' && tag[j] != '>' && !IsHtmlBlank(tag[j]))
      ++j;
    return CodePageFromCharsetName(tag.substr(i, j - i));
  }
  return 0;
}

}  // namespace yomira
