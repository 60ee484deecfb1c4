#include "windows/book/book_logic.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/core/option_defaults.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;
using test::TempDir;

void Touch(const std::filesystem::path& p, const std::string& text = "x\n") {
  std::ofstream(p, std::ios::binary) << text;
}

std::vector<std::string> Names(const FileItemList& list) {
  std::vector<std::string> out;
  for (const auto& e : list) out.push_back(std::filesystem::path(e->Path).filename().string());
  return out;
}

TEST(BookLogic, ScanListsRegularListedFilesByNameAndNothingForNoFolder) {
  TempDir dir;
  for (const char* n : {"e.html", "B.TXT", "d.ht", "c.htm", "a.txt"}) Touch(dir / n);
  std::filesystem::create_directory(dir / "x.txt");
  ASSERT_EQ(::mkfifo((dir / "y.txt").c_str(), 0600), 0);
  const TYomiraOption option = DefaultOptions();
  const FileItemList list = ScanFolderFiles(dir.path().string() + "/", option, FileListOrder{});
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a.txt", "B.TXT", "c.htm", "e.html"}));
  for (const auto& e : list) {
    EXPECT_EQ(e->Kind, fkLocalFile);
    EXPECT_EQ(e->Rate, -1);
  }
  EXPECT_EQ(list[1]->Ext, ".txt");
  // An empty folder name is not the working directory.
  EXPECT_TRUE(ScanFolderFiles("", option, FileListOrder{}).empty());
  EXPECT_TRUE(ScanFolderFiles((dir / "a.txt").string(), option, FileListOrder{}).empty());
}

FileItemList Locals(std::initializer_list<const char*> paths) {
  FileItemList list;
  for (const char* p : paths) {
    auto e = std::make_unique<TFileItem>();
    e->Path = p;
    list.push_back(std::move(e));
  }
  return list;
}

TEST(BookLogic, NeighbourFileComparesPathsExactly) {
  const FileItemList abc = Locals({"/d/a.txt", "/d/b.txt", "/d/c.txt"});
  struct Case {
    const char* path;
    int direction, row;
  } cases[] = {{"/d/b.txt", 1, 2}, {"/d/b.txt", -1, 0}, {"/d/a.txt", -1, -1},
               {"/d/c.txt", 1, -1}, {"/d/A.txt", 1, -1}, {"/d/b.txt", 0, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.direction));
    EXPECT_EQ(FindNeighbourFile(abc, c.path, c.direction), c.row);
  }
  const FileItemList one = Locals({"/d/a.txt"});
  EXPECT_EQ(FindNeighbourFile(one, "/d/a.txt", 1), -1);
  EXPECT_EQ(FindNeighbourFile(one, "/d/a.txt", -1), -1);
}

