#include "sources/web_fetch.h"

#include <QString>
#include <QUrl>

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/datafolder.h"
#include "sources/codepage.h"
#include "sources/flag_guard.h"
#include "sources/html_charset.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

constexpr char kInvalidUrl[] = " ]\nURLが無効です。";
constexpr char kNotOpened[] = " ]\nURLを開けませんでした。";

bool Blank(unsigned char c) { return c <= 0x20 || c == 0x7F; }

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && Blank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && Blank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Input is refused for the scope of a download, on every way out.
class InputDisabled {
 public:
  explicit InputDisabled(WebHost& web) : web_(web) { web_.SetInputEnabled(false); }
  ~InputDisabled() { web_.SetInputEnabled(true); }
  InputDisabled(const InputDisabled&) = delete;
  InputDisabled& operator=(const InputDisabled&) = delete;

 private:
  WebHost& web_;
};

}  // namespace

WebFetch::WebFetch(DocumentSources& sources, SourcesHost& host, WebHost& web)
    : sources_(sources), host_(host), web_(web) {}

std::string WebFetch::NormalizeUrl(std::string_view url) {
  std::string_view s = TrimBlanks(url);
  const size_t hash = s.find('#');
  if (hash != std::string_view::npos) s = s.substr(0, hash);
  return std::string(s);
}

TWebContentKind WebFetch::ContentKind(std::string_view contentType) {
  const std::string t = AsciiLower(TrimBlanks(contentType));
  if (t.find("text/html") != std::string::npos) return wcHtml;
  if (t.find("text/plain") != std::string::npos) return wcText;
  return wcOther;
}

std::string WebFetch::WebCachePath(TWebContentKind kind) {
  if (kind == wcHtml) return DataPath(ChangeFileExt("yomira", "_web.html"));
  if (kind == wcText) return DataPath(ChangeFileExt("yomira", "_web.txt"));
  return "";
}

std::string WebFetch::HostOfUrl(const std::string& url) {
  const QUrl u(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())));
  if (!u.isValid() || u.isRelative()) return "";
  return u.host(QUrl::FullyDecoded).toStdString();
}

std::string WebFetch::CharsetOf(std::string_view contentType) {
  const std::string lower = AsciiLower(contentType);
  size_t at = 0;
  // A parameter name, so "xcharset=" does not count.
  while ((at = lower.find("charset", at)) != std::string::npos) {
    const bool boundary = at == 0 || lower[at - 1] == ';' || Blank(static_cast<unsigned char>(lower[at - 1]));
    size_t i = at + 7;
    while (i < lower.size() && Blank(static_cast<unsigned char>(lower[i]))) ++i;
    if (boundary && i < lower.size() && lower[i] == '=') {
      std::string_view v = contentType.substr(i + 1);
      v = v.substr(0, v.find(';'));
      v = TrimBlanks(v);
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      return std::string(TrimBlanks(v));
    }
    at += 7;
  }
  return "";
}

