#include "png/stream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "png/errors.h"

namespace yomira::qrn {

int64_t MemoryStream::Read(void* buffer, int64_t n) {
  const int64_t got = std::clamp<int64_t>(Size() - pos_, 0, std::max<int64_t>(n, 0));
  if (got > 0) std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(got));
  pos_ += got;
  return got;
}

int64_t MemoryStream::Write(const void* buffer, int64_t n) {
  if (n <= 0) return 0;
  const auto end = static_cast<size_t>(pos_ + n);
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t MemoryStream::Seek(int64_t position) {
  pos_ = std::clamp<int64_t>(position, 0, Size());
  return pos_;
}

FileStream::FileStream(const std::string& utf8Path) {
  // Only regular files: a FIFO or a device could block or never end.
  struct stat st{};
  if (::stat(utf8Path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) RaisePNG(msg::kNotPNGFormat);
  file_ = std::fopen(utf8Path.c_str(), "rb");
  if (!file_) RaisePNG(msg::kNotPNGFormat);
  size_ = static_cast<int64_t>(st.st_size);
}

FileStream::~FileStream() {
  if (file_) std::fclose(file_);
}

int64_t FileStream::Read(void* buffer, int64_t n) {
  if (n <= 0) return 0;
  const size_t got = std::fread(buffer, 1, static_cast<size_t>(n), file_);
  if (got < static_cast<size_t>(n) && std::ferror(file_)) RaisePNG(msg::kReadError);
  pos_ += static_cast<int64_t>(got);
  return static_cast<int64_t>(got);
}

int64_t FileStream::Write(const void*, int64_t) { return 0; }

int64_t FileStream::Seek(int64_t position) {
  position = std::clamp<int64_t>(position, 0, size_);
  if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) RaisePNG(msg::kReadError);
  pos_ = position;
  return pos_;
}

}  // namespace yomira::qrn