TEST(BookLogic, LinkListKeepsOwnHostAndRelativeLinksUnderSameDomain) {
  FileItemList links;
  auto add = [&](int kind, const char* href) {
    auto e = std::make_unique<TFileItem>();
    e->Kind = static_cast<int16_t>(kind);
    e->Href = href;
    e->Path = kind == fkLocalFile ? href : "";
    e->BaseUrl = "http://a.example/";
    links.push_back(std::move(e));
  };
  add(fkLocalFile, "/local.txt");
  add(fkWeb, "page2.html");
  add(fkWeb, "http://a.example/x");
  add(fkWeb, "HTTP://B.EXAMPLE/");
  add(fkWeb, "http");
  add(fkWeb, "http://b.example/y");
  add(7, "http://a.example/z");
  const auto host = [](const std::string& url) { return url.substr(0, url.find('/', 7)); };
  EXPECT_EQ(BuildLinkList(links, true, host), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(BuildLinkList(links, false, host), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(BuildLinkList({}, true, host).empty());
}

TEST(BookLogic, PreviewTakesUpToThreeShortLinesMeasuredInCp932Bytes) {
  const std::string kanji25 = sj(u8"一二三四五六七八九十一二三四五六七八九十一二三四五");
  const std::string kanji24 = kanji25.substr(0, 48);
  struct Case {
    std::vector<std::string> lines;
    std::string preview;
  } cases[] = {
      {{"", "  " + sj(u8"一行") + "  ", sj(u8"二"), sj(u8"三"), sj(u8"四")}, "一行 / 二 / 三"},
      {{kanji25, "a", "b"}, "a / b"},
      {{"a", kanji25, "b"}, "a"},
      {{kanji24 + "x"}, test::u8(kanji24) + "x"},
      {{"", "\t"}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PreviewFromLines(c.lines), c.preview);
}

TEST(BookLogic, PreviewReadsOnlyTheStartOfRegularFiles) {
  TempDir dir;
  const std::string longLine = std::string(80, 'L') + "\n";
  std::string big;
  while (big.size() <= kPreviewReadBytes) big += longLine;
  Touch(dir / "big.txt", big + "short\n");
  Touch(dir / "one.txt", sj(u8"題名\r\n\r\n本文\r\n"));
  ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
  Touch(dir / "f.flt", "shown\n");
  ToolItemList filters;
  TToolItem f;
  f.Filter = "*.flt";
  filters.push_back(f);
  const PreviewSource source{&filters, {}};
  struct Case {
    const char* name;
    const char* preview;
  } cases[] = {{"big.txt", ""}, {"one.txt", "題名 / 本文"}, {"fifo.txt", ""}, {"missing.txt", ""}, {"f.flt", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFileItem e;
    e.Path = (dir / c.name).string();
    EXPECT_EQ(GetTextIndex(e, source), c.preview);
  }
  // With a filter hook the filtered lines are the preview.
  PreviewSource hooked{&filters, [](TFileItem&, std::vector<std::string>& lines, int&, bool, bool, int) {
                         lines = {"filtered"};
                         return true;
                       }};
  TFileItem e;
  e.Path = (dir / "f.flt").string();
  EXPECT_EQ(GetTextIndex(e, hooked), "filtered");
}

TEST(BookLogic, DesktopLinkPreviewsItsTargetAndKeepsItsPathWhenUnresolved) {
  TempDir dir;
  Touch(dir / "target.txt", "target line\n");
  Touch(dir / "good.desktop",
        "[Desktop Entry]\nType=Link\nName=t\nURL=file://" + (dir / "target.txt").string() + "\n");
  Touch(dir / "bad.desktop", "[Desktop Entry]\nType=Application\nExec=true\n");
  FileItemList list = Locals({"", ""});
  list[0]->Path = (dir / "good.desktop").string();
  list[1]->Path = (dir / "bad.desktop").string();
  auto web = std::make_unique<TFileItem>();
  web->Kind = fkWeb;
  web->Href = "http://a.example/";
  web->Title = "web title";
  list.push_back(std::move(web));
  MakeTextIndex(list, PreviewSource{});
  EXPECT_EQ(list[0]->Path, (dir / "target.txt").string());
  EXPECT_EQ(list[0]->Title, "target line");
  EXPECT_EQ(list[1]->Path, (dir / "bad.desktop").string());
  EXPECT_EQ(list[1]->Title, "");
  EXPECT_EQ(list[2]->Title, "web title");
}

TEST(BookLogic, BarReachesThePositionAndClampsIt) {
  const RowBar half = RowBarGeometry(200, 20, 17, 5099);
  EXPECT_EQ(half.bar, QRect(0, 28, 101, 8));
  EXPECT_EQ(half.ellipse, QRect(93, 28, 16, 8));
  EXPECT_TRUE(RowBarGeometry(200, 0, 17, 0).bar.isEmpty());
  EXPECT_EQ(RowBarGeometry(200, 0, 17, 20000).bar, RowBarGeometry(200, 0, 17, 10000).bar);
  EXPECT_EQ(RowBarGeometry(200, 0, 17, 10000).bar.width(), 200);
  // A width times a position past 32 bits.
  EXPECT_EQ(RowBarGeometry(1 << 20, 0, 17, 10000).bar.width(), 1 << 20);
}

TEST(BookLogic, CaptionAndHintOfARow) {
  TFileItem e;
  e.Path = "/d/a.txt";
  e.Title = "Title";
  e.Rate = 5099;
  EXPECT_EQ(RowCaption(e, kTabBookMark, false), "a.txt");
  EXPECT_EQ(RowCaption(e, kTabBookMark, true), "Title");
  EXPECT_EQ(RowCaption(e, kTabLinkList, false), "Title");
  EXPECT_EQ(RowHintText(e, kTabBookMark), "/d/a.txt\n\xE3\x80\x80Title\n\xE3\x80\x80" "50%");
  e.Title.clear();
  e.Time = 45000.5;  // 2023-03-15 12:00
  EXPECT_EQ(RowHintText(e, kTabFileList), "/d/a.txt\n\xE3\x80\x80" "2023/03/15 12:00");
  TFileItem current;
  current.Path = "/d/A.txt";
  EXPECT_FALSE(IsCurrentDocument(e, &current));
  current.Path = "/d/a.txt";
  EXPECT_TRUE(IsCurrentDocument(e, &current));
  EXPECT_FALSE(IsCurrentDocument(e, nullptr));
}

}  // namespace
}  // namespace yomira
