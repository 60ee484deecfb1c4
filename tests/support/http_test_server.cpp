#include "tests/support/http_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace yomira::test {
namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

bool SendAll(int fd, const char* data, size_t n) {
  while (n > 0) {
    const ssize_t k = ::send(fd, data, n, MSG_NOSIGNAL);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    data += k;
    n -= static_cast<size_t>(k);
  }
  return true;
}
bool SendAll(int fd, const std::string& s) { return SendAll(fd, s.data(), s.size()); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

HttpRoute HttpRoute::Text(std::string body, std::string type) {
  HttpRoute r;
  r.headers = {{"Content-Type", std::move(type)}};
  r.body = std::move(body);
  return r;
}

HttpRoute HttpRoute::Redirect(std::string location, int status) {
  HttpRoute r;
  r.status = status;
  r.headers = {{"Location", std::move(location)}, {"Content-Type", "text/html"}};
  r.body = "<p>moved</p>";
  return r;
}

std::optional<std::string> HttpRecordedRequest::Header(const std::string& name) const {
  const std::string want = Lower(name);
  for (const auto& [k, v] : headers)
    if (Lower(k) == want) return v;
  return std::nullopt;
}

HttpTestServer::HttpTestServer() {
  if (::pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("test server: pipe");
  listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_ < 0) throw std::runtime_error("test server: socket");
  const int one = 1;
  ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listen_, 64) != 0)
    throw std::runtime_error("test server: bind");
  socklen_t len = sizeof addr;
  ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

HttpTestServer::~HttpTestServer() { Stop(); }

void HttpTestServer::Stop() {
  if (stop_.exchange(true)) return;
  const char b = 1;
  [[maybe_unused]] const ssize_t w = ::write(wake_[1], &b, 1);
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> workers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    workers.swap(workers_);
  }
  for (auto& t : workers) t.join();
  ::close(listen_);
  listen_ = -1;
  ::close(wake_[0]);
  ::close(wake_[1]);
}

std::string HttpTestServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void HttpTestServer::Route(const std::string& path, HttpRoute route) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = std::move(route);
}

void HttpTestServer::SetHandler(Handler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handler_ = std::move(handler);
}

void HttpTestServer::SetLog(std::function<void(const HttpRecordedRequest&)> log) {
  std::lock_guard<std::mutex> lock(mutex_);
  log_ = std::move(log);
}

std::vector<HttpRecordedRequest> HttpTestServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void HttpTestServer::AcceptLoop() {
  while (!stop_) {
    pollfd fds[2] = {{listen_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) continue;
    const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    workers_.emplace_back([this, fd] {
      // A client that stops reading cannot hold a worker for ever.
      const timeval limit{10, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
      size_t index = SIZE_MAX;
      const uint64_t sent = Serve(fd, index);
      ::close(fd);
      std::lock_guard<std::mutex> lock(mutex_);
      if (index < requests_.size()) requests_[index].bodyBytesSent = sent;
    });
  }
}

bool HttpTestServer::WaitStop(int fd, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    int left = -1;
    if (ms >= 0) {
      left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
      if (left <= 0) return false;
    }
    pollfd fds[2] = {{wake_[0], POLLIN, 0}, {fd, POLLIN, 0}};
    const int r = ::poll(fds, 2, left);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || fds[0].revents) return true;
    if (fds[1].revents) {
      char buf[256];
      const ssize_t k = ::recv(fd, buf, sizeof buf, 0);
      if (k <= 0) return true;  // the client went: nothing more to send
    }
    if (r == 0) return false;
  }
}

