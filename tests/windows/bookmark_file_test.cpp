#include "windows/book/bookmark_file.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;
using test::ReadFileBytes;
using test::TempDir;

struct LineCase {
  std::string line;
  int count;  // entries read
  int kind;
  std::string path, href, title;
  int rate;
  std::string written;
};

TEST(BookMarkFile, LinesReadAndWriteBackAsTheFileKeepsThem) {
  const LineCase cases[] = {
      {"/h/a.txt\t1234", 1, fkLocalFile, "/h/a.txt", "", "", 1234, "/h/a.txt\t1234\n"},
      {"http://e.com/p\t5000\t", 1, fkWeb, "", "http://e.com/p", "", 5000, "http://e.com/p\t5000\t\n"},
      // The scheme test is case-sensitive and needs more than the four letters.
      {"HTTP://E.COM/\t10", 1, fkLocalFile, "HTTP://E.COM/", "", "", 10, "HTTP://E.COM/\t10\n"},
      {"http\t7", 1, fkLocalFile, "http", "", "", 7, "http\t7\n"},
      // A local file's title is read but not stored.
      {"/x.txt\t5\tTitle", 1, fkLocalFile, "/x.txt", "", "Title", 5, "/x.txt\t5\n"},
      {"/one", 0, 0, "", "", "", 0, ""},
      {"a\tb\tc\td", 0, 0, "", "", "", 0, ""},
      {"", 0, 0, "", "", "", 0, ""},
      // Positions that are no number, or out of range, read as 0.
      {"/y.txt\tabc", 1, fkLocalFile, "/y.txt", "", "", 0, "/y.txt\t0\n"},
      {"/z.txt\t\t", 1, fkLocalFile, "/z.txt", "", "", 0, "/z.txt\t0\n"},
      {"/r\t20000", 1, fkLocalFile, "/r", "", "", 0, "/r\t0\n"},
      {"/r\t-2", 1, fkLocalFile, "/r", "", "", 0, "/r\t0\n"},
      {"/r\t-1", 1, fkLocalFile, "/r", "", "", -1, "/r\t-1\n"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.line);
    FileItemList list;
    ParseBookMarkLine(list, c.line);
    ASSERT_EQ(static_cast<int>(list.size()), c.count);
    if (c.count == 0) continue;
    const TFileItem& e = *list[0];
    EXPECT_EQ(e.Kind, c.kind);
    EXPECT_EQ(e.Path, c.path);
    EXPECT_EQ(e.Href, c.href);
    EXPECT_EQ(e.Title, c.title);
    EXPECT_EQ(e.Rate, c.rate);
    EXPECT_EQ(BookMarksText(list), c.written);
  }
}

TEST(BookMarkFile, WriterNeverGivesALineTheReaderDropsOrSplits) {
  FileItemList list;
  auto web = std::make_unique<TFileItem>();
  web->Kind = fkWeb;
  web->Href = "http://e.com/q";
  web->Rate = 10;
  web->Title = std::string("a\tb\nc\rd") + '\0' + "e";
  list.push_back(std::move(web));
  auto emptyWeb = std::make_unique<TFileItem>();
  emptyWeb->Kind = fkWeb;
  list.push_back(std::move(emptyWeb));
  auto emptyLocal = std::make_unique<TFileItem>();
  list.push_back(std::move(emptyLocal));
  auto tabPath = std::make_unique<TFileItem>();
  tabPath->Path = "/a\tb.txt";
  list.push_back(std::move(tabPath));
  const std::string text = BookMarksText(list);
  EXPECT_EQ(text, "http://e.com/q\t10\ta b c d e\n");
  FileItemList back;
  ParseBookMarkLine(back, text.substr(0, text.size() - 1));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0]->Title, "a b c d e");
}

TEST(BookMarkFile, Cp932FilesWithAnyLineEndReadAlikeAndAreWrittenAsUtf8) {
  // 表示 in cp932 holds the byte 0x5C.
  const std::string title = bytes({0x95, 0x5C, 0x8E, 0xA6});
  const std::string utf8Title = "\xE8\xA1\xA8\xE7\xA4\xBA";
  TempDir dir;
  for (const std::string eol : {"\r\n", "\r", "\n"}) {
    SCOPED_TRACE(test::hex(eol));
    const std::string path = dir / "bookmark.dat";
    std::ofstream(path, std::ios::binary) << "/d/p150.txt\t5000" << eol << "http://e.com/a\t1234\t" << title << eol;
    FileItemList list;
    ASSERT_EQ(LoadBookMarks(path, list), BookMarkLoad::Loaded);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->Path, "/d/p150.txt");
    EXPECT_EQ(list[1]->Title, utf8Title);
    ASSERT_EQ(SaveBookMarks(path, list), "");
    EXPECT_EQ(ReadFileBytes(path), "/d/p150.txt\t5000\nhttp://e.com/a\t1234\t" + utf8Title + "\n");
  }
  // UTF-8 with a BOM reads the same.
  const std::string path = dir / "bom.dat";
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBFhttp://e.com/a\t1234\t" << utf8Title << "\n";
  FileItemList list;
  ASSERT_EQ(LoadBookMarks(path, list), BookMarkLoad::Loaded);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->Href, "http://e.com/a");
  EXPECT_EQ(list[0]->Title, utf8Title);
}

TEST(BookMarkFile, MissingLeavesTheListAndUnreadableFilesFailWithoutBlocking) {
  TempDir dir;
  FileItemList list;
  ParseBookMarkLine(list, "/kept\t1");
  EXPECT_EQ(LoadBookMarks(dir / "none.dat", list), BookMarkLoad::Missing);
  EXPECT_EQ(list.size(), 1u);

  const std::string fifo = dir / "fifo.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadBookMarks(fifo, list), BookMarkLoad::Failed);
  EXPECT_TRUE(list.empty());

  const std::string big = dir / "big.dat";
  std::ofstream(big, std::ios::binary) << "/b\t1\n";
  std::filesystem::resize_file(big, 9u << 20);
  EXPECT_EQ(LoadBookMarks(big, list), BookMarkLoad::Failed);
}

TEST(BookMarkFile, AFailedWriteKeepsTheOldBytes) {
  TempDir dir;
  const std::string path = dir / "bookmark.dat";
  std::ofstream(path, std::ios::binary) << "/old\t1\r\n";
  FileItemList list;
  ParseBookMarkLine(list, "/new\t2");
  SetAtomicWriteFailHook([](AtomicWriteStep s) { return s == AtomicWriteStep::Rename; });
  EXPECT_NE(SaveBookMarks(path, list), "");
  SetAtomicWriteFailHook(nullptr);
  EXPECT_EQ(ReadFileBytes(path), "/old\t1\r\n");
}

}  // namespace
}  // namespace yomira
