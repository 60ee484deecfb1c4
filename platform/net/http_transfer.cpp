#include "platform/net/http_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>

namespace yomira {
namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

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

bool Is2xx(long code) { return code >= 200 && code <= 299; }

struct Transfer {
  CURL* easy = nullptr;
  const HttpAcceptType* accept = nullptr;
  uint64_t maxBytes = 0;
  std::string body;
  bool checked = false;
  bool refused = false;   // stopped at the first chunk: code or type
  bool tooLarge = false;
};

size_t OnWrite(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (!t->checked) {
    t->checked = true;
    long code = 0;
    curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &code);
    char* type = nullptr;
    curl_easy_getinfo(t->easy, CURLINFO_CONTENT_TYPE, &type);
    const std::string contentType = type ? type : "";
    if (!Is2xx(code) || !*t->accept || !(*t->accept)(contentType)) {
      t->refused = true;
      return 0;
    }
  }
  if (t->body.size() + n > t->maxBytes) {
    t->tooLarge = true;
    return 0;
  }
  t->body.append(data, n);
  return n;
}

struct EasyDeleter {
  void operator()(CURL* e) const { curl_easy_cleanup(e); }
};
struct MultiDeleter {
  void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

HttpStatus FromCurlCode(CURLcode rc) {
  switch (rc) {
    case CURLE_UNSUPPORTED_PROTOCOL:
      return HttpStatus::SchemeRefused;
    case CURLE_URL_MALFORMAT:
      return HttpStatus::BadUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
      return HttpStatus::Connect;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpStatus::Timeout;
    case CURLE_TOO_MANY_REDIRECTS:
      return HttpStatus::HttpError;
    case CURLE_FILESIZE_EXCEEDED:
      return HttpStatus::TooLarge;
    default:
      return HttpStatus::Transfer;
  }
}

// Failures that leave the last code a redirect's, not the final answer's.
bool BeforeFinalResponse(CURLcode rc) {
  const HttpStatus s = FromCurlCode(rc);
  return s == HttpStatus::SchemeRefused || s == HttpStatus::BadUrl || s == HttpStatus::Connect ||
         s == HttpStatus::HttpError;
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
  if (scheme != "http" && scheme != "https") {
    out.status = HttpStatus::SchemeRefused;
    return out;
  }
  GlobalInit();
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!easy || !multi) {
    out.detail = "libcurl could not start";
    return out;
  }
  Transfer t;
  t.easy = easy.get();
  t.accept = &acceptType;
  t.maxBytes = request.maxBytes;

  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, request.maxRedirects);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, request.connectTimeoutMs));
  // The stall limit: less than one byte a second for this long.
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, std::max(1L, (request.stallTimeoutMs + 999) / 1000));
  curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, std::max(1L, request.totalTimeoutMs));
  // Direct access: a proxy from the environment would carry loopback and private traffic away.
  curl_easy_setopt(e, CURLOPT_PROXY, "");
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
  const std::string agent = CleanUserAgent(request.userAgent);
  if (!agent.empty()) curl_easy_setopt(e, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnWrite);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);

  if (curl_multi_add_handle(multi.get(), e) != CURLM_OK) {
    out.detail = "libcurl could not start";
    return out;
  }
  CURLcode rc = CURLE_OK;
  bool cancelled = false;
  bool done = false;
  // libcurl's low-speed check averages over seconds; this one ends a stall on time.
  using Clock = std::chrono::steady_clock;
  auto lastProgress = Clock::now();
  curl_off_t lastBytes = -1;
  const auto stallLimit = std::chrono::milliseconds(std::max(1L, request.stallTimeoutMs));
  while (!done) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      rc = CURLE_RECV_ERROR;
      break;
    }
    curl_off_t bytes = 0;
    long headerBytes = 0;
    curl_easy_getinfo(e, CURLINFO_SIZE_DOWNLOAD_T, &bytes);
    curl_easy_getinfo(e, CURLINFO_HEADER_SIZE, &headerBytes);
    bytes += headerBytes;
    if (bytes != lastBytes) {
      lastBytes = bytes;
      lastProgress = Clock::now();
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == e) {
        rc = msg->data.result;
        done = true;
      }
    }
    if (done || running == 0) break;
    if (Clock::now() - lastProgress > stallLimit) {
      rc = CURLE_OPERATION_TIMEDOUT;
      break;
    }
    curl_multi_poll(multi.get(), nullptr, 0, 50, nullptr);
    // Outside every libcurl call: the pump may run event handlers of any kind.
    if (pump && !pump()) {
      cancelled = true;
      break;
    }
  }
  curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &out.httpCode);
  char* type = nullptr;
  curl_easy_getinfo(e, CURLINFO_CONTENT_TYPE, &type);
  out.contentType = type ? type : "";
  char* effective = nullptr;
  curl_easy_getinfo(e, CURLINFO_EFFECTIVE_URL, &effective);
  out.effectiveUrl = effective ? effective : request.url;
  curl_multi_remove_handle(multi.get(), e);
  if (rc != CURLE_OK) out.detail = curl_easy_strerror(rc);

  // The final response decides; libcurl never calls back for an empty body or for the
  // bodies of the redirects it follows, so code and type are checked here again.
  if (cancelled) {
    out.status = HttpStatus::Cancelled;
  } else if (rc != CURLE_OK && (out.httpCode == 0 || BeforeFinalResponse(rc))) {
    out.status = FromCurlCode(rc);
  } else if (rc == CURLE_TOO_MANY_REDIRECTS || !Is2xx(out.httpCode)) {
    out.status = HttpStatus::HttpError;
  } else if (!acceptType || !acceptType(out.contentType)) {
    out.status = HttpStatus::WrongType;
  } else if (t.tooLarge || rc == CURLE_FILESIZE_EXCEEDED) {
    out.status = HttpStatus::TooLarge;
  } else if (rc != CURLE_OK) {
    out.status = FromCurlCode(rc);
  } else if (t.body.empty()) {
    out.status = HttpStatus::Empty;
  } else {
    out.status = HttpStatus::Ok;
    out.body = std::move(t.body);
  }
  return out;
}

}  // namespace yomira
