// Tools and filters of the main window: their actions and menu entries, made at run time
// from the lists; launching a tool on the shown document; reopening it through a filter.
#include "shell/tools_filters.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QActionGroup>
#include <QMenu>

#include "platform/file/regular_file.h"
#include "platform/shell_env.h"
#include "platform/text/cp932.h"
#include "ui/menu_proxy.h"
#include "shell/main_window.h"
#include "sources/external_filter.h"
#include "sources/history.h"

namespace yomira {
namespace {

const char kNoFile[] = " ]\nファイルがありません。";

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// Relative to the working folder, as the program would see it; an absolute path unchanged.
std::string Absolute(const std::string& path) { return !path.empty() && path[0] == '/' ? path : AbsoluteCleanPath(path); }

}  // namespace

PlaceholderValues ToolPlaceholderValues(const std::string& path, const std::string& location,
                                        const DisplayLines& lines, const SourceLines& sources, int firstLine) {
  PlaceholderValues v{{'F', path}, {'D', ExtractFilePath(path)}, {'U', location}, {'L', "1"}, {'C', "1"}, {'N', "1"}};
  // A document without display lines, or a page past the end, has no first line.
  if (firstLine < 0 || firstLine >= static_cast<int>(lines.size())) return v;
  const TYomiraLine& line = lines[static_cast<size_t>(firstLine)];
  v['L'] = std::to_string(int64_t{line.source_line} + 1);
  if (line.elements.empty()) return v;
  const TYomiraObject& first = line.elements.front();
  v['C'] = std::to_string(int64_t{line.GetFirstSourceLine()} + 1);
  if (first.first >= 0 && first.first < static_cast<int>(sources.size()))
    v['N'] = std::to_string(CharacterPosition(sources[static_cast<size_t>(first.first)], first.column));
  return v;
}

bool IsOpenableUrl(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon + 1 >= text.size()) return false;
  const std::string scheme = AsciiLower(std::string_view(text).substr(0, colon));
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto" || scheme == "file";
}

void TForm1::BuildToolActions() { BuildRunTimeActions(false); }

void TForm1::BuildFilterActions() { BuildRunTimeActions(true); }

void TForm1::BuildRunTimeActions(bool filters) {
  const ToolItemList& list = filters ? Filters : Tools;
  int& created = filters ? filterActionCount_ : toolActionCount_;
  const std::string actionPrefix = filters ? "ActionFilters" : "ActionTools";
  const std::string itemPrefix = filters ? "MenuFilters" : "MenuTools";
  QMenu* menu = menu_.submenus.at(filters ? "MenuMomentary" : "MenuFileTool");
  const int count = static_cast<int>(list.size());
  // One spare beyond the entries, so that the next entry the tools dialog adds has one.
  while (created <= count) {
    Action& a = actions_.addTool(actionPrefix + std::to_string(created), "", 0);
    a.tag = created;
    Action* action = &a;
    if (filters) {
      a.checkable = true;
      a.radioGroup = 1;
      a.handler = [this, action](QObject*) { FilterActionExecute(action->tag); };
    } else {
      a.handler = [this, action](QObject*) { ToolActionExecute(action->tag); };
    }
    auto* item = new MenuProxy(a, menu, true);
    const std::string itemName = itemPrefix + std::to_string(created);
    item->setObjectName(QString::fromStdString(itemName));
    if (filters) {
      if (!filterGroup_) {
        filterGroup_ = new QActionGroup(menu);
        filterGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
      }
      filterGroup_->addAction(item);
    }
    menu->addAction(item);
    menu_.proxies.push_back(item);
    menu_.items[itemName] = item;
    ++created;
  }
  for (int i = 0; i < created; ++i) {
    Action& a = actions_.at(actionPrefix + std::to_string(i));
    const bool used = i < count;
    if (used) {
      a.caption = list[static_cast<size_t>(i)].Caption;
      a.code = list[static_cast<size_t>(i)].ShortCut;
    } else {
      // A spare keeps no key: a shortcut of its own would swallow that key in the window.
      a.code = 0;
    }
    a.visible = used;
    a.enabled = used;
    if (filters) a.checked = i == ActiveFilter;
  }
  if (actions_.onCodesChanged) actions_.onCodesChanged();
}

void TForm1::ToolActionExecute(int n) {
  if (n < 0 || n >= static_cast<int>(Tools.size())) return;
  const TToolItem tool = Tools[static_cast<size_t>(n)];
  // Without a shown document the placeholders stay as written.
  PlaceholderValues values;
  if (IsLaidOut() && !RecentFiles.empty() && RecentFiles.front()) {
    const TFileItem& doc = *RecentFiles.front();
    values = ToolPlaceholderValues(doc.Path, doc.GetLocation(), DisplayLines_, SourceLines_,
                                   Option.GetFirstLineIndex(CurrentPage, 1, 1));
  }
  const std::vector<std::string> args = ExpandTemplate(tool.Param, values);
  if (!tool.FilePath.empty()) {
    // A document named as the program is opened with its own program, as the desktop would.
    if (IsRegularFile(tool.FilePath) && ::access(tool.FilePath.c_str(), X_OK) != 0) {
      env_->openExternally(Absolute(tool.FilePath));
      return;
    }
    env_->launchProgram(tool.FilePath, args);  // a program that does not start says nothing
    return;
  }
  // Without a program only one URL of a known kind or an existing path is opened: page
  // addresses and document names are outside input, never something to run.
  if (args.size() != 1) return;
  const std::string& target = args.front();
  if (IsOpenableUrl(target))
    env_->openExternally(target);
  else if (Exists(target))
    env_->openExternally(Absolute(target));
}

void TForm1::FilterActionExecute(int n) {
  if (RecentFiles.empty() || !RecentFiles.front()) return;
  const std::string path = GetCurrentFileName(RecentFiles);
  if (path.empty()) return;
  if (!IsRegularFile(path)) {
    ShowMessage("[ " + path + kNoFile);
    return;
  }
  PendingRate = IsLaidOut() ? -2 : -1;
  // The checked filter chosen again reads the document without one.
  const int filter = n == ActiveFilter ? -2 : n;
  sources_->OpenFileItem(*RecentFiles.front(), false, filter, 0, true, true);
}

decltype(DocumentSources::RunFilter) TForm1::MakeFilterRunner() {
  return [this](TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml, bool showErrors,
                int index) {
    return yomira::RunFilter(item, lines, codePage, isHtml, showErrors, index,
                     FilterContext{Filters, *this, sources_->ImportHtml, RunLimits{}});
  };
}

}  // namespace yomira
