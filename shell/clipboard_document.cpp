// The clipboard as a document: its text is written to "ClipBord.txt" in the data folder
// (UTF-8, "\n" after every line, written atomically) and opened from there; the add action
// appends it to what the file holds.
#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/file/regular_file.h"
#include "platform/shell_env.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "shell/main_window.h"
#include "sources/codepage.h"

namespace yomira {
namespace {

constexpr const char* kClipboardFile = "ClipBord.txt";
constexpr const char* kClipboardFailed = "クリップボード用のファイルを作成できませんでした。";

// Every line followed by "\n"; a NUL, which would end the line for some readers, is a blank.
std::string DocumentText(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) {
    out += l;
    out += '\n';
  }
  std::replace(out.begin(), out.end(), '\0', ' ');
  return out;
}

// The written file, opened at its start in the code page it was written in.
void OpenAtStart(TForm1& form, const std::string& path) {
  form.session().state().pendingRate = 0;
  TFileItem entry;
  entry.Kind = fkLocalFile;
  entry.Path = path;
  form.sources().OpenFileItem(entry, false, -1, ccUtf8N, false, true);
}

}  // namespace

void TForm1::OpenClipboardText(const std::string& text) {
  const std::vector<std::string> lines = SplitLines(text);
  // One line that is a web address opens the page instead.
  if (lines.size() == 1 && lines[0].size() > 4 && lines[0].compare(0, 4, "http") == 0) {
    OpenUrl(lines[0], 0);
    return;
  }
  const std::string path = DataFilePath(kClipboardFile);
  if (!AtomicWriteFile(path, DocumentText(lines)).empty()) {
    ShowMessage(kClipboardFailed);
    return;
  }
  OpenAtStart(*this, path);
}

void TForm1::ActionFileClipboardOpenExecute(QObject*) {
  const std::string text = env_->clipboardText();  // another process owns it: read once
  if (text.empty()) return;
  OpenClipboardText(text);
}

void TForm1::ActionFileClipboardAddExecute(QObject*) {
  const std::string text = env_->clipboardText();
  const std::string path = DataFilePath(kClipboardFile);
  std::string bytes;
  const ReadFileStatus st = ReadRegularFile(path, kMaxTextFileBytes, bytes);
  if (st == ReadFileStatus::Missing) {
    if (!text.empty()) OpenClipboardText(text);
    return;
  }
  if (text.empty()) return;
  if (st != ReadFileStatus::Ok) {
    ShowMessage(kClipboardFailed);
    return;
  }
  std::string joined = DocumentText(SplitLines(DecodeUtf8OrCp932(bytes)));
  joined += text;
  if (!AtomicWriteFile(path, DocumentText(SplitLines(joined))).empty()) {
    ShowMessage(kClipboardFailed);
    return;
  }
  OpenAtStart(*this, path);
}

}  // namespace yomira
