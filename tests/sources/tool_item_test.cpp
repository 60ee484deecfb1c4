#include "sources/tool_item.h"

#include "platform/ini.h"
#include "support/test_support.h"

namespace yomira {
namespace {

TToolItem Tool(std::string caption, std::string filter = "") {
  TToolItem t;
  t.Caption = std::move(caption);
  t.Filter = std::move(filter);
  return t;
}

TEST(ToolItem, ClearEmptiesEverything) {
  TToolItem t;
  t.Caption = "a";
  t.FilePath = "b";
  t.Filter = "c";
  t.Param = "d";
  t.ShortCut = 5;
  t.Clear();
  EXPECT_EQ(t, TToolItem());
  EXPECT_EQ(t.ShortCut, 0);
}

TEST(LoadTools, ReadsFieldsInOrderAndStopsAtAGap) {
  const IniDoc ini = IniDoc::FromText(
      "[Tools0]\nCaption=ed\nFilePath=/usr/bin/ed\nParam=\"%F\" +%L\nShortCut=16453\n"
      "[Tools1]\nCaption=web\nParam=%U\n"
      "[Tools3]\nCaption=lost\n"
      "[Filter0]\nCaption=conv\nFilePath=/bin/conv\nFilter=*.doc\nShortCut=0\n");
  ToolItemList tools, filters;
  LoadTools(ini, tools, filters);
  ASSERT_EQ(tools.size(), 2u);
  EXPECT_EQ(tools[0].Caption, "ed");
  EXPECT_EQ(tools[0].FilePath, "/usr/bin/ed");
  EXPECT_EQ(tools[0].Param, "\"%F\" +%L");
  EXPECT_EQ(tools[0].ShortCut, 16453);
  EXPECT_EQ(tools[1].FilePath, "");
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].Filter, "*.doc");
  EXPECT_EQ(filters[0].Caption, "conv");
  EXPECT_EQ(tools[0].Filter, "");  // tools have no masks
}

TEST(LoadTools, ShortCutKeptIn16Bits) {
  struct Case { const char* text; uint16_t want; };
  for (const Case& c : {Case{"abc", 0}, Case{"70000", 4464}, Case{"-1", 65535}, Case{"0x4041", 0x4041}}) {
    ToolItemList tools, filters;
    LoadTools(IniDoc::FromText(std::string("[Tools0]\nShortCut=") + c.text), tools, filters);
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0].ShortCut, c.want) << c.text;
  }
}

TEST(LoadTools, SectionNamesFoldAndNeedAKey) {
  ToolItemList tools, filters;
  LoadTools(IniDoc::FromText("[tools0]\nCaption=x"), tools, filters);
  EXPECT_EQ(tools.size(), 1u);
  LoadTools(IniDoc::FromText("[Tools0]\n;Caption=x\n[Tools1]\nCaption=y"), tools, filters);
  EXPECT_TRUE(tools.empty());
}

TEST(LoadTools, AtMost128) {
  std::string text;
  for (int n = 0; n < 130; ++n) text += "[Filter" + std::to_string(n) + "]\nCaption=f" + std::to_string(n) + "\n";
  ToolItemList tools, filters;
  LoadTools(IniDoc::FromText(text), tools, filters);
  EXPECT_EQ(filters.size(), 128u);
  EXPECT_EQ(filters.back().Caption, "f127");
}

TEST(SaveTools, StaleSectionBehindAGapStays) {
  IniDoc ini = IniDoc::FromText("[Tools0]\nCaption=a\n[Tools1]\nCaption=b\n[Tools3]\nCaption=c\n");
  ToolItemList tools, filters;
  LoadTools(ini, tools, filters);
  ASSERT_EQ(tools.size(), 2u);
  SaveTools(ini, tools, filters);
  EXPECT_EQ(ini.Text(),
            "[Tools0]\nCaption=a\nFilePath=\nParam=\nShortCut=0\n\n"
            "[Tools1]\nCaption=b\nFilePath=\nParam=\nShortCut=0\n\n"
            "[Tools3]\nCaption=c\n\n");
}

TEST(SaveTools, ShorterListErasesTrailingSections) {
  std::string text;
  for (int n = 0; n < 5; ++n) text += "[Tools" + std::to_string(n) + "]\nCaption=t\n";
  IniDoc ini = IniDoc::FromText(text + "[Other]\nk=1\n");
  ToolItemList tools = {Tool("a"), Tool("b"), Tool("c")};
  ToolItemList filters = {Tool("f", "*.x")};
  tools[1].ShortCut = 65535;
  SaveTools(ini, tools, filters);
  EXPECT_TRUE(ini.SectionExists("Tools2"));
  EXPECT_FALSE(ini.SectionExists("Tools3"));
  EXPECT_FALSE(ini.SectionExists("Tools4"));
  EXPECT_TRUE(ini.SectionExists("Other"));
  EXPECT_EQ(ini.ReadString("Tools1", "ShortCut", ""), "65535");
  const std::string tail = "[Filter0]\nCaption=f\nFilePath=\nParam=\nShortCut=0\nFilter=*.x\n\n";
  EXPECT_TRUE(ini.Text().ends_with(tail)) << ini.Text();
  ToolItemList t2, f2;
  LoadTools(ini, t2, f2);
  EXPECT_EQ(t2, tools);
  EXPECT_EQ(f2, filters);
}

TEST(SaveTools, LineBreaksInFieldsCannotForgeSections) {
  IniDoc ini;
  ToolItemList tools = {Tool("a\r\n[Tools1]\r\nFilePath=/bin/sh")};
  SaveTools(ini, tools, {});
  EXPECT_FALSE(ini.SectionExists("Tools1"));
  ToolItemList t2, f2;
  LoadTools(IniDoc::FromText(ini.Text()), t2, f2);
  ASSERT_EQ(t2.size(), 1u);
  EXPECT_EQ(t2[0].Caption, "a  [Tools1]  FilePath=/bin/sh");
}

TEST(FindFilter, ByExtension) {
  const ToolItemList filters = {Tool("", "*.html,*.htm"), Tool("", "*"),
                                Tool("", reinterpret_cast<const char*>(u8"*.TXT, *.テキスト")),
                                Tool("", "*.md ,*.rst")};
  struct Case { std::string ext; int want; };
  const Case cases[] = {{".HTM", 0}, {".ht", -1}, {"", 1}, {".txt", 2},
                        {reinterpret_cast<const char*>(u8".テキスト"), 2},
                        {reinterpret_cast<const char*>(u8".ＴＸＴ"), -1}, {".md", -1}, {".rst", 3}};
  for (const Case& c : cases) EXPECT_EQ(FindFilterForFile(filters, c.ext), c.want) << c.ext;
  EXPECT_EQ(FindFilterForFile({}, ".txt"), -1);
}

TEST(FindFilter, ByCaption) {
  const ToolItemList filters = {Tool("conv"), Tool(" pad")};
  struct Case { const char* caption; int want; };
  for (const Case& c : {Case{"  conv  ", 0}, Case{"\tconv\r", 0}, Case{"CONV", -1}, Case{"pad", -1},
                        Case{"", -1}})
    EXPECT_EQ(FindFilterByCaption(filters, c.caption), c.want) << c.caption;
}

}  // namespace
}  // namespace yomira
