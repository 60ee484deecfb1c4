// The exchange between an option record and the settings dialog's values: every field has
// a control, untouched values come back unchanged, and what the dialog cannot show or the
// record cannot hold is caught per control.
#include "shell/setup_mapping.h"

#include <cstdio>
#include <random>

#include "engine/core/option_defaults.h"
#include "platform/color.h"
#include "platform/text/utf8.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;

// Shows record and reads the values back untouched into a copy of into.
TYomiraOption RoundTrip(const TYomiraOption& record, const TYomiraOption& into,
                        std::vector<std::string>* messages = nullptr) {
  FavoriteColorList list;
  const SetupValues shown = ShowValues(record, "style", list);
  TYomiraOption out = into;
  auto m = ReadValues(shown, shown, out);
  if (messages) *messages = m;
  return out;
}

// ---------------------------------------------------------------- round trip

// Characters that cp932 holds at one code only (no NEC/IBM twins).
const std::vector<std::string> kListChars = {"a", "Z", "0", "!", "?", "、", "。", "ー", "）", "「", "ぁ",
                                             "ア", "ｱ", "漢", "々", "〆", "ヶ", "※", "＄", "￥", "・"};
const std::vector<std::string> kUtf8Chars = {"a", "/", " ", "*", ".", "é", "あ", "𠮷", "\t", "ﾃ", "@"};

template <class Rng>
std::string RandomText(Rng& rng, const std::vector<std::string>& pool) {
  std::string s;
  const int n = static_cast<int>(rng() % 8);
  for (int i = 0; i < n; ++i) s += pool[rng() % pool.size()];
  return s;
}

template <class Rng>
int32_t Between(Rng& rng, int32_t lo, int32_t hi) {
  return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1));
}

template <class Rng>
TYomiraOption RandomValidRecord(Rng& rng) {
  TYomiraOption o;
  for (uint8_t* f : {&o.bg_image, &o.strict, &o.aut_indent, &o.page_ani, &o.images, &o.ruby_tag, &o.UseCover,
                     &o.UseSound, &o.text_aa, &o.ruby_aa, &o.bold, &o.MSS, &o.UseShadow, &o.re_wrap, &o.toRuby,
                     &o.ParseHTML})
    *f = rng() % 2;
  o.f_size = Between(rng, 6, 256);
  o.ruby_size = Between(rng, 0, 256);
  o.s_size = Between(rng, -5, 256);
  o.m_size = Between(rng, -5, 256);
  o.c_size = Between(rng, 5, 256);
  o.v_size = 2 * Between(rng, 5, 256);
  o.yohaku_w = Between(rng, 0, 256);
  o.yohaku_h = Between(rng, 0, 256);
  o.Colum = Between(rng, 1, 8);
  o.yohaku_c = Between(rng, std::max(-64, (-o.f_size - o.m_size) * 3 / 2), 256);
  o.Page = Between(rng, 1, 8);
  o.PageMargin = Between(rng, 0, 256);
  for (int32_t& c : o.click) c = Between(rng, 0, 6);
  for (int32_t& w : o.wheel) w = Between(rng, 0, 6);
  for (int32_t& s : o.side) s = Between(rng, 0, 5);
  o.Resize = Between(rng, 0, 2);
  o.ResizeCtrl = Between(rng, 0, 2);
  o.TrackLeft = Between(rng, 0, 8);
  o.TrackRight = Between(rng, 0, 8);
  o.TrackMiddle = Between(rng, 0, 8);
  o.Quality = Between(rng, 0, 4);
  o.TimeOut = Between(rng, 1, 60);
  o.ReWrapType = Between(rng, 0, 1);
  for (std::string* s : {&o.wrap_words, &o.wrap_word2, &o.indent_words, &o.re_wrap_words, &o.WrapChar,
                         &o.str_kaeri, &o.tty_words, &o.tty2words, &o.kanji_list})
    *s = sj(RandomText(rng, kListChars));
  for (std::string* s : {&o.font_family, &o.font2family, &o.bg_image_str, &o.SoundPath, &o.filelist_ext, &o.HTTPAgent})
    *s = RandomText(rng, kUtf8Chars);
  const TColor system[] = {clWindowText, kSystemColorFlag | 5, kSystemColorFlag | 15, 0, 0xFFFFFF};
  for (TColor* c : {&o.text_color, &o.ruby_color, &o.back_color, &o.mss_color, &o.ShadowColor})
    *c = rng() % 3 ? static_cast<TColor>(rng() & 0xFFFFFF) : system[rng() % std::size(system)];
  return o;
}

TEST(SetupMapping, EveryFieldComesBackUntouched) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  for (int i = 0; i < 300; ++i) {
    const TYomiraOption record = RandomValidRecord(rng);
    std::vector<std::string> messages;
    // Into a zeroed record: nothing may survive from the target.
    EXPECT_EQ(RoundTrip(record, TYomiraOption{}, &messages), record) << "record " << i;
    EXPECT_TRUE(messages.empty());
  }
}

