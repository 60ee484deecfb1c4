#include "shell/setup_mapping.h"

#include <algorithm>
#include <limits>

#include "engine/core/option_keys.h"
#include "platform/color.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

using O = TYomiraOption;

struct CheckRow {
  const char* control;
  uint8_t O::*field;
};
constexpr CheckRow kCheckRows[] = {
    {"CheckBoxUseImage", &O::bg_image},      {"CheckBoxUseStrict", &O::strict},
    {"CheckBoxUseAutoIndent", &O::aut_indent}, {"CheckBoxUseAnimate", &O::page_ani},
    {"CheckBoxUseYomiraTag", &O::images},    {"CheckBoxUseAozora", &O::ruby_tag},
    {"CheckBoxUseCover", &O::UseCover},      {"CheckBoxParseHTML", &O::ParseHTML},
    {"CheckBoxUseSound", &O::UseSound},      {"CheckBoxFontOutline", &O::text_aa},
    {"CheckBoxRubyOutline", &O::ruby_aa},    {"CheckBoxFontBold", &O::bold},
    {"CheckBoxUsePaperLine", &O::MSS},       {"CheckBoxUseShadow", &O::UseShadow},
    {"CheckBoxUseReWrap", &O::re_wrap},      {"CheckBoxUseToRuby", &O::toRuby}};

struct SpinRow {
  const char* control;
  int32_t O::*field;
  int32_t scale;  // the field holds scale times the value shown
};
constexpr SpinRow kSpinRows[] = {
    {"SpinEditFontSize", &O::f_size, 1},       {"SpinEditRubySize", &O::ruby_size, 1},
    {"SpinEditColExtent", &O::s_size, 1},      {"SpinEditRowExtent", &O::m_size, 1},
    {"SpinEditCols", &O::c_size, 1},           {"SpinEditRows", &O::v_size, 2},
    {"SpinEditColMargin", &O::yohaku_w, 1},    {"SpinEditRowMargin", &O::yohaku_h, 1},
    {"SpinEditColumns", &O::Colum, 1},         {"SpinEditColumnMargin", &O::yohaku_c, 1},
    {"SpinEditViewPage", &O::Page, 1},         {"SpinEditViewPageMargin", &O::PageMargin, 1}};

struct PathRow {
  const char* control;
  std::string O::*field;
};
constexpr PathRow kPathRows[] = {{"StaticTextImagePath", &O::bg_image_str}, {"StaticTextSoundPath", &O::SoundPath}};

struct ColourRow {
  const char* control;
  TColor O::*field;
};
constexpr ColourRow kColourRows[] = {{"ComboBoxFontColor", &O::text_color},
                                     {"ComboBoxRubyColor", &O::ruby_color},
                                     {"ComboBoxBackColor", &O::back_color},
                                     {"ComboBoxPaperColor", &O::mss_color},
                                     {"ComboBoxShadowColor", &O::ShadowColor}};

// The string items with the settings key of their field, which says whether the field is
// cp932 (matched against document text) or UTF-8.
struct TextRow {
  const char* item;
  std::string O::*field;
  const char* key;
};
constexpr TextRow kTextRows[] = {
    {"ItemWrapHead", &O::wrap_words, "wrap_words"},       {"ItemWrapFoot", &O::wrap_word2, "wrap_word2"},
    {"ItemNoIndent", &O::indent_words, "indent_words"},   {"ItemKaeri", &O::str_kaeri, "str_kaeri"},
    {"ItemTTY1Byte", &O::tty_words, "tty_words"},         {"ItemTTY2Byte", &O::tty2words, "tty2words"},
    {"ItemKanjiLike", &O::kanji_list, "kanji_list"},      {"ItemNoWrap", &O::re_wrap_words, "re_wrap_words"},
    {"ItemWrapChar", &O::WrapChar, "WrapChar"},           {"ItemBookListExt", &O::filelist_ext, "filelist_ext"},
    {"ItemHTTPAgent", &O::HTTPAgent, "HTTPAgent"}};

