// Compact item tables for the property grid's tests and the gallery.
#pragma once

#include <string>
#include <vector>

#include "windows/controls/prop_grid/prop_grid_model.h"

namespace yomira::testing {

struct PropGridSpec {
  std::string name;
  std::string section;
  int level = 0;
  bool visible = true;
  bool expanded = true;
};

inline void Fill(PropGridModel& m, const std::vector<PropGridSpec>& specs) {
  m.Items().BeginUpdate();
  for (const PropGridSpec& s : specs) {
    PropGridItem& item = m.Items().Add();
    item.SetDisplayName(s.name);
    item.SetSection(s.section);
    item.SetLevel(s.level);
    item.SetVisible(s.visible);
    item.SetExpanded(s.expanded);
  }
  m.Items().EndUpdate();
}

// The settings dialog's 36 items: (name, section, key, pick list letter or 0 for an edit).
struct SettingsItemSpec {
  const char* name;
  const char* section;
  const char* key;
  char list;
};

inline const std::vector<SettingsItemSpec>& SettingsItemSpecs() {
  static const std::vector<SettingsItemSpec> kItems = {
      {"ItemAnimateQuality", "ページ捲り効果", "Level", 'Q'},
      {"ItemReWrapType", "折り返し復元", "折り返し復元方法", 'W'},
      {"ItemNoWrap", "折り返し復元", "折り返し禁止", 0},
      {"ItemWrapChar", "折り返し復元", "折り返し末尾対象", 0},
      {"ItemWrapHead", "制御文字", "行頭禁則", 0},
      {"ItemWrapFoot", "制御文字", "行末禁則", 0},
      {"ItemNoIndent", "制御文字", "自動インデント禁止", 0},
      {"ItemKaeri", "制御文字", "漢文返り点", 0},
      {"ItemTTY1Byte", "制御文字", "半角縦中横", 0},
      {"ItemTTY2Byte", "制御文字", "全角縦中横", 0},
      {"ItemKanjiLike", "制御文字", "漢字扱い", 0},
      {"ItemBookListExt", "制御文字", "ファイルリスト拡張子", 0},
      {"ItemTimeOut", "インターネット接続", "接続タイムアウト[秒]", 0},
      {"ItemHTTPAgent", "インターネット接続", "HTTP_USER_AGENT", 0},
      {"ItemResize", "リサイズ操作", "リサイズ", 'R'},
      {"ItemResizeCtrl", "リサイズ操作", "[Ctrl]＋リサイズ", 'R'},
      {"ItemMouseLeft", "マウス操作", "左クリック", 'M'},
      {"ItemMouseRight", "マウス操作", "右クリック", 'M'},
      {"ItemMouseMiddle", "マウス操作", "中クリック", 'M'},
      {"ItemMouseShiftLeft", "マウス操作", "[Shift]＋左クリック", 'M'},
      {"ItemMouseShiftRight", "マウス操作", "[Shift]＋右クリック", 'M'},
      {"ItemMouseShiftMiddle", "マウス操作", "[Shift]＋中クリック", 'M'},
      {"ItemMouseCtrlLeft", "マウス操作", "[Ctrl]＋左クリック", 'M'},
      {"ItemMouseCtrlRight", "マウス操作", "[Ctrl]＋右クリック", 'M'},
      {"ItemMouseCtrlMiddle", "マウス操作", "[Ctrl]＋中クリック", 'M'},
      {"ItemWheelUp", "マウス操作", "Wheel Up", 'H'},
      {"ItemWheelDown", "マウス操作", "Wheel Down", 'H'},
      {"ItemWheelCtrlUp", "マウス操作", "[Ctrl] + Wheel Up", 'H'},
      {"ItemWheelCtrlDown", "マウス操作", "[Ctrl] + Wheel Down", 'H'},
      {"ItemWheelShiftUp", "マウス操作", "[Shift] + Wheel Up", 'H'},
      {"ItemWheelShiftDown", "マウス操作", "[Shift] + Wheel Down", 'H'},
      {"ItemMouseXButton1", "マウス操作", "サイドボタン1", 'X'},
      {"ItemMouseXButton2", "マウス操作", "サイドボタン2", 'X'},
      {"ItemTrackLeft", "トラックバー操作", "左クリック", 'T'},
      {"ItemTrackRight", "トラックバー操作", "右クリック", 'T'},
      {"ItemTrackMiddle", "トラックバー操作", "中クリック", 'T'},
  };
  return kItems;
}

inline std::vector<std::string> SettingsPickList(char list) {
  switch (list) {
    case 'Q': return {"Lowest", "Lower", "Normal", "Higher", "Highest"};
    case 'W': return {"固定幅テキスト復元", "末尾対象外の行を復元"};
    case 'R': return {"（なし）", "字数行数を固定し、文字サイズ変更", "文字サイズを固定し、字数行数変更"};
    case 'M': return {"（なし）", "次のページ", "前のページ", "左右で前後ページ", "メニュー", "次のファイル", "前のファイル"};
    case 'H':
      return {"（なし）", "次のページへ", "前のページへ", "文字サイズアップ", "文字サイズダウン", "ルビサイズアップ",
              "ルビサイズダウン"};
    case 'X': return {"（なし）", "次のページ", "前のページ", "メニュー", "次のファイル", "前のファイル"};
    case 'T':
      return {"（なし）", "次のページ", "前のページ", "左右で前後ページ", "マウス位置に移動", "メニュー", "次のファイル",
              "前のファイル", "トラックバーメニュー"};
    default: return {};
  }
}

// The settings dialog's grid: its 36 items with their first pick-list entries.
inline void FillSettings(PropGridModel& m) {
  m.Items().BeginUpdate();
  for (const SettingsItemSpec& s : SettingsItemSpecs()) {
    PropGridItem& item = m.Items().Add();
    item.SetDisplayName(s.name);
    item.SetSection(s.section);
    item.SetKey(s.key);
    if (s.list) {
      item.SetStyle(PropGridStyle::psComboList);
      item.SetPickList(SettingsPickList(s.list));
      item.SetValue(SettingsPickList(s.list)[0]);
    }
  }
  m.Items().EndUpdate();
  m.AutoUpdate = true;
  m.SetKeyColWidth(120);
  m.SetBreakBySection(true);
}

}  // namespace yomira::testing