TEST(SetupMapping, DefaultsComeBackUntouched) {
  const TYomiraOption d = DefaultOptions();
  EXPECT_EQ(RoundTrip(d, TYomiraOption{}), d);
}

// ---------------------------------------------------------------- single controls

TEST(SetupMapping, CharactersPerLineAreHalfTheCells) {
  const struct {
    int32_t v_size, shown, back;
  } cases[] = {{64, 32, 64}, {65, 32, 64}, {10, 5, 10}, {512, 256, 512}};
  for (const auto& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.v_size = c.v_size;
    FavoriteColorList list;
    const SetupValues v = ShowValues(o, "", list);
    EXPECT_EQ(*v.spin("SpinEditRows"), c.shown) << c.v_size;
    EXPECT_EQ(RoundTrip(o, o).v_size, c.back) << c.v_size;
  }
}

TEST(SetupMapping, ABindingOutsideItsListFallsBackAlone) {
  TYomiraOption o = DefaultOptions();
  o.click[0] = 9;
  FavoriteColorList list;
  const SetupValues v = ShowValues(o, "", list);
  EXPECT_EQ(*v.item("ItemMouseLeft"), "（なし）");
  EXPECT_EQ(*v.item("ItemMouseRight"), "前のページ");
  EXPECT_EQ(*v.item("ItemTrackLeft"), "左右で前後ページ");
  EXPECT_EQ(*v.item("ItemAnimateQuality"), "Lower");
  TYomiraOption expected = o;
  expected.click[0] = 0;
  EXPECT_EQ(RoundTrip(o, o), expected);
}

TEST(SetupMapping, ChoicesOutsideTheirListsAreMendedOnApply) {
  TYomiraOption o = DefaultOptions();
  o.Resize = 7;
  o.Quality = 9;  // not validated
  o.ReWrapType = 5;
  FavoriteColorList list;
  const SetupValues v = ShowValues(o, "", list);
  EXPECT_EQ(*v.item("ItemResize"), "（なし）");
  EXPECT_EQ(*v.item("ItemAnimateQuality"), "Normal");
  EXPECT_EQ(*v.item("ItemReWrapType"), "固定幅");
  TYomiraOption back = RoundTrip(o, o);
  EXPECT_EQ(back.ReWrapType, -1);  // "固定幅" is not an entry
  back.Validate();
  EXPECT_EQ(back.Resize, 0);
  EXPECT_EQ(back.Quality, 2);
  EXPECT_EQ(back.ReWrapType, 0);
}

TEST(SetupMapping, APickTextThatIsNoEntryReadsMinusOne) {
  TYomiraOption o = DefaultOptions();
  FavoriteColorList list;
  const SetupValues shown = ShowValues(o, "", list);
  SetupValues edited = shown;
  *edited.item("ItemWheelUp") = "次のページ";  // the click list's text, not the wheel's
  *edited.item("ItemMouseMiddle") = "(なし)";  // half-width parentheses
  ReadValues(edited, shown, o);
  EXPECT_EQ(o.wheel[0], -1);
  EXPECT_EQ(o.click[2], -1);
}

TEST(SetupMapping, ColoursShowTheirRgbAndComeBackAsTheyWere) {
  TYomiraOption o = DefaultOptions();
  o.text_color = clWindowText;
  o.back_color = 0x302010;
  FavoriteColorList list;
  const SetupValues shown = ShowValues(o, "", list);
  EXPECT_EQ(shown.colour("ComboBoxFontColor")->text, "#000000");
  EXPECT_EQ(shown.colour("ComboBoxBackColor")->text, "#102030");
  TYomiraOption back = o;
  ReadValues(shown, shown, back);
  EXPECT_EQ(back.text_color, clWindowText);
  EXPECT_EQ(back.back_color, 0x302010u);

  SetupValues edited = shown;
  SetupColourValue& font = *edited.colour("ComboBoxFontColor");
  font.text = "#FFFAF0";
  font.selected = list.IndexOf("#FFFAF0");
  ReadValues(edited, shown, back);
  EXPECT_EQ(back.text_color, 15792895u);
  EXPECT_EQ(back.back_color, 0x302010u);
}

TEST(SetupMapping, TimeOutFollowsTheIntegerRule) {
  const struct {
    const char* text;
    int32_t timeOut;
  } cases[] = {{" 45", 45}, {"0x10", 16}, {"abc", 30}, {"45 ", 30}, {"", 30}};
  for (const auto& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.TimeOut = 30;
    FavoriteColorList list;
    const SetupValues shown = ShowValues(o, "", list);
    SetupValues edited = shown;
    *edited.item("ItemTimeOut") = c.text;
    ReadValues(edited, shown, o);
    EXPECT_EQ(o.TimeOut, c.timeOut) << c.text;
  }
}

TEST(SetupMapping, AListCp932CannotHoldKeepsItsValue) {
  TYomiraOption o = DefaultOptions();
  FavoriteColorList list;
  const SetupValues shown = ShowValues(o, "", list);
  SetupValues edited = shown;
  *edited.item("ItemWrapHead") = "、。𠮷";
  *edited.item("ItemKaeri") = "レ一二";
  TYomiraOption back = o;
  const std::vector<std::string> messages = ReadValues(edited, shown, back);
  EXPECT_EQ(back.wrap_words, o.wrap_words);
  EXPECT_EQ(back.str_kaeri, sj("レ一二"));
  EXPECT_EQ(messages, std::vector<std::string>{"[ 行頭禁則 ]\nShift_JISで表せない文字は使えません。"});
}

