// One HTTP GET through Qt Network, driven by a local event loop on the main thread so that
// a window keeps painting while user input waits. The caller hands in an encoded URL and
// needs a QCoreApplication; no Qt type crosses this interface. Redirects are followed
// here, one hop at a time, so that every hop is checked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace yomira {

struct HttpRequest {
  std::string url;        // encoded (percent escapes, ACE host); http or https only
  std::string userAgent;  // control bytes are dropped; none sent when nothing is left
  long connectTimeoutMs = 30000;   // from each hop's start until its request is sent
  long stallTimeoutMs = 30000;     // no byte for this long, once the request is sent, ends it
  long totalTimeoutMs = 300000;    // all hops together
  uint64_t maxBytes = 32ull << 20;  // of the body as delivered (after gzip or deflate)
  long maxRedirects = 10;
};

enum class HttpStatus {
  Ok,
  BadUrl,         // not a URL a request can be made of
  SchemeRefused,  // a scheme other than http or https, a redirect included
  Connect,        // name lookup or connection failed
  Timeout,        // connect, stall or total limit
  HttpError,      // final code outside 200..299 (too many redirects included)
  WrongType,      // the type was refused, so the body was not read
  Empty,          // 2xx with no byte
  TooLarge,       // more than maxBytes
  Transfer,       // cut off or another transfer error
  Cancelled,      // pump() said stop
};

struct HttpResponse {
  HttpStatus status = HttpStatus::Transfer;
  long httpCode = 0;        // of the final response; 0 when none came
  std::string contentType;  // of the final response, as sent
  std::string effectiveUrl; // after redirects
  std::string body;         // only for Ok
  std::string detail;       // the network layer's words, for a reader of logs
};

// Accepts or refuses a response by its Content-Type before its body is read.
using HttpAcceptType = std::function<bool(const std::string& contentType)>;
// Runs between the rounds of events of the transfer (at least every 50 ms, never inside a
// network signal); false cancels.
using HttpPump = std::function<bool()>;

HttpResponse HttpGet(const HttpRequest& request, const HttpAcceptType& acceptType, const HttpPump& pump);

// The user agent as it is sent: every byte below 0x20 and 0x7F removed.
std::string CleanUserAgent(const std::string& agent);

// "ok", "bad-url", "scheme", "connect", "timeout", "http-<code>", "type", "empty",
// "too-large", "transfer", "cancelled".
std::string HttpStatusReason(HttpStatus status, long httpCode);

}  // namespace yomira
