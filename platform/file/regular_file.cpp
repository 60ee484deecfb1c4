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
    if (got == data.size()) {
      // The file may have grown since fstat: read on, within the cap.
      if (data.size() >= maxBytes) {
        char probe;
        const ssize_t r = ::read(fd.get(), &probe, 1);
        if (r > 0) return ReadFileStatus::TooLarge;
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return ReadFileStatus::ReadError;
        break;
      }
      data.resize(std::min<uint64_t>(maxBytes, data.size() + 65536));
    }
    const ssize_t r = ::read(fd.get(), data.data() + got, data.size() - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      return ReadFileStatus::ReadError;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
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
  while (got < data.size()) {
    const ssize_t r = ::read(fd.get(), data.data() + got, data.size() - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      return ReadFileStatus::ReadError;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  cut = got > maxBytes;
  data.resize(std::min<uint64_t>(got, maxBytes));
  out = std::move(data);
  return ReadFileStatus::Ok;
}

}  // namespace yomira
