// Opening web pages: the URL is confirmed in the URL dialog, the page is downloaded into a
// cache file in the data folder and the cache file is opened as a web entry that keeps the
// URL. Progress shows in the window caption.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/net/http_transfer.h"
#include "sources/document_sources.h"
#include "sources/sources_host.h"

namespace yomira {

enum TWebContentKind : int { wcOther = 0, wcHtml = 1, wcText = 2 };

// The main window as the fetch sees it. No Qt types here.
class WebHost {
 public:
  virtual ~WebHost() = default;
  // The URL dialog with proposed in its box; nullopt on Cancel.
  virtual std::optional<std::string> PromptUrl(const std::string& proposed) = 0;
  virtual void SetCaption(const std::string& utf8) = 0;
  // Input is refused while a page comes in; painting goes on.
  virtual void SetInputEnabled(bool enabled) = 0;
  // Lets pending events through; false once the window is closing.
  virtual bool PumpEvents() = 0;
};

// What a fetch found out besides its kind.
struct WebFetchResult {
  HttpStatus status = HttpStatus::Transfer;
  long httpCode = 0;
  std::string reason;     // "ok", "scheme", "http-404", ... and "write" for the cache
  std::string finalUrl;   // after redirects
  std::string charset;    // the Content-Type's charset parameter, as sent; "" without one
  int charCode = 0;       // the code-page choice that charset asks for; 0 automatic
  std::string cachePath;
  uint64_t bytes = 0;
};

class WebFetch {
 public:
  WebFetch(DocumentSources& sources, SourcesHost& host, WebHost& web);

  // The dialog, the fetch and the open of the page at rate (-1: the saved position). True
  // when a page was fetched and handed to the open. False at once while another open runs.
  bool OpenUrl(const std::string& url, int rate);
  // Downloads url into the cache file of its kind, with the captions.
  bool FetchUrl(const std::string& url, TWebContentKind& kind, WebFetchResult& result);
  bool FetchUrl(const std::string& url, TWebContentKind& kind);
  // The download itself; true for a 2xx text or HTML answer of at least one byte.
  bool DownloadToStream(const std::string& url, std::string& body, TWebContentKind& kind, WebFetchResult& result);

  // Trimmed of bytes up to 0x20 and 0x7F at both ends, cut before the first "#".
  static std::string NormalizeUrl(std::string_view url);
  static TWebContentKind ContentKind(std::string_view contentType);
  // The cache file of a kind in the data folder; "" for wcOther.
  static std::string WebCachePath(TWebContentKind kind);
  static bool IsOnline() { return true; }
  // The host of an absolute URL, percent escapes decoded, lower case; "" otherwise.
  static std::string HostOfUrl(const std::string& url);
  // The charset parameter of a Content-Type, unquoted; "" without one.
  static std::string CharsetOf(std::string_view contentType);

  // Limits of a transfer. The stall limit defaults to the option's TimeOut.
  uint64_t MaxBytes = 32ull << 20;
  std::optional<long> StallMs;
  long TotalMs = 300000;

 private:
  bool OpenUrlLocked(const std::string& url, int rate);

  DocumentSources& sources_;
  SourcesHost& host_;
  WebHost& web_;
};

}  // namespace yomira