// The pick-list items in fill and read order; fallback is shown for a value outside the list.
struct PickRow {
  const char* item;
  int32_t& (*field)(O&);
  const char* fallback;
};
constexpr const char* kNone = "（なし）";
constexpr PickRow kPickRows[] = {
    {"ItemMouseLeft", [](O& o) -> int32_t& { return o.click[0]; }, kNone},
    {"ItemMouseRight", [](O& o) -> int32_t& { return o.click[1]; }, kNone},
    {"ItemMouseMiddle", [](O& o) -> int32_t& { return o.click[2]; }, kNone},
    {"ItemMouseShiftLeft", [](O& o) -> int32_t& { return o.click[3]; }, kNone},
    {"ItemMouseShiftRight", [](O& o) -> int32_t& { return o.click[4]; }, kNone},
    {"ItemMouseShiftMiddle", [](O& o) -> int32_t& { return o.click[5]; }, kNone},
    {"ItemMouseCtrlLeft", [](O& o) -> int32_t& { return o.click[6]; }, kNone},
    {"ItemMouseCtrlRight", [](O& o) -> int32_t& { return o.click[7]; }, kNone},
    {"ItemMouseCtrlMiddle", [](O& o) -> int32_t& { return o.click[8]; }, kNone},
    {"ItemWheelUp", [](O& o) -> int32_t& { return o.wheel[0]; }, kNone},
    {"ItemWheelDown", [](O& o) -> int32_t& { return o.wheel[1]; }, kNone},
    {"ItemWheelCtrlUp", [](O& o) -> int32_t& { return o.wheel[2]; }, kNone},
    {"ItemWheelCtrlDown", [](O& o) -> int32_t& { return o.wheel[3]; }, kNone},
    {"ItemWheelShiftUp", [](O& o) -> int32_t& { return o.wheel[4]; }, kNone},
    {"ItemWheelShiftDown", [](O& o) -> int32_t& { return o.wheel[5]; }, kNone},
    {"ItemMouseXButton1", [](O& o) -> int32_t& { return o.side[0]; }, kNone},
    {"ItemMouseXButton2", [](O& o) -> int32_t& { return o.side[1]; }, kNone},
    {"ItemResize", [](O& o) -> int32_t& { return o.Resize; }, kNone},
    {"ItemResizeCtrl", [](O& o) -> int32_t& { return o.ResizeCtrl; }, kNone},
    {"ItemTrackLeft", [](O& o) -> int32_t& { return o.TrackLeft; }, kNone},
    {"ItemTrackRight", [](O& o) -> int32_t& { return o.TrackRight; }, kNone},
    {"ItemTrackMiddle", [](O& o) -> int32_t& { return o.TrackMiddle; }, kNone},
    {"ItemReWrapType", [](O& o) -> int32_t& { return o.ReWrapType; }, "固定幅"},
    {"ItemAnimateQuality", [](O& o) -> int32_t& { return o.Quality; }, "Normal"}};

constexpr const char* kTimeOutItem = "ItemTimeOut";

std::array<uint32_t, 5> ColoursOf(const O& record) {
  std::array<uint32_t, 5> out{};
  for (size_t i = 0; i < out.size(); ++i) out[i] = record.*kColourRows[i].field;
  return out;
}

void Reselect(const FavoriteColorList& list, SetupValues& values, const std::array<uint32_t, 5>& shownColours) {
  for (size_t i = 0; i < values.colours.size(); ++i)
    values.colours[i].selected = list.IndexOf(ShownColourText(shownColours[i]));
}

}  // namespace

std::string ShownColourText(uint32_t colour) { return ColorToHtml(ColorToRgb(colour)); }

SetupValues ShowValues(const TYomiraOption& record, const std::string& styleName, FavoriteColorList& list) {
  SetupValues v;
  O& r = const_cast<O&>(record);  // the pick rows' accessors only read here
  v.styleText = styleName;
  for (const CheckRow& row : kCheckRows) *v.check(row.control) = (record.*row.field) != 0;
  for (const SpinRow& row : kSpinRows) *v.spin(row.control) = (record.*row.field) / row.scale;
  for (const PathRow& row : kPathRows) v.path(row.control)->filePath = record.*row.field;
  v.font2ByteName = record.font_family;
  v.font1ByteName = record.font2family;

  const std::array<uint32_t, 5> colours = ColoursOf(record);
  for (size_t i = 0; i < colours.size(); ++i) {
    SetupColourValue& c = v.colours[i];
    c.filledFrom = colours[i];
    c.text = ShownColourText(colours[i]);
    c.selected = list.IndexOf(c.text);
  }
  for (size_t i = 0; i < colours.size(); ++i)
    AddFavoriteColor(list, v, static_cast<int>(i), colours[i], kSetupColourNames[i], colours);
  for (SetupColourValue& c : v.colours) c.tag = c.selected;

  for (const TextRow& row : kTextRows)
    *v.item(row.item) = IsCp932OptionKey(row.key) ? Cp932ToUtf8(record.*row.field) : record.*row.field;
  *v.item(kTimeOutItem) = std::to_string(record.TimeOut);
  // Each item falls back on its own: one value outside its list leaves the others shown.
  for (const PickRow& row : kPickRows) {
    const std::vector<std::string>& pick = PickList(row.item);
    const int32_t value = row.field(r);
    *v.item(row.item) = value >= 0 && value < static_cast<int32_t>(pick.size()) ? pick[static_cast<size_t>(value)]
                                                                                 : std::string(row.fallback);
  }
  return v;
}

