#include "support/test_support.h"

#include <grp.h>
#include <dlfcn.h>
#include <iconv.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace yomira::test {
namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Iconv() { iconv_close(cd_); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence starting with byte c (1 for anything malformed).
size_t Utf8SeqLen(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string sj(std::string_view utf8) {
  Iconv cd("CP932", "UTF-8");
  std::string out;
  size_t pos = 0;
  while (pos < utf8.size()) {
    size_t n = std::min(Utf8SeqLen(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
    char* in = const_cast<char*>(utf8.data() + pos);
    size_t inleft = n;
    char buf[16];
    char* op = buf;
    size_t outleft = sizeof buf;
    if (iconv(cd.get(), &in, &inleft, &op, &outleft) == static_cast<size_t>(-1) || inleft != 0) {
      throw std::invalid_argument("sj(): no cp932 form for \"" + std::string(utf8.substr(pos, n)) +
                                  "\" (" + hex(utf8.substr(pos, n)) + ")");
    }
    out.append(buf, op);
    pos += n;
  }
  return out;
}

std::string sj(std::u8string_view utf8) {
  return sj(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::string u8(std::string_view cp932) {
  Iconv cd("UTF-8", "CP932");
  std::string out;
  size_t pos = 0;
  while (pos < cp932.size()) {
    unsigned char c = static_cast<unsigned char>(cp932[pos]);
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    size_t n = (lead && pos + 1 < cp932.size()) ? 2 : 1;
    char* in = const_cast<char*>(cp932.data() + pos);
    size_t inleft = n;
    char buf[16];
    char* op = buf;
    size_t outleft = sizeof buf;
    if (iconv(cd.get(), &in, &inleft, &op, &outleft) == static_cast<size_t>(-1) || inleft != 0) {
      char esc[8];
      for (size_t i = 0; i < n; ++i) {
        std::snprintf(esc, sizeof esc, "\\x%02X", static_cast<unsigned char>(cp932[pos + i]));
        out += esc;
      }
    } else {
      out.append(buf, op);
    }
    pos += n;
  }
  return out;
}

std::vector<std::string> sjLines(std::u8string_view utf8) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    size_t nl = utf8.find(u8'\n', start);
    lines.push_back(sj(utf8.substr(start, nl == std::u8string_view::npos ? nl : nl - start)));
    if (nl == std::u8string_view::npos) break;
    start = nl + 1;
  }
  return lines;
}

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v & 0xFF));
  return out;
}

std::string hex(std::string_view data) {
  std::string out;
  char buf[4];
  for (unsigned char c : data) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

std::filesystem::path TestData(std::string_view rel) {
  const char* env = std::getenv("YOMIRA_TEST_DATA");
  std::filesystem::path base = env && *env ? std::filesystem::path(env)
                                           : std::filesystem::path(YOMIRA_SOURCE_DIR) / "tests/data";
  return base / rel;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "yomira-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

CommandRun RunCommand(const std::string& commandLine) {
  CommandRun r;
  FILE* p = popen(commandLine.c_str(), "r");
  if (!p) return r;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

::testing::AssertionResult SjEqual(const char* actual_expr, const char* expected_expr,
                                   std::string_view actual, std::u8string_view expected) {
  std::string want = sj(expected);
  if (actual == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << actual_expr << " differs from " << expected_expr << "\n  actual:   \"" << u8(actual)
         << "\" [" << hex(actual) << "]\n  expected: \"" << u8(want) << "\" [" << hex(want) << "]";
}

namespace {
constexpr uid_t kNobodyUid = 65534;
constexpr gid_t kNogroupGid = 65534;
}  // namespace

bool RunningAsRoot() { return geteuid() == 0; }

namespace {

// The body's answer; an exception is its failure. In the forked child it must never
// unwind: it would leave the child running the rest of the test program as nobody.
std::string RunBody(const std::function<std::string()>& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    return std::string("the body threw: ") + e.what();
  } catch (...) {
    return "the body threw";
  }
}

}  // namespace

std::string RunUnprivileged(const std::function<std::string()>& body) {
  if (!RunningAsRoot()) return RunBody(body);
  int fds[2];
  if (pipe(fds) != 0) return "pipe failed";
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return "fork failed";
  }
  if (pid == 0) {
    close(fds[0]);
    std::string result;
    if (setgroups(0, nullptr) != 0 || setgid(kNogroupGid) != 0 || setuid(kNobodyUid) != 0 || geteuid() == 0)
      result = "could not become nobody";
    else
      result = RunBody(body);
    for (size_t done = 0; done < result.size();) {
      const ssize_t n = write(fds[1], result.data() + done, result.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    _exit(result.empty() ? 0 : 1);
  }
  close(fds[1]);
  std::string result;
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) result.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return "waitpid failed";
  if (!WIFEXITED(status)) return "the unprivileged child ended abnormally: " + result;
  if (WEXITSTATUS(status) != 0 && result.empty()) return "the unprivileged child failed";
  return result;
}

void HandToUnprivileged(const std::filesystem::path& folder) {
  if (!RunningAsRoot()) return;
  if (chown(folder.c_str(), kNobodyUid, kNogroupGid) != 0) throw std::runtime_error("chown failed: " + folder.string());
  namespace fs = std::filesystem;
  fs::permissions(folder.parent_path(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
}

std::vector<std::string> UnprivilegedCommandPrefix() {
  if (!RunningAsRoot()) return {};
  return {"setpriv", "--reuid=" + std::to_string(kNobodyUid), "--regid=" + std::to_string(kNogroupGid),
          "--clear-groups", "--"};
}

std::string SilentWav(uint32_t rate, uint16_t bits, uint16_t channels, uint32_t frames) {
  const auto le = [](std::string& out, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const uint32_t block = channels * bits / 8;
  const uint32_t data = frames * block;
  std::string w = "RIFF";
  le(w, 36 + data, 4);
  w += "WAVEfmt ";
  le(w, 16, 4);
  le(w, 1, 2);
  le(w, channels, 2);
  le(w, rate, 4);
  le(w, rate * block, 4);
  le(w, block, 2);
  le(w, bits, 2);
  w += "data";
  le(w, data, 4);
  w.append(data, bits == 8 ? '\x80' : '\0');
  return w;
}

bool LibraryLoaded(const std::string& fileName) {
  // RTLD_NOLOAD finds a library already mapped and never maps one.
  void* handle = dlopen(fileName.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (!handle) return false;
  dlclose(handle);
  return true;
}

}  // namespace yomira::test
