// One running instance per user and data folder: a lock file held by the first instance and
// a local socket over which a second start hands its arguments over. Frames: u32 LE tag 1,
// u32 LE length n + 1, the argument's n bytes, a NUL; the receiver answers 0x06 to each
// frame it accepts. QtCore and QtNetwork only, no display.
#pragma once

#include <QObject>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace yomira {

constexpr const char* kInstanceLockName = "ApplicationMutexYomiraDblOpenChk.lock";
constexpr const char* kInstanceServerPrefix = "ApplicationPropYomiraDblOpenChk";
constexpr const char* kForwardEnd = "-null";
constexpr uint32_t kForwardTag = 1;
constexpr size_t kMaxForwardBytes = 65535;  // one argument; its frame length is at most 65536
constexpr char kForwardAck = 0x06;

// The lock of the data folder: flock on a file in it, held while this object lives.
class InstanceLock {
 public:
  enum class Result {
    First,   // we hold the lock
    Second,  // a live process holds it
    Alone,   // the lock could not be made (permissions, full disk): run without it
  };
  explicit InstanceLock(const std::string& dataFolder);
  ~InstanceLock();
  Result acquire(std::string* err = nullptr);

 private:
  std::string path_;
  int fd_ = -1;
};

// "ApplicationPropYomiraDblOpenChk-<uid>-<first 16 hex digits of the SHA-1 of the canonical
// data folder>": short enough for a socket path, distinct per user and data folder.
std::string InstanceServerName(const std::string& dataFolder);

std::string EncodeForwardFrame(std::string_view argument);

// Reads frames from a byte stream as they come in.
class ForwardFrameReader {
 public:
  enum class Status { NeedMore, Frame, Bad };
  void feed(std::string_view bytes) { buffer_.append(bytes); }
  // The next whole frame into out; Bad for a wrong tag, a length of 0 or over 65536, a
  // missing final NUL or an inner NUL (the stream is then unusable).
  Status next(std::string& out);

 private:
  std::string buffer_;
  size_t pos_ = 0;
};

// Sends the messages one frame each, waiting for each acknowledgement. Connecting is retried
// every 100 ms for connectMs; each acknowledgement is awaited ackMs. False with a reason in
// err when the messages did not all get through.
bool SendForwarded(const std::string& serverName, const std::vector<std::string>& messages,
                   std::string* err, int connectMs = 3000, int ackMs = 5000);

// The first instance's end. Frames are queued as they arrive; once released they go to the
// handler one at a time from the event loop, in arrival order, never while another is being
// handled (a handler may run a nested event loop, as a message box does).
class ForwardReceiver : public QObject {
 public:
  explicit ForwardReceiver(QObject* parent = nullptr);
  ~ForwardReceiver() override;

  // Listens on name, owner-only, after removing a stale socket of that name.
  bool listen(const std::string& serverName, std::string* err = nullptr);

  // Called with each argument; then, after a hand-over's "-null", handOverDone.
  std::function<void(const std::string&)> handler;
  std::function<void()> handOverDone;
  // Wraps each call of the handlers (the exception guard); plain call when empty.
  std::function<void(const std::function<void()>&)> guard;

  // Until the first call, frames are only held.
  void release();
  size_t pending() const { return queue_.size(); }

 private:
  void onConnection();
  void onReadable(QLocalSocket* socket);
  void schedule();
  void deliverOne();

  QLocalServer* server_ = nullptr;
  std::map<QLocalSocket*, ForwardFrameReader> readers_;
  std::deque<std::string> queue_;
  bool released_ = false;
  bool delivering_ = false;
  bool scheduled_ = false;
};

}  // namespace yomira
