#include "windows/settings/settings_values.h"

#include <algorithm>
#include <utility>

#include "platform/file/regular_file.h"
#include "platform/ini.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace yomira {
namespace {

using S = SetupItemStyle;
using C = SetupItemChange;

template <size_t N>
int IndexIn(const std::array<const char*, N>& names, std::string_view name) {
  for (size_t i = 0; i < N; ++i)
    if (name == names[i]) return static_cast<int>(i);
  return -1;
}

}  // namespace

const std::array<SetupGridItem, 36> kSetupGridItems = {{
    {"ItemAnimateQuality", "ページ捲り効果", "Level", S::ComboList, 'Q', C::None},
    {"ItemReWrapType", "折り返し復元", "折り返し復元方法", S::ComboList, 'W', C::Reformat},
    {"ItemNoWrap", "折り返し復元", "折り返し禁止", S::Edit, 0, C::Reformat},
    {"ItemWrapChar", "折り返し復元", "折り返し末尾対象", S::Edit, 0, C::Reformat},
    {"ItemWrapHead", "制御文字", "行頭禁則", S::Edit, 0, C::Reformat},
    {"ItemWrapFoot", "制御文字", "行末禁則", S::Edit, 0, C::Reformat},
    {"ItemNoIndent", "制御文字", "自動インデント禁止", S::Edit, 0, C::Reformat},
    {"ItemKaeri", "制御文字", "漢文返り点", S::Edit, 0, C::None},
    {"ItemTTY1Byte", "制御文字", "半角縦中横", S::Edit, 0, C::None},
    {"ItemTTY2Byte", "制御文字", "全角縦中横", S::Edit, 0, C::None},
    {"ItemKanjiLike", "制御文字", "漢字扱い", S::Edit, 0, C::None},
    {"ItemBookListExt", "制御文字", "ファイルリスト拡張子", S::Edit, 0, C::FileList},
    {"ItemTimeOut", "インターネット接続", "接続タイムアウト[秒]", S::Edit, 0, C::None},
    {"ItemHTTPAgent", "インターネット接続", "HTTP_USER_AGENT", S::Edit, 0, C::None},
    {"ItemResize", "リサイズ操作", "リサイズ", S::ComboList, 'R', C::None},
    {"ItemResizeCtrl", "リサイズ操作", "[Ctrl]＋リサイズ", S::ComboList, 'R', C::None},
    {"ItemMouseLeft", "マウス操作", "左クリック", S::ComboList, 'M', C::None},
    {"ItemMouseRight", "マウス操作", "右クリック", S::ComboList, 'M', C::None},
    {"ItemMouseMiddle", "マウス操作", "中クリック", S::ComboList, 'M', C::None},
    {"ItemMouseShiftLeft", "マウス操作", "[Shift]＋左クリック", S::ComboList, 'M', C::None},
    {"ItemMouseShiftRight", "マウス操作", "[Shift]＋右クリック", S::ComboList, 'M', C::None},
    {"ItemMouseShiftMiddle", "マウス操作", "[Shift]＋中クリック", S::ComboList, 'M', C::None},
    {"ItemMouseCtrlLeft", "マウス操作", "[Ctrl]＋左クリック", S::ComboList, 'M', C::None},
    {"ItemMouseCtrlRight", "マウス操作", "[Ctrl]＋右クリック", S::ComboList, 'M', C::None},
    {"ItemMouseCtrlMiddle", "マウス操作", "[Ctrl]＋中クリック", S::ComboList, 'M', C::None},
    {"ItemWheelUp", "マウス操作", "Wheel Up", S::ComboList, 'H', C::None},
    {"ItemWheelDown", "マウス操作", "Wheel Down", S::ComboList, 'H', C::None},
    {"ItemWheelCtrlUp", "マウス操作", "[Ctrl] + Wheel Up", S::ComboList, 'H', C::None},
    {"ItemWheelCtrlDown", "マウス操作", "[Ctrl] + Wheel Down", S::ComboList, 'H', C::None},
    {"ItemWheelShiftUp", "マウス操作", "[Shift] + Wheel Up", S::ComboList, 'H', C::None},
    {"ItemWheelShiftDown", "マウス操作", "[Shift] + Wheel Down", S::ComboList, 'H', C::None},
    {"ItemMouseXButton1", "マウス操作", "サイドボタン1", S::ComboList, 'X', C::None},
    {"ItemMouseXButton2", "マウス操作", "サイドボタン2", S::ComboList, 'X', C::None},
    {"ItemTrackLeft", "トラックバー操作", "左クリック", S::ComboList, 'T', C::None},
    {"ItemTrackRight", "トラックバー操作", "右クリック", S::ComboList, 'T', C::None},
    {"ItemTrackMiddle", "トラックバー操作", "中クリック", S::ComboList, 'T', C::None},
}};

