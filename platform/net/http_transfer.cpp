#include "platform/net/http_transfer.h"

#include "platform/net/input_refusal.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <memory>

namespace yomira {
namespace {

using Clock = std::chrono::steady_clock;

// Data Qt may hold for us before the socket is left unread: a refused or oversized body
// stops at the socket instead of being downloaded into memory.
constexpr qint64 kReadBuffer = 256 * 1024;
// The longest wait for events, so that limits and the pump are looked at often enough.
constexpr int kRoundMs = 50;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The scheme before the first ":", lower-cased; "" when the text does not start with one.
std::string SchemeOf(const std::string& url) {
  const size_t colon = url.find(':');
  if (colon == std::string::npos || colon == 0) return "";
  std::string scheme;
  for (size_t i = 0; i < colon; ++i) {
    const char c = url[i];
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool ok = alpha || (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
    if (!ok) return "";
    scheme += Lower(c);
  }
  return scheme;
}

bool HttpScheme(const std::string& scheme) { return scheme == "http" || scheme == "https"; }

bool Is2xx(long code) { return code >= 200 && code <= 299; }

// The codes whose Location is followed (301/302/303 become a GET, which ours is anyway).
bool IsRedirect(long code) { return code == 300 || code == 301 || code == 302 || code == 303 || code == 307 || code == 308; }

// What ended one request.
enum class HopEnd {
  Finished,   // the reply finished by itself (its error says how)
  Redirect,   // a redirect's headers came; its body is not read
  Refused,    // a final code or type that is not taken; the body is not read
  TooLarge,
  Timeout,
  Cancelled,
};

struct Hop {
  HopEnd end = HopEnd::Finished;
  bool headers = false;
  long code = 0;
  std::string contentType;
  std::string location;  // as sent, for a redirect
  QNetworkReply::NetworkError error = QNetworkReply::NoError;
  std::string errorText;
};

struct Limits {
  Clock::time_point deadline;  // of the whole transfer
  std::chrono::milliseconds connect, stall;
  uint64_t maxBytes = 0;
};

// One GET of url, its body appended to body while it is taken.
Hop RunHop(QNetworkAccessManager& nam, const QUrl& url, const std::string& agent, const Limits& limits,
           const HttpAcceptType& acceptType, const HttpPump& pump, bool& pumpStopped, std::string& body) {
  QNetworkRequest request(url);
  // Each hop is looked at here before it is followed.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  // No cookie goes from one hop or one fetch to the next.
  request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
  request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
  request.setTransferTimeout(0);  // the limits are ours, below
  if (!agent.empty()) request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray::fromStdString(agent));

  Hop hop;
  bool finished = false;
  bool sent = false;
  bool taking = false;  // the final answer's body is being read
  const Clock::time_point start = Clock::now();
  Clock::time_point lastProgress = start;
  std::unique_ptr<QNetworkReply> reply(nam.get(request));
  reply->setReadBufferSize(kReadBuffer);
  QNetworkReply* r = reply.get();
  // Set by the handlers; the reply is aborted by the loop, outside its own signals.
  bool stop = false;

  QObject::connect(r, &QNetworkReply::requestSent, r, [&] {
    sent = true;
    lastProgress = Clock::now();
  });
  QObject::connect(r, &QNetworkReply::metaDataChanged, r, [&] {
    sent = true;
    lastProgress = Clock::now();
    if (hop.headers || stop) return;
    const QVariant status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return;
    hop.headers = true;
    hop.code = status.toInt();
    hop.contentType = r->rawHeader("Content-Type").toStdString();
    hop.location = r->rawHeader("Location").toStdString();
    if (IsRedirect(hop.code) && !hop.location.empty()) {
      hop.end = HopEnd::Redirect;
      stop = true;
    } else if (!Is2xx(hop.code) || !acceptType || !acceptType(hop.contentType)) {
      hop.end = HopEnd::Refused;
      stop = true;
    } else {
      bool known = false;
      const qlonglong length = r->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
      // A stated length counts only for a body that is not decompressed on its way to us.
      if (known && length > 0 && r->rawHeader("Content-Encoding").isEmpty() &&
          static_cast<uint64_t>(length) > limits.maxBytes) {
        hop.end = HopEnd::TooLarge;
        stop = true;
      } else {
        taking = true;
      }
    }
  });
  QObject::connect(r, &QIODevice::readyRead, r, [&] {
    lastProgress = Clock::now();
    if (!taking || stop) return;
    const qint64 n = r->bytesAvailable();
    if (n <= 0) return;
    if (body.size() + static_cast<uint64_t>(n) > limits.maxBytes) {
      hop.end = HopEnd::TooLarge;
      stop = true;
      return;
    }
    const QByteArray data = r->read(n);
    body.append(data.constData(), static_cast<size_t>(data.size()));
  });
  QObject::connect(r, &QNetworkReply::downloadProgress, r, [&] { lastProgress = Clock::now(); });
  QObject::connect(r, &QNetworkReply::finished, r, [&] { finished = true; });

  QEventLoop loop;
  QTimer round;
  round.start(kRoundMs);
  while (!finished && !stop) {
    // Painting, timers, the network and a close request go on; the user's input is dropped.
    loop.processEvents(QEventLoop::WaitForMoreEvents);
    if (finished || stop) break;
    const Clock::time_point now = Clock::now();
    if (now >= limits.deadline || (!sent && now - start > limits.connect) || (sent && now - lastProgress > limits.stall)) {
      hop.end = HopEnd::Timeout;
      stop = true;
      break;
    }
    // Outside every network signal: the pump may run event handlers of any kind.
    if (pump && !pump()) {
      pumpStopped = true;
      hop.end = HopEnd::Cancelled;
      stop = true;
      break;
    }
  }
  if (!finished) {
    r->disconnect();
    r->abort();
  } else {
    hop.error = r->error();
    hop.errorText = r->errorString().toStdString();
    // A body that came whole in one piece after the last round.
    if (taking && hop.end == HopEnd::Finished && r->bytesAvailable() > 0) {
      const qint64 n = r->bytesAvailable();
      if (body.size() + static_cast<uint64_t>(n) > limits.maxBytes) {
        hop.end = HopEnd::TooLarge;
      } else {
        const QByteArray data = r->readAll();
        body.append(data.constData(), static_cast<size_t>(data.size()));
      }
    }
  }
  return hop;
}

HttpStatus FromNetworkError(QNetworkReply::NetworkError e, bool headers) {
  switch (e) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
      return headers ? HttpStatus::Transfer : HttpStatus::Connect;
    case QNetworkReply::TimeoutError:
      return HttpStatus::Timeout;
    case QNetworkReply::ProtocolUnknownError:
      return HttpStatus::SchemeRefused;
    default:
      return HttpStatus::Transfer;
  }
}

}  // namespace

