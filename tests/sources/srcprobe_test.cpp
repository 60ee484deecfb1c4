// srcprobe is what later acceptance checks run; its output forms are pinned here.
#include <sys/wait.h>

#include <QBuffer>
#include <QImage>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/http_test_server.h"
#include "support/test_support.h"

namespace yomira {
namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class SrcprobeTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args) {
    std::string cmd = Quote(SRCPROBE_PATH);
    // "--home DIR" first: the program's data folder.
    size_t first = 0;
    if (args.size() >= 2 && args[0] == "--home") {
      cmd = "YOMIRA_HOME=" + Quote(args[1]) + " " + cmd;
      first = 2;
    }
    for (size_t i = first; i < args.size(); ++i) cmd += " " + Quote(args[i]);
    const std::string errPath = dir_ / "stderr";
    cmd += " 2>" + Quote(errPath) + " </dev/null";
    Result r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = test::ReadFileBytes(errPath);
    return r;
  }
  std::string Write(const std::string& name, const std::string& data) {
    const std::string path = dir_ / name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }
  test::TempDir dir_;
};

TEST_F(SrcprobeTest, DetectPrintsCodePagesAndEscapedPaths) {
  const std::string sjis = Write("a.txt", "hello");
  const std::string euc = Write("tab\tname.txt", std::string(5000, '\xA4') + "\xA2");
  const Result r = Run({"detect", sjis, euc});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "932 " + sjis + "\n51932 " + (dir_ / "tab\\tname.txt").string() + "\n");
  const Result missing = Run({"detect", sjis, dir_ / "missing"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "932 " + sjis + "\nerror " + (dir_ / "missing").string() + "\n");
}

