#include "platform/net/http_transfer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "tests/support/http_test_server.h"

namespace yomira {
namespace {

using test::HttpRoute;
using test::HttpTestServer;

bool AcceptText(const std::string& type) { return type.rfind("text/", 0) == 0; }

HttpResponse Get(const std::string& url, uint64_t maxBytes = 32ull << 20, long stallMs = 10000) {
  HttpRequest r;
  r.url = url;
  r.userAgent = "yomira";
  r.stallTimeoutMs = stallMs;
  r.maxBytes = maxBytes;
  return HttpGet(r, AcceptText, [] { return true; });
}

HttpRoute WithStatus(HttpRoute r, int status) {
  r.status = status;
  return r;
}

struct Case {
  const char* name;
  HttpRoute route;
  HttpStatus status;
  long code;
  std::string body;  // for Ok
  uint64_t maxBytes = 32ull << 20;
};

TEST(HttpGet, ClassifiesTheFinalAnswer) {
  HttpTestServer server;
  HttpRoute chunked = HttpRoute::Text(std::string(5000, 'c'));
  chunked.chunked = true;
  HttpRoute cutOff = HttpRoute::Text(std::string(1000, 'x'));
  cutOff.headers.emplace_back("Content-Length", "1000");
  cutOff.closeAfter = 10;
  HttpRoute untyped;
  untyped.body = "x";
  HttpRoute bigChunked = HttpRoute::Text(std::string(3000, 'b'));
  bigChunked.chunked = true;
  HttpRoute stall = HttpRoute::Text(std::string(100, 's'));
  stall.stallAfter = 1;
  const Case cases[] = {
      {"text", HttpRoute::Text("hello"), HttpStatus::Ok, 200, "hello"},
      {"chunked", chunked, HttpStatus::Ok, 200, std::string(5000, 'c')},
      {"not-found", WithStatus(HttpRoute::Text("<p>x", "text/html"), 404), HttpStatus::HttpError, 404, ""},
      {"empty-error", WithStatus(HttpRoute::Text(""), 500), HttpStatus::HttpError, 500, ""},
      {"empty", HttpRoute::Text(""), HttpStatus::Empty, 200, ""},
      {"empty-other-type", HttpRoute::Text("", "application/xhtml+xml"), HttpStatus::WrongType, 200, ""},
      {"other-type", HttpRoute::Text("<x/>", "application/xhtml+xml"), HttpStatus::WrongType, 200, ""},
      {"untyped", untyped, HttpStatus::WrongType, 200, ""},
      {"cut-off", cutOff, HttpStatus::Transfer, 200, ""},
      {"too-large-by-length", HttpRoute::Text(std::string(3000, 'l')), HttpStatus::TooLarge, 200, "", 1000},
      {"too-large-chunked", bigChunked, HttpStatus::TooLarge, 200, "", 1000},
      {"at-the-cap", HttpRoute::Text(std::string(1000, 'a')), HttpStatus::Ok, 200, std::string(1000, 'a'), 1000},
      {"stall", stall, HttpStatus::Timeout, 200, "", 32ull << 20},
  };
  for (const Case& c : cases) server.Route(std::string("/") + c.name, c.route);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HttpResponse r = Get(server.Url(std::string("/") + c.name), c.maxBytes, 1000);
    EXPECT_EQ(r.status, c.status) << HttpStatusReason(r.status, r.httpCode) << " " << r.detail;
    EXPECT_EQ(r.httpCode, c.code);
    EXPECT_EQ(r.body, c.body);
  }
}

TEST(HttpGet, ARefusedTypeIsNotDownloaded) {
  HttpTestServer server;
  const size_t size = 64u << 20;
  server.Route("/big.xhtml", HttpRoute::Text(std::string(size, 'x'), "application/xhtml+xml"));
  HttpRequest r;
  r.url = server.Url("/big.xhtml");
  r.maxBytes = 2 * size;
  EXPECT_EQ(HttpGet(r, AcceptText, {}).status, HttpStatus::WrongType);
  server.Stop();
  ASSERT_EQ(server.Requests().size(), 1u);
  // What the socket buffers took before the client went, far from the whole body.
  EXPECT_LT(server.Requests()[0].bodyBytesSent, size / 2);
}

TEST(HttpGet, FollowsRedirectsOnlyToHttpAndOnlyTen) {
  HttpTestServer server;
  server.SetHandler([&server](const test::HttpRecordedRequest& r) -> std::optional<HttpRoute> {
    // /r/<n> redirects n more times, then to the page.
    if (r.target.rfind("/r/", 0) == 0) {
      const int n = std::atoi(r.target.c_str() + 3);
      return HttpRoute::Redirect(n > 1 ? "/r/" + std::to_string(n - 1) : "/page.txt", n == 10 ? 301 : 302);
    }
    (void)server;
    return std::nullopt;
  });
  server.Route("/page.txt", HttpRoute::Text("page"));
  server.Route("/to-file", HttpRoute::Redirect("file:///etc/passwd"));
  // At this server's own port: a client that followed it would be seen here.
  server.Route("/to-ftp", HttpRoute::Redirect("ftp://127.0.0.1:" + std::to_string(server.port()) + "/x"));
  server.Route("/then-ftp", HttpRoute::Redirect("/to-ftp"));
  server.Route("/to-data", HttpRoute::Redirect("data:text/plain,x"));
  server.Route("/relative/a", HttpRoute::Redirect("../page.txt", 307));
  server.Route("/scheme-relative", HttpRoute::Redirect("//127.0.0.1:" + std::to_string(server.port()) + "/page.txt", 308));
  server.Route("/no-location", [] {
    HttpRoute r = HttpRoute::Text("<p>moved", "text/html");
    r.status = 302;
    return r;
  }());

  const HttpResponse ten = Get(server.Url("/r/10"));
  EXPECT_EQ(ten.status, HttpStatus::Ok);
  EXPECT_EQ(ten.body, "page");
  EXPECT_EQ(ten.effectiveUrl, server.Url("/page.txt"));

  const HttpResponse eleven = Get(server.Url("/r/11"));
  EXPECT_EQ(eleven.status, HttpStatus::HttpError);
  EXPECT_EQ(eleven.httpCode, 302);  // the redirect that was one too many
  EXPECT_EQ(eleven.body, "");
  for (const char* path : {"/to-file", "/to-ftp", "/then-ftp", "/to-data"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Get(server.Url(path)).status, HttpStatus::SchemeRefused);
  }
  for (const char* path : {"/relative/a", "/scheme-relative"}) {
    SCOPED_TRACE(path);
    const HttpResponse r = Get(server.Url(path));
    EXPECT_EQ(r.status, HttpStatus::Ok);
    EXPECT_EQ(r.body, "page");
    EXPECT_EQ(r.effectiveUrl, server.Url("/page.txt"));
  }
  const HttpResponse stuck = Get(server.Url("/no-location"));
  EXPECT_EQ(stuck.status, HttpStatus::HttpError);
  EXPECT_EQ(stuck.httpCode, 302);
  server.Stop();
  for (const auto& r : server.Requests()) EXPECT_NE(r.target, "/x") << r.line;
}

// zlib's stream (windowBits 15) or gzip's (31) of data.
std::string Compress(const std::string& data, int windowBits) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, data.size()) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

