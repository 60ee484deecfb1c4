#include "sources/html_charset.h"

#include <fstream>

#include "sources/codepage.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;

TEST(CodePageFromCharsetName, Table) {
  const std::pair<const char*, int> cases[] = {
      {"shift_jis", 932},  {"Shift-JIS", 932}, {"SJIS", 932},         {"x-sjis", 932},    {"Windows-31J", 932},
      {"cp932", 932},      {"MS_Kanji", 932},  {"EUC-JP", 51932},     {"x-euc-jp", 51932}, {"ISO-2022-JP", 50220},
      {"utf-8", 65001},    {"UTF8", 65001},    {"iso-8859-1", 0},     {"", 0},            {"utf-16", 0},
      {"shift_jis ", 0},   {"euc-jp2", 0},
  };
  for (const auto& [name, cp] : cases) EXPECT_EQ(CodePageFromCharsetName(name), cp) << name;
}

TEST(DeclaredHtmlCodePage, Table) {
  const std::string pad(1020, ' ');
  const std::pair<std::string, int> cases[] = {
      {R"(<meta charset="utf-8">)", 65001},
      {R"(<META CHARSET=UTF-8>)", 65001},
      {R"(<meta charset='euc-jp'/>)", 51932},
      {R"(<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">)", 932},
      {R"(<meta http-equiv="Content-Type" content="text/html;charset=iso-2022-jp;x">)", 50220},
      {R"(<meta name="a" content="b"><meta content="text/html; charset=utf-8">)", 65001},
      // The first meta with a declaration decides, even when we do not read its charset.
      {R"(<meta charset="iso-8859-1"><meta charset="utf-8">)", 0},
      {R"(<p>charset=utf-8</p>)", 0},
      {R"(<metadata charset="utf-8"><meta charset="euc-jp">)", 51932},
      {R"(<meta charset="">)", 0},
      {"<meta charset=\"utf-8", 65001},
      {pad + R"(<meta charset="utf-8">)", 0},
      {"", 0},
  };
  for (const auto& [page, cp] : cases) EXPECT_EQ(DeclaredHtmlCodePage(page), cp) << page.substr(0, 80);
}

class HtmlCharsetLoadTest : public ::testing::Test {
 protected:
  TFileItem Write(const std::string& data) {
    TFileItem item;
    item.Path = dir_ / "p.html";
    std::ofstream(item.Path, std::ios::binary) << data;
    return item;
  }
  test::TempDir dir_;
};

// UTF-8 whose bytes avoid 0x80, so that the detector alone calls a page this short Shift-JIS.
std::string Utf8Page(std::string_view head) {
  std::string page(head);
  page += "<p>";
  while (page.size() < 1000) page += "東京";
  page += "</p>";
  return page;
}

TEST_F(HtmlCharsetLoadTest, DeclaredUtf8IsReadAsUtf8) {
  const std::string page = Utf8Page(R"(<meta charset="utf-8">)");
  ASSERT_EQ(page.find('\x80'), std::string::npos);
  ASSERT_EQ(DetectCodePage(page), 932);
  for (const bool isHtml : {true, false}) {
    TFileItem item = Write(page);
    std::vector<std::string> lines;
    int cp = 0;
    ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, isHtml, !isHtml, cp));
    EXPECT_EQ(cp, CP_UTF8N);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(sj("東京東京")), std::string::npos);
  }
}

TEST_F(HtmlCharsetLoadTest, TheDeclarationIsIgnoredWhenItMustBe) {
  const std::string utf8 = Utf8Page(R"(<meta charset="utf-8">)");
  int cp = 0;
  std::vector<std::string> lines;
  // An explicit choice.
  TFileItem item = Write(utf8);
  ASSERT_TRUE(LoadTextFile(item, lines, ccShiftJis, true, true, cp));
  EXPECT_EQ(cp, 932);
  EXPECT_EQ(lines[0].find(sj("東京")), std::string::npos);
  // Not an HTML open.
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, false, false, cp));
  EXPECT_EQ(cp, 932);
  // A byte-order mark against the declaration.
  item = Write("\xEF\xBB\xBF" + Utf8Page(R"(<meta charset="shift_jis">)"));
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, true, true, cp));
  EXPECT_EQ(cp, 65001);
  EXPECT_NE(lines[0].find(sj("東京")), std::string::npos);
  // A charset we do not read leaves the choice to the detector.
  item = Write(Utf8Page(R"(<meta charset="iso-8859-1">)"));
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, true, true, cp));
  EXPECT_EQ(cp, 932);
}

TEST_F(HtmlCharsetLoadTest, DeclaredEucJpOnAShortEucPage) {
  std::string page = R"(<meta http-equiv="Content-Type" content="text/html; charset=EUC-JP"><p>)";
  while (page.size() < 3000) page += "\xA4\xA2\xA4\xA4";  // あい
  ASSERT_EQ(DetectCodePage(page), 932);
  TFileItem item = Write(page);
  std::vector<std::string> lines;
  int cp = 0;
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, true, false, cp));
  EXPECT_EQ(cp, 51932);
  EXPECT_NE(lines[0].find(sj("あいあい")), std::string::npos);
}

}  // namespace
}  // namespace yomira