bool WebFetch::DownloadToStream(const std::string& url, std::string& body, TWebContentKind& kind,
                                WebFetchResult& result) {
  kind = wcOther;
  body.clear();
  // Clamped in the live record, so the settings file gets the value that was used.
  sources_.Option.TimeOut = std::clamp<int32_t>(sources_.Option.TimeOut, 1, 60);
  const long timeoutMs = static_cast<long>(sources_.Option.TimeOut) * 1000;
  InputDisabled disabled(web_);

  // Blanks become %20, other bytes UTF-8 escapes, an international host its ACE form.
  const QUrl q(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())), QUrl::TolerantMode);
  const std::string scheme = q.scheme().toLower().toStdString();
  HttpResponse response;
  if (!q.isValid() || q.isRelative()) {
    response.status = HttpStatus::BadUrl;
  } else if (scheme != "http" && scheme != "https") {
    response.status = HttpStatus::SchemeRefused;
  } else if (q.host().isEmpty()) {
    response.status = HttpStatus::BadUrl;
  } else {
    HttpRequest request;
    request.url = q.toEncoded(QUrl::RemoveFragment).toStdString();
    request.userAgent = sources_.Option.HTTPAgent;
    request.connectTimeoutMs = timeoutMs;
    request.stallTimeoutMs = StallMs.value_or(timeoutMs);
    request.totalTimeoutMs = TotalMs;
    request.maxBytes = MaxBytes;
    request.maxRedirects = 10;
    response = HttpGet(
        request, [](const std::string& type) { return ContentKind(type) != wcOther; },
        [this] { return web_.PumpEvents(); });
    if (response.effectiveUrl.empty()) response.effectiveUrl = request.url;
  }
  kind = ContentKind(response.contentType);
  result.status = response.status;
  result.httpCode = response.httpCode;
  result.reason = HttpStatusReason(response.status, response.httpCode);
  result.finalUrl = response.effectiveUrl;
  result.charset = CharsetOf(response.contentType);
  body = std::move(response.body);
  result.bytes = body.size();
  // A declared UTF-8 without a byte-order mark is the choice without one.
  result.charCode = CharCodeFromCodePage(CodePageFromCharsetName(result.charset));
  if (result.charCode == ccUtf8 && body.compare(0, 3, "\xEF\xBB\xBF") != 0) result.charCode = ccUtf8N;
  return response.status == HttpStatus::Ok && !body.empty();
}

bool WebFetch::FetchUrl(const std::string& url, TWebContentKind& kind) {
  WebFetchResult result;
  return FetchUrl(url, kind, result);
}

bool WebFetch::FetchUrl(const std::string& url, TWebContentKind& kind, WebFetchResult& result) {
  kind = wcOther;
  if (!IsOnline()) return false;
  const std::string u(TrimBlanks(url));
  web_.SetCaption("Open URL [" + u + "] - yomira");
  std::string body;
  bool ok = DownloadToStream(u, body, kind, result);
  if (ok) {
    result.cachePath = WebCachePath(kind);
    // The old cache stays whole when the new one cannot be written.
    if (!AtomicWriteFile(result.cachePath, body).empty()) {
      ok = false;
      result.reason = "write";
    }
  }
  web_.SetCaption((ok ? "Success [" : "Failure [") + u + "] - yomira");
  return ok;
}

bool WebFetch::OpenUrl(const std::string& url, int rate) {
  // A second open from inside this one (a book-window click, a message box of an open).
  if (sources_.Loading) return false;
  bool opened = false;
  {
    FlagGuard guard(sources_.Loading);
    opened = OpenUrlLocked(url, rate);
  }
  // Arguments forwarded while the dialog or the download ran open now, in order.
  sources_.DrainForwarded();
  return opened;
}

bool WebFetch::OpenUrlLocked(const std::string& url, int rate) {
  host_.ForceForeground();
  const std::optional<std::string> text = web_.PromptUrl(url);
  if (!text) return false;
  const std::string u = NormalizeUrl(*text);
  if (u.size() <= 4 && u != "http") {
    host_.ShowMessage("[ " + u + kInvalidUrl);
    return false;
  }
  TWebContentKind kind = wcOther;
  WebFetchResult result;
  if (!FetchUrl(u, kind, result)) {
    // The window is closing: nothing to say and nothing to open.
    if (result.status != HttpStatus::Cancelled) host_.ShowMessage("[ " + u + kNotOpened);
    return false;
  }
  TFileItem entry;
  entry.Kind = fkWeb;
  entry.Rate = rate;
  entry.Path = result.cachePath;
  entry.Href = u;
  // Links of the page resolve against where it came from; the history keeps u.
  const std::string requested =
      QUrl(QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size())), QUrl::TolerantMode).toEncoded().toStdString();
  if (result.finalUrl != requested) entry.BaseUrl = result.finalUrl;
  sources_.PendingRate = rate;
  sources_.OpenFileItemLocked(entry, false, -1, result.charCode, false, true);
  return true;
}

}  // namespace yomira
