#include "platform/single_instance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace yomira {
namespace {

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t GetU32(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

void SetErr(std::string* err, std::string text) {
  if (err) *err = std::move(text);
}

}  // namespace

InstanceLock::InstanceLock(const std::string& dataFolder)
    : path_(dataFolder + "/" + kInstanceLockName) {}

InstanceLock::~InstanceLock() {
  // Closing drops the lock. The file stays: removing it would let a later start lock a new
  // file while a third still waits on the old one.
  if (fd_ >= 0) ::close(fd_);
}

InstanceLock::Result InstanceLock::acquire(std::string* err) {
  if (fd_ >= 0) return Result::First;
  // An advisory lock on an open file: the kernel drops it with the process, however the
  // process ends, so a holder is given up only when it is gone. Nothing is written.
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) {
    const int e = errno;
    SetErr(err, "cannot create the instance lock " + path_ + (e == EACCES || e == EPERM ? ": permission denied" : ""));
    return Result::Alone;
  }
  int rc;
  do rc = ::flock(fd, LOCK_EX | LOCK_NB);
  while (rc != 0 && errno == EINTR);
  if (rc == 0) {
    fd_ = fd;
    return Result::First;
  }
  const int e = errno;
  ::close(fd);
  if (e == EWOULDBLOCK) return Result::Second;
  SetErr(err, "cannot lock the instance lock " + path_ + ": " + std::strerror(e));
  return Result::Alone;
}

std::string InstanceServerName(const std::string& dataFolder) {
  const QString folder = QFile::decodeName(QByteArray::fromStdString(dataFolder));
  QString canonical = QFileInfo(folder).canonicalFilePath();
  if (canonical.isEmpty()) canonical = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  const QByteArray hash =
      QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1).toHex().left(16);
  return std::string(kInstanceServerPrefix) + "-" + std::to_string(::getuid()) + "-" + hash.toStdString();
}

std::string EncodeForwardFrame(std::string_view argument) {
  std::string out;
  out.reserve(argument.size() + 9);
  PutU32(out, kForwardTag);
  PutU32(out, static_cast<uint32_t>(argument.size() + 1));
  out.append(argument);
  out.push_back('\0');
  return out;
}

ForwardFrameReader::Status ForwardFrameReader::next(std::string& out) {
  const size_t avail = buffer_.size() - pos_;
  if (avail < 8) return Status::NeedMore;
  const char* p = buffer_.data() + pos_;
  const uint32_t tag = GetU32(p);
  const uint32_t len = GetU32(p + 4);
  if (tag != kForwardTag || len == 0 || len > kMaxForwardBytes + 1) return Status::Bad;
  if (avail - 8 < len) return Status::NeedMore;
  const std::string_view body(p + 8, len);
  if (body.back() != '\0') return Status::Bad;
  if (body.substr(0, len - 1).find('\0') != std::string_view::npos) return Status::Bad;
  out.assign(body.substr(0, len - 1));
  pos_ += 8 + len;
  if (pos_ == buffer_.size()) {
    buffer_.clear();
    pos_ = 0;
  }
  return Status::Frame;
}

bool SendForwarded(const std::string& serverName, const std::vector<std::string>& messages,
                   std::string* err, int connectMs, int ackMs) {
  for (const std::string& m : messages) {
    if (m.size() > kMaxForwardBytes) {
      SetErr(err, "argument too long to hand over (" + std::to_string(m.size()) + " bytes)");
      return false;
    }
  }
  QLocalSocket socket;
  const QString name = QString::fromStdString(serverName);
  QDeadlineTimer connectDeadline(connectMs);
  for (;;) {
    socket.connectToServer(name);
    if (socket.waitForConnected(100)) break;
    socket.abort();
    if (connectDeadline.hasExpired()) {
      SetErr(err, "the running instance does not answer");
      return false;
    }
    QThread::msleep(100);
  }
  for (const std::string& m : messages) {
    const std::string frame = EncodeForwardFrame(m);
    socket.write(frame.data(), static_cast<qint64>(frame.size()));
    QDeadlineTimer ackDeadline(ackMs);
    while (socket.bytesToWrite() > 0) {
      if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, ackDeadline.remainingTime())))) {
        SetErr(err, "the running instance stopped reading");
        return false;
      }
    }
    while (socket.bytesAvailable() < 1) {
      if (ackDeadline.hasExpired() ||
          !socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, ackDeadline.remainingTime())))) {
        SetErr(err, "the running instance did not acknowledge an argument");
        return false;
      }
    }
    char ack = 0;
    if (socket.read(&ack, 1) != 1 || ack != kForwardAck) {
      SetErr(err, "the running instance refused an argument");
      return false;
    }
  }
  socket.disconnectFromServer();
  return true;
}

ForwardReceiver::ForwardReceiver(QObject* parent) : QObject(parent) {}

ForwardReceiver::~ForwardReceiver() {
  if (server_) server_->close();
}

bool ForwardReceiver::listen(const std::string& serverName, std::string* err) {
  const QString name = QString::fromStdString(serverName);
  if (!server_) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &ForwardReceiver::onConnection);
  }
  // We hold the lock, so a socket of this name is left over from a dead instance.
  QLocalServer::removeServer(name);
  if (!server_->listen(name)) {
    SetErr(err, "cannot listen for other starts: " + server_->errorString().toStdString());
    return false;
  }
  return true;
}

void ForwardReceiver::onConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    readers_.emplace(socket, ForwardFrameReader{});
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadable(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
      readers_.erase(socket);
      socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0) onReadable(socket);
  }
}

void ForwardReceiver::onReadable(QLocalSocket* socket) {
  auto it = readers_.find(socket);
  if (it == readers_.end()) return;
  const QByteArray data = socket->readAll();
  it->second.feed(std::string_view(data.constData(), static_cast<size_t>(data.size())));
  std::string frame;
  for (;;) {
    const ForwardFrameReader::Status st = it->second.next(frame);
    if (st == ForwardFrameReader::Status::NeedMore) break;
    if (st == ForwardFrameReader::Status::Bad) {
      readers_.erase(it);
      socket->abort();
      return;
    }
    queue_.push_back(std::move(frame));
    socket->write(&kForwardAck, 1);
  }
  schedule();
}

void ForwardReceiver::release() {
  released_ = true;
  schedule();
}

void ForwardReceiver::schedule() {
  if (!released_ || delivering_ || scheduled_ || queue_.empty()) return;
  scheduled_ = true;
  QTimer::singleShot(0, this, &ForwardReceiver::deliverOne);
}

void ForwardReceiver::deliverOne() {
  scheduled_ = false;
  if (delivering_ || queue_.empty()) return;
  const std::string text = std::move(queue_.front());
  queue_.pop_front();
  delivering_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{delivering_};
  auto run = [&](const std::function<void()>& fn) {
    if (guard) guard(fn);
    else fn();
  };
  if (handler) run([&] { handler(text); });
  if (text == kForwardEnd && handOverDone) run([&] { handOverDone(); });
  delivering_ = false;
  schedule();
}

}  // namespace yomira
