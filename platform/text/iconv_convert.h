// The one loop over glibc iconv. It never stops at bad input: each character iconv
// refuses becomes one "?" and the conversion goes on after the bytes `skip` names.
// Failures of iconv itself are reported, not hidden, so each caller decides.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace yomira {

enum class IconvStatus {
  Ok,
  OpenFailed,  // iconv_open refused the pair
  Failed,      // an error other than bad input or a full buffer
};

struct IconvResult {
  IconvStatus status = IconvStatus::Ok;
  std::string out;
};

// Bytes to step over at an input position iconv refused (at least 1, at most left).
using IconvSkipFn = size_t (*)(const unsigned char* p, size_t left);

// May throw std::bad_alloc or std::length_error when the output cannot grow.
IconvResult IconvConvert(const char* to, const char* from, std::string_view in, IconvSkipFn skip);

// Length of the complete, well-formed UTF-8 character at p (shortest form, no surrogate,
// at most U+10FFFF), or 0 when none starts there.
size_t ValidUtf8Length(const unsigned char* p, size_t left);

}  // namespace yomira
