// External filters with real processes: the refusals and their messages, the decoded
// output, the bounds, silence when errors are not to be shown, the link pass of an HTML
// page, and no child left behind.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "sources/external_filter.h"
#include "fake_sources_host.h"
#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

const char kNoFilter[] = "設定されているフィルタがありません。";
const char kNotSet[] = "変換用の外部フィルタが設定されていません。";

::testing::AssertionResult NoChildLeft() {
  int status = 0;
  const pid_t r = ::waitpid(-1, &status, WNOHANG);
  if (r == -1 && errno == ECHILD) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "a child was left (" << r << ")";
}

TToolItem Filter(const std::string& program, const std::string& param) {
  TToolItem t;
  t.Caption = "f";
  t.FilePath = program;
  t.Param = param;
  return t;
}

class ExternalFilter : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }

  // Runs filters[index] on path; the messages shown are in host_.messages.
  bool Run(const ToolItemList& filters, int index, const std::string& path, bool showErrors = true,
           RunLimits limits = {}, bool isHtml = false) {
    TFileItem item;
    item.Path = path;
    codePage_ = 0;
    const FilterContext context{filters, host_, importHtml_, limits};
    return RunFilter(item, lines_, codePage_, isHtml, showErrors, index, context);
  }

  test::TempDir dir_;
  test::FakeSourcesHost host_;
  HtmlImportHook importHtml_;
  std::vector<std::string> lines_;
  int codePage_ = 0;
};

TEST_F(ExternalFilter, RefusalsSayWhyAndKeepTheLines) {
  const std::string doc = Write("a.txt", "x\n");
  struct Case {
    const char* name;
    ToolItemList filters;
    int index;
    std::string path;
    std::string message;
  };
  const ToolItemList cat{Filter("/bin/cat", "%F")};
  const std::vector<Case> cases = {
      {"index past the list", cat, 2, doc, kNoFilter},
      {"index -1", cat, -1, doc, kNoFilter},
      {"no filters", {}, 0, doc, kNoFilter},
      {"empty template", {Filter("/bin/cat", "")}, 0, doc, kNotSet},
      // Else the document itself would be started as the program.
      {"no program", {Filter("", "%F")}, 0, doc, kNotSet},
      {"missing document", cat, 0, (dir_ / "missing.txt").string(), kNotSet},
      {"a folder is no document", cat, 0, dir_.path().string(), kNotSet},
      {"missing program", {Filter("/nonexistent/conv", "%F")}, 0, doc, "Error CreateProcess"},
      {"program not executable", {Filter(doc, "%F")}, 0, doc, "Error CreateProcess"},
  };
  for (const Case& c : cases) {
    for (const bool show : {true, false}) {
      host_.Clear();
      lines_ = {"kept"};
      EXPECT_FALSE(Run(c.filters, c.index, c.path, show)) << c.name;
      EXPECT_EQ(host_.messages, show ? std::vector<std::string>{c.message} : std::vector<std::string>{}) << c.name;
      EXPECT_EQ(lines_, std::vector<std::string>{"kept"}) << c.name;
      EXPECT_TRUE(NoChildLeft()) << c.name;
    }
  }
}

