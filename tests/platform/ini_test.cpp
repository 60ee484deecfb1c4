#include "platform/ini.h"

#include <fstream>
#include <random>

#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;
using test::sj;
using test::TempDir;

std::string U(const char8_t* s) { return reinterpret_cast<const char*>(s); }

constexpr const char* kDef = "<def>";

TEST(IniRead, Table) {
  struct Case {
    std::string file, section, key, want;
  };
  const std::string nul("[a]\nk=1\0x\nj=2", 13);
  const Case cases[] = {
      {"\xEF\xBB\xBF[a]\nk=v", "a", "k", "v"},
      {"[a]\r\nk=" + bytes({0x8F, 0x5C, 0x83, 0x5C, 0x95, 0x5C}), "a", "k", U(u8"十ソ表")},
      {bytes({0x5B, 0x83, 0x5D}) + "\r\nk=1", U(u8"ゾ"), "k", kDef},  // [ゾ is no header
      {bytes({0x5B, 0x83, 0x5D}) + "\r\nk=1", "", "k", kDef},
      {"[a]\rk=1\rj=2", "a", "j", "2"},
      {"  [ a ]  \n  K  =  v w  ", "A", "k", "v w"},
      {"k=0\n[a]\nk=1\nk=2\n[A]\nj=3", "a", "k", "1"},
      {"k=0\n[a]\nk=1\nk=2\n[A]\nj=3", "a", "j", kDef},
      {"[a]\nk=x=y;z\n;m=1\n#j=2\nn=", "a", "k", "x=y;z"},
      {"[a]\nk=x=y;z\n;m=1\n#j=2\nn=", "a", "m", kDef},
      {"[a]\nk=x=y;z\n;m=1\n#j=2\nn=", "a", "#j", "2"},
      {"[a]\nk=x=y;z\n;m=1\n#j=2\nn=", "a", "n", ""},
      {"[a]\nk=\"q\"", "a", "k", "\"q\""},
      {nul, "a", "j", "2"},
      {"[a] ;x\nk=1", "a", "k", kDef},
      {"[a]\nk=1", "b", "k", kDef},
      {"[A]\n[a]\nk=1", "a", "k", kDef},  // the first section of the name counts
      {"[\xC3\x84]\nk=1", "\xC3\xA4", "k", kDef},  // only A-Z fold
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IniDoc::FromText(c.file).ReadString(c.section, c.key, kDef), c.want)
        << test::hex(c.file) << " " << c.section << "," << c.key;
  }
}

TEST(IniRead, StripQuotesOption) {
  IniDoc d = IniDoc::FromText("[a]\nk=\"q\"\nj='r'\nm=\"s'\nn=\"");
  d.SetStripQuotes(true);
  EXPECT_EQ(d.ReadString("a", "k", ""), "q");
  EXPECT_EQ(d.ReadString("a", "j", ""), "r");
  EXPECT_EQ(d.ReadString("a", "m", ""), "\"s'");
  EXPECT_EQ(d.ReadString("a", "n", ""), "\"");
}

TEST(IniRead, IntegersAndBooleans) {
  const IniDoc d = IniDoc::FromText("[a]\nh=0x20\nd=$20\nx=x20\nbad=abc\nneg=-3\nb0=0\nb2=2\nempty=\nz=0x");
  EXPECT_EQ(d.ReadInteger("a", "h", 7), 32);
  EXPECT_EQ(d.ReadInteger("a", "d", 7), 32);
  EXPECT_EQ(d.ReadInteger("a", "x", 7), 32);
  EXPECT_EQ(d.ReadInteger("a", "bad", 7), 7);
  EXPECT_EQ(d.ReadInteger("a", "neg", 7), -3);
  EXPECT_EQ(d.ReadInteger("a", "empty", 7), 7);
  EXPECT_EQ(d.ReadInteger("a", "z", 7), 7);
  EXPECT_EQ(d.ReadInteger("a", "missing", 7), 7);
  EXPECT_FALSE(d.ReadBool("a", "b0", true));
  EXPECT_TRUE(d.ReadBool("a", "b2", false));
  EXPECT_TRUE(d.ReadBool("a", "bad", true));
  EXPECT_FALSE(d.ReadBool("a", "bad", false));
}

TEST(IniRead, SectionExistsNeedsAKeyLine) {
  EXPECT_FALSE(IniDoc::FromText("[a]\n;c").SectionExists("a"));
  EXPECT_FALSE(IniDoc::FromText("[a]\nnoeq").SectionExists("a"));
  EXPECT_TRUE(IniDoc::FromText("[a]\nk=").SectionExists("A"));
  EXPECT_FALSE(IniDoc::FromText("[a]\n[a]\nk=1").SectionExists("a"));
  EXPECT_FALSE(IniDoc::FromText("k=1").SectionExists(""));
}

