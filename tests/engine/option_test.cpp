#include <string>
#include <vector>

#include "engine/core/option.h"
#include "engine/core/option_defaults.h"
#include "platform/text/utf8.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;
using test::sj;

TEST(ValidateTest, BlockGapFloorFollowsClampedFontAndGap) {
  struct Case {
    int32_t f, m, yohaku_c, expected;
  };
  const Case cases[] = {
      {6, -5, -64, -1},     // (-6 + 5) * 3 / 2 truncates toward zero
      {256, 256, -64, -64}, // floor -768 is below the range
      {20, 0, -40, -30},
      {300, 0, -64, -64},   // f is clamped to 256 before the floor is taken
      {14, 0, 10, 10},
      {6, -6, -64, -1},     // m is clamped to -5 first
  };
  for (const Case& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.f_size = c.f;
    o.m_size = c.m;
    o.yohaku_c = c.yohaku_c;
    o.Validate();
    EXPECT_EQ(o.yohaku_c, c.expected) << "f=" << c.f << " m=" << c.m << " G=" << c.yohaku_c;
  }
}

TEST(ValidateTest, ClampsEveryNumberToItsRange) {
  struct Case {
    const char* name;
    int32_t TYomiraOption::*field;
    int32_t value, expected;
  };
  const Case cases[] = {
      {"v_size", &TYomiraOption::v_size, 600, 512},
      {"v_size", &TYomiraOption::v_size, 9, 10},
      {"v_size", &TYomiraOption::v_size, 512, 512},
      {"c_size", &TYomiraOption::c_size, 0, 5},
      {"c_size", &TYomiraOption::c_size, 257, 256},
      {"Page", &TYomiraOption::Page, 0, 1},
      {"Page", &TYomiraOption::Page, 9, 8},
      {"Colum", &TYomiraOption::Colum, 9, 8},
      {"Colum", &TYomiraOption::Colum, -3, 1},
      {"Quality", &TYomiraOption::Quality, 5, 4},
      {"Quality", &TYomiraOption::Quality, -1, 0},
      {"TimeOut", &TYomiraOption::TimeOut, 0, 1},
      {"TimeOut", &TYomiraOption::TimeOut, 61, 60},
      {"ReWrapType", &TYomiraOption::ReWrapType, 2, 1},
      {"ReWrapType", &TYomiraOption::ReWrapType, -1, 0},
      {"s_size", &TYomiraOption::s_size, -6, -5},
      {"m_size", &TYomiraOption::m_size, 300, 256},
      {"f_size", &TYomiraOption::f_size, 5, 6},
      {"f_size", &TYomiraOption::f_size, INT32_MAX, 256},
      {"ruby_size", &TYomiraOption::ruby_size, -1, 0},
      {"yohaku_w", &TYomiraOption::yohaku_w, -1, 0},
      {"yohaku_h", &TYomiraOption::yohaku_h, 257, 256},
      {"yohaku_c", &TYomiraOption::yohaku_c, 300, 256},
      {"PageMargin", &TYomiraOption::PageMargin, INT32_MIN, 0},
      // Bindings have no range: unknown action codes are the binding code's business.
      {"Resize", &TYomiraOption::Resize, 77, 77},
      {"TrackLeft", &TYomiraOption::TrackLeft, -9, -9},
  };
  for (const Case& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.*c.field = c.value;
    o.Validate();
    EXPECT_EQ(o.*c.field, c.expected) << c.name << " = " << c.value;
  }
  TYomiraOption o = DefaultOptions();
  o.click[4] = 999;
  o.wheel[5] = -5;
  o.side[1] = 12345;
  o.Validate();
  EXPECT_EQ(o.click[4], 999);
  EXPECT_EQ(o.wheel[5], -5);
  EXPECT_EQ(o.side[1], 12345);
}

TEST(ValidateTest, ConstructedRecordBecomesUsable) {
  TYomiraOption o;
  o.Validate();
  EXPECT_EQ(o.f_size, 6);
  EXPECT_EQ(o.c_size, 5);
  EXPECT_EQ(o.v_size, 10);
  EXPECT_EQ(o.Colum, 1);
  EXPECT_EQ(o.Page, 1);
  EXPECT_EQ(o.TimeOut, 1);
  EXPECT_EQ(o.yohaku_c, 0);
  EXPECT_EQ(o.GetViewCount(1), 1);
}

TEST(ValidateTest, TrimsOnlyTheExtensionList) {
  TYomiraOption o = DefaultOptions();
  o.filelist_ext = " \t*.txt, *.htm\r\n";
  o.tty_words = " 12 ";
  o.Validate();
  EXPECT_EQ(o.filelist_ext, "*.txt, *.htm");
  EXPECT_EQ(o.tty_words, " 12 ");
}

TEST(IsListedExtensionTest, MatchesWholeMasksIgnoringCase) {
  struct Case {
    std::string list, extension;
    bool expected;
  };
  const Case cases[] = {
      {"*.txt,*.html,*.htm", ".TXT", true},
      {"*.txt,*.html,*.htm", ".htm", true},
      {"*.txt,*.html,*.htm", ".ht", false},
      {"*.txt,*.html,*.htm", ".tx", false},
      {"*.txt,*.html", ".HTM", false},
      {"*.txt, *.htm", ".htm", true},   // a blank after a comma does not matter
      {"*.txt ,*.htm", ".txt", false},  // a blank before one does
      {"*.TXT", ".txt", true},
      {"", ".txt", false},
      // ア is 83 41: its trail byte is no letter, so it must not fold to 83 61 (ヂ).
      {sj(u8"*.ア"), sj(u8".ヂ"), false},
      {sj(u8"*.ア"), sj(u8".ア"), true},
      {sj(u8"*.ヂ"), sj(u8".ア"), false},
  };
  for (const Case& c : cases) {
    TYomiraOption o;
    o.filelist_ext = c.list;
    EXPECT_EQ(o.IsListedExtension(c.extension), c.expected)
        << "list " << test::u8(c.list) << " ext " << test::u8(c.extension);
  }
}

