// The charset an HTML page declares, for reading a page whose bytes alone are ambiguous
// (a short UTF-8 page with no byte above 0x7F looks like Shift-JIS to the detector).
#pragma once

#include <string_view>

namespace yomira {

// 932, 51932, 50220 or 65001 for the charset names we read (ASCII case-insensitive);
// 0 for any other name.
int CodePageFromCharsetName(std::string_view name);

// The code page of the charset declared by the first <meta> tag within the first 1024
// bytes that carries "charset=" (as an attribute or inside content); 0 when there is none
// or its name is not one we read.
int DeclaredHtmlCodePage(std::string_view bytes);

}  // namespace yomira
