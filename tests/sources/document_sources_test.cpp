// The open operation: path forms, kinds, filters, the order of the host calls, failures
// and the guard against nested opens.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "fake_sources_host.h"
#include "platform/datafolder.h"
#include "support/test_support.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

using test::SourcesWorld;

class OpenTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& data) {
    const std::string path = dir_ / name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }
  std::string Text() { return Write("a.txt", test::sj(u8"吾輩は猫である。\n名前はまだ無い。\n")); }
  void Open(SourcesWorld& w, const std::string& path, int filter = -1, int charCode = 0, bool force = false) {
    w.sources.OpenFileItem(SourcesWorld::Local(path), force, filter, charCode, false, true);
  }
  std::string dir() const { return dir_.path().string(); }

  test::TempDir dir_;
};

TEST_F(OpenTest, TextFileRunsTheStepsInOrder) {
  SourcesWorld w;
  const std::string path = Text();
  Open(w, path);
  EXPECT_EQ(w.host.calls, (std::vector<std::string>{"CheckReOpenCharset", "UpdateRecentMenu",
                                                    "SetMomentaryToggles(0,0,0)", "BuildFilterActions",
                                                    "Relayout(0,1)", "ForceForeground"}));
  EXPECT_TRUE(w.fields.DocumentLoaded);
  EXPECT_EQ(w.fields.DocumentCodePage, 932);
  ASSERT_EQ(w.fields.SourceLines.size(), 2u);
  EXPECT_SJ_EQ(w.fields.SourceLines[1], u8"名前はまだ無い。");
  EXPECT_EQ(w.HistoryLocations(), std::vector<std::string>{path});
  EXPECT_FALSE(w.fields.Loading);
}

TEST_F(OpenTest, HtmlWithBookWindowOnItsLinkTab) {
  SourcesWorld w;
  w.host.bookExists = w.host.bookVisible = true;
  w.host.bookTab = 2;
  w.fields.Option.aut_indent = 1;
  w.fields.Option.toRuby = 1;
  int imports = 0;
  w.sources.ImportHtml = [&](std::vector<std::string>&, TFileItem&, bool parse, bool collect) {
    EXPECT_TRUE(parse);
    EXPECT_TRUE(collect);
    ++imports;
  };
  Open(w, Write("p.html", "<p>x</p>\n"));
  EXPECT_EQ(imports, 1);
  EXPECT_EQ(w.host.calls,
            (std::vector<std::string>{"CheckReOpenCharset", "ScanFileList(" + dir() + "/)", "BuildLinkList",
                                      "RefreshBookTab", "UpdateRecentMenu", "SetMomentaryToggles(1,0,1)",
                                      "BuildFilterActions", "RefreshBookTab", "Relayout(0,1)", "ForceForeground"}));
  EXPECT_TRUE(w.fields.HtmlImported);

  // A held link list is not rebuilt; a hidden book is rescanned but not refreshed.
  SourcesWorld held;
  held.host.bookExists = true;
  held.host.linkListHeld = true;
  Open(held, Write("q.htm", "<p>y</p>\n"));
  EXPECT_TRUE(held.host.CallsStartingWith("BuildLinkList").empty());
  EXPECT_TRUE(held.host.CallsStartingWith("RefreshBookTab").empty());
  EXPECT_EQ(held.host.CallsStartingWith("ScanFileList").size(), 1u);
}

TEST_F(OpenTest, WebEntryScansTheDataFolderAndIsKeyedByItsAddress) {
  SourcesWorld w;
  w.host.bookExists = true;
  TFileItem web;
  web.Kind = fkWeb;
  web.Path = Text();
  web.Href = "http://h/x";
  w.sources.OpenFileItem(web, false, -1, 0, false, true);
  EXPECT_EQ(w.host.CallsStartingWith("ScanFileList"),
            std::vector<std::string>{"ScanFileList(" + DataFolder() + "/)"});
  ASSERT_EQ(w.fields.RecentFiles.size(), 1u);
  EXPECT_EQ(w.fields.RecentFiles[0]->Kind, fkWeb);
  EXPECT_EQ(w.fields.RecentFiles[0]->GetLocation(), "http://h/x");
}

