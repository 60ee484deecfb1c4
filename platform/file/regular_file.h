// Reading outside files safely: only a regular file is read, never a FIFO or a device
// (opened without blocking, checked on the open descriptor so nothing can swap it in
// between), and only up to a size cap.
#pragma once

#include <cstdint>
#include <string>

namespace yomira {

enum class ReadFileStatus { Ok, Missing, NotRegular, TooLarge, ReadError };

// Whether path names a regular file (a link is followed); false for "".
bool IsRegularFile(const std::string& path);

// Whether path names a regular file of at most maxBytes, for readers that open it themselves.
ReadFileStatus CheckRegularFile(const std::string& path, uint64_t maxBytes);

// The whole regular file at the UTF-8 path into out (replaced only on success).
ReadFileStatus ReadRegularFile(const std::string& path, uint64_t maxBytes, std::string& out);

// At most the first maxBytes of the regular file at path into out; cut tells whether the
// file held more. Never blocks on a FIFO or a device (NotRegular).
ReadFileStatus ReadRegularFilePrefix(const std::string& path, uint64_t maxBytes, std::string& out, bool& cut);

}  // namespace yomira
