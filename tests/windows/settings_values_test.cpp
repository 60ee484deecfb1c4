// The settings dialog's plain values: the favourite-colour file, the shared colour list and
// the shortening of a file name to a path label.
#include "windows/settings/settings_values.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/color.h"
#include "platform/text/utf8.h"
#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using Entry = FavoriteColorList::Entry;

void WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

const std::vector<Entry> kFixtureEntries = {
    {"#FFFAF0", " クリーム"}, {"#fffaf0", " 小文字"}, {"#102030", "紺"}, {"#GGFAF0", " x"}, {"#000000", "a"}};

TEST(FavoriteColorFile, Cp932CrLfFixture) {
  FavoriteColorList list;
  EXPECT_EQ(list.LoadFavoriteFile(test::TestData("setup/favorite.dat").string()), "");
  // The 7-byte "#ABCDEF" line is no entry; the blank after the colour belongs to the name.
  EXPECT_EQ(list.entries(), kFixtureEntries);
  // Malformed digits are listed as read and convert with the unreadable channel 0.
  EXPECT_EQ(HtmlToColor(list.entries()[3].text), 0u + 250u * 256u + 240u * 65536u);
  // Case is ignored and the first match wins.
  EXPECT_EQ(list.IndexOf("#FFFAF0"), 0);
  EXPECT_EQ(list.IndexOf("#fFfAf0"), 0);
  EXPECT_EQ(list.IndexOf("#ABCDEF"), -1);
}

TEST(FavoriteColorFile, Utf8WithBomAndLfGivesTheSameEntries) {
  FavoriteColorList list;
  EXPECT_EQ(list.LoadFavoriteFile(test::TestData("setup/favorite_utf8.dat").string()), "");
  EXPECT_EQ(list.entries(), kFixtureEntries);
}

TEST(FavoriteColorFile, WhatCannotBeReadLeavesTheListEmpty) {
  test::TempDir t;
  fs::create_directory(t / "folder");
  fs::create_directory(t / "folder/favorite.dat");
  const std::string line = "#FFFFFF white\n";
  std::string big;
  while (big.size() + line.size() <= FavoriteColorList::kMaxFileBytes) big += line;
  big.append(FavoriteColorList::kMaxFileBytes - big.size(), 'x');  // exactly 1 MiB: still read
  WriteFile(t / "exact.dat", big);
  WriteFile(t / "over.dat", big + "x");
  const std::string cannot = "favorite.datを開けませんでした。";
  struct Case {
    fs::path path;
    std::string message;
    bool entries;
  } cases[] = {
      {t / "missing.dat", "", false},
      {t / "folder/favorite.dat", cannot, false},
      {t / "over.dat", cannot, false},
      {t / "exact.dat", "", true},
  };
  for (const Case& c : cases) {
    FavoriteColorList list;
    list.Append("#123456", "left over");
    EXPECT_EQ(list.LoadFavoriteFile(c.path.string()), c.message) << c.path;
    EXPECT_EQ(list.size() > 0, c.entries) << c.path;
    EXPECT_EQ(list.IndexOf("#123456"), -1) << c.path;
  }
}

TEST(FavoriteColorFile, FifoIsNotWaitedFor) {
  test::TempDir t;
  const fs::path fifo = t / "favorite.dat";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  FavoriteColorList list;
  EXPECT_EQ(list.LoadFavoriteFile(fifo.string()), "favorite.datを開けませんでした。");
  EXPECT_EQ(list.size(), 0);
}

// Random bytes: never a crash, every entry valid UTF-8 with a colour of at most 7 bytes.
TEST(FavoriteColorFile, RandomBytesGiveValidEntries) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  const std::string pieces[] = {"#", "FF", "\r\n", "\n", "\r", " ", "あ", "\x82\xA0", "\xEF\xBB\xBF", "\x80", "\xE3\x81"};
  test::TempDir t;
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    const int n = static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i)
      bytes += rng() % 3 ? pieces[rng() % std::size(pieces)] : std::string(1, static_cast<char>(rng() % 256));
    WriteFile(t / "f.dat", bytes);
    FavoriteColorList list;
    EXPECT_EQ(list.LoadFavoriteFile((t / "f.dat").string()), "");
    for (const Entry& e : list.entries()) {
      EXPECT_TRUE(IsValidUtf8(e.text) && IsValidUtf8(e.name)) << test::hex(bytes);
      EXPECT_LE(e.text.size(), 7u);
      EXPECT_FALSE(e.name.empty());
    }
  }
}

// A malformed line whose seventh byte cuts a character shows both halves through "?".
TEST(FavoriteColorFile, ColourCutInsideACharacter) {
  test::TempDir t;
  WriteFile(t / "f.dat", "#12345あいう\n");
  FavoriteColorList list;
  list.LoadFavoriteFile((t / "f.dat").string());
  ASSERT_EQ(list.size(), 1);
  EXPECT_EQ(list.entries()[0].text, "#12345?");
  EXPECT_EQ(list.entries()[0].name, "??いう");
}

TEST(FitParenText, ShortensToTheLabel) {
  // 10 px per character, whatever its bytes.
  const auto width = [](const std::string& s) {
    int n = 0;
    for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n * 10;
  };
  struct Case {
    std::string text;
    int maxWidth;
    std::string caption;
  } cases[] = {
      {"", 10, "( 参照 )"},
      {"a.wav", 200, "( a.wav )"},
      // "( a.wav )" is 90 px: not less than 90.
      {"a.wav", 90, "( a... )"},
      {"abcdefghijklmnop.wav", 130, "( abcde... )"},  // 120 px; one more letter is 130
      {"漢字漢字漢字漢字.wav", 100, "( 漢字... )"},
      {"a", 50, "( a... )"},
      {"ab", 20, "( a... )"},
  };
  for (const Case& c : cases) EXPECT_EQ(FitParenText(c.text, c.maxWidth, width), c.caption) << c.text;
}

}  // namespace
}  // namespace yomira