uint64_t HttpTestServer::Serve(int fd, size_t& index) {
  // The request head, up to 64 KiB and 10 s.
  std::string head;
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < (64u << 10)) {
    pollfd fds[2] = {{wake_[0], POLLIN, 0}, {fd, POLLIN, 0}};
    const int r = ::poll(fds, 2, 10000);
    if (r <= 0 || fds[0].revents) return 0;
    char buf[4096];
    const ssize_t k = ::recv(fd, buf, sizeof buf, 0);
    if (k <= 0) return 0;
    head.append(buf, static_cast<size_t>(k));
  }
  HttpRecordedRequest req;
  std::istringstream in(head.substr(0, head.find("\r\n\r\n")));
  std::string line;
  std::getline(in, line);
  req.line = Trim(line);
  {
    std::istringstream parts(req.line);
    parts >> req.method >> req.target;
  }
  while (std::getline(in, line)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    req.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
  }
  std::optional<HttpRoute> route;
  std::function<void(const HttpRecordedRequest&)> log;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    index = requests_.size();
    requests_.push_back(req);
    log = log_;
    const std::string path = req.target.substr(0, req.target.find('?'));
    const auto it = routes_.find(path);
    if (it != routes_.end()) route = it->second;
    else if (handler_) route = handler_(req);
  }
  if (log) log(req);
  if (!route) {
    route = HttpRoute::Text("<p>not found</p>", "text/html");
    route->status = 404;
  }
  const HttpRoute& r = *route;
  if (r.delayMs > 0 && WaitStop(fd, r.delayMs)) return 0;

  std::string out = "HTTP/1.1 " + std::to_string(r.status) + " " + Reason(r.status) + "\r\n";
  bool hasLength = false;
  for (const auto& [k, v] : r.headers) {
    out += k + ": " + v + "\r\n";
    hasLength = hasLength || Lower(k) == "content-length";
  }
  if (r.chunked) out += "Transfer-Encoding: chunked\r\n";
  else if (!hasLength) out += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
  out += "Connection: close\r\n\r\n";
  if (!SendAll(fd, out)) return 0;

  uint64_t sent = 0;
  if (r.chunked) {
    const size_t piece = std::clamp<size_t>(r.body.size() / 3, 1, 16384);
    for (size_t at = 0; at < r.body.size(); at += piece) {
      const size_t n = std::min(piece, r.body.size() - at);
      std::ostringstream size;
      size << std::hex << n;
      if (!SendAll(fd, size.str() + "\r\n") || !SendAll(fd, r.body.data() + at, n) || !SendAll(fd, "\r\n")) return sent;
      sent += n;
    }
    SendAll(fd, "0\r\n\r\n");
    return sent;
  }
  size_t n = r.body.size();
  if (r.stallAfter >= 0) n = std::min(n, static_cast<size_t>(r.stallAfter));
  if (r.closeAfter >= 0) n = std::min(n, static_cast<size_t>(r.closeAfter));
  // In pieces, so that a client that goes away is noticed with the count of what it got.
  for (size_t at = 0; at < n;) {
    const size_t k = std::min<size_t>(n - at, 65536);
    if (!SendAll(fd, r.body.data() + at, k)) return sent;
    at += k;
    sent += k;
  }
  if (r.stallAfter >= 0) {
    WaitStop(fd, -1);
    return sent;
  }
  if (r.closeAfter < 0) ::shutdown(fd, SHUT_WR);
  return sent;
}

std::optional<HttpRoute> FixtureRoute(const std::string& root, const HttpRecordedRequest& request) {
  const std::string& target = request.target;
  const size_t q = target.find('?');
  const std::string path = PercentDecode(target.substr(0, q));
  const std::string query = q == std::string::npos ? "" : target.substr(q + 1);

  if (path.rfind("/redirect/", 0) == 0) {
    const std::string rest = path.substr(10);
    const size_t slash = rest.find('/');
    if (slash != std::string::npos) {
      const int n = std::atoi(rest.substr(0, slash).c_str());
      const std::string tail = rest.substr(slash + 1);
      if (n > 1) return HttpRoute::Redirect("/redirect/" + std::to_string(n - 1) + "/" + tail);
      if (n == 1) return HttpRoute::Redirect("/" + tail);
    }
  }
  if (path == "/to" && query.rfind("url=", 0) == 0) return HttpRoute::Redirect(PercentDecode(query.substr(4)));
  if (path == "/stall") {
    HttpRoute r = HttpRoute::Text(std::string(100, 'x'));
    r.stallAfter = 1;
    return r;
  }
  if (path.rfind("/big/", 0) == 0) {
    const long long n = std::atoll(path.substr(5).c_str());
    if (n >= 0 && n <= (1ll << 30)) return HttpRoute::Text(std::string(static_cast<size_t>(n), 'x'));
  }
  if (path == "/ua") return HttpRoute::Text(request.Header("User-Agent").value_or(""));

  // A file under root; no way out of it.
  if (path.empty() || path[0] != '/' || path.find("/..") != std::string::npos) return std::nullopt;
  const std::string file = root + path;
  struct stat st;
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::ifstream f(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << f.rdbuf();
  const size_t dot = path.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : Lower(path.substr(dot));
  std::string type = "application/octet-stream";
  if (ext == ".html" || ext == ".htm") type = "text/html";
  else if (ext == ".txt") type = "text/plain";
  else if (ext == ".xhtml") type = "application/xhtml+xml";
  return HttpRoute::Text(bytes.str(), type);
}

}  // namespace yomira::test
