// The web fetch against a loopback server of the test's own: the dialog's answer, the
// download, the cache files, the captions, the open and the guard against nested opens.
#include "sources/web_fetch.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>

#include "fake_sources_host.h"
#include "platform/atomic_file.h"
#include "platform/datafolder.h"
#include "support/http_test_server.h"
#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using test::HttpRoute;
using test::HttpTestServer;
using test::SourcesWorld;

// The window as the fetch sees it: the dialog answers from a queue (the proposed text when
// it is empty), captions and input states are recorded, the pump can be scripted.
class FakeWebHost : public WebHost {
 public:
  std::optional<std::string> PromptUrl(const std::string& proposed) override {
    proposals.push_back(proposed);
    if (whilePrompt) whilePrompt();
    if (answers.empty()) return proposed;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
  void SetCaption(const std::string& text) override { captions.push_back(text); }
  void SetInputEnabled(bool enabled) override { inputStates.push_back(enabled); }
  bool PumpEvents() override {
    ++pumps;
    return onPump ? onPump() : true;
  }

  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> proposals, captions;
  std::vector<bool> inputStates;
  std::function<void()> whilePrompt;
  std::function<bool()> onPump;
  int pumps = 0;
};

// One data folder for the process, made before anything asks for it.
const fs::path& Home() {
  static test::TempDir dir;
  static const bool set = [] { return setenv("YOMIRA_HOME", dir.path().c_str(), 1) == 0; }();
  (void)set;
  return dir.path();
}

class WebFetchTest : public ::testing::Test {
 protected:
  WebFetchTest() : fetch_(world_.sources, world_.host, web_) {
    EXPECT_EQ(DataFolder(), Home().string());
    fs::remove(HtmlCache());
    fs::remove(TextCache());
    world_.fields.Option.HTTPAgent = "yomira";
  }
  static fs::path HtmlCache() { return Home() / "yomira_web.html"; }
  static fs::path TextCache() { return Home() / "yomira_web.txt"; }
  void SeedCaches() {
    std::ofstream(HtmlCache(), std::ios::binary) << "old html";
    std::ofstream(TextCache(), std::ios::binary) << "old text";
  }
  void ExpectCachesUnchanged() {
    EXPECT_EQ(test::ReadFileBytes(HtmlCache()), "old html");
    EXPECT_EQ(test::ReadFileBytes(TextCache()), "old text");
  }

