// Forwarded arguments, folders and drops.
#include <sys/stat.h>
#include <sys/time.h>

#include <fstream>

#include "fake_sources_host.h"
#include "sources/arguments.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::SourcesWorld;

class ArgumentsTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& rel, const std::string& data, time_t mtime = 0) {
    const std::string path = dir_ / rel;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << data;
    if (mtime) {
      const timeval times[2] = {{mtime, 0}, {mtime, 0}};
      EXPECT_EQ(::utimes(path.c_str(), times), 0);
    }
    return path;
  }
  std::string dir() const { return dir_.path().string(); }
  test::TempDir dir_;
};

TEST_F(ArgumentsTest, Classify) {
  const std::string file = Write("s p/a.txt", "x");
  const std::string fifo = dir() + "/f.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string text;
    ArgumentKind kind;
    std::string path;
  };
  const Case cases[] = {
      {file, ArgumentKind::File, file},
      {"file://" + dir() + "/s%20p/a.txt", ArgumentKind::File, file},
      {"file://" + dir() + "/s p/a.txt", ArgumentKind::File, file},
      {"FILE://" + dir() + "/s%20p/a.txt", ArgumentKind::Missing, "FILE://" + dir() + "/s%20p/a.txt"},
      {"file://", ArgumentKind::Missing, "file://"},
      {dir(), ArgumentKind::Folder, dir()},
      {"file://" + dir(), ArgumentKind::Folder, dir()},
      {fifo, ArgumentKind::Missing, fifo},
      {dir() + "/nosuch.txt", ArgumentKind::Missing, dir() + "/nosuch.txt"},
      {"nosuch.txt", ArgumentKind::Missing, "nosuch.txt"},
      {"file://" + dir() + "/no%20such.txt", ArgumentKind::Missing, dir() + "/no such.txt"},
      {" \t-p3", ArgumentKind::Switch, " \t-p3"},
      {"  ", ArgumentKind::Switch, "  "},
      {"http://x/y", ArgumentKind::Url, "http://x/y"},
      {"https://x", ArgumentKind::Url, "https://x"},
      {"httpx", ArgumentKind::Url, "httpx"},
      {"http", ArgumentKind::Missing, "http"},
      {"-c2", ArgumentKind::Switch, "-c2"},
      {"", ArgumentKind::Switch, ""},
  };
  for (const Case& c : cases) {
    const ClassifiedArgument r = ClassifyArgument(c.text);
    EXPECT_EQ(r.kind, c.kind) << c.text;
    EXPECT_EQ(r.path, c.path) << c.text;
  }
  EXPECT_STREQ(ArgumentKindName(ArgumentKind::Folder), "folder");
}

TEST_F(ArgumentsTest, SwitchesThenFileThenNull) {
  // 吾輩 in EUC-JP, read as EUC-JP only because of the switch before it.
  const std::string euc = Write("e.txt", test::bytes({0xB8, 0xE3, 0xC7, 0xDA, 0x0A}));
  SourcesWorld w;
  w.host.onRelayout = [&](bool, bool) { w.pendingAtRelayout.push_back(w.fields.StartParams.StartCharCode); };
  for (const std::string arg : {"-c2", euc.c_str(), "-null"}) w.sources.WMCopyData(arg);
  EXPECT_EQ(w.fields.DocumentCodePage, 51932);
  EXPECT_SJ_EQ(w.fields.SourceLines.at(0), u8"吾輩");
  EXPECT_EQ(w.host.CallsStartingWith("Relayout"), std::vector<std::string>{"Relayout(1,1)"});
  EXPECT_EQ(w.host.CallsStartingWith("ForceForeground").size(), 2u);  // the open's and the argument's
  EXPECT_EQ(w.pendingAtRelayout, std::vector<int>{2});                  // still set at the layout
  EXPECT_EQ(w.fields.StartParams.StartCharCode, 0);
}

TEST_F(ArgumentsTest, ArgumentsDuringAnOpenWaitAndKeepTheirOrder) {
  const std::string a = Write("a.txt", "a\n");
  const std::string b = Write("b.txt", "b\n");
  SourcesWorld w;
  std::vector<std::string> order;
  w.host.onRelayout = [&](bool, bool) {
    order.push_back("relayout " + w.fields.RecentFiles[0]->Path + " cc=" +
                    std::to_string(w.fields.StartParams.StartCharCode));
    if (order.size() == 1) {
      // Arrive in the middle of the first open.
      w.sources.WMCopyData("-c3");
      w.sources.WMCopyData(b);
      w.sources.WMCopyData("-c1");
      EXPECT_EQ(w.fields.StartParams.StartCharCode, 0);
    }
  };
  w.sources.OpenFileItem(SourcesWorld::Local(a), false, -1, 0, false, true);
  EXPECT_EQ(order, (std::vector<std::string>{"relayout " + a + " cc=0", "relayout " + b + " cc=3"}));
  EXPECT_EQ(w.fields.StartParams.StartCharCode, 1);
  EXPECT_FALSE(w.fields.Loading);
}

