#include "sources/codepage.h"

#include <array>
#include <new>

#include "platform/file/regular_file.h"
#include "sources/html_charset.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace yomira {
namespace {

struct CharCodeRow {
  int codePage;
  const char* caption;
};

constexpr std::array<CharCodeRow, 7> kCharCodes{{
    {0, "(自動)"},
    {932, "Shift-JIS"},
    {51932, "EUC-JP"},
    {50220, "ISO-2022-JP"},
    {65000, "UTF7"},
    {65001, "UTF8"},
    {CP_UTF8N, "UTF8N"},
}};

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string WithoutNul(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t start = 0;
  for (size_t i; (i = s.find('\0', start)) != std::string_view::npos; start = i + 1) out.append(s, start, i - start);
  out.append(s.substr(start));
  return out;
}

std::string Utf8ToCp932OrThrow(std::string_view utf8) {
  IconvResult r = Utf8ToCp932Checked(utf8);
  if (r.status == IconvStatus::OpenFailed) throw ConvertError(kConvertErrorCreate);
  if (r.status != IconvStatus::Ok) throw ConvertError(kConvertErrorConvert);
  return std::move(r.out);
}

bool StartsWithByteOrderMark(std::string_view bytes) {
  return StartsWith(bytes, "\xEF\xBB\xBF") || StartsWith(bytes, "\xFE\xFF") || StartsWith(bytes, "\xFF\xFE");
}

}  // namespace

int CharCodeToCodePage(TCharCode charCode) {
  return charCode >= 1 && charCode <= 6 ? kCharCodes[charCode].codePage : 0;
}

TCharCode CharCodeFromCodePage(int codePage) {
  for (int i = 1; i <= 6; ++i)
    if (kCharCodes[i].codePage == codePage) return i;
  return ccAuto;
}

std::string CharCodeCaption(TCharCode charCode) {
  return kCharCodes[charCode >= 1 && charCode <= 6 ? charCode : 0].caption;
}

int Utf8SequenceLength(unsigned char b) {
  if (b < 0xC0 || b >= 0xFE) return 1;
  if (b < 0xE0) return 2;
  if (b < 0xF0) return 3;
  if (b < 0xF8) return 4;
  if (b < 0xFC) return 5;
  return 6;
}

int DetectCodePage(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  // Four tables break the dependency between neighbouring equal bytes.
  std::array<std::array<size_t, 256>, 4> part{};
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    ++part[0][p[i]];
    ++part[1][p[i + 1]];
    ++part[2][p[i + 2]];
    ++part[3][p[i + 3]];
  }
  for (; i < n; ++i) ++part[0][p[i]];
  std::array<size_t, 256> count{};
  for (int b = 0; b < 256; ++b) count[b] = part[0][b] + part[1][b] + part[2][b] + part[3][b];
  bool high = false;
  for (int b = 0x80; b < 256 && !high; ++b) high = count[b] != 0;

  if (n <= 4) return 932;
  if (p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return 65001;
  if (p[0] == 0xFE && p[1] == 0xFF) return 1201;
  if (p[0] == 0xFF && p[1] == 0xFE) return 1200;
  if (!high && count[0x1B] > 0) return 50220;
  if (!high) return 932;
  if (n <= 4096 && !count[0x80] && !count[0xFD] && !count[0xFE] && !count[0xFF]) return 932;
  bool sjisOnly = false;
  for (int b = 0x90; b <= 0xA0 && !sjisOnly; ++b) sjisOnly = count[b] != 0;
  for (int b = 0x7F; b <= 0x8D && !sjisOnly; ++b) sjisOnly = count[b] != 0;
  if (!sjisOnly) return 51932;

  // UTF-8 walk; a sequence cut off by the end of the buffer still passes.
  for (i = 0; i < n;) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    const int len = Utf8SequenceLength(c);
    if (len == 1) return 932;
    for (int k = 1; k < len && i + k < n; ++k)
      if (p[i + k] < 0x80 || p[i + k] > 0xBF) return 932;
    i += len;
  }
  return CP_UTF8N;
}

std::string ConvertCharset(std::string_view text, int source, int target) {
  if (target != 932) throw ConvertError(kConvertErrorInitialize);
  try {
    switch (source) {
      case 51932:
        return EucJpToCp932(text);
      case 50220:
        return Iso2022JpToCp932(text);
      case 65000:
        return Utf8ToCp932OrThrow(Utf7ToUtf8(text));
      case 65001:
        return Utf8ToCp932OrThrow(text);
      case 1200:
      case 1201:
        return Utf8ToCp932OrThrow(Utf16ToUtf8(text, source == 1201));
      default:
        throw ConvertError(kConvertErrorInitialize);
    }
  } catch (const std::bad_alloc&) {
    throw ConvertError(kConvertErrorAlloc);
  } catch (const std::length_error&) {
    throw ConvertError(kConvertErrorAlloc);
  }
}

int DecodeText(std::vector<std::string>& lines, std::string_view bytes, TCharCode charCode) {
  int codePage = CharCodeToCodePage(charCode);
  if (codePage == 0) codePage = DetectCodePage(bytes);

  std::string clean, text;
  std::string_view view = bytes;  // the text to split
  if (codePage == 1200 || codePage == 1201) {
    const std::string_view bom = codePage == 1200 ? "\xFF\xFE" : "\xFE\xFF";
    if (StartsWith(bytes, bom)) bytes.remove_prefix(2);
    text = ConvertCharset(bytes, codePage, 932);
    view = text;
  } else {
    if (view.find('\0') != std::string_view::npos) {
      clean = WithoutNul(view);
      view = clean;
    }
    if (codePage == 65001 || codePage == CP_UTF8N) {
      if (StartsWith(view, "\xEF\xBB\xBF")) view.remove_prefix(3);
      text = ConvertCharset(view, 65001, 932);
      view = text;
    } else if (codePage == 51932 || codePage == 50220 || codePage == 65000) {
      text = ConvertCharset(view, codePage, 932);
      view = text;
    }
  }
  // UTF-16 and UTF-7 can spell U+0000 without a NUL byte; it must not reach the lines either.
  if (view.data() == text.data() && text.find('\0') != std::string::npos) {
    text = WithoutNul(text);
    view = text;
  }
  std::vector<std::string> split = SplitLines(view);
  lines = std::move(split);
  return codePage;
}

bool LoadTextFile(TFileItem& item, std::vector<std::string>& lines, TCharCode charCode, bool isHtml, bool parse,
                  int& codePage, const HtmlImportHook& importHtml) {
  std::string bytes;
  if (ReadRegularFile(item.Path, kMaxTextFileBytes, bytes) != ReadFileStatus::Ok) return false;
  // A page's own charset declaration beats the detector, which cannot tell a short UTF-8
  // page without high bytes from Shift-JIS; an explicit choice or a byte-order mark wins.
  if ((isHtml || parse) && CharCodeToCodePage(charCode) == 0 && !StartsWithByteOrderMark(bytes)) {
    const int declared = DeclaredHtmlCodePage(bytes);
    if (declared != 0) charCode = CharCodeFromCodePage(declared == 65001 ? CP_UTF8N : declared);
  }
  std::vector<std::string> decoded;
  codePage = DecodeText(decoded, bytes, charCode);
  std::string().swap(bytes);  // assigning an empty string would keep the buffer
  if ((isHtml || parse) && importHtml) importHtml(decoded, item, parse, isHtml);
  lines = std::move(decoded);
  return true;
}

}  // namespace yomira
