// One fuzz input through the HTML import. The last byte picks the run: bit 0 parse, bit 1
// collect links, bit 2 ruby_tag, bit 3 a web page, bit 4 the link list held; the bytes
// before it are the page as cp932 text. Returns "" when the import behaved, else what went
// wrong with its lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace yomira::test {

// What is wrong with imported lines: a broken cp932 pair, a NUL, CR or LF inside a line, or
// a VT that is not part of a ruby frame (any VT at all with ruby_tag off); "" when nothing.
std::string HtmlLinesFault(const std::vector<std::string>& lines, bool rubyTag);

std::string FuzzHtmlOne(const uint8_t* data, size_t size);

}  // namespace yomira::test