const std::vector<std::string>& PickListByLetter(char letter) {
  static const std::vector<std::string> q = {"Lowest", "Lower", "Normal", "Higher", "Highest"};
  static const std::vector<std::string> w = {"固定幅テキスト復元", "末尾対象外の行を復元"};
  static const std::vector<std::string> r = {"（なし）", "字数行数を固定し、文字サイズ変更",
                                             "文字サイズを固定し、字数行数変更"};
  static const std::vector<std::string> m = {"（なし）",   "次のページ",   "前のページ",  "左右で前後ページ",
                                             "メニュー",   "次のファイル", "前のファイル"};
  static const std::vector<std::string> h = {"（なし）",         "次のページへ",     "前のページへ",
                                             "文字サイズアップ", "文字サイズダウン", "ルビサイズアップ",
                                             "ルビサイズダウン"};
  static const std::vector<std::string> x = {"（なし）", "次のページ",   "前のページ",
                                             "メニュー", "次のファイル", "前のファイル"};
  static const std::vector<std::string> t = {"（なし）",     "次のページ",       "前のページ",
                                             "左右で前後ページ", "マウス位置に移動", "メニュー",
                                             "次のファイル", "前のファイル",     "トラックバーメニュー"};
  static const std::vector<std::string> none;
  switch (letter) {
    case 'Q': return q;
    case 'W': return w;
    case 'R': return r;
    case 'M': return m;
    case 'H': return h;
    case 'X': return x;
    case 'T': return t;
    default: return none;
  }
}

int SetupGridIndex(std::string_view itemName) {
  for (size_t i = 0; i < kSetupGridItems.size(); ++i)
    if (itemName == kSetupGridItems[i].name) return static_cast<int>(i);
  return -1;
}

const std::vector<std::string>& PickList(std::string_view itemName) {
  const int i = SetupGridIndex(itemName);
  return PickListByLetter(i < 0 ? 0 : kSetupGridItems[static_cast<size_t>(i)].pickList);
}

// ---------------------------------------------------------------- colour lists

int FavoriteColorList::IndexOf(std::string_view text) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (EqualsAsciiNoCase(entries_[i].text, text)) return static_cast<int>(i);
  return -1;
}

std::string FavoriteColorList::LoadFavoriteFile(const std::string& path) {
  Clear();
  std::string bytes;
  switch (ReadRegularFile(path, kMaxFileBytes, bytes)) {
    case ReadFileStatus::Ok: break;
    case ReadFileStatus::Missing: return "";
    default: return std::string(kFileName) + "を開けませんでした。";
  }
  // Decode first (D3), then split and cut: the byte rule works on the UTF-8 lines.
  for (const std::string& line : SplitLines(DecodeUtf8OrCp932(bytes))) {
    if (line.size() <= 7) continue;
    // Seven bytes may cut a character of a malformed line: keep both halves valid UTF-8.
    Append(SanitizeUtf8(std::string_view(line).substr(0, 7)), SanitizeUtf8(std::string_view(line).substr(7)));
  }
  return "";
}

// ---------------------------------------------------------------- values

int SetupCheckIndex(std::string_view name) { return IndexIn(kSetupCheckBoxes, name); }
int SetupPathIndex(std::string_view name) { return IndexIn(kSetupPathLabels, name); }
int SetupColourIndex(std::string_view name) { return IndexIn(kSetupColourCombos, name); }
int SetupSpinIndex(std::string_view name) {
  for (size_t i = 0; i < kSetupSpinEdits.size(); ++i)
    if (name == kSetupSpinEdits[i].name) return static_cast<int>(i);
  return -1;
}

bool* SetupValues::check(std::string_view name) { return const_cast<bool*>(std::as_const(*this).check(name)); }
int32_t* SetupValues::spin(std::string_view name) { return const_cast<int32_t*>(std::as_const(*this).spin(name)); }
SetupPathValue* SetupValues::path(std::string_view name) {
  return const_cast<SetupPathValue*>(std::as_const(*this).path(name));
}
SetupColourValue* SetupValues::colour(std::string_view name) {
  return const_cast<SetupColourValue*>(std::as_const(*this).colour(name));
}
std::string* SetupValues::item(std::string_view name) { return const_cast<std::string*>(std::as_const(*this).item(name)); }

const bool* SetupValues::check(std::string_view name) const {
  const int i = SetupCheckIndex(name);
  return i < 0 ? nullptr : &checks[static_cast<size_t>(i)];
}
const int32_t* SetupValues::spin(std::string_view name) const {
  const int i = SetupSpinIndex(name);
  return i < 0 ? nullptr : &spins[static_cast<size_t>(i)];
}
const SetupPathValue* SetupValues::path(std::string_view name) const {
  const int i = SetupPathIndex(name);
  return i < 0 ? nullptr : &paths[static_cast<size_t>(i)];
}
const SetupColourValue* SetupValues::colour(std::string_view name) const {
  const int i = SetupColourIndex(name);
  return i < 0 ? nullptr : &colours[static_cast<size_t>(i)];
}
const std::string* SetupValues::item(std::string_view name) const {
  const int i = SetupGridIndex(name);
  return i < 0 ? nullptr : &items[static_cast<size_t>(i)];
}

// ---------------------------------------------------------------- path captions

std::string FitParenText(const std::string& textUtf8, int maxWidth,
                         const std::function<int(const std::string&)>& widthFn) {
  if (textUtf8.empty()) return "( 参照 )";
  const std::string whole = "( " + textUtf8 + " )";
  if (widthFn(whole) < maxWidth) return whole;
  std::string text = textUtf8;
  while (text.size() > 1) {
    if (widthFn("( " + text + "... )") < maxWidth) break;
    // Remove the last whole character: step back over UTF-8 continuation bytes.
    size_t cut = text.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.erase(cut);
  }
  return "( " + text + "... )";
}

}  // namespace yomira
