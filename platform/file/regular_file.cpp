#include "platform/file/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace yomira {
namespace {

class Fd {
 public:
  Fd() = default;
  ~Fd() { reset(-1); }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_ = -1;
};

// Opens path without blocking and checks the descriptor: a regular file within the cap.
ReadFileStatus OpenRegular(const std::string& path, uint64_t maxBytes, Fd& fd, struct stat& st) {
  if (path.empty() || path.find('\0') != std::string::npos) return ReadFileStatus::Missing;
  fd.reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return errno == ENOENT || errno == ENOTDIR ? ReadFileStatus::Missing : ReadFileStatus::ReadError;
  if (::fstat(fd.get(), &st) != 0) return ReadFileStatus::ReadError;
  if (!S_ISREG(st.st_mode)) return ReadFileStatus::NotRegular;
  if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxBytes) return ReadFileStatus::TooLarge;
  return ReadFileStatus::Ok;
}

// Reads into data from got on until it is full or the file ends; false on a read error.
bool FillFrom(int fd, std::string& data, size_t& got) {
  while (got < data.size()) {
    const ssize_t r = ::read(fd, data.data() + got, data.size() - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return true;
}

}  // namespace

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

ReadFileStatus CheckRegularFile(const std::string& path, uint64_t maxBytes) {
  Fd fd;
  struct stat st;
  return OpenRegular(path, maxBytes, fd, st);
}

ReadFileStatus ReadRegularFile(const std::string& path, uint64_t maxBytes, std::string& out) {
  Fd fd;
  struct stat st;
  if (const ReadFileStatus s = OpenRegular(path, maxBytes, fd, st); s != ReadFileStatus::Ok) return s;

  std::string data;
  data.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    if (!FillFrom(fd.get(), data, got)) return ReadFileStatus::ReadError;
    if (got < data.size()) break;  // the end of the file
    // The file may have grown since fstat: read on, within the cap. One byte is probed
    // first, so a file read whole is not moved into a buffer twice its size for nothing.
    std::string probe(1, '\0');
    size_t one = 0;
    if (!FillFrom(fd.get(), probe, one)) return ReadFileStatus::ReadError;
    if (one == 0) break;
    if (data.size() >= maxBytes) return ReadFileStatus::TooLarge;
    data.resize(std::min<uint64_t>(maxBytes, data.size() + 65536));
    data[got++] = probe[0];
  }
  data.resize(got);
  out = std::move(data);
  return ReadFileStatus::Ok;
}

ReadFileStatus ReadRegularFilePrefix(const std::string& path, uint64_t maxBytes, std::string& out, bool& cut) {
  Fd fd;
  struct stat st;
  // No size cap on the open: only the prefix is read.
  if (const ReadFileStatus s = OpenRegular(path, UINT64_MAX, fd, st); s != ReadFileStatus::Ok) return s;
  std::string data(static_cast<size_t>(maxBytes) + 1, '\0');
  size_t got = 0;
  // One byte past the prefix tells whether the file goes on.
  if (!FillFrom(fd.get(), data, got)) return ReadFileStatus::ReadError;
  cut = got > maxBytes;
  data.resize(std::min<uint64_t>(got, maxBytes));
  out = std::move(data);
  return ReadFileStatus::Ok;
}

}  // namespace yomira