TEST_F(ExternalFilter, OutputIsDecodedLikeAFile) {
  const std::string utf8 = Write("u8.txt", "吾輩は猫である。\nline2\n");
  const std::string sjis = Write("sj.txt", test::sj(u8"名前はまだ無い。\r\n") + "\x81\x40");
  const ToolItemList cat{Filter("/bin/cat", "%F")};
  ASSERT_TRUE(Run(cat, 0, utf8));
  EXPECT_EQ(codePage_, CP_UTF8N);
  ASSERT_EQ(lines_.size(), 2u);
  EXPECT_SJ_EQ(lines_[0], u8"吾輩は猫である。");
  EXPECT_EQ(lines_[1], "line2");
  ASSERT_TRUE(Run(cat, 0, sjis));
  EXPECT_EQ(codePage_, 932);
  EXPECT_EQ(lines_, (std::vector<std::string>{test::sj(u8"名前はまだ無い。"), "\x81\x40"}));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(ExternalFilter, BothStreamsAndEveryPathFormReachTheFilter) {
  const std::string doc = Write("a b;$(touch PWNED).txt", "x\n");
  // Standard error is part of the text, in the order written.
  ASSERT_TRUE(Run({Filter("/bin/sh", "-c \"echo out; echo err >&2\"")}, 0, doc));
  EXPECT_EQ(lines_, (std::vector<std::string>{"out", "err"}));
  // The document and its folder arrive as one argument each, untouched.
  ASSERT_TRUE(Run({Filter("/usr/bin/printf", "[%s]\\n %F \"%D\"")}, 0, doc));
  EXPECT_EQ(lines_, (std::vector<std::string>{"[" + doc + "]", "[" + dir_.path().string() + "/]"}));
  EXPECT_FALSE(fs::exists(dir_ / "PWNED"));
  EXPECT_FALSE(fs::exists("PWNED"));
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(ExternalFilter, NoOutputIsAnEmptyDocument) {
  const std::string doc = Write("a.txt", "x\n");
  // cat without the document reads standard input, which is empty: it ends at once.
  for (const TToolItem& f : {Filter("/bin/cat", "-"), Filter("/bin/true", "%F")}) {
    lines_ = {"old"};
    ASSERT_TRUE(Run({f}, 0, doc)) << f.FilePath;
    EXPECT_TRUE(lines_.empty()) << f.FilePath;
  }
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(ExternalFilter, BoundsFailWithoutAMessageOfTheirOwn) {
  const std::string doc = Write("a.txt", "x\n");
  RunLimits slow;
  slow.deadlineMs = 500;
  RunLimits small;
  small.maxOutputBytes = 1 << 20;
  struct Case {
    const char* name;
    TToolItem filter;
    RunLimits limits;
  };
  const Case cases[] = {{"hangs", Filter("/bin/sh", "-c \"sleep 100\""), slow},
                        {"floods", Filter("/usr/bin/yes", "%F"), small}};
  for (const Case& c : cases) {
    for (const bool show : {true, false}) {
      host_.Clear();
      lines_ = {"kept"};
      EXPECT_FALSE(Run({c.filter}, 0, doc, show, c.limits)) << c.name;
      EXPECT_TRUE(host_.messages.empty()) << c.name;
      EXPECT_EQ(lines_, std::vector<std::string>{"kept"}) << c.name;
      EXPECT_TRUE(NoChildLeft()) << c.name;
    }
  }
}

TEST_F(ExternalFilter, AFilterThatLingersAfterItsTextGivesTheTextLongBeforeTheDeadline) {
  const std::string doc = Write("a.txt", "x\n");
  for (const char* param : {"-c \"echo text; exec >/dev/null 2>&1; sleep 60\" %F",
                            "-c \"echo text; sleep 60 & exit 0\" %F"}) {
    const auto start = std::chrono::steady_clock::now();
    lines_ = {"old"};
    EXPECT_TRUE(Run({Filter("/bin/sh", param)}, 0, doc)) << param;  // the 30 s deadline
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << param;
    EXPECT_EQ(lines_, std::vector<std::string>{"text"}) << param;
    EXPECT_TRUE(host_.messages.empty()) << param;
    EXPECT_TRUE(NoChildLeft()) << param;
  }
}

TEST_F(ExternalFilter, AnHtmlPageGivesItsLinksFromThePageAndItsTextFromTheFilter) {
  const std::string page = Write("p.html", "<a href=\"one.html\">1</a>\n<a href=\"two.html\">2</a>\n");
  std::vector<std::string> links;
  std::vector<std::string> calls;
  importHtml_ = [&](std::vector<std::string>& lines, TFileItem& item, bool parse, bool collectLinks) {
    calls.push_back(std::string("parse=") + (parse ? "1" : "0") + " links=" + (collectLinks ? "1" : "0") + " " +
                    item.Path);
    for (const std::string& l : lines) {
      const size_t at = l.find("href=\"");
      if (at != std::string::npos) links.push_back(l.substr(at + 6, l.find('"', at + 6) - at - 6));
    }
    lines = {"import output, to be thrown away"};
  };
  const ToolItemList strip{Filter("/bin/sed", "-e \"s/<[^>]*>//g\" %F")};
  ASSERT_TRUE(Run(strip, 0, page, true, {}, true));
  EXPECT_EQ(calls, std::vector<std::string>{"parse=0 links=1 " + page});
  EXPECT_EQ(links, (std::vector<std::string>{"one.html", "two.html"}));
  EXPECT_EQ(lines_, (std::vector<std::string>{"1", "2"}));
  // Not an HTML page (the book window's previews): no link pass.
  calls.clear();
  ASSERT_TRUE(Run(strip, 0, page, false, {}, false));
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(NoChildLeft());
}

// The opening road with the real filter runner: chosen by extension, and a bound that is
// passed ends in the open's own message only.
TEST_F(ExternalFilter, OpeningReadsAListedDocumentThroughItsFilter) {
  test::SourcesWorld w;
  RunLimits limits;
  limits.deadlineMs = 5000;
  w.sources.RunFilter = [&](TFileItem& item, std::vector<std::string>& lines, int& cp, bool isHtml, bool show,
                            int index) {
    return RunFilter(item, lines, cp, isHtml, show, index, FilterContext{w.fields.Filters, w.host, {}, limits});
  };
  TToolItem hang = Filter("/bin/sh", "-c \"sleep 100\" %F");
  hang.Filter = "*.rev";
  w.fields.Filters.push_back(hang);
  limits.deadlineMs = 300;
  const std::string doc = Write("d.rev", "one\ntwo\n");
  w.sources.OpenFileItem(test::SourcesWorld::Local(doc), false, -1, 0, false, true);
  EXPECT_EQ(w.host.messages, std::vector<std::string>{"[ " + doc + " ]\nファイルが読み込めませんでした。"});
  EXPECT_EQ(w.fields.ActiveFilter, -1);  // committed only by a read that worked

  w.host.Clear();
  w.fields.Filters[0].FilePath = "/usr/bin/tac";
  w.fields.Filters[0].Param = "%F";
  limits.deadlineMs = 10000;
  w.sources.OpenFileItem(test::SourcesWorld::Local(doc), false, -1, 0, false, true);
  EXPECT_EQ(w.fields.SourceLines, (std::vector<std::string>{"two", "one"}));
  EXPECT_EQ(w.fields.ActiveFilter, 0);
  EXPECT_TRUE(w.host.messages.empty());
  EXPECT_TRUE(NoChildLeft());
}

}  // namespace
}  // namespace yomira
