#include "sources/html_charset.h"

#include <string>

namespace yomira {

int CodePageFromCharsetName(std::string_view name) {
  std::string n;
  for (const char c : name) n += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  static const struct {
    const char* name;
    int codePage;
  } kNames[] = {{"shift_jis", 932},  {"shift-jis", 932}, {"sjis", 932},       {"x-sjis", 932},
                {"windows-31j", 932}, {"cp932", 932},    {"ms_kanji", 932},   {"euc-jp", 51932},
                {"x-euc-jp", 51932}, {"iso-2022-jp", 50220}, {"utf-8", 65001}, {"utf8", 65001}};
  for (const auto& k : kNames)
    if (n == k.name) return k.codePage;
  return 0;
}

}  // namespace yomira
