#include "shell/main_menu.h"

#include <QActionGroup>
#include <QFont>
#include <QMenu>

#include <utility>

#include "ui/menu_proxy.h"

namespace yomira {
namespace {

struct Builder {
  ActionCatalogue& catalogue;
  MainMenu& out;

  MenuProxy* add(QMenu* menu, const char* itemName, const char* actionName) {
    auto* p = new MenuProxy(catalogue.at(actionName), menu);
    if (itemName) p->setObjectName(QString::fromLatin1(itemName));
    menu->addAction(p);
    out.proxies.push_back(p);
    if (itemName) out.items[itemName] = p;
    return p;
  }

  QMenu* sub(QMenu* parent, const char* name, const char* caption) {
    QMenu* m = parent->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromLatin1(name));
    out.submenus[name] = m;
    out.items[name] = m->menuAction();
    return m;
  }
};

}  // namespace

MenuProxy* MainMenu::proxy(const std::string& actionName) const {
  for (MenuProxy* p : proxies)
    if (p->action().name == actionName) return p;
  return nullptr;
}

void MainMenu::mirrorAll() {
  for (MenuProxy* p : proxies) p->mirror();
}

QString VersionMenuCaption() { return QStringLiteral("Version 1.62\tQt ") + QString::fromLatin1(qVersion()); }