HttpRoute Encoded(const std::string& body, const char* encoding, int windowBits) {
  HttpRoute r = HttpRoute::Text(Compress(body, windowBits));
  r.headers.emplace_back("Content-Encoding", encoding);
  return r;
}

TEST(HttpGet, ACompressedBodyIsDecodedAndCappedAsDecoded) {
  HttpTestServer server;
  const std::string text = "gzip and deflate bodies arrive as the page itself. ";
  std::string page;
  while (page.size() < 20000) page += text;
  // 4 MiB of one byte: a few KiB on the wire.
  const std::string bomb(4u << 20, 'z');
  server.Route("/gzip", Encoded(page, "gzip", 31));
  server.Route("/deflate", Encoded(page, "deflate", 15));
  server.Route("/bomb", Encoded(bomb, "gzip", 31));
  ASSERT_LT(Compress(bomb, 31).size(), 64u * 1024);
  for (const char* path : {"/gzip", "/deflate"}) {
    SCOPED_TRACE(path);
    const HttpResponse r = Get(server.Url(path), page.size());
    EXPECT_EQ(r.status, HttpStatus::Ok) << r.detail;
    EXPECT_EQ(r.body, page);
    // One byte less than the page decodes to is too little.
    EXPECT_EQ(Get(server.Url(path), page.size() - 1).status, HttpStatus::TooLarge);
  }
  const HttpResponse r = Get(server.Url("/bomb"), 1u << 20);
  EXPECT_EQ(r.status, HttpStatus::TooLarge);
  EXPECT_EQ(r.body, "");
}

