// A loopback HTTP/1.1 server for the tests: it binds 127.0.0.1 on a free port, answers on
// its own threads from scripted routes and records every request. Each connection gets one
// answer and is closed. Nothing here waits without a bound: delays and stalls end when the
// client goes or the server stops.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace yomira::test {

struct HttpRoute {
  int status = 200;
  // Sent in this order; a Content-Length is added unless chunked or given here.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool chunked = false;
  int delayMs = 0;        // before the status line
  long stallAfter = -1;   // send this many body bytes, then nothing until the client goes
  long closeAfter = -1;   // send this many body bytes, then close

  static HttpRoute Text(std::string body, std::string type = "text/plain");
  static HttpRoute Redirect(std::string location, int status = 302);
};

struct HttpRecordedRequest {
  std::string line;    // "GET /a.txt HTTP/1.1"
  std::string method;
  std::string target;  // "/a.txt?x=1"
  std::vector<std::pair<std::string, std::string>> headers;
  uint64_t bodyBytesSent = 0;  // of the answer, known once the connection is done

  // The first header of that name (ASCII case-insensitive).
  std::optional<std::string> Header(const std::string& name) const;
};

class HttpTestServer {
 public:
  // Answers a request no route matched; nullopt gives 404 text/html "<p>not found</p>".
  using Handler = std::function<std::optional<HttpRoute>(const HttpRecordedRequest&)>;

  HttpTestServer();  // throws std::runtime_error when it cannot bind
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" + path.
  std::string Url(const std::string& path) const;

  // The route for a request target's path (the part before "?").
  void Route(const std::string& path, HttpRoute route);
  void SetHandler(Handler handler);
  std::vector<HttpRecordedRequest> Requests() const;
  // Stops: delays and stalls end at once, a send finishes or gives up after 10 s. Then
  // Requests() holds the body bytes each answer got out.
  void Stop();
  // Called for every request after it is recorded (from a server thread).
  void SetLog(std::function<void(const HttpRecordedRequest&)> log);

 private:
  void AcceptLoop();
  // The number of body bytes sent.
  uint64_t Serve(int fd, size_t& index);
  // Waits up to ms for the stop signal or the client's close; true when the server stops.
  bool WaitStop(int fd, int ms);

  int listen_ = -1;
  int wake_[2] = {-1, -1};
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::map<std::string, HttpRoute> routes_;
  Handler handler_;
  std::function<void(const HttpRecordedRequest&)> log_;
  std::vector<HttpRecordedRequest> requests_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

// The fixture server's answers over a folder (files by extension, /redirect/<n>/<path>,
// /to?url=..., /stall, /big/<n>, /ua); nullopt for a missing file.
std::optional<HttpRoute> FixtureRoute(const std::string& root, const HttpRecordedRequest& request);

}  // namespace yomira::test