void AddFavoriteColor(FavoriteColorList& list, SetupValues& values, int combo, uint32_t colour,
                      const std::string& name, const std::array<uint32_t, 5>& shownColours) {
  if (combo < 0 || combo >= static_cast<int>(values.colours.size())) return;
  if (values.colours[static_cast<size_t>(combo)].selected >= 0) return;
  list.Append(ShownColourText(colour), name);
  Reselect(list, values, shownColours);
}

void FillPathCaptions(SetupValues& values, const std::array<int, 2>& labelWidths,
                      const std::function<int(const std::string&)>& widthFn) {
  for (size_t i = 0; i < values.paths.size(); ++i) {
    SetupPathValue& p = values.paths[i];
    p.caption = FitParenText(FileNamePart(p.filePath), labelWidths[i] - 4, widthFn);
  }
}

SetupValues ShowValuesInPort(const TYomiraOption& record, const std::string& styleName, SetupDialogPort& port) {
  FavoriteColorList& list = port.colourLists();
  const int listed = list.size();
  SetupValues v = ShowValues(record, styleName, list);
  if (list.size() != listed) port.colourListsChanged();
  FillPathCaptions(v, {port.controlWidth(kSetupPathLabels[0]), port.controlWidth(kSetupPathLabels[1])},
                   [&port](const std::string& s) { return port.textWidth(s); });
  return v;
}

std::vector<std::string> ReadValues(const SetupValues& values, const SetupValues& shown, TYomiraOption& record) {
  std::vector<std::string> messages;
  for (const CheckRow& row : kCheckRows) record.*row.field = *values.check(row.control) ? 1 : 0;
  for (const SpinRow& row : kSpinRows) {
    // In 64 bits: twice a spin value may not fit; Validate clamps what is kept.
    const int64_t v = static_cast<int64_t>(*values.spin(row.control)) * row.scale;
    record.*row.field = static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  }
  for (const PathRow& row : kPathRows) record.*row.field = values.path(row.control)->filePath;
  record.font_family = values.font2ByteName;
  record.font2family = values.font1ByteName;
  for (size_t i = 0; i < values.colours.size(); ++i) {
    const std::string& text = values.colours[i].text;
    // Untouched, a combo gives back what it was filled from (a system colour stays one).
    const SetupColourValue& was = shown.colours[i];
    record.*kColourRows[i].field = text == was.text ? was.filledFrom : HtmlToColor(text);
  }
  for (const TextRow& row : kTextRows) {
    const std::string& text = *values.item(row.item);
    if (!IsCp932OptionKey(row.key)) {
      record.*row.field = text;
      continue;
    }
    std::string bytes = Utf8ToCp932(text);
    if (Cp932ToUtf8(bytes) != text) {
      // A character cp932 lacks would come back as "?" and join the list: keep the old one.
      messages.push_back(std::string("[ ") + kSetupGridItems[static_cast<size_t>(SetupGridIndex(row.item))].key +
                         " ]\nShift_JISで表せない文字は使えません。");
      continue;
    }
    record.*row.field = std::move(bytes);
  }
  record.TimeOut = StrToIntDef(*values.item(kTimeOutItem), record.TimeOut);
  for (const PickRow& row : kPickRows) {
    const std::vector<std::string>& pick = PickList(row.item);
    const std::string& text = *values.item(row.item);
    int32_t index = -1;
    for (size_t i = 0; i < pick.size(); ++i)
      if (pick[i] == text) {
        index = static_cast<int32_t>(i);
        break;
      }
    row.field(record) = index;
  }
  return messages;
}

std::vector<std::pair<std::string, bool>> DependentStates(const SetupValues& values) {
  const bool image = *values.check("CheckBoxUseImage");
  const bool aozora = *values.check("CheckBoxUseAozora");
  const bool paper = *values.check("CheckBoxUsePaperLine");
  const bool shadow = *values.check("CheckBoxUseShadow");
  const bool sound = *values.check("CheckBoxUseSound");
  const bool on[] = {!image, !image, image, aozora, aozora, aozora, aozora, paper, paper, shadow, shadow, sound};
  std::vector<std::pair<std::string, bool>> out;
  for (size_t i = 0; i < kSetupDependentControls.size(); ++i) out.emplace_back(kSetupDependentControls[i], on[i]);
  return out;
}

}  // namespace yomira