TEST(HttpGet, TheLimitsOfTimeHold) {
  HttpTestServer server;
  HttpRoute slowHeaders = HttpRoute::Text("late");
  slowHeaders.delayMs = 5000;
  HttpRoute trickle = HttpRoute::Text(std::string(100, 't'));
  trickle.stallAfter = 1;
  server.Route("/slow-headers", slowHeaders);
  server.Route("/trickle", trickle);
  const struct {
    const char* path;
    long stallMs, totalMs;
  } cases[] = {
      {"/slow-headers", 400, 300000},  // waiting for the answer counts as a stall
      {"/trickle", 60000, 600},        // the whole transfer's limit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    HttpRequest r;
    r.url = server.Url(c.path);
    r.stallTimeoutMs = c.stallMs;
    r.totalTimeoutMs = c.totalMs;
    const auto start = std::chrono::steady_clock::now();
    const HttpResponse out = HttpGet(r, AcceptText, {});
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(out.status, HttpStatus::Timeout);
    EXPECT_EQ(out.body, "");
    // Ended by this case's limit: the server's delay or the stall limit is ten times longer.
    EXPECT_LT(ms, std::min(c.stallMs, c.totalMs) * 10) << ms;
  }
}

TEST(HttpGet, RefusesOtherSchemesWithoutARequest) {
  HttpTestServer server;
  const std::string port = std::to_string(server.port());
  const struct {
    std::string url;
    HttpStatus status;
  } cases[] = {
      {"file:///etc/passwd", HttpStatus::SchemeRefused},
      {"ftp://127.0.0.1:" + port + "/x", HttpStatus::SchemeRefused},
      {"httpx://127.0.0.1:" + port + "/", HttpStatus::SchemeRefused},
      {"dict://127.0.0.1:" + port + "/", HttpStatus::SchemeRefused},
      {"127.0.0.1:" + port + "/x", HttpStatus::BadUrl},  // a scheme starts with a letter
      {"/x", HttpStatus::BadUrl},
      {"", HttpStatus::BadUrl},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const HttpResponse r = Get(c.url);
    EXPECT_EQ(r.status, c.status);
  }
  EXPECT_TRUE(server.Requests().empty());
}

TEST(HttpGet, SendsTheAgentWithoutControlBytesAndNoneWhenEmpty) {
  HttpTestServer server;
  server.Route("/ua", HttpRoute::Text("ok"));
  const struct {
    std::string agent;
    std::optional<std::string> seen;
  } cases[] = {
      {"a\r\nX-Evil: 1", "aX-Evil: 1"},
      {"yomira/1.62 (\t)\x7f", "yomira/1.62 ()"},
      // Nothing left: Qt Network sends its own default.
      {"", "Mozilla/5.0"},
      {"\r\n\x01", "Mozilla/5.0"},
  };
  for (const auto& c : cases) {
    HttpRequest r;
    r.url = server.Url("/ua");
    r.userAgent = c.agent;
    EXPECT_EQ(HttpGet(r, AcceptText, {}).status, HttpStatus::Ok);
  }
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), std::size(cases));
  for (size_t i = 0; i < requests.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(requests[i].Header("User-Agent"), cases[i].seen);
    EXPECT_FALSE(requests[i].Header("X-Evil"));
    // Only encodings that Qt decodes on the way in, where the cap counts what they decode to.
    const std::string asked = requests[i].Header("Accept-Encoding").value_or("");
    EXPECT_NE(asked.find("gzip"), std::string::npos) << asked;
    std::stringstream list(asked);
    for (std::string e; std::getline(list, e, ',');) {
      e.erase(0, e.find_first_not_of(' '));
      EXPECT_TRUE(e == "gzip" || e == "deflate" || e == "br" || e == "zstd") << asked;
    }
    EXPECT_FALSE(requests[i].Header("Cookie"));
  }
}