MainMenu BuildMainMenu(ActionCatalogue& catalogue, QWidget* parent) {
  MainMenu out;
  Builder b{catalogue, out};
  QMenu* m = new QMenu(parent);
  m->setObjectName(QStringLiteral("PopupMenuMain"));
  out.menu = m;

  MenuProxy* open = b.add(m, "MenuFileOpen", "ActionFileOpen");
  m->setDefaultAction(open);  // drawn bold
  b.add(m, "MenuURLOpen", "ActionURLOpen");

  QMenu* reopen = b.sub(m, "MenuFileReOpen", "開き直す(&R)");
  QAction* automatic = reopen->addAction(QString::fromUtf8("自動(&A)"));
  automatic->setData(0);
  out.items["MenuFileReOpen1"] = automatic;
  reopen->addSeparator();
  auto* group = new QActionGroup(reopen);
  const char* codePages[] = {"Shift-JIS", "EUC-JP", "ISO-2022-JP", "UTF7", "UTF8", "UTF8N"};
  for (int i = 0; i < 6; ++i) {
    QAction* a = reopen->addAction(QString::fromLatin1(codePages[i]));
    a->setData(i + 1);
    a->setCheckable(true);
    group->addAction(a);
    out.items["MenuFileReOpen" + std::to_string(i + 2)] = a;
  }

  QMenu* recent = b.sub(m, "MenuFileRecent", "履歴(&E)");
  out.recent[0] = recent->addAction(QString::fromStdString(catalogue.at("ActionFileRecent0").caption));
  out.recent[0]->setObjectName(QStringLiteral("MenuFileRecent0"));
  recent->addSeparator();
  for (int i = 1; i < kRecentMenuCount; ++i) {
    out.recent[i] = recent->addAction(QString());
    out.recent[i]->setObjectName(QStringLiteral("MenuFileRecent%1").arg(i));
    out.recent[i]->setVisible(false);
  }

  QMenu* clip = b.sub(m, "MenuFileClipboard", "クリップボード(&C)");
  b.add(clip, "MenuFileClipboardOpen", "ActionFileClipboardOpen");
  b.add(clip, "MenuFileClipboardAdd", "ActionFileClipboardAdd");

  QMenu* tool = b.sub(m, "MenuFileTool", "ほかで開く(&T)");
  b.add(tool, "MenuFileToolEdit", "ActionFileToolEditor");
  b.add(tool, "MenuFileToolDirectory", "ActionFileToolDirectory");
  tool->addSeparator();
  m->addSeparator();

  QMenu* mom = b.sub(m, "MenuMomentary", "一時処理(&M)");
  b.add(mom, "MenuMomentaryAutoIndent", "ActionMomentaryAutoIndent");
  b.add(mom, "MenuMomentaryReWrap", "ActionMomentaryReWrap");
  b.add(mom, "MenuMomentaryToRuby", "ActionMomentaryToRuby");
  mom->addSeparator();

  QMenu* style = b.sub(m, "MenuStyle", "スタイル(&S)");
  b.sub(style, "MenuStyleLoad", "スタイル読込(&S)");
  style->addSeparator();
  // Entries named "MenuStyleTextRevise" + the action's suffix.
  for (const char* suffix : {"UseAozora", "ParseHTML", "UseCover", "UseAutoIndent", "UseYomiraTag", "UseStrict",
                             "UseReWrap", "UseToRuby", "", "ReWrapFixed", "ReWrapCompel"}) {
    if (!*suffix) {
      style->addSeparator();
      continue;
    }
    b.add(style, ("MenuStyleTextRevise" + std::string(suffix)).c_str(),
          ("ActionStyleTextRevise" + std::string(suffix)).c_str());
  }
  // The two methods are drawn as radio items; their checks come from the actions only.
  auto* methods = new QActionGroup(style);
  methods->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  methods->addAction(out.items.at("MenuStyleTextReviseReWrapFixed"));
  methods->addAction(out.items.at("MenuStyleTextReviseReWrapCompel"));
  m->addSeparator();

  QMenu* page = b.sub(m, "MenuPage", "ページ移動(&V)");
  b.add(page, "MenuPageNext", "ActionPageNext");
  b.add(page, "MenuPageBack", "ActionPageBack");
  page->addSeparator();
  b.add(page, "MenuPageHome", "ActionPageHome");
  b.add(page, "MenuPageEnd", "ActionPageEnd");
  page->addSeparator();
  b.add(page, "MenuPageGotoPage", "ActionPageGotoPage");
  b.add(page, "MenuPageGotoLine", "ActionPageGotoLine");
  page->addSeparator();
  b.add(page, "MenuPageFileNext", "ActionPageFileNext");
  b.add(page, "MenuPageFileBack", "ActionPageFileBack");
  b.add(m, "MenuBook", "ActionBook");
  m->addSeparator();

  QMenu* opt = b.sub(m, "MenuOption", "設定(&P)");
  b.add(opt, "MenuOptionFullScreen", "ActionOptionFullScreen");
  opt->addSeparator();
  b.add(opt, "MenuOptionSetup", "ActionOptionSetup");
  b.add(opt, "MenuOptionTools", "ActionOptionTools");
  opt->addSeparator();
  b.add(opt, "MenuOptionRecentClear", "ActionOptionRecentClear");
  opt->addSeparator();
  b.add(opt, "MenuOptionCreateFileOpen", "ActionOptionCreateFileOpen");
  b.add(opt, "MenuOptionCreateBook", "ActionOptionCreateBook");

  QMenu* help = b.sub(m, "MenuHelp", "ヘルプ(&H)");
  b.add(help, "MenuHelpReadme", "ActionHelpReadme");
  MenuProxy* online = b.add(help, "MenuHelpOnlineHelp", "ActionHelpOnlineHelp");
  Q_UNUSED(online);
  help->addSeparator();
  QAction* version = help->addAction(VersionMenuCaption());
  version->setObjectName(QStringLiteral("MenuHelpVersion"));
  version->setEnabled(false);
  out.items["MenuHelpVersion"] = version;
  m->addSeparator();
  b.add(m, "MenuExit", "ActionExit");
  return out;
}

void ApplyMainMenuRules(MainMenu& menu, const MainMenuState& s) {
  const std::pair<const char*, bool> rules[] = {
      {"MenuFileClipboard", s.clipboardHasText},
      {"MenuFileReOpen", s.laidOut},
      {"MenuFileToolEdit", s.laidOut},
      {"MenuFileToolDirectory", s.laidOut},
      {"MenuMomentary", s.laidOut},
      {"MenuPage", s.laidOut},
      {"MenuOptionFullScreen", s.laidOut},
      {"MenuFileRecent", s.historyCount > 0},
      {"MenuOptionRecentClear", s.historyCount > 1},
      {"MenuStyleLoad", s.styleCount > 0},
      {"MenuMomentaryToRuby", s.rubyTag},
  };
  for (const auto& [name, on] : rules)
    if (auto it = menu.items.find(name); it != menu.items.end()) it->second->setEnabled(on);
}

}  // namespace yomira
