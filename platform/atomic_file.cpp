#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/path/path_parts.h"

namespace yomira {
namespace {

// The temporary file is the target's name, this mark and the six characters mkostemp fills in.
constexpr std::string_view kTempMark = ".tmp-";
constexpr size_t kTempRandom = 6;

std::function<bool(AtomicWriteStep)>& FailHook() {
  static std::function<bool(AtomicWriteStep)> hook;
  return hook;
}

// True when the test hook fails this step; errno then says why.
bool Injected(AtomicWriteStep step) {
  if (FailHook() && FailHook()(step)) {
    errno = EIO;
    return true;
  }
  return false;
}

// The file a chain of symbolic links ends at (the path itself when it is no link). A loop
// or an unreadable link stops the walk; the rename then fails with a clear reason.
std::string FollowLinks(const std::string& path) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink(p.c_str(), buf.data(), PATH_MAX);
    if (n <= 0) return p;
    std::string target(buf.data(), static_cast<size_t>(n));
    p = target[0] == '/' ? target : ParentFolder(p) + "/" + target;
  }
  return p;
}

std::string Reason(const std::string& path, int err) { return path + ": " + std::strerror(err); }

}  // namespace

bool IsAtomicWriteTempName(std::string_view name) {
  if (name.size() <= kTempMark.size() + kTempRandom) return false;  // a name of its own before the mark
  const size_t mark = name.size() - kTempRandom - kTempMark.size();
  if (name.substr(mark, kTempMark.size()) != kTempMark) return false;
  for (const char c : name.substr(name.size() - kTempRandom))
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

int RemoveStaleAtomicWriteTemps(const std::string& folder, int minAgeSeconds) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  const int fd = ::dirfd(dir);
  const time_t now = ::time(nullptr);
  const uid_t me = ::geteuid();
  int removed = 0;
  while (const dirent* e = ::readdir(dir)) {
    if (!IsAtomicWriteTempName(e->d_name)) continue;
    struct stat st {};
    // Only a plain file of ours: never a link, a folder or someone else's file.
    if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) || st.st_uid != me) continue;
    if (now - st.st_mtime <= minAgeSeconds) continue;  // a save may be writing it right now
    if (::unlinkat(fd, e->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

void SetAtomicWriteFailHook(std::function<bool(AtomicWriteStep)> hook) { FailHook() = std::move(hook); }

std::string AtomicWriteFile(const std::string& path, std::string_view bytes) {
  try {
    const std::string target = FollowLinks(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return Reason(path, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);

    std::string tmp = target;
    tmp += kTempMark;
    tmp.append(kTempRandom, 'X');
    if (Injected(AtomicWriteStep::Create)) return Reason(path, errno);
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);  // mode 0600
    if (fd < 0) return Reason(path, errno);

    auto fail = [&](int err) {
      ::close(fd);
      ::unlink(tmp.c_str());
      return Reason(path, err);
    };
    if (Injected(AtomicWriteStep::Write)) return fail(errno);
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail(errno);
      }
      done += static_cast<size_t>(n);
    }
    if (Injected(AtomicWriteStep::Sync) || ::fsync(fd) != 0) return fail(errno);
    if (exists && (Injected(AtomicWriteStep::Chmod) || ::fchmod(fd, old.st_mode & 07777) != 0))
      return fail(errno);
    if (::close(fd) != 0) {
      const int err = errno;
      ::unlink(tmp.c_str());
      return Reason(path, err);
    }
    if (Injected(AtomicWriteStep::Rename) || ::rename(tmp.c_str(), target.c_str()) != 0) {
      const int err = errno;
      ::unlink(tmp.c_str());
      return Reason(path, err);
    }
    // Make the rename itself durable. The new file is already in place, so a failure here
    // is not reported as a failed write.
    const int dir = ::open(ParentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
    return {};
  } catch (const std::exception& e) {
    return path + ": " + e.what();
  }
}

}  // namespace yomira
