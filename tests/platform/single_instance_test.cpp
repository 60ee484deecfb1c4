#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <future>
#include <stdexcept>
#include <thread>

#include "tests/support/test_support.h"

namespace yomira {
namespace {

using test::TempDir;

std::string Frame(uint32_t tag, uint32_t len, std::string_view body) {
  std::string out;
  for (uint32_t v : {tag, len})
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  out.append(body);
  return out;
}

// Runs the event loop until done() or about 5 s.
template <typename F>
void SpinUntil(F done) {
  QDeadlineTimer deadline(5000);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
}

TEST(ForwardFrame, EncodesTagLengthBytesAndNul) {
  EXPECT_EQ(EncodeForwardFrame("ab"), Frame(1, 3, std::string("ab\0", 3)));
  EXPECT_EQ(EncodeForwardFrame(""), Frame(1, 1, std::string("\0", 1)));
}

TEST(ForwardFrame, ReadsFramesSplitAnywhere) {
  const std::string stream = EncodeForwardFrame("-p") + EncodeForwardFrame("/w/a.txt") + EncodeForwardFrame("-null");
  for (size_t cut = 0; cut <= stream.size(); ++cut) {
    ForwardFrameReader r;
    std::vector<std::string> got;
    std::string f;
    r.feed(std::string_view(stream).substr(0, cut));
    while (r.next(f) == ForwardFrameReader::Status::Frame) got.push_back(f);
    r.feed(std::string_view(stream).substr(cut));
    while (r.next(f) == ForwardFrameReader::Status::Frame) got.push_back(f);
    EXPECT_EQ(got, (std::vector<std::string>{"-p", "/w/a.txt", "-null"})) << "cut at " << cut;
  }
}

TEST(ForwardFrame, RejectsMalformedFrames) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"tag 2", Frame(2, 2, std::string("a\0", 2))},
      {"length 0", Frame(1, 0, "")},
      {"length 65537", Frame(1, 65537, std::string(65537, 'a'))},
      {"no final NUL", Frame(1, 2, "ab")},
      {"inner NUL", Frame(1, 4, std::string("a\0b\0", 4))},
  };
  for (const Case& c : cases) {
    ForwardFrameReader r;
    r.feed(c.bytes);
    std::string f;
    EXPECT_EQ(r.next(f), ForwardFrameReader::Status::Bad) << c.name;
  }
  // The largest argument fits.
  ForwardFrameReader r;
  r.feed(EncodeForwardFrame(std::string(kMaxForwardBytes, 'x')));
  std::string f;
  EXPECT_EQ(r.next(f), ForwardFrameReader::Status::Frame);
  EXPECT_EQ(f.size(), kMaxForwardBytes);
}

TEST(ForwardFrame, RandomBytesNeverCrashOrLoop) {
  uint32_t seed = 12345;
  auto rnd = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 2000; ++round) {
    ForwardFrameReader r;
    std::string bytes;
    const int n = static_cast<int>(rnd() % 40);
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(rnd() >> 16));
    if (rnd() % 2) bytes = EncodeForwardFrame(bytes.substr(0, n / 2)) + bytes;
    r.feed(bytes);
    std::string f;
    for (int i = 0; i < 50 && r.next(f) == ForwardFrameReader::Status::Frame; ++i) {
      EXPECT_EQ(f.find('\0'), std::string::npos);
    }
  }
}

TEST(InstanceServerName, IsShortAndDistinctPerFolder) {
  TempDir a, b;
  const std::string na = InstanceServerName(a.path().string());
  EXPECT_EQ(na, InstanceServerName(a.path().string() + "/."));
  EXPECT_NE(na, InstanceServerName(b.path().string()));
  EXPECT_EQ(na.rfind(std::string(kInstanceServerPrefix) + "-" + std::to_string(getuid()) + "-", 0), 0u);
  EXPECT_LT(na.size(), 70u);
}