TEST_F(ArgumentsTest, ArgumentFromAMessageBoxIsAppliedAfterTheOpen) {
  const std::string a = Write("a.txt", "a\n");
  SourcesWorld w;
  w.host.onShowMessage = [&](const std::string&) {
    w.sources.WMCopyData("-c3");
    w.sources.WMCopyData(a);  // waits too: never nested in the open that shows the box
    EXPECT_EQ(w.fields.StartParams.StartCharCode, 0);
    EXPECT_FALSE(w.fields.DocumentLoaded);
  };
  std::vector<int> charCodeAtRelayout;
  w.host.onRelayout = [&](bool, bool) {
    charCodeAtRelayout.push_back(w.fields.StartParams.StartCharCode);
    test::ImitateRelayout(w.fields);
  };
  w.sources.OpenFileItem(SourcesWorld::Local(dir() + "/missing.txt"), false, -1, 0, false, true);
  EXPECT_EQ(charCodeAtRelayout, std::vector<int>{3});
  EXPECT_TRUE(w.fields.DocumentLoaded);
  EXPECT_EQ(w.host.messages.size(), 1u);

  // A drop during the open is ignored.
  SourcesWorld d;
  d.host.onShowMessage = [&](const std::string&) { d.sources.WMDropFiles({a}); };
  d.sources.OpenFileItem(SourcesWorld::Local(dir() + "/missing.txt"), false, -1, 0, false, true);
  EXPECT_FALSE(d.fields.DocumentLoaded);
}

TEST_F(ArgumentsTest, AForwardedMissingPathOrFifoIsToldAboutAndNeverOpened) {
  const std::string fifo = dir() + "/f.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  SourcesWorld w;
  for (const std::string& arg : {dir() + "/nosuch.txt", fifo, std::string("-p3")}) w.sources.WMCopyData(arg);
  EXPECT_EQ(w.host.messages, (std::vector<std::string>{"[ " + dir() + "/nosuch.txt ]\nファイルがありません。",
                                                       "[ " + fifo + " ]\nファイルがありません。"}));
  EXPECT_FALSE(w.fields.DocumentLoaded);
  EXPECT_TRUE(w.fields.RecentFiles.empty());
  EXPECT_EQ(w.fields.StartParams.StartPage, 3);  // the switch after them still counts
}

TEST_F(ArgumentsTest, ArgumentsDuringADrainWaitForIt) {
  // The fetch lets events through while it downloads, with no open in progress yet.
  SourcesWorld w;
  w.sources.OpenUrl = [&](const std::string&, int) {
    w.sources.WMCopyData("-c3");
    EXPECT_EQ(w.fields.StartParams.StartCharCode, 0);
    return true;
  };
  w.sources.WMCopyData("http://x/y");
  EXPECT_EQ(w.fields.StartParams.StartCharCode, 3);
  EXPECT_EQ(w.host.calls, std::vector<std::string>{"ForceForeground"});
}

TEST_F(ArgumentsTest, ForwardedKinds) {
  const std::string file = Write("s p/b.txt", "b\n");
  {
    SourcesWorld w;
    w.sources.WMCopyData("file://" + dir() + "/s%20p/b.txt");
    EXPECT_EQ(w.HistoryLocations(), std::vector<std::string>{file});
  }
  {
    SourcesWorld w;
    // Not a location (the scheme is case-sensitive): a name that is not there.
    w.sources.WMCopyData("FILE://" + file);
    EXPECT_EQ(w.host.messages.size(), 1u);
    EXPECT_FALSE(w.fields.DocumentLoaded);
  }
  {
    SourcesWorld w;
    std::vector<std::pair<std::string, int>> urls;
    w.sources.OpenUrl = [&](const std::string& url, int rate) {
      urls.emplace_back(url, rate);
      return false;
    };
    AddHistory(w.fields.RecentFiles, fkWeb, 0, "", "", "", "http://x/y", dir() + "/c.html", 5000);
    w.sources.WMCopyData("http://x/y");
    EXPECT_EQ(urls, (std::vector<std::pair<std::string, int>>{{"http://x/y", 0}}));
    EXPECT_EQ(w.host.calls, std::vector<std::string>{"ForceForeground"});
  }
  {
    // A folder goes with the start switches in the folder's argument order.
    SourcesWorld w;
    w.AddFilter("T", "*.txt");
    w.AddFilter("U", "*.txt");
    w.StubFilter();
    w.sources.WMCopyData("-c2");
    w.sources.WMCopyData("-e1");
    w.sources.WMCopyData(dir() + "/s p");
    EXPECT_EQ(w.filterRuns, std::vector<int>{1});
    EXPECT_EQ(w.host.calls.back(), "ForceForeground");
    EXPECT_EQ(w.host.CallsStartingWith("Relayout"), std::vector<std::string>{"Relayout(0,1)"});
  }
}

