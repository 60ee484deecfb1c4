// Byte streams the codec reads from and writes to (stand-ins for the class library's streams).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace yomira::qrn {

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to n bytes; returns how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t n) = 0;
  // Writes n bytes; returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t n) = 0;
  // Moves to an absolute position; returns the new position.
  virtual int64_t Seek(int64_t position) = 0;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;
  // The whole content when it lies in memory, so that readers can use it in place.
  virtual const uint8_t* memory() const { return nullptr; }
};

class MemoryStream : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::string_view bytes) : data_(bytes.begin(), bytes.end()) {}
  explicit MemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t n) override;
  int64_t Write(const void* buffer, int64_t n) override;
  int64_t Seek(int64_t position) override;
  int64_t Position() const override { return pos_; }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
  const uint8_t* memory() const override { return data_.data(); }

  const std::vector<uint8_t>& data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

// A regular file opened for reading. Anything else (a folder, a device, a missing file)
// raises EQRNPNG "PNG LoadStream: Not PNG Format"; read errors raise
// "Read Image (PNG): Read Error".
class FileStream : public Stream {
 public:
  explicit FileStream(const std::string& utf8Path);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  int64_t Read(void* buffer, int64_t n) override;
  int64_t Write(const void* buffer, int64_t n) override;  // read-only: always 0
  int64_t Seek(int64_t position) override;
  int64_t Position() const override { return pos_; }
  int64_t Size() const override { return size_; }

 private:
  std::FILE* file_ = nullptr;
  int64_t size_ = 0;
  int64_t pos_ = 0;
};

}  // namespace yomira::qrn
