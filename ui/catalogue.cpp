#include <stdexcept>

#include "ui/action.h"

namespace yomira {
namespace {

struct Design {
  const char* name;
  const char* category;
  const char* caption;
  bool checkable;
  int radioGroup;
};

// Captions and categories of every action of the key table; tags and codes come from there.
constexpr Design kDesign[] = {
    {"ActionStyleTextReviseUseAozora", "スタイル", "青空文庫形式(&A)", true, 0},
    {"ActionStyleTextReviseParseHTML", "スタイル", "&HTML解析", true, 0},
    {"ActionStyleTextReviseUseCover", "スタイル", "表紙成形(&C)", true, 0},
    {"ActionStyleTextReviseUseAutoIndent", "スタイル", "行頭インデント(&I)", true, 0},
    {"ActionStyleTextReviseUseYomiraTag", "スタイル", "挿絵/改ページ(&T)", true, 0},
    {"ActionStyleTextReviseUseStrict", "スタイル", "禁則処理(&S)", true, 0},
    {"ActionStyleTextReviseUseReWrap", "スタイル", "折り返し復元(&R)", true, 0},
    {"ActionStyleTextReviseUseToRuby", "スタイル", "括弧をルビ化(&P)", true, 0},
    {"ActionStyleTextReviseReWrapFixed", "スタイル", "固定幅テキスト復元(&F)", true, 1},
    {"ActionStyleTextReviseReWrapCompel", "スタイル", "末尾対象外の行を復元(&O)", true, 1},
    {"ActionWindowPopUp", "ウインドウ操作", "メニューを開く", false, 0},
    {"ActionWindowRowUp", "ウインドウ操作", "字数を増やす", false, 0},
    {"ActionWindowRowDown", "ウインドウ操作", "字数を減らす", false, 0},
    {"ActionWindowColUp", "ウインドウ操作", "行数を増やす", false, 0},
    {"ActionWindowColDown", "ウインドウ操作", "行数を減らす", false, 0},
    {"ActionWindowAnnotate", "ウインドウ操作", "注記移動", false, 0},
    {"ActionFileOpen", "ファイル", "開く(&O)...", false, 0},
    {"ActionPageNext", "ページ移動", "次のページ(&L)", false, 0},
    {"ActionPageNext2", "ページ移動", "次のページ", false, 0},
    {"ActionPageNext3", "ページ移動", "次のページ", false, 0},
    {"ActionPageNext4", "ページ移動", "次のページ", false, 0},
    {"ActionPageNext5", "ページ移動", "次のページ", false, 0},
    {"ActionPageBack", "ページ移動", "前のページ(&R)", false, 0},
    {"ActionPageBack2", "ページ移動", "前のページ", false, 0},
    {"ActionPageBack3", "ページ移動", "前のページ", false, 0},
    {"ActionPageBack4", "ページ移動", "前のページ", false, 0},
    {"ActionPageBack5", "ページ移動", "前のページ", false, 0},
    {"ActionFileRecent0", "ファイル", "再読込(&R)", false, 0},
    {"ActionFileClipboardOpen", "ファイル", "テキスト読み込み(&R)", false, 0},
    {"ActionFileClipboardAdd", "ファイル", "テキスト追加(&A)", false, 0},
    {"ActionFileToolEditor", "ファイル", "関連付け実行(&E)", false, 0},
    {"ActionFileToolDirectory", "ファイル", "ディレクトリ実行(&D)", false, 0},
    {"ActionBook", "ブック", "ブック(&B)", false, 0},
    {"ActionMomentaryAutoIndent", "一時処理", "行頭インデント(&I)", true, 0},
    {"ActionMomentaryReWrap", "一時処理", "折り返し復元(&R)", true, 0},
    {"ActionMomentaryToRuby", "一時処理", "括弧をルビ化(&P)", true, 0},
    {"ActionPageHome", "ページ移動", "ファイル頭へ移動(&H)", false, 0},
    {"ActionPageEnd", "ページ移動", "ファイル末へ移動(&E)", false, 0},
    {"ActionPageFileNext", "ページ移動", "次のファイルを開く(&N)", false, 0},
    {"ActionPageFileBack", "ページ移動", "前のファイルを開く(&B)", false, 0},
    {"ActionOptionSetup", "オプション", "ページ設定(&S)", false, 0},
    {"ActionOptionCreateFileOpen", "オプション", "起動時にファイルを開く(&A)", true, 0},
    {"ActionOptionCreateBook", "オプション", "起動時にブックを開く(&E)", true, 0},
    {"ActionHelpReadme", "ヘルプ", "readme.txt", false, 0},
    {"ActionHelpOnlineHelp", "ヘルプ", "オンラインヘルプ(&O)", false, 0},
    {"ActionExit", "ファイル", "終了(&X)", false, 0},
    {"ActionOptionFullScreen", "オプション", "フルスクリーン(&F)", true, 0},
    {"ActionWindowFontUp", "ウインドウ操作", "文字サイズ＋", false, 0},
    {"ActionWindowFontDown", "ウインドウ操作", "文字サイズ－", false, 0},
    {"ActionWindowRubyUp", "ウインドウ操作", "ルビサイズ＋", false, 0},
    {"ActionWindowRubyDown", "ウインドウ操作", "ルビサイズ－", false, 0},
    {"ActionPageGotoPage", "ページ移動", "ページ指定(&P)", false, 0},
    {"ActionPageGotoLine", "ページ移動", "行指定(&I)", false, 0},
    {"ActionOptionTools", "オプション", "環境設定(&E)", false, 0},
    {"ActionURLOpen", "ファイル", "&URLを開く...", false, 0},
    {"ActionOptionRecentClear", "オプション", "履歴のクリア(&H)", false, 0},
    {"ActionOptionBookAutoOpen", "オプション", "ブックをファイル前後で開く(&O)", true, 0},
    {"ActionOptionBookStayOnTop", "オプション", "ブックを常に手前に表示(&Y)", true, 0},
    {"ActionOptionBookAutoClose", "オプション", "ブックを自動的に閉じる(&C)", true, 0},
    {"ActionBookMarkAdd", "ブックマーク", "しおりを挟む(&A)", false, 0},
    {"ActionBookMarkDelete", "ブックマーク", "しおりを消す(&D)", false, 0},
    {"ActionBookMarkUp", "ブックマーク", "しをりを上に移動(&U)", false, 0},
    {"ActionBookMarkDown", "ブックマーク", "しおりを下に移動(&N)", false, 0},
    {"ActionMainNextPage", "ページ移動", "次のページへ(&N)", false, 0},
    {"ActionMainBackPage", "ページ移動", "前のページへ(&B)", false, 0},
    {"ActionBookOpen", "ブック", "開く(&O)", false, 0},
    {"ActionBookOpen2", "ブック", "開く(&O)", false, 0},
    {"ActionBookMenuPopup", "ウインドウ", "ブックメニューを開く", false, 0},
    {"ActionBookTabNext", "ブック", "タブ切り替え", false, 0},
    {"ActionBookTabBack", "ブック", "タブ切り替え(&B)", false, 0},
    {"ActionBookClose", "ブック", "閉じる(&X)", false, 0},
    {"ActionBookTextIndex", "ブック", "テキスト内容表示(&I)", true, 0},
    {"ActionFileListOrderUp", "ファイルリスト", "昇順(&U)", true, 2},
    {"ActionFileListOrderDown", "ファイルリスト", "降順(&D)", true, 2},
    {"ActionFileListOrderName", "ファイルリスト", "名前(&N)", true, 3},
    {"ActionFileListOrderExt", "ファイルリスト", "種類(&T)", true, 3},
    {"ActionFileListOrderTime", "ファイルリスト", "更新日時(&M)", true, 3},
    {"ActionLinkListHold", "リンクリスト", "リンクリストを固定(&H)", true, 0},
    {"ActionLinkListSameDomain", "リンクリスト", "同一ドメイン限定(&S)", true, 0},
    {"ActionBookEdit", "ブック", "関連付け実行(&E)", false, 0},
    {"ActionSystemMenuPopup", "ウインドウ", "設定メニューを開く", false, 0},
};

const Design* FindDesign(std::string_view name) {
  for (const Design& d : kDesign)
    if (name == d.name) return &d;
  return nullptr;
}

std::unique_ptr<Action> MakeAction(const KeyTableRow& row, int listTag) {
  auto a = std::make_unique<Action>();
  a->name = row.action;
  a->listTag = listTag;
  a->tag = row.tag;
  a->code = row.defaultCode;
  if (const Design* d = FindDesign(row.action)) {
    a->category = d->category;
    a->caption = d->caption;
    a->checkable = d->checkable;
    a->radioGroup = d->radioGroup;
  }
  return a;
}

}  // namespace

ActionCatalogue::ActionCatalogue() {
  // Main list first, then the book list: component order decides which of two actions with
  // one key runs.
  for (const KeyTableRow& r : KeyTable())
    if (std::string_view(r.section) == "MainHotKey") actions_.push_back(MakeAction(r, kListMain));
  for (const KeyTableRow& r : KeyTable())
    if (std::string_view(r.section) == "BookHotKey") actions_.push_back(MakeAction(r, kListBook));
  // The file list starts ascending by name.
  at("ActionFileListOrderUp").checked = true;
  at("ActionFileListOrderName").checked = true;
}

Action* ActionCatalogue::find(std::string_view name) {
  for (auto& a : actions_)
    if (a->name == name) return a.get();
  return nullptr;
}

const Action* ActionCatalogue::find(std::string_view name) const {
  for (const auto& a : actions_)
    if (a->name == name) return a.get();
  return nullptr;
}

Action& ActionCatalogue::at(std::string_view name) {
  if (Action* a = find(name)) return *a;
  throw std::out_of_range("no action " + std::string(name));
}

std::vector<Action*> ActionCatalogue::list(int listTag) const {
  std::vector<Action*> out;
  for (const auto& a : actions_)
    if (a->listTag == listTag) out.push_back(a.get());
  return out;
}

Action& ActionCatalogue::addTool(std::string name, std::string caption, uint16_t code) {
  auto a = std::make_unique<Action>();
  a->name = std::move(name);
  a->listTag = kListTool;
  a->caption = std::move(caption);
  a->code = code;
  actions_.push_back(std::move(a));
  return *actions_.back();
}

void ActionCatalogue::removeTools() {
  std::erase_if(actions_, [](const std::unique_ptr<Action>& a) { return a->listTag == kListTool; });
  if (onCodesChanged) onCodesChanged();
}

void ActionCatalogue::EnableActions(bool main, bool book) {
  mainScope_ = main;
  bookScope_ = book;
}

bool ActionCatalogue::inScope(int listTag) const {
  if (listTag == kListMain || listTag == kListTool) return mainScope_;
  if (listTag == kListBook) return bookScope_;
  return false;
}

Action* ActionCatalogue::match(uint16_t code, const std::vector<int>& lists) const {
  if (code == 0) return nullptr;
  for (const auto& a : actions_) {
    if (a->code != code || !a->enabled || !inScope(a->listTag)) continue;
    for (int l : lists)
      if (l == a->listTag) return a.get();
  }
  return nullptr;
}

ShortcutMap ActionCatalogue::shortcuts() const {
  ShortcutMap m;
  for (const auto& a : actions_)
    if (a->listTag != kListTool) m[a->name] = a->code;
  return m;
}

void ActionCatalogue::applyShortcuts(const ShortcutMap& codes) {
  for (auto& a : actions_) {
    const auto it = codes.find(a->name);
    if (it != codes.end()) a->code = it->second;
  }
  if (onCodesChanged) onCodesChanged();
}

void ActionCatalogue::setCode(Action& action, uint16_t code) {
  action.code = code;
  if (onCodesChanged) onCodesChanged();
}

}  // namespace yomira
