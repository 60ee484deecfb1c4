// Conversion with the special lines and rows in the dump notation
// ("s=3 i=0 P | I 3:1+26", "T 0:1+2/1 e1").
#pragma once

#include <string>
#include <vector>

#include "engine/core/convert.h"
#include "engine/core/option_defaults.h"
#include "engine/core/special_lines.h"
#include "notation_test_util.h"

namespace yomira::test {

// V = 40, L = 16, T = 1, P = 1, lw = 26, no cover page.
inline TYomiraOption SpecialOptions() {
  TYomiraOption o = DefaultOptions();
  o.v_size = 40;
  o.c_size = 16;
  o.Colum = 1;
  o.Page = 1;
  o.UseCover = 0;
  o.ruby_tag = 1;
  o.images = 0;
  return o;
}

inline std::string DumpElement(const TYomiraObject& el) {
  std::string out = ElementRow(el);
  if (el.emphasis) out += " e" + std::to_string(el.emphasis);
  if (el.side_line) out += " ~";
  return out;
}

inline std::string DumpRow(const TYomiraLine& line) {
  std::string out = "s=" + std::to_string(line.source_line) + " i=" + std::to_string(line.indent) +
                    (line.ends_paragraph ? " P" : " .");
  for (const TYomiraObject& el : line.elements) out += " | " + DumpElement(el);
  return out;
}

inline std::vector<std::string> DumpRows(const DisplayLines& lines) {
  std::vector<std::string> rows;
  for (const TYomiraLine& line : lines) rows.push_back(DumpRow(line));
  return rows;
}

inline ConvertResult ConvertSpecial(const SourceLines& source, const TYomiraOption& option = SpecialOptions(),
                                    ConvertSwitches switches = {}) {
  SpecialLines hooks;
  return Converter(option, source, switches).ConvertText("doc.txt", nullptr, &hooks);
}

}  // namespace yomira::test