TEST(DefaultOptionsTest, IsValidAsItStands) {
  TYomiraOption o = DefaultOptions();
  TYomiraOption validated = o;
  validated.Validate();
  EXPECT_EQ(validated, o);
}

TEST(DefaultOptionsTest, NumbersInRecordUnits) {
  const TYomiraOption o = DefaultOptions();
  EXPECT_EQ(o.v_size, 64);  // 32 characters, doubled
  EXPECT_EQ(o.UseCover, 1);
  EXPECT_EQ(o.ruby_tag, 1);
  const std::vector<int> flags = {o.bg_image, o.strict, o.aut_indent, o.page_ani, o.images,
                                  o.ruby_tag, o.UseCover, o.UseSound, o.text_aa, o.ruby_aa,
                                  o.bold,     o.MSS,      o.UseShadow, o.re_wrap, o.toRuby,
                                  o.ParseHTML};
  EXPECT_EQ(flags, (std::vector<int>{0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1}));
  const std::vector<int32_t> layout = {o.f_size,   o.ruby_size, o.s_size, o.m_size,
                                       o.c_size,   o.yohaku_w,  o.yohaku_h, o.Colum,
                                       o.yohaku_c, o.Page,      o.PageMargin, o.Quality,
                                       o.TimeOut,  o.ReWrapType};
  EXPECT_EQ(layout, (std::vector<int32_t>{14, 8, 4, 0, 16, 40, 25, 1, 0, 1, 16, 1, 30, 0}));

  // Slot = button + 3 * modifier: Shift + right is slot 4.
  EXPECT_EQ(std::vector<int32_t>(o.click, o.click + 9),
            (std::vector<int32_t>{1, 2, 0, 0, 4, 0, 0, 0, 0}));
  EXPECT_EQ(std::vector<int32_t>(o.wheel, o.wheel + 6), (std::vector<int32_t>{2, 1, 0, 0, 0, 0}));
  EXPECT_EQ(o.side[0], 0);
  EXPECT_EQ(o.side[1], 0);
  EXPECT_EQ(o.Resize, 2);
  EXPECT_EQ(o.ResizeCtrl, 1);
  EXPECT_EQ(o.TrackLeft, 3);
  EXPECT_EQ(o.TrackRight, 5);
  EXPECT_EQ(o.TrackMiddle, 4);
}

TEST(DefaultOptionsTest, Colours) {
  const TYomiraOption o = DefaultOptions();
  EXPECT_EQ(o.text_color, 0x80000008u);  // clWindowText
  EXPECT_EQ(o.ruby_color, 0x000080u);   // clMaroon: red 128
  EXPECT_EQ(o.back_color, 0xF0FAFFu);   // $00F0FAFF
  EXPECT_EQ(o.mss_color, 0xADDEFFu);    // $00ADDEFF
  EXPECT_EQ(o.ShadowColor, 0xCDEBFFu);  // $00CDEBFF
  EXPECT_EQ(o.back_color, 15792895u);
  EXPECT_EQ(o.mss_color, 11394815u);
  EXPECT_EQ(o.ShadowColor, 13495295u);
}

TEST(DefaultOptionsTest, StringsAreCp932Bytes) {
  const TYomiraOption o = DefaultOptions();
  // Face names are UTF-8; in cp932 they are the bytes of the settings file.
  EXPECT_EQ(o.font_family, reinterpret_cast<const char*>(u8"@HGｺﾞｼｯｸE"));
  EXPECT_EQ(test::hex(Utf8ToCp932(o.font_family)), test::hex(bytes({0x40, 0x48, 0x47, 0xBA, 0xDE, 0xBC, 0xAF, 0xB8, 0x45})));
  EXPECT_EQ(o.font2family, o.font_family);

  struct Case {
    const char* name;
    const std::string& actual;
    std::u8string_view expected;
  };
  const Case cases[] = {
      {"wrap_words", o.wrap_words,
       u8"、。，．・：；？！゛゜ヽヾゝゞ々ー’”）〕］｝〉》」』】°′″℃￠％"
       u8"ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ"},
      {"wrap_word2", o.wrap_word2, u8"‘“（〔［｛〈《「『【￥＄”’"},
      {"kanji_list", o.kanji_list, u8"※〆々ヶ"},
      {"indent_words", o.indent_words, u8"‘“（〔［｛〈《「『【￥＄・※"},
      {"re_wrap_words", o.re_wrap_words, u8"-=─━"},
      {"WrapChar", o.WrapChar, u8"。．？！）〕］｝〉》」』】"},
      {"str_kaeri", o.str_kaeri, u8"レ一二三四五六七八九十上中下甲乙丙天地人"},
      {"tty_words", o.tty_words, u8"0123456789!?"},
      {"tty2words", o.tty2words, u8"＜＞－："},
      {"bg_image_str", o.bg_image_str, u8""},
      {"SoundPath", o.SoundPath, u8""},
      {"filelist_ext", o.filelist_ext, u8"*.txt,*.html,*.htm"},
      {"HTTPAgent", o.HTTPAgent, u8"yomira"},
  };
  for (const Case& c : cases) EXPECT_SJ_EQ(c.actual, c.expected) << c.name;
}

}  // namespace
}  // namespace yomira