// The lock held by another process: a child takes it and waits for a byte on a pipe.
class LockHolder {
 public:
  explicit LockHolder(const std::string& folder) {
    int up[2], down[2];
    EXPECT_EQ(pipe(up), 0);
    EXPECT_EQ(pipe(down), 0);
    pid_ = fork();
    if (pid_ == 0) {
      InstanceLock lock(folder);
      const char r = lock.acquire() == InstanceLock::Result::First ? 'F' : 'x';
      (void)!write(up[1], &r, 1);
      char c;
      (void)!read(down[0], &c, 1);
      _exit(0);
    }
    close(up[1]);
    close(down[0]);
    release_ = down[1];
    char r = 0;
    EXPECT_EQ(read(up[0], &r, 1), 1);
    close(up[0]);
    EXPECT_EQ(r, 'F');
  }
  void kill9() {
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  ~LockHolder() {
    if (pid_ > 0) {
      (void)!write(release_, "x", 1);
      waitpid(pid_, nullptr, 0);
    }
    close(release_);
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
};

TEST(InstanceLock, LiveHolderMakesASecondInstanceAndADeadOneDoesNot) {
  TempDir home;
  LockHolder holder(home.path().string());
  {
    InstanceLock lock(home.path().string());
    EXPECT_EQ(lock.acquire(), InstanceLock::Result::Second);
  }
  holder.kill9();
  InstanceLock lock(home.path().string());
  EXPECT_EQ(lock.acquire(), InstanceLock::Result::First);
}

TEST(InstanceLock, TwoDataFoldersHaveTwoFirstInstances) {
  TempDir a, b;
  LockHolder holder(a.path().string());
  InstanceLock lock(b.path().string());
  EXPECT_EQ(lock.acquire(), InstanceLock::Result::First);
}

TEST(InstanceLock, AFolderWithoutWriteAccessRunsAlone) {
  TempDir t;
  const std::filesystem::path home = t / "home";
  std::filesystem::create_directory(home);
  test::HandToUnprivileged(home);
  const std::string failure = test::RunUnprivileged([&]() -> std::string {
    std::filesystem::permissions(home, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    InstanceLock lock(home.string());
    std::string err;
    const InstanceLock::Result r = lock.acquire(&err);
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    if (r != InstanceLock::Result::Alone) return "not alone: " + std::to_string(static_cast<int>(r));
    if (err.empty()) return "no reason given";
    return "";
  });
  EXPECT_EQ(failure, "");
}

// The harness the test above runs its body in: a body that throws fails here, in this
// process, and a forked child never comes back into the test program.
TEST(RunUnprivileged, AnExceptionOfTheBodyIsItsFailure) {
  const pid_t me = getpid();
  const std::string failure = test::RunUnprivileged([]() -> std::string { throw std::runtime_error("no folder"); });
  if (getpid() != me) _exit(3);
  EXPECT_NE(failure.find("no folder"), std::string::npos) << failure;
}

TEST(InstanceLock, ALockThatCannotBeMadeRunsAlone) {
  TempDir home;
  // The data folder is a regular file: no lock can be made in it.
  const std::string notAFolder = (home / "file").string();
  { std::ofstream(notAFolder) << "x"; }
  InstanceLock lock(notAFolder);
  std::string err;
  EXPECT_EQ(lock.acquire(&err), InstanceLock::Result::Alone);
  EXPECT_FALSE(err.empty());
}

class Channel : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = InstanceServerName(home_.path().string());
    receiver_.handler = [this](const std::string& s) { got_.push_back(s); };
    receiver_.handOverDone = [this] { ++handOvers_; };
    ASSERT_TRUE(receiver_.listen(name_));
  }
  // Sends from another thread while this one runs the event loop.
  bool Send(const std::vector<std::string>& messages, int connectMs = 3000) {
    auto result = std::async(std::launch::async, [&] { return SendForwarded(name_, messages, nullptr, connectMs, 3000); });
    SpinUntil([&] { return result.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; });
    return result.get();
  }
  // Writes raw bytes and waits until the receiver drops the connection.
  void SendRaw(const std::string& bytes) {
    auto done = std::async(std::launch::async, [&] {
      QLocalSocket s;
      s.connectToServer(QString::fromStdString(name_));
      if (!s.waitForConnected(2000)) return;
      s.write(bytes.data(), static_cast<qint64>(bytes.size()));
      s.waitForBytesWritten(2000);
      s.waitForDisconnected(2000);
    });
    SpinUntil([&] { return done.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; });
  }

  TempDir home_;
  std::string name_;
  ForwardReceiver receiver_;
  std::vector<std::string> got_;
  int handOvers_ = 0;
};

TEST_F(Channel, MessagesArriveInOrderAfterRelease) {
  ASSERT_TRUE(Send({"-p", "5", "/w/a.txt", "-null"}));
  // Held until the window is shown.
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(got_.empty());
  EXPECT_EQ(receiver_.pending(), 4u);
  receiver_.release();
  SpinUntil([&] { return got_.size() == 4; });
  EXPECT_EQ(got_, (std::vector<std::string>{"-p", "5", "/w/a.txt", "-null"}));
  EXPECT_EQ(handOvers_, 1);
}

TEST_F(Channel, MalformedFramesAreDroppedAndNothingIsDelivered) {
  receiver_.release();
  for (const std::string& bad : {Frame(2, 2, std::string("a\0", 2)), Frame(1, 0, ""), Frame(1, 65537, "aaaa"),
                                 Frame(1, 2, "ab"), Frame(1, 4, std::string("a\0b\0", 4))})
    SendRaw(bad);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(got_.empty());
  // The channel still works afterwards.
  ASSERT_TRUE(Send({"-null"}));
  SpinUntil([&] { return got_.size() == 1; });
  EXPECT_EQ(got_, std::vector<std::string>{"-null"});
}

TEST_F(Channel, AHandlerThatRunsTheEventLoopIsNeverEnteredTwice) {
  int depth = 0, maxDepth = 0;
  receiver_.handler = [&](const std::string& s) {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    got_.push_back(s);
    // As a message box would.
    for (int i = 0; i < 30; ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      QThread::msleep(1);
    }
    --depth;
  };
  receiver_.release();
  ASSERT_TRUE(Send({"a", "b", "c", "-null"}));
  SpinUntil([&] { return got_.size() == 4; });
  EXPECT_EQ(got_, (std::vector<std::string>{"a", "b", "c", "-null"}));
  EXPECT_EQ(maxDepth, 1);
}

TEST(SendForwarded, FailsWhenNobodyListens) {
  TempDir home;
  std::string err;
  EXPECT_FALSE(SendForwarded(InstanceServerName(home.path().string()), {"-null"}, &err, 300));
  EXPECT_FALSE(err.empty());
}

TEST(SendForwarded, RefusesAnOverlongArgument) {
  std::string err;
  EXPECT_FALSE(SendForwarded("unused", {std::string(kMaxForwardBytes + 1, 'a')}, &err, 100));
  EXPECT_NE(err.find("too long"), std::string::npos);
}

}  // namespace
}  // namespace yomira
