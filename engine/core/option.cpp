#include "engine/core/option.h"

#include <algorithm>

#include "platform/text/cp932.h"

namespace yomira {

namespace {

// Upper bound first, then lower bound, as the ranges are documented.
void Bound(int32_t& v, int32_t lo, int32_t hi) { v = std::max(std::min(v, hi), lo); }

}  // namespace

void TYomiraOption::Validate() {
  Bound(f_size, 6, 256);
  Bound(ruby_size, 0, 256);
  Bound(s_size, -5, 256);
  Bound(m_size, -5, 256);
  Bound(c_size, 5, 256);
  Bound(v_size, 10, 512);
  Bound(yohaku_w, 0, 256);
  Bound(yohaku_h, 0, 256);
  Bound(Colum, 1, 8);
  Bound(yohaku_c, -64, 256);
  Bound(Page, 1, 8);
  Bound(PageMargin, 0, 256);
  Bound(Quality, 0, 4);
  Bound(TimeOut, 1, 60);
  Bound(ReWrapType, 0, 1);
  // Two blocks may overlap by at most one and a half character pitches; computed from the
  // clamped sizes, truncating toward zero.
  yohaku_c = std::max(yohaku_c, (-f_size - m_size) * 3 / 2);
  filelist_ext = Trim(filelist_ext);
}

bool TYomiraOption::IsListedExtension(std::string_view extension) const {
  // The trailing comma makes ".ht" miss "*.htm," while ".htm" finds it.
  std::string key = "*";
  key += AsciiLower(extension);
  key += ',';
  const std::string list = AsciiLower(filelist_ext) + ",";
  return FindFrom(list, 1, key) > 0;
}

}  // namespace yomira