TEST_F(ArgumentsTest, FolderOpensItsFirstListedFile) {
  Write("dir/1.txt", "a", 1577872800);   // 2020
  Write("dir/2.TXT", "b", 1609495200);   // 2021
  Write("dir/.0.txt", "h", 1500000000);  // hidden files count
  Write("dir/3.log", "c", 1700000000);
  Write("dir/sub.txt/x.txt", "d");
  ASSERT_EQ(::mkfifo((dir() + "/dir/4.txt").c_str(), 0600), 0);
  ASSERT_EQ(::symlink((dir() + "/dir/1.txt").c_str(), (dir() + "/dir/5.txt").c_str()), 0);
  ASSERT_EQ(::mkdir((dir() + "/empty").c_str(), 0700), 0);
  Write("empty/only.log", "x");
  const std::string d = dir() + "/dir";

  struct Case {
    FileListOrder order;
    std::string folder;
    std::string first;
  };
  const Case cases[] = {
      {{.OrderUp = false, .OrderName = false, .OrderTime = true}, d, d + "/2.TXT"},
      {{.OrderUp = true, .OrderName = false, .OrderTime = true}, d, d + "/.0.txt"},
      {{}, d, d + "/.0.txt"},
      {{.OrderUp = false}, d + "/", d + "/5.txt"},  // one separator, the link listed as a file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    SourcesWorld w;
    w.host.order = c.order;
    w.sources.OpenDirectory(c.folder, 0, -1);
    ASSERT_EQ(w.HistoryLocations(), std::vector<std::string>{c.first});
    EXPECT_EQ(w.fields.RecentFiles[0]->Rate, -1);
    EXPECT_EQ(w.host.CallsStartingWith("Relayout"), std::vector<std::string>{"Relayout(0,1)"});
  }
  for (const std::string& nothing : {dir() + "/empty", dir() + "/none", d + "/1.txt"}) {
    SourcesWorld w;
    w.sources.OpenDirectory(nothing, 0, -1);
    EXPECT_TRUE(w.host.calls.empty()) << nothing;
  }
}

TEST_F(ArgumentsTest, OpenDirectoryTakesCharCodeThenFilter) {
  // Unlike OpenFileItem: (folder, charCode, filter). Filter 1 and choice 2 tell them apart.
  Write("d/e.txt", test::bytes({0xB8, 0xE3, 0x0A}));
  SourcesWorld w;
  w.AddFilter("A", "*.none");
  w.AddFilter("B", "*.none");
  w.AddFilter("C", "*.none");
  w.StubFilter();
  w.sources.OpenDirectory(dir() + "/d", 2, 1);
  EXPECT_EQ(w.filterRuns, std::vector<int>{1});
  SourcesWorld direct;
  direct.sources.OpenDirectory(dir() + "/d", 2, -1);
  EXPECT_EQ(direct.fields.DocumentCodePage, 51932);
}

TEST_F(ArgumentsTest, Drops) {
  const std::string a = Write("a.txt", "a\n");
  const std::string b = Write("b.txt", "b\n");
  Write("f/c.txt", "c\n");
  {
    SourcesWorld w;
    w.sources.WMDropFiles({a, b, dir() + "/f"});
    EXPECT_EQ(w.HistoryLocations(), std::vector<std::string>{a});
    EXPECT_EQ(w.host.CallsStartingWith("Relayout"), std::vector<std::string>{"Relayout(0,1)"});
  }
  {
    SourcesWorld w;
    w.fields.StartParams.StartCharCode = 2;  // a drop does not take the start switches
    w.sources.WMDropFiles({dir() + "/f", a});
    EXPECT_EQ(w.HistoryLocations(), std::vector<std::string>{dir() + "/f/c.txt"});
    EXPECT_EQ(w.fields.DocumentCodePage, 932);
  }
  {
    SourcesWorld w;
    w.sources.WMDropFiles({dir() + "/none.txt", a});
    w.sources.WMDropFiles({});
    EXPECT_TRUE(w.host.calls.empty());
  }
  SourcesWorld w;
  w.fields.Loading = true;
  w.sources.WMDropFiles({a});
  EXPECT_TRUE(w.host.calls.empty());
}

}  // namespace
}  // namespace yomira
