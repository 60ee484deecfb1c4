// The actions that bring a document in through the open dialog or a URL, reopen it in
// another code page, clear the history and hand the document or its folder to the desktop.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#include "platform/file/file_ops.h"
#include "platform/file/regular_file.h"
#include "platform/shell_env.h"
#include "shell/main_menu.h"
#include "shell/file_actions.h"
#include "ui/guard.h"
#include "shell/main_window.h"
#include "sources/codepage.h"
#include "sources/history.h"
#include "windows/controls/open_dialog_ex.h"
#include "platform/path/path_parts.h"
#include "platform/qt_text.h"

namespace yomira {
namespace {

std::string WithoutBars(std::string s) {
  std::erase(s, '|');
  return s;
}

// Whether the location of a web entry may go to the desktop's opener.
bool IsWebLocation(const std::string& location) {
  const QUrl url(Q(location));
  return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

}  // namespace

std::string BuildOpenFilter(const ToolItemList& filters) {
  std::string out = "テキスト文章(*.txt,*.html,*.htm)|*.txt;*.html;*.htm";
  for (const TToolItem& f : filters) {
    // A "|" would split the filter string and shift every later pair.
    const std::string patterns = WithoutBars(f.Filter);
    if (patterns.empty()) continue;
    std::string list = patterns;
    std::replace(list.begin(), list.end(), ',', ';');
    out += "|" + WithoutBars(f.Caption) + "(" + patterns + ")|" + list;
  }
  out += "|画像ファイル(*.bmp,*.jpg,*.gif,*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png|WAVファイル(*.wav)|*.wav|すべてのファイル|*";
  return out;
}

void TForm1::bindFileActions() {
  OpenDialogExText = new TOpenDialogEx(this);
  OpenDialogExText->setObjectName(QStringLiteral("OpenDialogExText"));
  QStringList codes;
  for (int i = ccAuto; i <= ccUtf8N; ++i) codes << Q(CharCodeCaption(static_cast<TCharCode>(i)));
  OpenDialogExText->setCharCodeList(codes);
  OpenDialogExText->setCharCodeIndex(0);
  // Restored as it shows (Windows reported a folder change as it opened), saved as it closes.
  OpenDialogExText->OnShow = [this](QFileDialog& d) { RestoreDialogRect(&d); };
  OpenDialogExText->OnClose = [this](QFileDialog& d) {
    SaveDialogRect(&d);
    lastOpenFolder_ = d.directory().absolutePath();
  };

  bindAction("ActionFileOpen", &TForm1::ActionFileOpenExecute);
  bindAction("ActionURLOpen", &TForm1::ActionURLOpenExecute);
  bindAction("ActionOptionRecentClear", &TForm1::ActionOptionRecentClearExecute);
  bindAction("ActionFileToolEditor", &TForm1::ActionFileToolEditorExecute);
  bindAction("ActionFileToolDirectory", &TForm1::ActionFileToolDirectoryExecute);
  bindAction("ActionFileClipboardOpen", &TForm1::ActionFileClipboardOpenExecute);
  bindAction("ActionFileClipboardAdd", &TForm1::ActionFileClipboardAddExecute);
  bindAction("ActionHelpReadme", &TForm1::ActionHelpReadmeExecute);
  bindAction("ActionHelpOnlineHelp", &TForm1::ActionHelpOnlineHelpExecute);
  for (int i = 1; i <= 7; ++i) {
    QAction* item = menu_.items.at("MenuFileReOpen" + std::to_string(i));
    connect(item, &QAction::triggered, this, [this, item] { guarded([&] { MenuFileReOpenClick(item); }); });
  }
}

void TForm1::BuildOpenFilter() { OpenDialogExText->Filter = Q(yomira::BuildOpenFilter(Filters)); }

void TForm1::ActionFileOpenExecute(QObject*) {
  BuildOpenFilter();  // filters edited since start-up show too
  const std::string current = GetCurrentFileName(RecentFiles);
  const QString currentPath = QFile::decodeName(QByteArray::fromStdString(current));
  if (!current.empty() && CheckRegularFile(current, UINT64_MAX) == ReadFileStatus::Ok) {
    OpenDialogExText->FileName = currentPath;
  } else {
    OpenDialogExText->FileName.clear();
    OpenDialogExText->InitialDir = lastOpenFolder_.isEmpty() ? QDir::homePath() : lastOpenFolder_;
  }
  if (!OpenDialogExText->Execute()) return;
  TFileItem entry;
  entry.Kind = fkLocalFile;
  entry.Path = QFile::encodeName(OpenDialogExText->FileName).toStdString();
  const int choice = std::max(0, OpenDialogExText->CharCodeIndex());
  sources_->OpenFileItem(entry, false, -1, choice, false, true);
}

void TForm1::ActionURLOpenExecute(QObject*) { OpenUrl("http://", 0); }

void TForm1::MenuFileReOpenClick(QAction* item) {
  if (!RecentFiles.empty() && RecentFiles.front() && IsLaidOut()) {
    // A copy: opening moves and frees history entries.
    const TFileItem entry = *RecentFiles.front();
    sources_->OpenFileItem(entry, false, -1, item->data().toInt(), false, true);
  }
  // The group has checked the clicked item already, whatever came of the open.
  CheckReOpenCharset();
}

void TForm1::CheckReOpenCharset() {
  // A code page without an item of its own (UTF-16) leaves none checked.
  const int choice = CharCodeFromCodePage(DocumentCodePage);
  for (int i = 2; i <= 7; ++i) {
    QAction* item = menu_.items.at("MenuFileReOpen" + std::to_string(i));
    item->setChecked(choice != 0 && item->data().toInt() == choice);
  }
}

void TForm1::ActionOptionRecentClearExecute(QObject*) {
  if (!RecentFiles.empty()) RecentFiles.resize(1);
  UpdateRecentMenu();
}

void TForm1::ActionFileToolEditorExecute(QObject*) {
  if (!IsLaidOut() || RecentFiles.empty() || !RecentFiles.front()) return;
  const TFileItem& entry = *RecentFiles.front();
  if (entry.Kind == fkWeb) {
    // Only web addresses: a location of another scheme (file:, a program's own) is not run.
    const std::string location = entry.GetLocation();
    if (!IsWebLocation(location)) return;
    if (env_->askOkCancel(this, "関連付け実行", location)) env_->openExternally(location);
  } else if (entry.Kind == fkLocalFile) {
    if (CheckRegularFile(entry.Path, UINT64_MAX) == ReadFileStatus::Ok) env_->openExternally(entry.Path);
  }
}

void TForm1::ActionFileToolDirectoryExecute(QObject*) {
  if (!IsLaidOut()) return;
  std::string folder = ExtractFilePath(GetCurrentFileName(RecentFiles));
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (IsExistingDirectory(folder)) env_->openExternally(folder);
}

}  // namespace yomira
