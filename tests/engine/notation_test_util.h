// Small helpers shared by the notation suites: running a conversion and writing display
// lines in the dump notation ("T 0:1+4, R 0:5+10").
#pragma once

#include <string>
#include <vector>

#include "engine/core/convert.h"
#include "engine/core/display_line.h"
#include "engine/core/option.h"
#include "engine/core/option_defaults.h"
#include "tests/support/test_support.h"

namespace yomira::test {

inline std::string ElementRow(const TYomiraObject& el) {
  std::string out(1, ElementKindLetter(el.kind));
  auto put = [&out](char sep, int value) {
    out += sep;
    out += std::to_string(value);
  };
  put(' ', el.first);
  if (el.last != el.first) put('-', el.last);
  put(':', el.column);
  put('+', el.length);
  if (el.split) put('/', el.split);
  return out;
}

// A ruby delimiter of imported HTML: the character between two VT bytes.
inline std::string VtFramed(std::u8string_view utf8) {
  std::string out(1, '\x0b');
  out += sj(utf8);
  out += '\x0b';
  return out;
}

// The elements of one display line, comma separated.
inline std::string LineRow(const TYomiraLine& line) {
  std::string out;
  for (const TYomiraObject& el : line.elements) {
    if (!out.empty()) out += ", ";
    out += ElementRow(el);
  }
  return out;
}

struct Converted {
  ConvertResult result;
  std::vector<uint8_t> joins;
};

inline Converted Convert(const SourceLines& source, ConvertSwitches switches = {},
                         const TYomiraOption& option = DefaultOptions(), const ProgressFn& progress = nullptr) {
  Converter converter(option, source, switches);
  Converted out;
  out.result = converter.ConvertText("doc.txt", progress);
  out.joins = converter.JoinFlags();
  return out;
}

}  // namespace yomira::test
