#include "shell/settings.h"

#include <fstream>
#include <random>

#include "engine/core/option_defaults.h"
#include "platform/atomic_file.h"
#include "platform/text/utf8.h"
#include "sources/history.h"
#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using test::bytes;
using test::sj;
using test::TempDir;

std::string U(const char8_t* s) { return reinterpret_cast<const char*>(s); }

SettingsModel LoadFrom(std::string_view ini, std::string_view keys = "") {
  SettingsModel m = SettingsModel::Initial();
  LoadSettings(IniDoc::FromText(ini), IniDoc::FromText(keys), m);
  return m;
}

struct Saved {
  std::string ini, keys;
};

Saved SaveOf(const SettingsModel& m, std::string_view iniStart = "", std::string_view keysStart = "") {
  IniDoc a = IniDoc::FromText(iniStart), b = IniDoc::FromText(keysStart);
  SaveSettings(m, a, b);
  return {a.Text(), b.Text()};
}

std::string Value(const std::string& text, std::string_view section, std::string_view key) {
  return IniDoc::FromText(text).ReadString(section, key, "<none>");
}

void Put(const fs::path& p, std::string_view bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string ToCrlf(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(Settings, InitialValues) {
  const SettingsModel m = SettingsModel::Initial();
  EXPECT_EQ(m.dialogRect, (IniRect{209, 152, 0, 0}));
  EXPECT_EQ(m.optionWindowPos, (IniPoint{209, 152}));
  EXPECT_EQ(m.shortcuts.at("ActionFileOpen"), 16463);
  EXPECT_EQ(m.shortcuts.at("ActionBookTabNext"), 32807);
}

TEST(Settings, EmptyFileGivesEveryDefault) {
  const SettingsModel m = LoadFrom("");
  EXPECT_EQ(m.option, DefaultOptions());
  EXPECT_EQ(m.mainPos, (IniPoint{128, 128}));
  EXPECT_EQ(m.styleName, U(u8"未指定"));
  EXPECT_EQ(m.bookRect, (IniRect{192, 192, 200, 300}));
  EXPECT_EQ(m.dialogRect, (IniRect{209, 152, 0, 0}));
  EXPECT_EQ(m.optionWindowPos, (IniPoint{209, 152}));
  SettingsChecks want;
  want.OrderUp = want.OrderName = true;
  EXPECT_EQ(m.checks, want);
  EXPECT_TRUE(m.history.empty());
  EXPECT_EQ(m.shortcuts, DefaultShortcuts());
  EXPECT_TRUE(m.tools.empty());
  EXPECT_TRUE(m.filters.empty());
}

TEST(Settings, EmptyFileSavesTheGoldens) {
  const Saved s = SaveOf(LoadFrom(""));
  EXPECT_EQ(s.ini, test::ReadFileBytes(test::TestData("settings/fresh.ini")));
  EXPECT_EQ(s.keys, test::ReadFileBytes(test::TestData("settings/fresh_key.ini")));
}

TEST(Settings, GoldenFieldsAreTheCp932BytesOfTheDefaults) {
  const std::string golden = test::ReadFileBytes(test::TestData("settings/fresh.ini"));
  EXPECT_EQ(golden.size(), 1513u);
  EXPECT_EQ(std::count(golden.begin(), golden.end(), '\n'), 112);
  EXPECT_EQ(golden.find('\r'), std::string::npos);
  const auto field = [&](const char* key) { return Utf8ToCp932(Value(golden, "option", key)); };
  EXPECT_EQ(field("wrap_words").size(), 112u);
  EXPECT_EQ(test::hex(field("wrap_words").substr(0, 2)), "81 41");
  EXPECT_EQ(test::hex(field("wrap_words").substr(110)), "83 96");
  EXPECT_EQ(field("str_kaeri").size(), 40u);
  EXPECT_NE(field("str_kaeri").find(bytes({0x8F, 0x5C})), std::string::npos);
  EXPECT_EQ(test::hex(field("tty2words")), "81 83 81 84 81 7C 81 46");
  EXPECT_EQ(test::hex(field("font_family")), "40 48 47 BA DE BC AF B8 45");
  EXPECT_EQ(test::hex(field("font2family")), "40 48 47 BA DE BC AF B8 45");
}

TEST(Settings, LineLengthIsHalvedInTheFile) {
  struct Case { const char* text; int32_t loaded; const char* saved; };
  for (const Case& c : {Case{"20", 40, "20"}, Case{"300", 512, "256"}, Case{"4", 10, "5"},
                        Case{"2000000000", 512, "256"}, Case{"-2000000000", 10, "5"}}) {
    const SettingsModel m = LoadFrom(std::string("[option]\nv_size=") + c.text);
    EXPECT_EQ(m.option.v_size, c.loaded) << c.text;
    EXPECT_EQ(Value(SaveOf(m).ini, "option", "v_size"), c.saved) << c.text;
  }
}

TEST(Settings, UseCoverFollowsRubyTag) {
  EXPECT_EQ(LoadFrom("[option]\nruby_tag=0").option.UseCover, 0);
  EXPECT_EQ(LoadFrom("[option]\nruby_tag=1").option.UseCover, 1);
  EXPECT_EQ(LoadFrom("[option]\nruby_tag=0\nUseCover=1").option.UseCover, 1);
}

TEST(Settings, FileListOrderGetsADirectionAndAKey) {
  SettingsModel m = LoadFrom("[bookmark]\nOrderUp=0\nOrderDown=0");
  EXPECT_TRUE(m.checks.OrderUp);
  EXPECT_FALSE(m.checks.OrderDown);
  m = LoadFrom("[bookmark]\nOrderUp=1\nOrderDown=1");
  EXPECT_TRUE(m.checks.OrderUp && m.checks.OrderDown);
  m = LoadFrom("[bookmark]\nOrderName=0\nOrderExt=0\nOrderTime=0");
  EXPECT_TRUE(m.checks.OrderName);
  m = LoadFrom("[bookmark]\nOrderName=0\nOrderExt=1\nOrderTime=1");
  EXPECT_FALSE(m.checks.OrderName);
  EXPECT_TRUE(m.checks.OrderExt && m.checks.OrderTime);
}

TEST(Settings, IntegerFormsAndClamps) {
  struct Case { const char* text; int32_t want; };
  for (const Case& c : {Case{"0x20", 32}, Case{"$20", 32}, Case{"abc", 14}, Case{"300", 256}, Case{"", 14}})
    EXPECT_EQ(LoadFrom(std::string("[option]\nf_size=") + c.text).option.f_size, c.want) << c.text;
  EXPECT_EQ(LoadFrom("[option]\nTimeOut=0").option.TimeOut, 1);
}

TEST(Settings, BindingsAreNotClamped) {
  const SettingsModel m = LoadFrom("[mouse]\n0=9\n22=-7\n9=1000\n[XButton]\n2=99\n[option]\nResize=77");
  EXPECT_EQ(m.option.click[0], 9);
  EXPECT_EQ(m.option.click[8], -7);
  EXPECT_EQ(m.option.wheel[5], 1000);
  EXPECT_EQ(m.option.side[1], 99);
  EXPECT_EQ(m.option.Resize, 77);
  const Saved s = SaveOf(m);
  EXPECT_EQ(Value(s.ini, "mouse", "0"), "9");
  EXPECT_EQ(Value(s.ini, "mouse", "22"), "-7");
  EXPECT_EQ(Value(s.ini, "XButton", "2"), "99");
}

TEST(Settings, Colours) {
  SettingsModel m = LoadFrom("[color]\nback_color=clRed");
  EXPECT_EQ(m.option.back_color, 255u);
  EXPECT_EQ(Value(SaveOf(m).ini, "color", "back_color"), "clRed");
  m = LoadFrom("[color]\nback_color=xyz\ntext_color=zz");
  EXPECT_EQ(m.option.back_color, 15792895u);
  EXPECT_EQ(m.option.text_color, 0x80000008u);
  EXPECT_EQ(Value(SaveOf(m).ini, "color", "back_color"), "$00F0FAFF");
  EXPECT_EQ(Value(SaveOf(m).ini, "color", "text_color"), "clWindowText");
}

TEST(Settings, HistoryKeepsTheSavedOrderAndRenumbers) {
  const SettingsModel m = LoadFrom(
      "[RecentFiles]\nfile5=/b.txt\nrate5=50\nfile2=/a.txt\nrate2=20\nindex2=A\n");
  ASSERT_EQ(m.history.size(), 2u);
  EXPECT_EQ(m.history[0]->Path, "/a.txt");
  EXPECT_EQ(m.history[0]->Rate, 20);
  EXPECT_EQ(m.history[0]->Title, "A");
  EXPECT_EQ(m.history[1]->Path, "/b.txt");
  const Saved s = SaveOf(m);
  EXPECT_EQ(Value(s.ini, "RecentFiles", "file0"), "/a.txt");
  EXPECT_EQ(Value(s.ini, "RecentFiles", "file1"), "/b.txt");
  EXPECT_EQ(Value(s.ini, "RecentFiles", "file2"), "<none>");
  EXPECT_EQ(Value(s.ini, "RecentFiles", "file5"), "<none>");
}

TEST(Settings, HistoryDropsDuplicatesAndForeignKinds) {
  SettingsModel m = LoadFrom("[RecentFiles]\nfile1=/a.txt\nrate1=11\nfile3=/a.txt\nrate3=33\n");
  ASSERT_EQ(m.history.size(), 1u);
  EXPECT_EQ(m.history[0]->Rate, 11);
  EXPECT_TRUE(LoadFrom("[RecentFiles]\nfile0=/a\ntype0=2").history.empty());
  m = LoadFrom("[RecentFiles]\nfile0=/a\ntype0=65537\nurl0=http://x/");
  ASSERT_EQ(m.history.size(), 1u);
  EXPECT_EQ(m.history[0]->Kind, fkWeb);
  EXPECT_EQ(m.history[0]->Href, "http://x/");
  EXPECT_TRUE(LoadFrom("[RecentFiles]\nfile0=\nurl0=http://x/\ntype0=1").history.empty());
}

TEST(Settings, RateOutsideItsRangeReadsAsZero) {
  struct Case { const char* text; int32_t want; };
  for (const Case& c : {Case{"20000", 0}, Case{"-1", -1}, Case{"-2", 0}, Case{"10000", 10000}, Case{"x", 0}}) {
    const SettingsModel m = LoadFrom(std::string("[RecentFiles]\nfile0=/a\nrate0=") + c.text);
    ASSERT_EQ(m.history.size(), 1u);
    EXPECT_EQ(m.history[0]->Rate, c.want) << c.text;
  }
}

TEST(Settings, SharedKeyZero) {
  SettingsModel m = LoadFrom("", "[MainHotKey]\nKey0=16456");
  for (const KeyTableRow& r : KeyTable())
    if (r.tag == 0) {
      EXPECT_EQ(m.shortcuts.at(r.action), 16456) << r.action;
    }
  std::string keys = SaveOf(m).keys;
  EXPECT_EQ(Value(keys, "MainHotKey", "Key0"), "16456");
  EXPECT_EQ(keys.find("Key0="), keys.rfind("Key0="));

  m = LoadFrom("");
  m.shortcuts["ActionStyleTextReviseUseAozora"] = 16456;  // Ctrl+H
  m.shortcuts["ActionStyleTextReviseUseCover"] = 16458;   // Ctrl+J
  keys = SaveOf(m).keys;
  EXPECT_EQ(Value(keys, "MainHotKey", "Key0"), "16456");
  EXPECT_EQ(keys.find("Key0="), keys.rfind("Key0="));
}

TEST(Settings, KeyCodesIn16Bits) {
  struct Case { const char* text; uint16_t want; };
  for (const Case& c : {Case{"70000", 4464}, Case{"-1", 65535}, Case{"abc", 16461}}) {
    const SettingsModel m = LoadFrom("", std::string("[MainHotKey]\nKey1=") + c.text + "\n[BookHotKey]\nKey60=0");
    EXPECT_EQ(m.shortcuts.at("ActionWindowPopUp"), c.want) << c.text;
    EXPECT_EQ(m.shortcuts.at("ActionBookMarkAdd"), 0);
    const Saved s = SaveOf(m);
    EXPECT_EQ(Value(s.keys, "MainHotKey", "Key1"), std::to_string(c.want));
    EXPECT_EQ(Value(s.keys, "BookHotKey", "Key60"), "0");
  }
}

TEST(Settings, LineBreaksInATitleCannotForgeASection) {
  SettingsModel m = LoadFrom("");
  AddHistory(m.history, fkWeb, 0, "a\r\n[Tools0]\r\nFilePath=/bin/sh", "", "", "http://x/", "/c.txt", 0);
  const Saved s = SaveOf(m);
  IniDoc back = IniDoc::FromText(s.ini);
  EXPECT_FALSE(back.SectionExists("Tools0"));
  const SettingsModel again = LoadFrom(s.ini);
  ASSERT_EQ(again.history.size(), 1u);
  EXPECT_EQ(again.history[0]->Title, "a  [Tools0]  FilePath=/bin/sh");
  EXPECT_TRUE(again.tools.empty());
}

TEST(Settings, UnknownKeysCommentsAndSectionsStayInPlace) {
  const std::string start = "; mine\n[option]\nf_size=20\nmystery=1\n;note\n[Other]\nz=9\n";
  const Saved s = SaveOf(LoadFrom(start), start);
  EXPECT_EQ(s.ini.substr(0, 40), "; mine\n[option]\nf_size=20\nmystery=1\n;not");
  EXPECT_NE(s.ini.find("[Other]\nz=9\n\n[bookmark]"), std::string::npos) << s.ini;
}

TEST(Settings, RecentFilesPlaceInFreshAndLaterFiles) {
  SettingsModel m = LoadFrom("");
  AddHistory(m.history, fkLocalFile, 0, "t", "", "", "", "/a.txt", 5);
  IniDoc ini, keys;
  SaveSettings(m, ini, keys);
  std::string text = ini.Text();
  EXPECT_LT(text.find("[OptionWindow]"), text.find("[RecentFiles]"));
  EXPECT_LT(text.find("[RecentFiles]"), text.find("[mouse]"));
  SaveSettings(m, ini, keys);
  text = ini.Text();
  EXPECT_LT(text.find("[color]"), text.find("[RecentFiles]"));
  EXPECT_EQ(text.find("[RecentFiles]"), text.rfind("[RecentFiles]"));
  EXPECT_EQ(Value(text, "RecentFiles", "type0"), "0");
  EXPECT_EQ(Value(text, "RecentFiles", "rate0"), "5");
  EXPECT_EQ(Value(text, "RecentFiles", "url0"), "");
  EXPECT_EQ(Value(text, "RecentFiles", "index0"), "t");
}

// The file of the original program: every key set to something other than its default.
TEST(Settings, OriginalFilesLoadValueForValueAndSaveBackExactly) {
  const std::string ini = test::ReadFileBytes(test::TestData("settings/original.ini"));
  const std::string keys = test::ReadFileBytes(test::TestData("settings/original_key.ini"));
  const std::string cpIni = ToCrlf(sj(ini));
  ASSERT_FALSE(IsValidUtf8(cpIni));
  SettingsModel m = LoadFrom(cpIni, ToCrlf(keys));

  EXPECT_EQ(m.mainPos, (IniPoint{300, 200}));
  EXPECT_EQ(m.styleName, U(u8"縦書きゾ"));
  EXPECT_EQ(m.bookRect, (IniRect{10, 20, 300, 400}));
  EXPECT_EQ(m.dialogRect, (IniRect{100, 110, 700, 600}));
  EXPECT_EQ(m.optionWindowPos, (IniPoint{50, 60}));
  SettingsChecks want{true, true, true, true, true, true, false, true, false, true, true, true};
  EXPECT_EQ(m.checks, want);

  const TYomiraOption& o = m.option;
  const TYomiraOption d = DefaultOptions();
  EXPECT_EQ(o.v_size, 80);
  EXPECT_EQ(o.UseCover, 1);
  EXPECT_EQ(o.ruby_tag, 0);
  EXPECT_EQ(o.click[2], 5);
  EXPECT_EQ(o.side[1], 8);
  EXPECT_EQ(o.text_color, 0x800000u);
  EXPECT_EQ(o.ruby_color, 0x123456u);
  EXPECT_EQ(o.mss_color, 0x8000000Du);
  EXPECT_SJ_EQ(o.wrap_words, u8"、。ソ表ゼゾ");
  EXPECT_SJ_EQ(o.kanji_list, u8"〆ゾ");
  EXPECT_NE(o.str_kaeri.find(bytes({0x8F, 0x5C})), std::string::npos);
  EXPECT_SJ_EQ(o.str_kaeri, u8"レ一二十");
  EXPECT_EQ(o.font_family, U(u8"ＭＳ 明朝"));  // UTF-8: not a matched field
  EXPECT_EQ(o.bg_image_str, U(u8"/home/u/背景.png"));
  // Every field differs from the first-start record.
  EXPECT_NE(o.f_size, d.f_size);
  EXPECT_NE(o.tty2words, d.tty2words);
  EXPECT_NE(o.HTTPAgent, d.HTTPAgent);
  for (int i = 0; i < 9; ++i) EXPECT_NE(o.click[i], d.click[i]) << i;
  for (int i = 0; i < 6; ++i) EXPECT_NE(o.wheel[i], d.wheel[i]) << i;

  ASSERT_EQ(m.history.size(), 8u);
  EXPECT_EQ(m.history[0]->Path, U(u8"/home/u/羅生門.txt"));
  EXPECT_EQ(m.history[1]->Kind, fkWeb);
  EXPECT_EQ(m.history[1]->Rate, -1);
  EXPECT_EQ(m.history[7]->Href, "http://example.net/c.htm");
  EXPECT_EQ(m.history[7]->Title, U(u8"十"));
  ASSERT_EQ(m.tools.size(), 3u);
  EXPECT_EQ(m.tools[0].Param, "\"%F\" +%L");
  ASSERT_EQ(m.filters.size(), 2u);
  EXPECT_EQ(m.filters[1].Filter, "*.doc");
  EXPECT_EQ(m.filters[0].Caption, U(u8"表計算"));
  EXPECT_EQ(m.shortcuts.at("ActionStyleTextReviseReWrapCompel"), 16456);
  EXPECT_EQ(m.shortcuts.at("ActionBookMarkAdd"), 0);

  IniDoc a = IniDoc::FromText(cpIni), b = IniDoc::FromText(ToCrlf(keys));
  SaveSettings(m, a, b);
  EXPECT_EQ(a.Text(), ini);
  EXPECT_EQ(b.Text(), keys);
  // A second load of the written files gives the same model.
  const SettingsModel again = LoadFrom(a.Text(), b.Text());
  EXPECT_EQ(again.option, m.option);
}

void ExpectSameModel(const SettingsModel& a, const SettingsModel& b) {
  EXPECT_EQ(a.mainPos, b.mainPos);
  EXPECT_EQ(a.styleName, b.styleName);
  EXPECT_EQ(a.bookRect, b.bookRect);
  EXPECT_EQ(a.dialogRect, b.dialogRect);
  EXPECT_EQ(a.optionWindowPos, b.optionWindowPos);
  EXPECT_EQ(a.checks, b.checks);
  EXPECT_EQ(a.option, b.option);
  EXPECT_EQ(a.shortcuts, b.shortcuts);
  EXPECT_EQ(a.tools, b.tools);
  EXPECT_EQ(a.filters, b.filters);
  ASSERT_EQ(a.history.size(), b.history.size());
  for (size_t i = 0; i < a.history.size(); ++i) {
    EXPECT_EQ(a.history[i]->Kind, b.history[i]->Kind);
    EXPECT_EQ(a.history[i]->Rate, b.history[i]->Rate);
    EXPECT_EQ(a.history[i]->Path, b.history[i]->Path);
    EXPECT_EQ(a.history[i]->Href, b.history[i]->Href);
    EXPECT_EQ(a.history[i]->Title, b.history[i]->Title);
  }
}

TEST(Settings, RandomModelsSurviveSaveAndLoad) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  SCOPED_TRACE(seed);
  std::mt19937 rng(seed);
  const auto num = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
  // No blanks at the ends, no line breaks, no characters with two cp932 codes.
  const std::string pieces[] = {"a", "Z", "=", ";", "[", "]", "#", "0", U(u8"十"), U(u8"ソ"), U(u8"表"),
                                U(u8"ゼ"), U(u8"ゾ"), U(u8"「"), U(u8"ｶ"), "\"", "$", "%F"};
  const auto text = [&](int maxLen) {
    std::string s;
    const int len = num(0, maxLen);
    for (int i = 0; i < len; ++i) s += pieces[rng() % std::size(pieces)];
    return s;
  };
  const uint32_t colours[] = {0x80000008, 0x800000FF, 0x1FFFFFFF, 0x20000000, 0, 255, 0xFFFFFF};
  for (int round = 0; round < 200; ++round) {
    SettingsModel m = SettingsModel::Initial();
    m.mainPos = {num(-5000, 5000), num(-5000, 5000)};
    m.styleName = text(6);
    m.bookRect = {num(-100, 3000), num(-100, 3000), num(0, 3000), num(0, 3000)};
    m.dialogRect = {num(-100, 3000), num(-100, 3000), num(-100, 3000), num(-100, 3000)};
    m.optionWindowPos = {num(-100, 3000), num(-100, 3000)};
    bool* checks[] = {&m.checks.restart, &m.checks.aut_open, &m.checks.auto_file, &m.checks.topmost,
                      &m.checks.aut_close, &m.checks.list_text, &m.checks.OrderUp, &m.checks.OrderDown,
                      &m.checks.OrderName, &m.checks.OrderExt, &m.checks.OrderTime, &m.checks.SameDomain};
    for (bool* c : checks) *c = rng() & 1;
    if (!m.checks.OrderUp && !m.checks.OrderDown) m.checks.OrderUp = true;
    if (!m.checks.OrderName && !m.checks.OrderExt && !m.checks.OrderTime) m.checks.OrderName = true;
    const int entries = num(0, 8);
    for (int i = 0; i < entries; ++i) {
      const int kind = num(0, 1);
      AddHistory(m.history, kind, 0, text(5), "", "", kind ? "http://h/" + std::to_string(i) : "",
                 "/p" + std::to_string(i) + text(3), num(-1, 10000));
    }
    TYomiraOption& o = m.option;
    uint8_t* flags[] = {&o.bg_image, &o.strict, &o.aut_indent, &o.page_ani, &o.images, &o.ruby_tag,
                        &o.UseCover, &o.UseSound, &o.text_aa, &o.ruby_aa, &o.bold, &o.MSS,
                        &o.UseShadow, &o.re_wrap, &o.toRuby, &o.ParseHTML};
    for (uint8_t* f : flags) *f = rng() & 1;
    o.f_size = num(6, 256);
    o.ruby_size = num(0, 256);
    o.s_size = num(-5, 256);
    o.m_size = num(-5, 256);
    o.c_size = num(5, 256);
    o.v_size = 2 * num(5, 256);
    o.yohaku_w = num(0, 256);
    o.yohaku_h = num(0, 256);
    o.Colum = num(1, 8);
    o.yohaku_c = num(0, 256);
    o.Page = num(1, 8);
    o.PageMargin = num(0, 256);
    for (int32_t& c : o.click) c = num(-3, 40);
    for (int32_t& c : o.wheel) c = num(-3, 40);
    for (int32_t& c : o.side) c = num(-3, 40);
    o.Resize = num(0, 3);
    o.ResizeCtrl = num(0, 3);
    o.TrackLeft = num(0, 9);
    o.TrackRight = num(0, 9);
    o.TrackMiddle = num(0, 9);
    o.Quality = num(0, 4);
    o.TimeOut = num(1, 60);
    o.ReWrapType = num(0, 1);
    std::string* cp932[] = {&o.wrap_words, &o.wrap_word2, &o.indent_words, &o.re_wrap_words, &o.WrapChar,
                            &o.str_kaeri, &o.tty_words, &o.tty2words, &o.kanji_list};
    for (std::string* s : cp932) *s = Utf8ToCp932(text(6));
    std::string* utf8[] = {&o.font_family, &o.font2family, &o.bg_image_str, &o.SoundPath, &o.HTTPAgent};
    for (std::string* s : utf8) *s = text(6);
    o.filelist_ext = "*.t" + text(2);
    TColor* cols[] = {&o.text_color, &o.ruby_color, &o.back_color, &o.mss_color, &o.ShadowColor};
    for (TColor* c : cols) *c = rng() & 1 ? colours[rng() % std::size(colours)] : (rng() & 0xFFFFFF);
    for (auto& [action, code] : m.shortcuts) code = static_cast<uint16_t>(rng());
    // Actions that share a key share a code.
    for (const KeyTableRow& r : KeyTable())
      if (r.tag == 0) m.shortcuts[r.action] = m.shortcuts["ActionStyleTextReviseUseAozora"];
    const int tools = num(0, 4), filters = num(0, 4);
    for (int i = 0; i < tools + filters; ++i) {
      TToolItem t;
      t.Caption = text(4);
      t.FilePath = "/bin/" + text(3);
      t.Param = text(5);
      t.ShortCut = static_cast<uint16_t>(rng());
      if (i < tools) {
        m.tools.push_back(t);
      } else {
        t.Filter = "*." + text(3);
        m.filters.push_back(t);
      }
    }
    ASSERT_EQ(o.yohaku_c, std::max(o.yohaku_c, (-(o.f_size) - o.m_size) * 3 / 2));
    const Saved s = SaveOf(m);
    const SettingsModel back = LoadFrom(s.ini, s.keys);
    ExpectSameModel(back, m);
    if (HasFailure()) {
      std::printf("%s\n", s.ini.c_str());
      return;
    }
  }
}

struct HookReset {
  ~HookReset() { SetAtomicWriteFailHook(nullptr); }
};

TEST(SettingsStore, FreshFolderWritesTheGoldens) {
  TempDir t;
  SettingsStore store(t.path().string(), (t / "out").string());
  auto loaded = store.load();
  EXPECT_TRUE(loaded.messages.empty());
  EXPECT_TRUE(store.save(loaded.model).empty());
  EXPECT_EQ(test::ReadFileBytes(t / "out/yomira.ini"), test::ReadFileBytes(test::TestData("settings/fresh.ini")));
  EXPECT_EQ(test::ReadFileBytes(t / "out/yomira_key.ini"),
            test::ReadFileBytes(test::TestData("settings/fresh_key.ini")));
}

TEST(SettingsStore, UnreadableSettingsFileIsNeverOverwritten) {
  TempDir t;
  fs::create_directory(t / "yomira.ini");
  SettingsStore store(t.path().string(), t.path().string());
  auto loaded = store.load();
  EXPECT_EQ(loaded.model.option, DefaultOptions());
  ASSERT_EQ(loaded.messages.size(), 1u);
  EXPECT_EQ(loaded.messages[0], "[ " + (t / "yomira.ini").string() + U(u8" ]\nファイルが読み込めませんでした。"));
  EXPECT_TRUE(store.save(loaded.model).empty());
  EXPECT_TRUE(fs::is_directory(t / "yomira.ini"));
  EXPECT_EQ(test::ReadFileBytes(t / "yomira_key.ini"), test::ReadFileBytes(test::TestData("settings/fresh_key.ini")));
}

TEST(SettingsStore, FailedSettingsWriteKeepsOldBytesAndStillWritesKeys) {
  HookReset reset;
  TempDir t;
  Put(t / "yomira.ini", "[option]\nf_size=20\n");
  SettingsStore store(t.path().string(), t.path().string());
  auto loaded = store.load();
  EXPECT_EQ(loaded.model.option.f_size, 20);
  int renames = 0;
  SetAtomicWriteFailHook([&](AtomicWriteStep s) { return s == AtomicWriteStep::Rename && ++renames == 1; });
  const auto messages = store.save(loaded.model);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "[ " + (t / "yomira.ini").string() + U(u8" ]\n設定を保存できませんでした。"));
  EXPECT_EQ(test::ReadFileBytes(t / "yomira.ini"), "[option]\nf_size=20\n");
  EXPECT_EQ(test::ReadFileBytes(t / "yomira_key.ini"), test::ReadFileBytes(test::TestData("settings/fresh_key.ini")));
  for (const auto& e : fs::directory_iterator(t.path()))
    EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

TEST(SettingsStore, BothWritesFailingGiveTwoMessages) {
  TempDir t;
  fs::create_directories(t / "out/yomira.ini");
  fs::create_directories(t / "out/yomira_key.ini");
  SettingsStore store(t.path().string(), (t / "out").string());
  auto loaded = store.load();
  EXPECT_EQ(store.save(loaded.model).size(), 2u);
  EXPECT_TRUE(fs::is_directory(t / "out/yomira.ini"));
}

TEST(SettingsStore, SaveFolderThatCannotBeMadeIsReported) {
  TempDir t;
  Put(t / "file", "x");
  SettingsStore store(t.path().string(), (t / "file/sub").string());
  auto loaded = store.load();
  EXPECT_EQ(store.save(loaded.model).size(), 2u);
}

}  // namespace
}  // namespace yomira
