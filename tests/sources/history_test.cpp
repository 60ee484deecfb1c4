#include "sources/history.h"

#include "platform/datafolder.h"
#include "support/test_support.h"

namespace yomira {
namespace {

void AddLocal(FileItemList& list, const std::string& path, int rate = 0) {
  AddHistory(list, fkLocalFile, 0, "", ".txt", "", "", path, rate);
}

std::vector<std::string> Paths(const FileItemList& list) {
  std::vector<std::string> out;
  for (const auto& item : list) out.push_back(item->Path);
  return out;
}

using V = std::vector<std::string>;

TEST(History, KeepsEightNewestFirst) {
  FileItemList list;
  for (int i = 1; i <= 9; ++i) AddLocal(list, "/d/" + std::to_string(i));
  EXPECT_EQ(Paths(list), (V{"/d/9", "/d/8", "/d/7", "/d/6", "/d/5", "/d/4", "/d/3", "/d/2"}));
}

TEST(History, ReopenedEntryMovesToTopWithNewValues) {
  FileItemList list;
  for (int i = 1; i <= 8; ++i) AddLocal(list, "/d/" + std::to_string(i), i);
  AddLocal(list, "/d/5", 4242);  // entry 3
  EXPECT_EQ(Paths(list), (V{"/d/5", "/d/8", "/d/7", "/d/6", "/d/4", "/d/3", "/d/2", "/d/1"}));
  EXPECT_EQ(list[0]->Rate, 4242);
}

TEST(History, ArgumentsMayBeFieldsOfTheEntryItReplaces) {
  FileItemList list;
  AddHistory(list, fkLocalFile, 1.5, "title", ".txt", "base", "href", "/d/a", 10);
  AddLocal(list, "/d/b");
  const TFileItem& old = *list[1];
  AddHistory(list, old.Kind, old.Time, old.Title, old.Ext, old.BaseUrl, old.Href, old.Path, old.Rate);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->Path, "/d/a");
  EXPECT_EQ(list[0]->Title, "title");
  EXPECT_EQ(list[0]->Href, "href");
  EXPECT_EQ(list[0]->Time, 1.5);
  EXPECT_EQ(list[0]->Rate, 10);
}

TEST(History, PathsCompareCaseSensitively) {
  FileItemList list;
  AddLocal(list, "/d/A.txt");
  AddLocal(list, "/d/a.txt");
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(FindHistory(list, "/d/A.txt"), 1);
  EXPECT_EQ(FindHistory(list, "/d/a.TXT"), -1);
}

TEST(History, OtherKindsAreDropped) {
  FileItemList list;
  AddLocal(list, "/d/a");
  AddHistory(list, 2, 0, "", "", "", "", "/d/b", 0);
  EXPECT_EQ(Paths(list), (V{"/d/a"}));
}

TEST(History, WebEntriesAreKeyedByLocation) {
  FileItemList list;
  AddHistory(list, fkWeb, 0, "", "", "http://h/d/", "x.html", "/cache/1", 100);
  AddHistory(list, fkWeb, 0, "", "", "", "http://h/d/x.html", "/cache/2", 200);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->Path, "/cache/2");
  AddHistory(list, fkWeb, 0, "", "", "http://h/d/", "y.html", "/cache/3", 300);
  EXPECT_EQ(list.size(), 2u);
}

TEST(History, FindHistoryPosition) {
  const std::string clip = "/home/u/.config/yomira/ClipBord.txt";
  FileItemList list;
  TFileItem local;
  local.Path = "/d/a.txt";
  EXPECT_EQ(FindHistoryPosition(list, local, clip), 0);

  AddHistory(list, fkLocalFile, 0, "", "", "", "", clip, 3000);
  AddHistory(list, fkWeb, 0, "", "", "", "http://h/p", "/cache/p", 5000);
  AddHistory(list, fkLocalFile, 0, "", "", "", "", "/d/a.txt", 1234);

  TFileItem clipEntry;
  clipEntry.Path = clip;
  EXPECT_EQ(FindHistoryPosition(list, clipEntry, clip), -1);
  EXPECT_EQ(FindHistoryPosition(list, local, clip), 1234);

  TFileItem web;
  web.Kind = fkWeb;
  web.BaseUrl = "http://h/q";
  web.Href = "p";
  web.Path = "/cache/other";
  EXPECT_EQ(FindHistoryPosition(list, web, clip), 5000);

  // A local entry whose path equals a web entry's location does not match it.
  TFileItem mismatch;
  mismatch.Path = "http://h/p";
  EXPECT_EQ(FindHistoryPosition(list, mismatch, clip), 0);
  TFileItem webByPath;
  webByPath.Kind = fkWeb;
  webByPath.Href = "http://elsewhere/";
  webByPath.Path = "/d/a.txt";
  EXPECT_EQ(FindHistoryPosition(list, webByPath, clip), 0);
}

