#include "sources/file_item.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <random>

#include "support/test_support.h"

namespace yomira {
namespace {

TFileItem Web(const std::string& base, const std::string& href) {
  TFileItem item;
  item.Kind = fkWeb;
  item.BaseUrl = base;
  item.Href = href;
  return item;
}

TEST(FileItem, NewEntryIsEmptyLocalWithRateZero) {
  TFileItem item;
  EXPECT_EQ(item.Kind, fkLocalFile);
  EXPECT_EQ(item.Rate, 0);
  EXPECT_EQ(item.Time, 0);
  EXPECT_EQ(item.GetLocation(), "");
}

TEST(FileItem, WebLocationJoinsHrefToBase) {
  struct Case {
    const char* base;
    const char* href;
    const char* expected;
  };
  const Case cases[] = {
      {"", "x y", "x y"},
      {"", "anything at all", "anything at all"},
      {"http://h/d/p.html", "q.html", "http://h/d/q.html"},
      {"http://h/d/p.html", "http://o/x", "http://o/x"},
      {"http://h/d/p.html", "HTTP://o/x", "http://o/x"},
      {"http://h/d/p.html", "http", "http://h/d/http"},
      {"http://h/d/p.html", "../up.html", "http://h/up.html"},
      {"not a url", "g", ""},
      {"relative/base.html", "g", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Web(c.base, c.href).GetLocation(), c.expected) << c.base << " + " << c.href;
}

TEST(FileItem, WebLocationFollowsRfc3986NormalExamples) {
  const char* base = "http://a/b/c/d;p?q";
  const std::pair<const char*, const char*> cases[] = {
      {"g:h", "g:h"},
      {"g", "http://a/b/c/g"},
      {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"},
      {"//g", "http://g"},
      {"?y", "http://a/b/c/d;p?y"},
      {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q#s"},
      {"g#s", "http://a/b/c/g#s"},
      {"g?y#s", "http://a/b/c/g?y#s"},
      {";x", "http://a/b/c/;x"},
      {"g;x", "http://a/b/c/g;x"},
      {"g;x?y#s", "http://a/b/c/g;x?y#s"},
      {"", "http://a/b/c/d;p?q"},
      {".", "http://a/b/c/"},
      {"./", "http://a/b/c/"},
      {"..", "http://a/b/"},
      {"../", "http://a/b/"},
      {"../g", "http://a/b/g"},
      {"../..", "http://a/"},
      {"../../", "http://a/"},
      {"../../g", "http://a/g"},
  };
  for (const auto& [href, expected] : cases) EXPECT_EQ(Web(base, href).GetLocation(), expected) << href;
}

TEST(FileItem, WebLocationIsCachedButCopiesRecompute) {
  TFileItem item = Web("http://h/d/p.html", "a.html");
  EXPECT_EQ(item.GetLocation(), "http://h/d/a.html");
  item.Href = "b.html";
  EXPECT_EQ(item.GetLocation(), "http://h/d/a.html");

  TFileItem copy(item);
  EXPECT_EQ(copy.GetLocation(), "http://h/d/b.html");
  TFileItem assigned;
  assigned = item;
  EXPECT_EQ(assigned.GetLocation(), "http://h/d/b.html");
  EXPECT_EQ(assigned.Kind, fkWeb);
  EXPECT_EQ(assigned.BaseUrl, item.BaseUrl);
}

TEST(FileItem, LocalLocationFollowsRewrittenPath) {
  TFileItem item;
  item.Path = "/tmp/a.txt";
  EXPECT_EQ(item.GetLocation(), "/tmp/a.txt");
  item.Path = "/tmp/b.txt";
  EXPECT_EQ(item.GetLocation(), "/tmp/b.txt");
}

TEST(FileItem, OtherKindsHaveNoLocation) {
  TFileItem item;
  item.Kind = 2;
  item.Path = "/p";
  item.Href = "http://x/y";
  EXPECT_EQ(item.GetLocation(), "");
}

TEST(FileItem, AssignCopiesEveryField) {
  TFileItem a;
  a.Kind = fkWeb;
  a.Rate = 1234;
  a.Path = "/cache/p.html";
  a.Href = "http://x/";
  a.BaseUrl = "http://b/";
  a.Ext = ".html";
  a.Title = "題";
  a.Time = 45000.5;
  TFileItem b;
  b.Assign(a);
  EXPECT_EQ(b.Kind, a.Kind);
  EXPECT_EQ(b.Rate, a.Rate);
  EXPECT_EQ(b.Path, a.Path);
  EXPECT_EQ(b.Href, a.Href);
  EXPECT_EQ(b.BaseUrl, a.BaseUrl);
  EXPECT_EQ(b.Ext, a.Ext);
  EXPECT_EQ(b.Title, a.Title);
  EXPECT_EQ(b.Time, a.Time);
}

TEST(FileItem, TimeKeyRoundsToMillisecondsThenCutsSeconds) {
  EXPECT_EQ(TimeKey(45356 + 50829 / 86400.0), "20240305140709");
  EXPECT_EQ(TimeKey(36526.999995370374), "20000101235959");
  EXPECT_EQ(TimeKey(0), "18991230000000");
  EXPECT_EQ(TimeKey(1.0 - 1e-10), "18991231000000");
  EXPECT_EQ(TimeKey(std::nan("")), "18991230000000");
}

TEST(FileItem, FileTimeToDateTimeCountsDaysAndFraction) {
  const QDateTime t(QDate(2024, 3, 5), QTime(14, 7, 9));
  EXPECT_NEAR(FileTimeToDateTime(t), 45356 + 50829 / 86400.0, 1e-9);
  EXPECT_EQ(TimeKey(FileTimeToDateTime(t)), "20240305140709");
}

// Builds the list from paths, each with an extension and time as given.
FileItemList MakeList(std::initializer_list<std::tuple<const char*, const char*, double>> rows) {
  FileItemList list;
  for (const auto& [path, ext, time] : rows) {
    auto item = std::make_unique<TFileItem>();
    item->Path = path;
    item->Ext = ext;
    item->Time = time;
    list.push_back(std::move(item));
  }
  return list;
}

std::vector<std::string> Paths(const FileItemList& list) {
  std::vector<std::string> out;
  for (const auto& item : list) out.push_back(item->Path);
  return out;
}

using V = std::vector<std::string>;

TEST(FileItemOrder, NameAscendingAndDescendingIgnoreCase) {
  auto list = MakeList({{"/d/b.txt", ".txt", 0}, {"/d/A.txt", ".txt", 0}, {"/d/c.txt", ".txt", 0}});
  SortFileItems(list, {});
  EXPECT_EQ(Paths(list), (V{"/d/A.txt", "/d/b.txt", "/d/c.txt"}));
  SortFileItems(list, {.OrderUp = false});
  EXPECT_EQ(Paths(list), (V{"/d/c.txt", "/d/b.txt", "/d/A.txt"}));
}

TEST(FileItemOrder, ExtensionThenPath) {
  auto list = MakeList({{"/d/b.txt", ".txt", 0}, {"/d/c.html", ".html", 0}, {"/d/a.txt", ".txt", 0},
                        {"/d/a.htm", ".htm", 0}});
  const FileListOrder byExt{.OrderUp = true, .OrderName = false, .OrderExt = true};
  std::mt19937 rng(7);
  for (int run = 0; run < 5; ++run) {
    std::shuffle(list.begin(), list.end(), rng);
    SortFileItems(list, byExt);
    EXPECT_EQ(Paths(list), (V{"/d/a.htm", "/d/c.html", "/d/a.txt", "/d/b.txt"}));
  }
}

TEST(FileItemOrder, TimeOrder) {
  const double day = 45356;
  const FileListOrder byTime{.OrderUp = true, .OrderName = false, .OrderTime = true};
  // Same second: by path.
  auto list = MakeList({{"/d/b", "", day + 0.3 / 86400}, {"/d/a", "", day + 0.1 / 86400}});
  SortFileItems(list, byTime);
  EXPECT_EQ(Paths(list), (V{"/d/a", "/d/b"}));
  // Different seconds: by time, the path being secondary.
  list = MakeList({{"/d/a", "", day + 2.0 / 86400}, {"/d/b", "", day + 1.0 / 86400}});
  SortFileItems(list, byTime);
  EXPECT_EQ(Paths(list), (V{"/d/b", "/d/a"}));
  // Name wins over time when both are checked.
  SortFileItems(list, {.OrderUp = true, .OrderName = true, .OrderTime = true});
  EXPECT_EQ(Paths(list), (V{"/d/a", "/d/b"}));
  // Nothing checked: the path.
  list = MakeList({{"/d/b", "", 1}, {"/d/a", "", 2}});
  SortFileItems(list, {.OrderUp = true, .OrderName = false});
  EXPECT_EQ(Paths(list), (V{"/d/a", "/d/b"}));
}

TEST(FileItemOrder, CaseOnlyDifferencesCompareEqualAndSortDeterministically) {
  TFileItem a, b;
  a.Path = "/d/A.txt";
  b.Path = "/d/a.txt";
  EXPECT_EQ(CompareFileItems(a, b, {}), 0);
  EXPECT_EQ(CompareFileItems(a, b, {.OrderUp = false}), 0);
  for (bool up : {true, false}) {
    auto list = MakeList({{"/d/a.txt", "", 0}, {"/d/A.txt", "", 0}});
    SortFileItems(list, {.OrderUp = up});
    EXPECT_EQ(Paths(list), (V{"/d/A.txt", "/d/a.txt"}));
  }
}

TEST(FileItemOrder, CompareGivesUnitSigns) {
  TFileItem a, b;
  a.Path = "/d/a";
  b.Path = "/d/zzzz";
  EXPECT_EQ(CompareFileItems(a, b, {}), -1);
  EXPECT_EQ(CompareFileItems(b, a, {}), 1);
  EXPECT_EQ(CompareFileItems(a, b, {.OrderUp = false}), 1);
}

}  // namespace
}  // namespace yomira