TEST(HttpGet, APumpThatSaysStopCancelsAndIsNotAskedAgain) {
  HttpTestServer server;
  HttpRoute stall = HttpRoute::Text(std::string(100, 's'));
  stall.stallAfter = 1;
  server.Route("/stall", stall);
  HttpRequest r;
  r.url = server.Url("/stall");
  r.stallTimeoutMs = 60000;
  int calls = 0;
  const HttpResponse out = HttpGet(r, AcceptText, [&] { return ++calls < 3; });
  EXPECT_EQ(out.status, HttpStatus::Cancelled);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(out.body, "");
}

// Records the type of every event it is given.
class EventRecorder : public QObject {
 public:
  bool event(QEvent* e) override {
    types.push_back(e->type());
    return true;
  }
  std::vector<QEvent::Type> types;
};

TEST(HttpGet, EventsGoOnWhileTheUsersInputIsDropped) {
  HttpTestServer server;
  HttpRoute slow = HttpRoute::Text("slow");
  slow.delayMs = 300;
  server.Route("/slow", slow);
  EventRecorder recorder;
  QCoreApplication::postEvent(&recorder, new QEvent(QEvent::KeyPress));
  QCoreApplication::postEvent(&recorder, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&recorder, new QEvent(QEvent::MouseButtonPress));
  HttpRequest r;
  r.url = server.Url("/slow");
  std::vector<size_t> seenAtPump;
  const HttpResponse out = HttpGet(r, AcceptText, [&] {
    seenAtPump.push_back(recorder.types.size());
    return true;
  });
  EXPECT_EQ(out.status, HttpStatus::Ok);
  EXPECT_EQ(recorder.types, (std::vector<QEvent::Type>{QEvent::User}));
  ASSERT_FALSE(seenAtPump.empty());
  EXPECT_EQ(seenAtPump.front(), 1u);  // delivered before the answer came
  // Afterwards input goes through again.
  QCoreApplication::postEvent(&recorder, new QEvent(QEvent::KeyPress));
  QCoreApplication::sendPostedEvents(&recorder);
  EXPECT_EQ(recorder.types, (std::vector<QEvent::Type>{QEvent::User, QEvent::KeyPress}));
}

TEST(HttpGet, IgnoresProxiesOfTheEnvironment) {
  HttpTestServer server;
  server.Route("/a.txt", HttpRoute::Text("direct"));
  const char* names[] = {"http_proxy", "HTTP_PROXY", "https_proxy", "ALL_PROXY", "all_proxy"};
  for (const char* n : names) setenv(n, "http://127.0.0.1:1", 1);
  const HttpResponse r = Get(server.Url("/a.txt"));
  for (const char* n : names) unsetenv(n);
  EXPECT_EQ(r.status, HttpStatus::Ok);
  EXPECT_EQ(r.body, "direct");
}

TEST(HttpGet, AClosedPortIsAConnectFailure) {
  // A port that was free a moment ago and has nobody listening.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  const int port = ntohs(addr.sin_port);
  ::close(fd);
  const HttpResponse r = Get("http://127.0.0.1:" + std::to_string(port) + "/x");
  EXPECT_EQ(r.status, HttpStatus::Connect);
  EXPECT_EQ(HttpStatusReason(r.status, r.httpCode), "connect");
}

}  // namespace
}  // namespace yomira