TEST_F(OpenTest, FilterChoice) {
  const std::string txt = Text();
  const std::string htm = Write("p.htm", "<p>x</p>\n");
  struct Case {
    const char* name;
    int filters;          // filters "F0=*.txt", "F1=*.htm,*.html", ... configured
    bool parseHtml;
    bool html;            // open p.htm, else a.txt
    int argument;
    int activeBefore;
    int expectRun;        // filter index run, or -1 for a direct read
    int expectActive;
    bool expectImported;
  };
  const Case cases[] = {
      {"two filters, 5 becomes 1", 2, true, false, 5, -1, 1, 1, false},
      {"no filters, 0 becomes -1 and finds none", 0, true, false, 0, 7, -1, -1, false},
      {"-2 reads directly despite a matching filter", 2, true, false, -2, -1, -1, -2, false},
      {"-1 looks up *.txt", 2, true, false, -1, -1, 0, 0, false},
      {".htm parsed: direct, ActiveFilter kept", 2, true, true, -1, 7, -1, 7, true},
      {".htm not parsed: the *.htm filter", 2, false, true, -1, 7, 1, 1, false},
      {".htm parsed, filter 1 asked: runs, ActiveFilter kept", 2, true, true, 1, 7, 1, 7, false},
      {".htm parsed, stale filter 5 of 2: the last", 2, true, true, 5, 7, 1, 7, false},
      {".htm parsed, filter 0 of none: direct import", 0, true, true, 0, 7, -1, 7, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SourcesWorld w;
    w.fields.Option.ParseHTML = c.parseHtml;
    w.fields.ActiveFilter = c.activeBefore;
    if (c.filters > 0) w.AddFilter("F0", "*.txt");
    if (c.filters > 1) w.AddFilter("F1", "*.htm,*.html");
    w.StubFilter();
    Open(w, c.html ? htm : txt, c.argument);
    EXPECT_EQ(w.filterRuns, c.expectRun < 0 ? std::vector<int>{} : std::vector<int>{c.expectRun});
    EXPECT_EQ(w.fields.ActiveFilter, c.expectActive);
    EXPECT_EQ(w.fields.HtmlImported, c.expectImported);
    EXPECT_TRUE(w.fields.DocumentLoaded);
  }
}

TEST_F(OpenTest, PicturesAndSoundsChangeOptions) {
  const std::string png = Write("bg.PNG", "x");
  const std::string wav = Write("turn.wav", "RIFF");
  {
    SourcesWorld w;
    Open(w, png);
    Open(w, wav);
    EXPECT_EQ(w.host.calls, std::vector<std::string>{"LoadTurnSound"});
    EXPECT_EQ(w.fields.Option.bg_image, 1);
    EXPECT_EQ(w.fields.Option.bg_image_str, png);
    EXPECT_EQ(w.fields.Option.UseSound, 1);
    EXPECT_EQ(w.fields.Option.SoundPath, wav);
    EXPECT_TRUE(w.fields.RecentFiles.empty());
  }
  SourcesWorld w;
  Open(w, Text());
  w.host.Clear();
  Open(w, png);
  EXPECT_EQ(w.host.calls, (std::vector<std::string>{"Relayout(1,0)", "ForceForeground"}));
  w.host.Clear();
  Open(w, wav);
  EXPECT_EQ(w.host.calls, (std::vector<std::string>{"LoadTurnSound", "Relayout(0,0)", "ForceForeground"}));
  EXPECT_EQ(w.HistoryLocations().size(), 1u);  // pictures and sounds stay out of the history
}

TEST_F(OpenTest, ReadFailuresLeaveNoDocument) {
  const std::string big = Write("big.txt", "");
  ASSERT_EQ(::truncate(big.c_str(), int64_t{257} << 20), 0);  // sparse: no disk used
  const std::string other = Write("b.txt", "b\n");
  struct Case {
    const char* name;
    std::string path;
    int filter;
    std::function<bool()> runner;
    std::vector<std::string> messages;
  };
  const std::string notRead = " ]\nファイルが読み込めませんでした。";
  const Case cases[] = {
      {"over 256 MiB", big, -1, nullptr, {"[ " + big + notRead}},
      {"runner fails", other, 0, [] { return false; }, {"[ " + other + notRead}},
      {"no runner", other, 0, nullptr, {"[ " + other + notRead}},
      {"runner throws ConvertError", other, 0,
       []() -> bool { throw ConvertError("COM ERROR : broken"); },
       {"COM ERROR : broken", "[ " + other + notRead}},
      {"runner throws something else", other, 0, []() -> bool { throw std::runtime_error("x"); },
       {"[ " + other + notRead}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SourcesWorld w;
    w.AddFilter("T", "*.txt");
    Open(w, Text(), -2);
    ASSERT_TRUE(w.fields.DocumentLoaded);
    const int codePage = w.fields.DocumentCodePage;
    if (c.runner)
      w.sources.RunFilter = [&](TFileItem&, std::vector<std::string>&, int&, bool, bool, int) { return c.runner(); };
    w.host.Clear();
    Open(w, c.path, c.filter);
    EXPECT_EQ(w.host.messages, c.messages);
    EXPECT_EQ(w.host.CallsStartingWith("ClearDisplayLines").size(), 1u);
    EXPECT_TRUE(w.host.CallsStartingWith("Relayout").empty());
    EXPECT_FALSE(w.fields.DocumentLoaded);
    EXPECT_FALSE(w.fields.LaidOut);
    EXPECT_TRUE(w.fields.SourceLines.empty());
    EXPECT_EQ(w.fields.DocumentCodePage, codePage);
    EXPECT_EQ(w.fields.ActiveFilter, -2);  // only a successful read commits its filter
    EXPECT_EQ(w.HistoryLocations().size(), 1u);
    EXPECT_FALSE(w.fields.Loading);
  }
}

TEST_F(OpenTest, MissingAndUnreadablePathsAreRefusedAtOnce) {
  const std::string fifo = dir() + "/f.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ::mkdir((dir() + "/sub.txt").c_str(), 0700);
  for (const std::string& path : {dir() + "/missing.txt", fifo, std::string("/dev/zero"), dir() + "/sub.txt"}) {
    SCOPED_TRACE(path);
    SourcesWorld w;
    Open(w, path);
    EXPECT_EQ(w.host.calls, std::vector<std::string>{"ShowMessage([ " + path + " ]\nファイルがありません。)"});
    EXPECT_FALSE(w.fields.DocumentLoaded);
  }
  SourcesWorld w;
  w.sources.OpenFileItem(TFileItem(), false, -1, 0, false, true);
  EXPECT_EQ(w.host.messages, std::vector<std::string>{"[  ]\nファイルがありません。"});
}

TEST_F(OpenTest, PendingRateFromHistoryOnlyWhenNoneIsSet) {
  const std::string path = Text();
  for (const auto& [before, expected] : std::vector<std::pair<int, int>>{{-1, 2500}, {-2, -2}, {300, 300}}) {
    SourcesWorld w;
    AddHistory(w.fields.RecentFiles, fkLocalFile, 0, "", "", "", "", path, 2500);
    w.fields.PendingRate = before;
    Open(w, path);
    EXPECT_EQ(w.pendingAtRelayout, std::vector<int>{expected});
  }
}

TEST_F(OpenTest, ReopenKeepsTheChosenCodePage) {
  // 吾輩は猫である。 in EUC-JP: short, so automatic detection takes it for Shift-JIS.
  const std::string euc = Write("e.txt", test::bytes({0xB8, 0xE3, 0xC7, 0xDA, 0xA4, 0xCF, 0xC7, 0xAD, 0xA4, 0xC7,
                                                      0xA4, 0xA2, 0xA4, 0xEB, 0xA1, 0xA3, 0x0A}));
  SourcesWorld w;
  Open(w, euc, -1, ccEucJp);
  EXPECT_EQ(w.fields.DocumentCodePage, 51932);
  EXPECT_SJ_EQ(w.fields.SourceLines.at(0), u8"吾輩は猫である。");
  w.host.Clear();
  w.sources.ReopenCurrent(false, -1);
  EXPECT_EQ(w.fields.DocumentCodePage, 51932);
  EXPECT_SJ_EQ(w.fields.SourceLines.at(0), u8"吾輩は猫である。");
  EXPECT_EQ(w.host.CallsStartingWith("Relayout"), std::vector<std::string>{"Relayout(0,1)"});

  SourcesWorld autoWorld;
  Open(autoWorld, euc);
  autoWorld.sources.ReopenCurrent(false, -1);
  EXPECT_EQ(autoWorld.fields.DocumentCodePage, 932);

  // Nothing to reopen before a layout or after the file went away.
  SourcesWorld none;
  none.sources.ReopenCurrent(false, -1);
  EXPECT_TRUE(none.host.calls.empty());
  ::unlink(euc.c_str());
  w.host.Clear();
  w.sources.ReopenCurrent(false, -1);
  EXPECT_TRUE(w.host.calls.empty());
}

TEST_F(OpenTest, HistoryEntriesPassedInAreCopiedFirst) {
  SourcesWorld w;
  std::vector<std::string> paths;
  for (int i = 0; i < 8; ++i) paths.push_back(Write("h" + std::to_string(i) + ".txt", "x\n"));
  for (int i = 7; i >= 0; --i) AddHistory(w.fields.RecentFiles, fkLocalFile, 0, "", "", "", "", paths[i], 100 * i);
  // The entry passed is the one AddHistory replaces (ASan reports a use after free otherwise).
  w.sources.OpenFileItem(*w.fields.RecentFiles[0], false, -1, 0, true, true);
  EXPECT_EQ(w.HistoryLocations().front(), paths[0]);
  w.sources.RecentMenuClick(0);
  EXPECT_EQ(w.HistoryLocations().front(), paths[0]);
  w.pendingAtRelayout.clear();
  w.sources.RecentMenuClick(3);
  EXPECT_EQ(w.pendingAtRelayout, std::vector<int>{300});
  EXPECT_EQ(w.HistoryLocations().front(), paths[3]);
  EXPECT_EQ(w.HistoryLocations().size(), 8u);
  EXPECT_EQ(w.HistoryLocations()[1], paths[0]);
  // Out of range: nothing.
  w.host.Clear();
  w.sources.RecentMenuClick(8);
  w.sources.RecentMenuClick(-1);
  EXPECT_TRUE(w.host.calls.empty());
}

TEST_F(OpenTest, RecentWebEntryGoesToTheFetch) {
  SourcesWorld w;
  AddHistory(w.fields.RecentFiles, fkLocalFile, 0, "", "", "", "", Text(), 0);
  AddHistory(w.fields.RecentFiles, fkWeb, 0, "", "", "http://h/", "x.html", dir() + "/cache.html", 4200);
  std::vector<std::pair<std::string, int>> fetched;
  w.sources.OpenUrl = [&](const std::string& url, int rate) {
    fetched.emplace_back(url, rate);
    return true;
  };
  w.sources.RecentMenuClick(0);
  EXPECT_EQ(fetched, (std::vector<std::pair<std::string, int>>{{"http://h/x.html", 4200}}));
  EXPECT_TRUE(w.host.calls.empty());
}

TEST_F(OpenTest, ShortcutsAndPathForms) {
  const std::string target = Text();
  const std::string upper = dir() + "/x.LNK";
  const std::string dangling = dir() + "/dead.lnk";
  const std::string relLink = dir() + "/rel.lnk";
  ASSERT_EQ(::symlink(target.c_str(), upper.c_str()), 0);
  ASSERT_EQ(::symlink((dir() + "/none.txt").c_str(), dangling.c_str()), 0);
  ASSERT_EQ(::symlink("./sub/../a.txt", relLink.c_str()), 0);
  const std::string desktop = Write("a.desktop", "# link\n[Desktop Entry]\nName=A\nType=Link\nURL=file://" + dir() +
                                                     "/a%2Etxt\n");
  const std::string app = Write("b.desktop", "[Desktop Entry]\nType=Application\nExec=true\n");

  EXPECT_EQ(DocumentSources::ResolveShortcut(upper), target);
  EXPECT_EQ(DocumentSources::ResolveShortcut(dangling), dir() + "/none.txt");
  EXPECT_EQ(DocumentSources::ResolveShortcut(relLink), target);
  EXPECT_EQ(DocumentSources::ResolveShortcut(desktop), target);
  EXPECT_EQ(DocumentSources::ResolveShortcut(app), "");
  EXPECT_EQ(DocumentSources::ResolveShortcut(target), "");
  EXPECT_EQ(DocumentSources::ResolveShortcut(dir() + "/none"), "");

  for (const std::string& link : {upper, relLink, desktop}) {
    SourcesWorld w;
    Open(w, link);
    EXPECT_EQ(w.HistoryLocations(), std::vector<std::string>{target});
  }
  SourcesWorld dead;
  Open(dead, dangling);
  EXPECT_EQ(dead.host.messages, std::vector<std::string>{"[ " + dir() + "/none.txt ]\nファイルがありません。"});
  SourcesWorld notLink;
  Open(notLink, app);
  EXPECT_EQ(notLink.host.messages, std::vector<std::string>{"[ " + app + " ]\nファイルがありません。"});

  // Relative and untidy paths are stored absolute and clean; a link that is not named as a
  // shortcut is kept as it is.
  const std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  SourcesWorld rel;
  Open(rel, "./sub/../a.txt");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(rel.HistoryLocations(), std::vector<std::string>{target});
  const std::string plainLink = dir() + "/plain.txt";
  ASSERT_EQ(::symlink(target.c_str(), plainLink.c_str()), 0);
  SourcesWorld plain;
  Open(plain, dir() + "//plain.txt");
  EXPECT_EQ(plain.HistoryLocations(), std::vector<std::string>{plainLink});
}

TEST_F(OpenTest, NestedOpenDuringAMessageIsIgnored) {
  SourcesWorld w;
  const std::string good = Text();
  w.host.onShowMessage = [&](const std::string&) { Open(w, good); };
  Open(w, dir() + "/missing.txt");
  EXPECT_EQ(w.host.calls.size(), 1u);
  EXPECT_FALSE(w.fields.DocumentLoaded);
  EXPECT_FALSE(w.fields.Loading);
  w.host.onShowMessage = nullptr;
  Open(w, good);
  EXPECT_TRUE(w.fields.DocumentLoaded);
}

TEST_F(OpenTest, GuardIsReleasedWhenTheHostThrows) {
  SourcesWorld w;
  w.host.onRelayout = [](bool, bool) { throw std::runtime_error("relayout failed"); };
  EXPECT_THROW(Open(w, Text()), std::runtime_error);
  EXPECT_FALSE(w.fields.Loading);
}

TEST(PathHelpers, ExtensionsKindsAndCleanPaths) {
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ExtractFileExt("/a/b.tar.GZ"), ".GZ");
  EXPECT_EQ(ExtractFileExt(".hidden"), ".hidden");
  EXPECT_EQ(ExtractFileExt("x."), ".");
  const std::pair<const char*, TDocumentKind> kinds[] = {
      {".BMP", dkImage}, {".jpg", dkImage}, {".JPEG", dkImage}, {".gif", dkImage}, {".png", dkImage},
      {".wav", dkSound}, {".HTML", dkHtml}, {".htm", dkHtml},   {".txt", dkText},  {"", dkText},
      {".pngx", dkText}, {"png", dkText},
  };
  for (const auto& [ext, kind] : kinds) EXPECT_EQ(DocumentSources::FileKindFromExt(ext), kind) << ext;
  EXPECT_EQ(AbsoluteCleanPath(""), "");
  EXPECT_EQ(AbsoluteCleanPath("/a//b/./c/../d/"), "/a/b/d");
  EXPECT_EQ(AbsoluteCleanPath("/../x"), "/x");
  EXPECT_EQ(AbsoluteCleanPath("/"), "/");
  EXPECT_EQ(AbsoluteCleanPath("a\\b"), std::filesystem::current_path().string() + "/a\\b");
  EXPECT_EQ(ExtractFilePath("/a/b.txt"), "/a/");
  EXPECT_EQ(ExtractFilePath("b.txt"), "");
}

}  // namespace
}  // namespace yomira