TEST_F(SrcprobeTest, DecodeWritesRawLinesAndASummary) {
  const std::string path = Write("u.txt", "\xEF\xBB\xBF\xE3\x81\x82\r\nb");
  const Result r = Run({"decode", "--cc", "6", "--", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(test::hex(r.out), test::hex("\x82\xA0\nb\n"));
  EXPECT_EQ(r.err, "codepage -65001 lines 2\n");
  const Result missing = Run({"decode", dir_ / "none"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "error " + (dir_ / "none").string() + "\n");
  EXPECT_EQ(missing.out, "");
}

TEST_F(SrcprobeTest, PictureReportsSizeAndPixels) {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(qRgb(0x12, 0x34, 0x56));
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(image.save(&buffer, "BMP"));
  const std::string path = Write("p.bmp", data.toStdString());
  const Result r = Run({"picture", "--pixel", "2,1", "--pixel", "3,0", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "ok 3 2 2,1=ff123456 3,0=none\n");
  const Result fail = Run({"picture", Write("p.png", data.toStdString())});
  EXPECT_EQ(fail.status, 1);
  EXPECT_EQ(fail.out, "fail\n");
  const Result res = Run({"picture", "--resource", "IMG_EMPHASIS", "--type", "BMP"});
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, "fail\n");
}

TEST_F(SrcprobeTest, UsageErrorsExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"detect"},
      {"detect", "--nope", "x"},
      {"decode", "--cc"},
      {"decode", "--cc", "x", "f"},
      {"decode", "a", "b"},
      {"picture", "--pixel", "1", "f"},
      {"picture"},
      {"picture", "--type", "GIF", "f"},
      {"open"},
      {"open", "--filter", "x", "f"},
      {"open", "--parse-html", "2", "f"},
      {"open", "--order", "size", "f"},
      {"open", "--filter-def", "nomasks", "f"},
      {"params", "--layout", "1,1,1", "--", "-p1"},
      {"params", "--apply", "9", "--layout", "1,1"},
      {"params", "--apply", "-1"},
      {"forward", "--cc", "2", "--", "x"},
  };
  for (const auto& args : cases) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
    EXPECT_NE(r.err.find("usage: srcprobe"), std::string::npos) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(SrcprobeTest, OpenTracesTheRoadAndTheState) {
  const std::string a = Write("a.txt", test::sj(u8"吾輩は猫である。\n名前はまだ無い。\n"));
  const Result r = Run({"open", a});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "open " + a + " force=0 filter=-1 charCode=0\n"
                   "check-reopen-charset 932\n"
                   "update-recent-menu\n"
                   "toggles aut_indent=0 re_wrap=0 toRuby=0\n"
                   "build-filter-actions ActiveFilter=-1\n"
                   "relayout force=0 rebuild=1 PendingRate=0\n"
                   "foreground\n"
                   "state DocumentLoaded=1 LaidOut=1 DocumentCodePage=932 ActiveFilter=-1 PendingRate=-1 "
                   "HtmlImported=0 SourceLines=2\n"
                   "option bg_image=0 bg_image_str=\n"
                   "option UseSound=0 SoundPath=\n"
                   "history 0 kind=0 rate=0 " + a + "\n");
  EXPECT_EQ(r.err, "");

  // The recorded position comes back on the next open of the same file; --recent reopens
  // an older entry at its position.
  const std::string b = Write("b.txt", "b\n");
  const Result again = Run({"open", "--record-rate", "4567", "--recent", "1", a, b});
  EXPECT_NE(again.out.find("recent 1\ncheck-reopen-charset 932\n"), std::string::npos) << again.out;
  EXPECT_NE(again.out.find("relayout force=0 rebuild=1 PendingRate=4567\nforeground\nstate"), std::string::npos)
      << again.out;
  const std::string tail = "history 0 kind=0 rate=4567 " + a + "\nhistory 1 kind=0 rate=4567 " + b + "\n";
  ASSERT_GE(again.out.size(), tail.size());
  EXPECT_EQ(again.out.substr(again.out.size() - tail.size()), tail);
  const Result missing = Run({"open", dir_ / "none.txt"});
  EXPECT_EQ(missing.status, 0);
  EXPECT_NE(missing.out.find("message \"[ " + (dir_ / "none.txt").string() + " ]\\nファイルがありません。\"\n"),
            std::string::npos)
      << missing.out;
}

TEST_F(SrcprobeTest, ParamsPrintsTheFieldsAndTheAppliedPage) {
  const Result r = Run({"params", "--apply", "60", "--", "-l3", "-n60", " -f"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "param \"-l3\" FullScreen=0 StartCharCode=0 StartFilter=-1 StartPage=-1 StartLine=3 StartPos=-1 "
            "StartRate=-1\n"
            "param \"-n60\" FullScreen=0 StartCharCode=0 StartFilter=-1 StartPage=-1 StartLine=3 StartPos=60 "
            "StartRate=-1\n"
            "param \" -f\" FullScreen=1 StartCharCode=0 StartFilter=-1 StartPage=-1 StartLine=3 StartPos=60 "
            "StartRate=-1\n"
            "full-screen\n"
            "apply page=2 PendingRate=-1\n");
  const Result styles = Run({"params", "--", "-s2", "-SNight"});
  EXPECT_NE(styles.out.find("apply-style-index 2\nforeground\nparam"), std::string::npos) << styles.out;
  EXPECT_NE(styles.out.find("apply-style-name Night\nforeground\nparam"), std::string::npos) << styles.out;
}

TEST_F(SrcprobeTest, ForwardClassifiesEachArgument) {
  const std::string a = Write("a.txt", "a\n");
  const Result r = Run({"forward", "--", "-c2", "file://" + a, "http://127.0.0.1:9/x", "-null"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("arg switch -c2\narg file " + a + "\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("arg url http://127.0.0.1:9/x\nopen-url rate=0 http://127.0.0.1:9/x\nforeground\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("arg switch -null\nparams FullScreen=0 StartCharCode=0 StartFilter=-1"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("history 0 kind=0 rate=0 " + a + "\n"), std::string::npos) << r.out;
  const Result drop = Run({"forward", "--drop", "--", dir_.path().string(), a});
  EXPECT_NE(drop.out.find("drop 2\n"), std::string::npos) << drop.out;
  EXPECT_NE(drop.out.find("history 0 kind=0 rate=-1 " + a + "\n"), std::string::npos) << drop.out;
}

TEST_F(SrcprobeTest, FilterPrintsTheLinesAndTheMessagesApart) {
  const std::string doc = Write("a b.txt", "吾輩は猫である。\nx\n");  // UTF-8 without a mark
  const Result ok = Run({"filter", "/bin/cat", "%F", doc});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(test::hex(ok.out), test::hex(test::sj(u8"吾輩は猫である。\nx\n")));
  EXPECT_EQ(ok.err, "codepage -65001 lines 2\n");
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> failing = {
      {{"filter", "/nonexistent/conv", "%F", doc}, "message \"Error CreateProcess\"\nfail\n"},
      {{"filter", "", "%F", doc}, "message \"変換用の外部フィルタが設定されていません。\"\nfail\n"},
      {{"filter", "--quiet", "/nonexistent/conv", "%F", doc}, "fail\n"},
      {{"filter", "--deadline-ms", "200", "--", "/bin/sh", "-c \"sleep 100\"", doc}, "fail\n"},
      {{"filter", "--max-bytes", "1000", "/usr/bin/yes", "%F", doc}, "fail\n"},
  };
  for (const Case& c : failing) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, 1) << c.args[1];
    EXPECT_EQ(r.err, c.err) << c.args[1];
    EXPECT_EQ(r.out, "") << c.args[1];
  }
  EXPECT_EQ(Run({"filter", "/bin/cat", "%F"}).status, 2);
}

TEST_F(SrcprobeTest, ExpandPrintsTheArgumentsAfterTheProgram) {
  const Result r = Run({"expand", "--line", "120", "--char", "7", "\"%F\" -n%L %%D %f %N %U", "/t/a b/100%Done.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "arg 0 /t/a b/100%Done.txt\narg 1 -n120\narg 2 %/t/a b/\narg 3 %f\narg 4 7\n"
                   "arg 5 /t/a b/100%Done.txt\n");
  EXPECT_EQ(Run({"expand", "--no-document", "\"%F\" %U", "/x"}).out, "arg 0 %F\narg 1 %U\n");
  EXPECT_EQ(Run({"expand", "--web", "https://h/p", "%U %D", "/d/c.html"}).out, "arg 0 https://h/p\narg 1 /d/\n");
}

TEST_F(SrcprobeTest, FetchPrintsTheCaptionsAndOneResultLine) {
  test::HttpTestServer server;
  server.Route("/a.txt", test::HttpRoute::Text("abc"));
  server.Route("/r", test::HttpRoute::Redirect("/b.html"));
  server.Route("/b.html", test::HttpRoute::Text("<p>b", "text/html; charset=Shift_JIS"));
  const std::string home = dir_ / "home";
  std::filesystem::create_directory(home);
  const std::string url = server.Url("/a.txt");
  const Result ok = Run({"--home", home, "fetch", url + "#x"});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out, "caption Open URL [" + url + "] - yomira\ncaption Success [" + url +
                        "] - yomira\nok kind=2 code=200 bytes=3 cache=" + home + "/yomira_web.txt final=" + url +
                        " charset=-\n");
  EXPECT_EQ(test::ReadFileBytes(home + "/yomira_web.txt"), "abc");
  const Result redirected = Run({"--home", home, "fetch", server.Url("/r")});
  EXPECT_NE(redirected.out.find("\nok kind=1 code=200 bytes=4 cache=" + home + "/yomira_web.html final=" +
                                server.Url("/b.html") + " charset=Shift_JIS\n"),
            std::string::npos)
      << redirected.out;
  const Result missing = Run({"--home", home, "fetch", server.Url("/missing.html")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("\nfail kind=1 reason=http-404\n"), std::string::npos) << missing.out;
  const Result agent = Run({"--home", home, "fetch", "--agent", "a\r\nX: 1", "--max-bytes", "2", url});
  EXPECT_NE(agent.out.find("\nfail kind=2 reason=too-large\n"), std::string::npos) << agent.out;
  EXPECT_EQ(server.Requests().back().Header("User-Agent"), "aX: 1");
  EXPECT_EQ(test::ReadFileBytes(home + "/yomira_web.txt"), "abc");
}

TEST_F(SrcprobeTest, UrlPrintsTheNormalizedAddressAndItsHost) {
  const Result r = Run({"url", "http://ex%61mple.com/x", " example.com/x#y"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "normalized=http://ex%61mple.com/x host=example.com\nnormalized=example.com/x host=\n");
}

TEST_F(SrcprobeTest, FilterHtmlPrintsTheLinksOfThePageAndTheTextOfTheFilter) {
  const std::string page = Write("p.html", "<html><body><a href=\"one.html\">first</a>\n"
                                           "<a href=\"http://h/two.html\">second</a></body></html>\n");
  const Result r = Run({"filter", "--html", "--", "/bin/sed", "-e \"s/<[^>]*>//g\" %F", page});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "first\nsecond\n");
  EXPECT_EQ(r.err, "codepage 932 lines 2\nlink 0 kind=0 location=" + (dir_ / "one.html").string() +
                       " title=\"first\"\nlink 1 kind=1 location=http://h/two.html title=\"second\"\n");
  // Without --html no link pass runs.
  EXPECT_EQ(Run({"filter", "--", "/bin/sed", "-e \"s/<[^>]*>//g\" %F", page}).err, "codepage 932 lines 2\n");
}

}  // namespace
}  // namespace yomira
