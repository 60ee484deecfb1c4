// The bookmark file: one bookmark a line, fields separated by one TAB. A local file is
// "path TAB position", a web entry "location TAB position TAB title". Written as UTF-8
// with LF; read as UTF-8 (a BOM dropped) or, when that does not decode, as cp932, with
// CR LF, LF or CR line ends.
#pragma once

#include <string>
#include <string_view>

#include "sources/file_item.h"

namespace yomira {

constexpr const char* kBookMarkFileName = "bookmark.dat";
constexpr uint64_t kMaxBookMarkFileBytes = 8ull << 20;

// Appends the entry of one line to list, or nothing for a line of fewer than 2 or more than
// 3 fields. A final TAB opens no field. A position that is not a number in -1..10000 reads
// as 0.
void ParseBookMarkLine(FileItemList& list, std::string_view line);

// The file's text for list. TAB, CR, LF and NUL in a title become a blank; an entry with
// an empty path or location, or one whose path holds such a byte, gives no line.
std::string BookMarksText(const FileItemList& list);

// Whether a path or location can be written as a bookmark.
bool IsStorableBookMarkLocation(std::string_view location);

enum class BookMarkLoad { Missing, Loaded, Failed };

// Missing: no file, list untouched. Otherwise the list is replaced by the file's entries;
// Failed when the file could not be read (not a regular file, too large, a read error).
BookMarkLoad LoadBookMarks(const std::string& path, FileItemList& list);

// Writes list atomically; "" on success, else the reason.
std::string SaveBookMarks(const std::string& path, const FileItemList& list);

}  // namespace yomira
