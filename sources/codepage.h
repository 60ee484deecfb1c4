// Reading text documents: the code-page choice, detection, conversion to cp932 and the
// split into source lines. Conversion never fails on content: bad bytes become "?".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/converters.h"
#include "sources/file_item.h"

namespace yomira {

// The code-page choice of the open dialog, the re-open menu and the "-c" switch.
using TCharCode = int;
enum : int { ccAuto = 0, ccShiftJis, ccEucJp, ccIso2022Jp, ccUtf7, ccUtf8, ccUtf8N };

constexpr int CP_UTF8N = -65001;  // UTF-8 without a byte-order mark

// 932, 51932, 50220, 65000, 65001 or CP_UTF8N for choices 1..6; 0 (detect) otherwise.
int CharCodeToCodePage(TCharCode charCode);
// The inverse: the choice of a code page, ccAuto for any other.
TCharCode CharCodeFromCodePage(int codePage);
// "(自動)", "Shift-JIS", ... (UTF-8); the automatic caption for any other value.
std::string CharCodeCaption(TCharCode charCode);

// The code page of a whole buffer: 932, 51932, 50220, 65001, CP_UTF8N, 1200 or 1201.
int DetectCodePage(std::string_view bytes);

// Bytes of the UTF-8 sequence that the byte b leads (1 for a continuation byte or FE/FF).
int Utf8SequenceLength(unsigned char b);

// text in code page source to target 932. Sources 51932, 50220, 65000, 65001, 1200
// (UTF-16LE) and 1201 (UTF-16BE). Throws ConvertError for an unsupported pair or a
// failure of the converter itself.
std::string ConvertCharset(std::string_view text, int source, int target);

// Decodes bytes into cp932 lines (lines is replaced only when decoding succeeded) and
// returns the code page used. Throws ConvertError.
int DecodeText(std::vector<std::string>& lines, std::string_view bytes, TCharCode charCode);

// The HTML import that rewrites the lines of an HTML document in place.
using HtmlImportHook = std::function<void(std::vector<std::string>&, TFileItem&, bool parse, bool collectLinks)>;

constexpr uint64_t kMaxTextFileBytes = 256ull << 20;

// Reads the regular file at item.Path (at most 256 MiB) and decodes it; then, when isHtml
// or parse, the import hook rewrites the lines. False, with lines untouched, when the file
// cannot be read. codePage receives the code page used. A ConvertError propagates.
bool LoadTextFile(TFileItem& item, std::vector<std::string>& lines, TCharCode charCode, bool isHtml, bool parse,
                  int& codePage, const HtmlImportHook& importHtml = {});

}  // namespace yomira
