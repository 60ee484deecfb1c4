// The one pair of edge conversions between cp932 document text and the UTF-8 used for
// paths, captions and everything handed to Qt or the OS. Neither throws: bytes that do not
// decode, and characters without a cp932 form, become "?" and the conversion goes on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text/iconv_convert.h"

namespace yomira {

std::string Cp932ToUtf8(std::string_view cp932);
// The same, appended to out: a text converted piece by piece, each ending before a byte
// below 0x40 (never a trail byte), comes out as the whole would.
void AppendCp932AsUtf8(std::string& out, std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// Utf8ToCp932 for callers that must report a failure of iconv itself.
IconvResult Utf8ToCp932Checked(std::string_view utf8);

// The character of one cp932 code (a single byte, or lead * 256 + trail), as Cp932ToUtf8
// reads it; 0 where Cp932ToUtf8 writes "?" for a refused code, and for a lone lead byte.
// From one table built on first use.
char32_t Cp932CodeToUnicode(uint16_t code);

// Appends the UTF-8 form of the character c (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s);

// The characters of UTF-8 text, counted by their lead bytes (ASCII included).
int Utf8CharCount(std::string_view s);

// s with every byte that does not start a well-formed character replaced by "?".
std::string SanitizeUtf8(std::string_view s);

// The text of a file the program reads as text: without a UTF-8 BOM; kept when it is valid
// UTF-8, else taken as cp932 as a whole.
std::string DecodeUtf8OrCp932(std::string_view bytes);

}  // namespace yomira