TEST(History, ClipboardDocumentOfTheDataFolderStartsAtItsBeginning) {
  FileItemList list;
  TFileItem clip;
  clip.Path = DataFolder() + "/ClipBord.txt";
  AddHistory(list, fkLocalFile, 0, "", "", "", "", clip.Path, 3000);
  EXPECT_EQ(FindHistoryPosition(list, clip), -1);
  TFileItem other;
  other.Path = DataFolder() + "/clipbord.txt";
  EXPECT_EQ(FindHistoryPosition(list, other), 0);
}

TEST(History, PositionAndCurrentName) {
  FileItemList list;
  EXPECT_EQ(GetHistoryPosition(list), -1);
  EXPECT_EQ(GetCurrentFileName(list), "");
  SetHistoryPosition(list, 0, 5);  // no entry: nothing happens
  AddLocal(list, "/d/a", 100);
  AddLocal(list, "/d/b", 200);
  EXPECT_EQ(GetHistoryPosition(list), 200);
  EXPECT_EQ(GetCurrentFileName(list), "/d/b");
  SetHistoryPosition(list, 1, 777);
  SetHistoryPosition(list, 2, 999);
  SetHistoryPosition(list, -1, 999);
  EXPECT_EQ(list[1]->Rate, 777);
  EXPECT_EQ(list[0]->Rate, 200);
}

TEST(History, ListHistoryURLsGivesWebLocationsInOrder) {
  FileItemList list;
  AddHistory(list, fkWeb, 0, "", "", "http://h/d/", "a.html", "/c/1", 0);
  AddLocal(list, "/d/x");
  AddHistory(list, fkWeb, 0, "", "", "", "http://o/b", "/c/2", 0);
  std::vector<std::string> urls{"stale"};
  ListHistoryURLs(list, urls);
  EXPECT_EQ(urls, (V{"http://o/b", "http://h/d/a.html"}));
}

TEST(History, RecentCaptions) {
  TFileItem e;
  e.Path = "/home/u/a.txt";
  e.Rate = 4567;
  struct Case {
    int n;
    int rate;
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {0, 4567, "/home/u/a.txt", "&0 a.txt"},
      {3, 4567, "/home/u/a.txt", "&3 a.txt\t45%"},
      {1, -1, "/home/u/a.txt", "&1 a.txt\t0%"},
      {7, 10000, "/home/u/a.txt", "&7 a.txt\t100%"},
      {2, 0, "/home/u/R&D.txt", "&2 R&&D.txt\t0%"},
      {1, 0, "noslash.txt", "&1 noslash.txt\t0%"},
  };
  for (const auto& c : cases) {
    e.Rate = c.rate;
    e.Path = c.path;
    EXPECT_EQ(RecentCaption(e, c.n), c.expected);
  }
  TFileItem web;
  web.Kind = fkWeb;
  web.Href = "http://h/p?a=1&b=2";
  web.Path = "/cache/x";
  web.Rate = 1200;
  EXPECT_EQ(RecentCaption(web, 1), "&1 http://h/p?a=1&&b=2\t12%");
}

TEST(History, MenuItemsShowOnlyExistingEntries) {
  FileItemList list;
  AddLocal(list, "/d/name.txt", 5000);
  const auto items = RecentMenuItems(list);
  EXPECT_TRUE(items[0].visible);
  EXPECT_EQ(items[0].caption, "&0 name.txt");
  for (int n = 1; n < kHistoryMax; ++n) EXPECT_FALSE(items[n].visible) << n;

  for (int i = 0; i < 10; ++i) AddLocal(list, "/d/" + std::to_string(i));
  const auto full = RecentMenuItems(list);
  for (int n = 0; n < kHistoryMax; ++n) EXPECT_TRUE(full[n].visible) << n;
  EXPECT_EQ(full[7].caption, "&7 2\t0%");
}

}  // namespace
}  // namespace yomira