TEST(IniWrite, Table) {
  {
    IniDoc d;
    d.WriteString("a", "k", "v");
    EXPECT_EQ(d.Text(), "[a]\nk=v\n\n");
  }
  {
    IniDoc d = IniDoc::FromText("[A]\n;c\nKEY=1");
    d.WriteString("a", "Key", "2");
    d.WriteString("a", "n", "3");
    EXPECT_EQ(d.Text(), "[A]\n;c\nKey=2\nn=3\n\n");
  }
  {
    IniDoc d = IniDoc::FromText(";t\n[a]\nk=1\n[b]\nj=1\n[a]");
    d.EraseSection("A");
    EXPECT_EQ(d.Text(), ";t\n[b]\nj=1\n\n");
  }
  {
    IniDoc d;
    d.WriteString("a", "k", std::string("x\r\n[T]\0y", 8));
    d.WriteString("a", "j", bytes({0xFF, 0x41}));
    EXPECT_EQ(d.Text(), "[a]\nk=x  [T] y\nj=?A\n\n");
    EXPECT_FALSE(IniDoc::FromText(d.Text()).SectionExists("T"));
  }
  {
    IniDoc d;
    d.WriteInteger("a", "i", -5);
    d.WriteInteger("a", "u", 65535);
    d.WriteBool("a", "t", true);
    d.WriteBool("a", "f", false);
    EXPECT_EQ(d.Text(), "[a]\ni=-5\nu=65535\nt=1\nf=0\n\n");
  }
}

TEST(IniWrite, KeepsCommentsUnknownKeysAndOrder) {
  IniDoc d = IniDoc::FromText("; head\r\n[x]\r\nfoo = bar\r\nnoeq\r\n\r\n[y]\r\n;c\r\nk=1\r\n[z]\r\n");
  d.WriteString("Y", "k", "2");
  d.WriteString("w", "n", "1");
  EXPECT_EQ(d.Text(), "; head\n[x]\nfoo = bar\nnoeq\n\n[y]\n;c\nk=2\n\n[z]\n\n[w]\nn=1\n\n");
}

TEST(IniRead, CopyOfAFileReadsTheSame) {
  // Writing and reading back gives the same values, whatever the text holds.
  std::mt19937 rng(20261209);
  std::printf("seed 20261209\n");
  const std::string alphabet[] = {"a", "Z", "=", ";", "[", "]", " ", "#", "0", U(u8"十"), U(u8"ソ"), "\"", "$"};
  for (int round = 0; round < 300; ++round) {
    IniDoc d;
    std::vector<std::tuple<std::string, std::string, std::string>> written;
    for (int i = 0; i < 6; ++i) {
      std::string v;
      const int len = static_cast<int>(rng() % 8);
      for (int k = 0; k < len; ++k) v += alphabet[rng() % std::size(alphabet)];
      // Blanks at the ends do not survive a trim; keep them out.
      while (!v.empty() && v.front() == ' ') v.erase(0, 1);
      while (!v.empty() && v.back() == ' ') v.pop_back();
      const std::string s = "s" + std::to_string(rng() % 3);
      const std::string k = "k" + std::to_string(i);
      d.WriteString(s, k, v);
      written.emplace_back(s, k, v);
    }
    const IniDoc back = IniDoc::FromText(d.Text());
    for (const auto& [s, k, v] : written) EXPECT_EQ(back.ReadString(s, k, kDef), v) << d.Text();
    EXPECT_EQ(back.Text(), d.Text());
  }
}

TEST(IniRead, RandomBytesNeverBreakTheParser) {
  std::mt19937 rng(4242);
  std::printf("seed 4242\n");
  for (int round = 0; round < 500; ++round) {
    std::string text(rng() % 200, '\0');
    for (char& c : text) c = static_cast<char>("[]=;\r\n a\x83\x5D\x8F\x5C\xEF\xBB\xBF\0"[rng() % 16]);
    IniDoc d = IniDoc::FromText(text);
    const std::string once = d.Text();
    EXPECT_EQ(IniDoc::FromText(once).Text(), once);  // the written form is stable
    d.ReadString("a", "a", "");
    d.WriteString("a", "a", text);
    d.EraseSection("a");
  }
}

TEST(IniFile, MissingUnreadableAndLoaded) {
  TempDir t;
  IniDoc d;
  std::string err;
  EXPECT_EQ(d.LoadFile((t / "none.ini").string(), &err), IniDoc::LoadResult::Missing);
  std::filesystem::create_directory(t / "dir.ini");
  EXPECT_EQ(d.LoadFile((t / "dir.ini").string(), &err), IniDoc::LoadResult::Unreadable);
  EXPECT_NE(err.find("dir.ini"), std::string::npos);
  {
    std::ofstream big(t / "big.ini", std::ios::binary);
    big << "[a]\nk=1\n";
    big << std::string(IniDoc::kMaxFileSize, ';');
  }
  EXPECT_EQ(d.LoadFile((t / "big.ini").string(), &err), IniDoc::LoadResult::Unreadable);
  EXPECT_EQ(d.ReadString("a", "k", kDef), kDef);
  std::ofstream(t / "ok.ini", std::ios::binary) << "[a]\r\nk=" << bytes({0x83, 0x5C});
  EXPECT_EQ(d.LoadFile((t / "ok.ini").string(), &err), IniDoc::LoadResult::Loaded);
  EXPECT_EQ(d.ReadString("a", "k", kDef), U(u8"ソ"));
  EXPECT_EQ(d.UpdateFile((t / "ok.ini").string()), "");
  EXPECT_EQ(test::ReadFileBytes(t / "ok.ini"), U(u8"[a]\nk=ソ\n\n"));
  EXPECT_NE(d.UpdateFile((t / "dir.ini").string()), "");
}

}  // namespace
}  // namespace yomira