TEST(SetupMapping, Utf8TextsPassUnchanged) {
  TYomiraOption o = DefaultOptions();
  o.font_family = "@ＭＳ 明朝";
  FavoriteColorList list;
  const SetupValues shown = ShowValues(o, "", list);
  EXPECT_EQ(shown.font2ByteName, "@ＭＳ 明朝");
  SetupValues edited = shown;
  *edited.item("ItemHTTPAgent") = "エージェント/1";
  *edited.item("ItemBookListExt") = "*.txt,*.テキスト";
  std::vector<std::string> messages = ReadValues(edited, shown, o);
  EXPECT_EQ(o.HTTPAgent, "エージェント/1");
  EXPECT_EQ(o.filelist_ext, "*.txt,*.テキスト");
  EXPECT_TRUE(messages.empty());
}

TEST(SetupMapping, PathLabelsShowTheFileName) {
  TYomiraOption o = DefaultOptions();
  o.bg_image_str = "/home/u/画像/paper.png";
  o.SoundPath = "";
  FavoriteColorList list;
  SetupValues v = ShowValues(o, "", list);
  FillPathCaptions(v, {150, 150}, [](const std::string& s) { return static_cast<int>(s.size()) * 7; });
  EXPECT_EQ(v.path("StaticTextImagePath")->filePath, "/home/u/画像/paper.png");
  EXPECT_EQ(v.path("StaticTextImagePath")->caption, "( paper.png )");
  EXPECT_EQ(v.path("StaticTextSoundPath")->caption, "( 参照 )");
}

// ---------------------------------------------------------------- colour lists

TEST(SetupColourLists, ShownColoursAreListedOnceAndSelected) {
  FavoriteColorList list;
  ASSERT_EQ(list.LoadFavoriteFile(test::TestData("setup/favorite.dat").string()), "");
  const std::vector<FavoriteColorList::Entry> fromFile = list.entries();
  ASSERT_EQ(fromFile.size(), 5u);

  // Defaults: the font colour shows #000000, listed by the 8-byte line.
  SetupValues v = ShowValues(DefaultOptions(), "", list);
  std::vector<FavoriteColorList::Entry> expected = fromFile;
  expected.push_back({"#800000", "RubyColor"});
  expected.push_back({"#FFDEAD", "PaperColor"});
  expected.push_back({"#FFEBCD", "ShadowColor"});
  EXPECT_EQ(list.entries(), expected);
  EXPECT_EQ(v.colour("ComboBoxFontColor")->selected, 4);
  EXPECT_EQ(v.colour("ComboBoxBackColor")->selected, 0);  // first match, case ignored
  for (const SetupColourValue& c : v.colours) EXPECT_EQ(c.tag, c.selected);

  // Font and ruby share an unlisted colour: one entry, named for the font.
  TYomiraOption same = DefaultOptions();
  same.text_color = same.ruby_color = 0x445566;
  v = ShowValues(same, "", list);
  expected.push_back({"#665544", "FontColor"});
  EXPECT_EQ(list.entries(), expected);
  EXPECT_EQ(v.colour("ComboBoxFontColor")->selected, 8);
  EXPECT_EQ(v.colour("ComboBoxRubyColor")->selected, 8);

  // A previewed record selects by its own colours.
  TYomiraOption preview = same;
  preview.back_color = 0x302010;
  v = ShowValues(preview, "", list);
  EXPECT_EQ(list.entries(), expected);
  EXPECT_EQ(v.colour("ComboBoxBackColor")->selected, 2);
  EXPECT_EQ(v.colour("ComboBoxBackColor")->tag, 2);
}

// ---------------------------------------------------------------- dependent controls

TEST(SetupMapping, DependentControlsFollowTheirBoxes) {
  const char* boxes[] = {"CheckBoxUseImage", "CheckBoxUseAozora", "CheckBoxUsePaperLine", "CheckBoxUseShadow",
                         "CheckBoxUseSound"};
  auto states = [&](std::initializer_list<bool> on) {
    SetupValues v;
    size_t i = 0;
    for (bool b : on) *v.check(boxes[i++]) = b;
    std::string out;
    for (const auto& [name, enabled] : DependentStates(v)) out += enabled ? '1' : '0';
    return out;
  };
  // Order: back colour and label, image path, the four ruby controls, paper colour and
  // label, shadow colour and label, sound path.
  EXPECT_EQ(states({false, false, false, false, false}), "110000000000");
  EXPECT_EQ(states({true, true, true, true, true}), "001111111111");
  EXPECT_EQ(states({true, false, true, true, true}), "001000011111");
  EXPECT_EQ(states({true, false, false, false, false}), "001000000000");
}

}  // namespace
}  // namespace yomira
