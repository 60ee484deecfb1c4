#include "platform/text/iconv_convert.h"

#include <iconv.h>

#include <cerrno>

namespace yomira {
namespace {

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

IconvResult IconvConvert(const char* to, const char* from, std::string_view in, IconvSkipFn skip) {
  IconvResult result;
  IconvHandle cd(to, from);
  if (!cd.ok()) {
    result.status = IconvStatus::OpenFailed;
    return result;
  }
  std::string& out = result.out;
  if (in.empty()) return result;
  out.resize(in.size() + in.size() / 2 + 16);
  size_t used = 0;
  char* ip = const_cast<char*>(in.data());
  size_t ileft = in.size();
  while (ileft > 0) {
    if (out.size() - used < 16) out.resize(out.size() * 2);
    char* op = out.data() + used;
    size_t oleft = out.size() - used;
    const size_t r = iconv(cd.get(), &ip, &ileft, &op, &oleft);
    const int err = errno;
    used = out.size() - oleft;
    if (r != static_cast<size_t>(-1)) continue;
    if (err == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    if (err != EILSEQ && err != EINVAL) {
      out.resize(used);
      result.status = IconvStatus::Failed;
      return result;
    }
    // Bad or unmappable input, or a character cut off at the end: one "?", then go on.
    if (out.size() - used < 1) out.resize(out.size() * 2);
    out[used++] = '?';
    const size_t n = skip(reinterpret_cast<const unsigned char*>(ip), ileft);
    ip += n;
    ileft -= n;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  // Flush a pending shift state.
  for (;;) {
    if (out.size() - used < 16) out.resize(out.size() * 2);
    char* op = out.data() + used;
    size_t oleft = out.size() - used;
    const size_t r = iconv(cd.get(), nullptr, nullptr, &op, &oleft);
    used = out.size() - oleft;
    if (r != static_cast<size_t>(-1) || errno != E2BIG) break;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return result;
}

size_t ValidUtf8Length(const unsigned char* p, size_t left) {
  if (left == 0) return 0;
  const unsigned char c = p[0];
  if (c < 0x80) return 1;
  size_t n;
  unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (n > left || p[1] < lo || p[1] > hi) return 0;
  for (size_t i = 2; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace yomira