  HttpTestServer server_;
  SourcesWorld world_;
  FakeWebHost web_;
  WebFetch fetch_;
};

TEST(WebFetchText, NormalizeUrl) {
  const std::pair<std::string, std::string> cases[] = {
      {" \t http://h/a#b#c \r\n", "http://h/a"},
      {"#x", ""},
      {"http://h/a", "http://h/a"},
      {"\x7fhttp://h/\x01", "http://h/"},
      {"", ""},
      {"  ", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(WebFetch::NormalizeUrl(in), out) << test::hex(in);
}

TEST(WebFetchText, ContentKindAndCharset) {
  const std::pair<std::string, TWebContentKind> kinds[] = {
      {"text/html; charset=x", wcHtml}, {" TEXT/HTML ", wcHtml}, {"text/plain", wcText},
      {"application/xhtml+xml", wcOther}, {"", wcOther},          {"text/plain; x=text/html", wcHtml},
  };
  for (const auto& [type, kind] : kinds) EXPECT_EQ(WebFetch::ContentKind(type), kind) << type;
  const std::pair<std::string, std::string> charsets[] = {
      {"text/html; charset=Shift_JIS", "Shift_JIS"}, {"text/plain;charset=\"UTF-8\"", "UTF-8"},
      {"text/plain; CHARSET = euc-jp ; x=y", "euc-jp"}, {"text/plain; xcharset=utf-8", ""},
      {"text/plain", ""},                             {"text/plain; charset=", ""},
  };
  for (const auto& [type, charset] : charsets) EXPECT_EQ(WebFetch::CharsetOf(type), charset) << type;
}

TEST(WebFetchText, HostOfUrl) {
  const std::pair<std::string, std::string> cases[] = {
      {"http://ex%61mple.com/x", "example.com"}, {"http://u:p@h:8080/p", "h"}, {"http://[::1]:80/", "::1"},
      {"HTTP://Example.COM/", "example.com"},    {"example.com/x", ""},       {"", ""},
  };
  for (const auto& [url, host] : cases) EXPECT_EQ(WebFetch::HostOfUrl(url), host) << url;
}

TEST(WebFetchText, RandomTextsNeverBreakTheParsers) {
  std::mt19937 rng(22);
  const std::string alphabet = std::string("http:/#%@[]:;=\" \t\r\nabcHTMLcharset") + '\x7f' + '\x01' + "\xe3\x81\x82";
  for (int i = 0; i < 3000; ++i) {
    std::string s;
    const int n = static_cast<int>(rng() % 40);
    for (int k = 0; k < n; ++k) s += rng() % 8 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng() % 256);
    const std::string u = WebFetch::NormalizeUrl(s);
    EXPECT_EQ(u.find('#'), std::string::npos) << test::hex(s);
    // The blanks before a fragment stay (they are part of the path); the ends of the text do not.
    if (!u.empty()) {
      EXPECT_GT(static_cast<unsigned char>(u.front()), 0x20) << test::hex(s);
      EXPECT_NE(u.front(), '\x7f') << test::hex(s);
    }
    EXPECT_NE(s.find(u), std::string::npos) << test::hex(s);
    WebFetch::ContentKind(s);
    EXPECT_LE(WebFetch::CharsetOf(s).size(), s.size());
    WebFetch::HostOfUrl(s);
  }
}

struct FetchCase {
  const char* path;
  HttpRoute route;
  bool ok;
  TWebContentKind kind;
  std::string reason;
};

TEST_F(WebFetchTest, FetchWritesTheCacheOfItsKindOrLeavesBothAlone) {
  const std::string sjis = test::sj(u8"<title>猫</title><p>吾輩は猫である。");
  HttpRoute chunked = HttpRoute::Text(std::string(3000, 'c'));
  chunked.chunked = true;
  HttpRoute untyped;
  untyped.body = "x";
  HttpRoute cutOff = HttpRoute::Text(std::string(1000, 'x'));
  cutOff.headers.emplace_back("Content-Length", "1000");
  cutOff.closeAfter = 10;
  HttpRoute notFound = HttpRoute::Text("<p>x", "text/html");
  notFound.status = 404;
  HttpRoute stall = HttpRoute::Text(std::string(100, 's'));
  stall.stallAfter = 1;
  const FetchCase cases[] = {
      {"/sjis.html", HttpRoute::Text(sjis, "text/html; charset=Shift_JIS"), true, wcHtml, "ok"},
      {"/upper.txt", HttpRoute::Text("upper", "TEXT/PLAIN"), true, wcText, "ok"},
      {"/chunked.txt", chunked, true, wcText, "ok"},
      {"/page.xhtml", HttpRoute::Text("<x/>", "application/xhtml+xml"), false, wcOther, "type"},
      {"/untyped", untyped, false, wcOther, "type"},
      {"/empty.txt", HttpRoute::Text(""), false, wcText, "empty"},
      {"/missing.html", notFound, false, wcHtml, "http-404"},
      {"/cut.txt", cutOff, false, wcText, "transfer"},
      {"/big.txt", HttpRoute::Text(std::string(2u << 20, 'b')), false, wcText, "too-large"},
      {"/stall.txt", stall, false, wcText, "timeout"},
  };
  fetch_.MaxBytes = 1u << 20;
  fetch_.StallMs = 1000;
  for (const FetchCase& c : cases) server_.Route(c.path, c.route);
  for (const FetchCase& c : cases) {
    SCOPED_TRACE(c.path);
    SeedCaches();
    web_.captions.clear();
    web_.inputStates.clear();
    TWebContentKind kind = wcOther;
    WebFetchResult r;
    const std::string url = server_.Url(c.path);
    EXPECT_EQ(fetch_.FetchUrl(url, kind, r), c.ok);
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(r.reason, c.reason);
    const std::vector<std::string> captions = {"Open URL [" + url + "] - yomira",
                                               (c.ok ? "Success [" : "Failure [") + url + "] - yomira"};
    EXPECT_EQ(web_.captions, captions);
    EXPECT_EQ(web_.inputStates, (std::vector<bool>{false, true}));
    if (!c.ok) {
      ExpectCachesUnchanged();
      continue;
    }
    const fs::path written = kind == wcHtml ? HtmlCache() : TextCache();
    const fs::path other = kind == wcHtml ? TextCache() : HtmlCache();
    EXPECT_EQ(r.cachePath, written.string());
    EXPECT_EQ(test::ReadFileBytes(written), c.route.body);
    EXPECT_EQ(test::ReadFileBytes(other), kind == wcHtml ? "old text" : "old html");
  }
  // An empty answer writes no file at all.
  fs::remove(TextCache());
  TWebContentKind kind;
  EXPECT_FALSE(fetch_.FetchUrl(server_.Url("/empty.txt"), kind));
  EXPECT_FALSE(fs::exists(TextCache()));
}

TEST_F(WebFetchTest, AFailedCacheWriteIsAFailureAndKeepsTheOldFile) {
  server_.Route("/a.txt", HttpRoute::Text("new"));
  SeedCaches();
  SetAtomicWriteFailHook([](AtomicWriteStep step) { return step == AtomicWriteStep::Rename; });
  const bool opened = fetch_.OpenUrl(server_.Url("/a.txt"), 0);
  SetAtomicWriteFailHook(nullptr);
  EXPECT_FALSE(opened);
  ExpectCachesUnchanged();
  EXPECT_EQ(web_.captions.back(), "Failure [" + server_.Url("/a.txt") + "] - yomira");
  EXPECT_EQ(world_.host.messages, (std::vector<std::string>{"[ " + server_.Url("/a.txt") + " ]\nURLを開けませんでした。"}));
  EXPECT_TRUE(world_.fields.RecentFiles.empty());
}

TEST_F(WebFetchTest, ARedirectedPageKeepsItsAddressAndResolvesAgainstTheFinalOne) {
  server_.Route("/a", HttpRoute::Redirect("/b.html", 301));
  server_.Route("/b.html", HttpRoute::Text("<p>b", "text/html"));
  EXPECT_TRUE(fetch_.OpenUrl(server_.Url("/a"), 0));
  ASSERT_EQ(world_.fields.RecentFiles.size(), 1u);
  const TFileItem& e = *world_.fields.RecentFiles[0];
  EXPECT_EQ(e.Kind, fkWeb);
  EXPECT_EQ(e.Href, server_.Url("/a"));
  EXPECT_EQ(e.BaseUrl, server_.Url("/b.html"));
  EXPECT_EQ(e.GetLocation(), server_.Url("/a"));
  EXPECT_EQ(e.Path, HtmlCache().string());
}

TEST_F(WebFetchTest, AnErrorPageIsNotOpened) {
  HttpRoute notFound = HttpRoute::Text("<p>x", "text/html");
  notFound.status = 404;
  server_.Route("/missing.html", notFound);
  SeedCaches();
  const std::string url = server_.Url("/missing.html");
  EXPECT_FALSE(fetch_.OpenUrl(url, 0));
  EXPECT_EQ(web_.captions.back(), "Failure [" + url + "] - yomira");
  EXPECT_EQ(world_.host.messages, (std::vector<std::string>{"[ " + url + " ]\nURLを開けませんでした。"}));
  EXPECT_TRUE(world_.fields.RecentFiles.empty());
  EXPECT_TRUE(world_.host.CallsStartingWith("Relayout").empty());
  ExpectCachesUnchanged();
}

TEST_F(WebFetchTest, OtherSchemesAreRefusedWithoutARequest) {
  for (const std::string& url : std::vector<std::string>{"file:///etc/passwd", "ftp://127.0.0.1:" + std::to_string(server_.port()) + "/x",
                                std::string("httpx://h/")}) {
    SCOPED_TRACE(url);
    web_.captions.clear();
    world_.host.Clear();
    EXPECT_FALSE(fetch_.OpenUrl(url, 0));
    EXPECT_EQ(web_.captions, (std::vector<std::string>{"Open URL [" + url + "] - yomira", "Failure [" + url + "] - yomira"}));
    EXPECT_EQ(world_.host.messages, (std::vector<std::string>{"[ " + url + " ]\nURLを開けませんでした。"}));
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(WebFetchTest, TheDialogsAnswerDecides) {
  server_.Route("/a.txt", HttpRoute::Text("a"));
  const std::string port = std::to_string(server_.port());
  // Cancel: nothing at all.
  web_.answers = {std::nullopt};
  EXPECT_FALSE(fetch_.OpenUrl("http://", 0));
  EXPECT_EQ(web_.proposals, (std::vector<std::string>{"http://"}));
  EXPECT_TRUE(world_.host.messages.empty());
  EXPECT_TRUE(web_.captions.empty());
  // Too short to be an address, and "http" alone, which is tried and fails.
  web_.answers = {std::string("abc"), std::string("http")};
  EXPECT_FALSE(fetch_.OpenUrl("http://", 0));
  EXPECT_FALSE(fetch_.OpenUrl("http://", 0));
  EXPECT_EQ(world_.host.messages,
            (std::vector<std::string>{"[ abc ]\nURLが無効です。", "[ http ]\nURLを開けませんでした。"}));
  EXPECT_TRUE(server_.Requests().empty());
  // An edited address with blanks and a fragment.
  world_.host.Clear();
  web_.answers = {"  http://127.0.0.1:" + port + "/a.txt#y \n"};
  EXPECT_TRUE(fetch_.OpenUrl("http://", 1234));
  ASSERT_EQ(server_.Requests().size(), 1u);
  EXPECT_EQ(server_.Requests()[0].target, "/a.txt");
  ASSERT_EQ(world_.fields.RecentFiles.size(), 1u);
  const TFileItem& e = *world_.fields.RecentFiles[0];
  EXPECT_EQ(e.Kind, fkWeb);
  EXPECT_EQ(e.Rate, 1234);
  EXPECT_EQ(e.Href, "http://127.0.0.1:" + port + "/a.txt");
  EXPECT_EQ(e.BaseUrl, "");
  EXPECT_EQ(world_.pendingAtRelayout, (std::vector<int>{1234}));
  EXPECT_TRUE(world_.host.messages.empty());
  EXPECT_FALSE(world_.fields.Loading);
}

TEST_F(WebFetchTest, TimeOutIsClampedInTheLiveRecord) {
  server_.Route("/a.txt", HttpRoute::Text("a"));
  for (const auto& [given, kept] : {std::pair{0, 1}, std::pair{120, 60}, std::pair{30, 30}}) {
    world_.fields.Option.TimeOut = given;
    TWebContentKind kind;
    EXPECT_TRUE(fetch_.FetchUrl(server_.Url("/a.txt"), kind));
    EXPECT_EQ(world_.fields.Option.TimeOut, kept);
  }
}

TEST_F(WebFetchTest, AnHtmlPageAndATextPageKeepBothCaches) {
  server_.Route("/p.html", HttpRoute::Text("<p>h", "text/html"));
  server_.Route("/p.txt", HttpRoute::Text("t"));
  EXPECT_TRUE(fetch_.OpenUrl(server_.Url("/p.html"), 0));
  EXPECT_TRUE(fetch_.OpenUrl(server_.Url("/p.txt"), 0));
  EXPECT_EQ(test::ReadFileBytes(HtmlCache()), "<p>h");
  EXPECT_EQ(test::ReadFileBytes(TextCache()), "t");
  EXPECT_EQ(world_.HistoryLocations(), (std::vector<std::string>{server_.Url("/p.txt"), server_.Url("/p.html")}));
}

TEST_F(WebFetchTest, TheDeclaredCharsetChoosesTheCodePage) {
  // 40 bytes of UTF-8 without a byte 0x80: alone, they read as Shift-JIS.
  const std::string body = "abcd" + std::string(reinterpret_cast<const char*>(u8"あいうえおかきくけこさし"));
  ASSERT_EQ(body.size(), 40u);
  ASSERT_EQ(body.find('\x80'), std::string::npos);
  server_.Route("/utf8.txt", HttpRoute::Text(body, "text/plain; charset=UTF-8"));
  server_.Route("/plain.txt", HttpRoute::Text(body, "text/plain"));
  EXPECT_TRUE(fetch_.OpenUrl(server_.Url("/utf8.txt"), 0));
  EXPECT_EQ(world_.fields.DocumentCodePage, -65001);
  ASSERT_FALSE(world_.fields.SourceLines.empty());
  EXPECT_SJ_EQ(world_.fields.SourceLines[0], u8"abcdあいうえおかきくけこさし");
  EXPECT_TRUE(fetch_.OpenUrl(server_.Url("/plain.txt"), 0));
  EXPECT_EQ(world_.fields.DocumentCodePage, 932);
}

TEST_F(WebFetchTest, ClosingTheWindowCancelsQuietly) {
  HttpRoute stall = HttpRoute::Text(std::string(100, 's'));
  stall.stallAfter = 1;
  server_.Route("/stall", stall);
  world_.fields.Option.TimeOut = 60;
  // The window closes at the fourth round of events.
  web_.onPump = [this] { return web_.pumps < 4; };
  EXPECT_FALSE(fetch_.OpenUrl(server_.Url("/stall"), 0));
  EXPECT_EQ(web_.pumps, 4);
  EXPECT_TRUE(world_.host.messages.empty());
  EXPECT_TRUE(world_.fields.RecentFiles.empty());
  EXPECT_TRUE(world_.host.CallsStartingWith("Relayout").empty());
  EXPECT_FALSE(world_.fields.Loading);
  EXPECT_EQ(web_.inputStates, (std::vector<bool>{false, true}));
}

TEST_F(WebFetchTest, NestedOpensAreRefusedAndForwardedFilesWaitTheirTurn) {
  server_.Route("/a.txt", HttpRoute::Text("page"));
  HttpRoute slow = HttpRoute::Text("slow");
  slow.delayMs = 200;
  server_.Route("/slow.txt", slow);
  std::vector<bool> nested;
  // From inside the dialog and from inside the download.
  web_.whilePrompt = [&] {
    if (nested.empty()) nested.push_back(fetch_.OpenUrl(server_.Url("/a.txt"), 0));
  };
  web_.onPump = [&] {
    if (nested.size() == 1) nested.push_back(fetch_.OpenUrl(server_.Url("/a.txt"), 0));
    return true;
  };
  EXPECT_TRUE(fetch_.OpenUrl(server_.Url("/slow.txt"), 0));
  EXPECT_EQ(nested, (std::vector<bool>{false, false}));
  EXPECT_EQ(web_.proposals.size(), 1u);
  EXPECT_EQ(server_.Requests().size(), 1u);

  // A file forwarded while the dialog is up opens after the page.
  test::TempDir dir;
  const std::string local = (dir / "b.txt").string();
  std::ofstream(local, std::ios::binary) << "b";
  world_.fields.RecentFiles.clear();
  web_.onPump = nullptr;
  web_.whilePrompt = [&] { world_.sources.WMCopyData(local); };
  EXPECT_TRUE(fetch_.OpenUrl(server_.Url("/a.txt"), 0));
  EXPECT_EQ(world_.HistoryLocations(), (std::vector<std::string>{local, server_.Url("/a.txt")}));
}

}  // namespace
}  // namespace yomira