std::string CleanUserAgent(const std::string& agent) {
  std::string out;
  for (const char ch : agent) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c != 0x7F) out += ch;
  }
  return out;
}

std::string HttpStatusReason(HttpStatus status, long httpCode) {
  switch (status) {
    case HttpStatus::Ok: return "ok";
    case HttpStatus::BadUrl: return "bad-url";
    case HttpStatus::SchemeRefused: return "scheme";
    case HttpStatus::Connect: return "connect";
    case HttpStatus::Timeout: return "timeout";
    case HttpStatus::HttpError: return "http-" + std::to_string(httpCode);
    case HttpStatus::WrongType: return "type";
    case HttpStatus::Empty: return "empty";
    case HttpStatus::TooLarge: return "too-large";
    case HttpStatus::Transfer: return "transfer";
    case HttpStatus::Cancelled: return "cancelled";
  }
  return "transfer";
}

HttpResponse HttpGet(const HttpRequest& request, const HttpAcceptType& acceptType, const HttpPump& pump) {
  HttpResponse out;
  const std::string scheme = SchemeOf(request.url);
  if (scheme.empty()) {
    out.status = HttpStatus::BadUrl;
    return out;
  }
  if (!HttpScheme(scheme)) {
    out.status = HttpStatus::SchemeRefused;
    return out;
  }
  QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(request.url), QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty()) {
    out.status = HttpStatus::BadUrl;
    return out;
  }
  if (!QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread()) {
    out.detail = "no event loop on this thread";
    return out;
  }
  url.setFragment(QString());

  InputRefusal refusal;
  QNetworkAccessManager nam;
  // Direct access: a proxy from the environment would carry loopback and private traffic away.
  nam.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
  nam.setAutoDeleteReplies(false);
  nam.setStrictTransportSecurityEnabled(false);

  const Clock::time_point start = Clock::now();
  Limits limits;
  limits.deadline = start + std::chrono::milliseconds(std::max(1L, request.totalTimeoutMs));
  limits.connect = std::chrono::milliseconds(std::max(1L, request.connectTimeoutMs));
  limits.stall = std::chrono::milliseconds(std::max(1L, request.stallTimeoutMs));
  limits.maxBytes = request.maxBytes;
  const std::string agent = CleanUserAgent(request.userAgent);

  std::string body;
  bool pumpStopped = false;
  long redirects = 0;
  bool redirected = false;
  for (;;) {
    body.clear();
    const Hop hop = RunHop(nam, url, agent, limits, acceptType, pump, pumpStopped, body);
    if (hop.headers) out.httpCode = hop.code;
    out.contentType = hop.contentType;
    if (hop.end == HopEnd::Cancelled) {
      out.status = HttpStatus::Cancelled;
      break;
    }
    if (hop.end == HopEnd::Timeout) {
      out.status = HttpStatus::Timeout;
      break;
    }
    if (hop.end == HopEnd::Redirect) {
      if (redirects >= request.maxRedirects) {
        // One redirect too many: the answer is that redirect's code.
        out.status = HttpStatus::HttpError;
        out.detail = "too many redirects";
        break;
      }
      const QUrl target = url.resolved(QUrl::fromEncoded(QByteArray::fromStdString(hop.location), QUrl::TolerantMode));
      const std::string targetScheme = target.scheme().toLower().toStdString();
      if (!HttpScheme(targetScheme)) {
        out.status = HttpStatus::SchemeRefused;
        out.detail = "redirect to " + targetScheme;
        break;
      }
      if (!target.isValid() || target.host().isEmpty()) {
        out.status = HttpStatus::BadUrl;
        break;
      }
      ++redirects;
      redirected = true;
      url = target.adjusted(QUrl::RemoveFragment);
      continue;
    }
    if (!hop.headers) {
      // No answer at all: the name, the connection or TLS failed, or the peer hung up.
      out.status = hop.error == QNetworkReply::NoError ? HttpStatus::Transfer : FromNetworkError(hop.error, false);
      out.detail = hop.errorText;
      break;
    }
    // The final answer decides, in this order.
    if (!Is2xx(hop.code)) {
      out.status = HttpStatus::HttpError;
    } else if (!acceptType || !acceptType(hop.contentType)) {
      out.status = HttpStatus::WrongType;
    } else if (hop.end == HopEnd::TooLarge) {
      out.status = HttpStatus::TooLarge;
    } else if (hop.error != QNetworkReply::NoError) {
      out.status = FromNetworkError(hop.error, true);
      out.detail = hop.errorText;
    } else if (body.empty()) {
      out.status = HttpStatus::Empty;
    } else {
      out.status = HttpStatus::Ok;
      out.body = std::move(body);
    }
    break;
  }
  out.effectiveUrl = redirected ? url.toEncoded().toStdString() : request.url;
  return out;
}

}  // namespace yomira
