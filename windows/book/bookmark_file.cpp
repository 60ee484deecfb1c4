#include "windows/book/bookmark_file.h"

#include <vector>

#include "platform/atomic_file.h"
#include "platform/file/regular_file.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace yomira {

namespace {

bool IsLineBreaking(char c) { return c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

std::string Blanked(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (IsLineBreaking(c)) c = ' ';
  return out;
}

}  // namespace

void ParseBookMarkLine(FileItemList& list, std::string_view line) {
  if (line.empty()) return;
  std::vector<std::string_view> fields;
  size_t from = 0;
  for (;;) {
    const size_t tab = line.find('\t', from);
    if (tab == std::string_view::npos) {
      if (from < line.size()) fields.push_back(line.substr(from));
      break;
    }
    fields.push_back(line.substr(from, tab - from));
    from = tab + 1;
    if (from == line.size()) break;  // a final TAB opens no field
  }
  if (fields.size() < 2 || fields.size() > 3) return;
  auto entry = std::make_unique<TFileItem>();
  const std::string_view first = fields[0];
  if (first.size() >= 5 && first.substr(0, 4) == "http") {
    entry->Kind = fkWeb;
    entry->Href = std::string(first);
  } else {
    entry->Kind = fkLocalFile;
    entry->Path = std::string(first);
  }
  const auto rate = TryStrToIntDecimal(fields[1]);
  entry->Rate = rate && *rate >= -1 && *rate <= 10000 ? *rate : 0;
  if (fields.size() == 3) entry->Title = std::string(fields[2]);
  list.push_back(std::move(entry));
}

bool IsStorableBookMarkLocation(std::string_view location) {
  if (location.empty()) return false;
  for (char c : location)
    if (IsLineBreaking(c)) return false;
  return true;
}

std::string BookMarksText(const FileItemList& list) {
  std::string out;
  for (const auto& e : list) {
    if (!e) continue;
    if (e->Kind == fkLocalFile) {
      if (!IsStorableBookMarkLocation(e->Path)) continue;
      out += e->Path + '\t' + std::to_string(e->Rate) + '\n';
    } else if (e->Kind == fkWeb) {
      const std::string location = e->GetLocation();
      if (!IsStorableBookMarkLocation(location)) continue;
      out += location + '\t' + std::to_string(e->Rate) + '\t' + Blanked(e->Title) + '\n';
    }
  }
  return out;
}

BookMarkLoad LoadBookMarks(const std::string& path, FileItemList& list) {
  std::string bytes;
  const ReadFileStatus s = ReadRegularFile(path, kMaxBookMarkFileBytes, bytes);
  if (s == ReadFileStatus::Missing) return BookMarkLoad::Missing;
  list.clear();
  if (s != ReadFileStatus::Ok) return BookMarkLoad::Failed;
  for (const std::string& line : SplitLines(DecodeUtf8OrCp932(bytes))) ParseBookMarkLine(list, line);
  return BookMarkLoad::Loaded;
}

std::string SaveBookMarks(const std::string& path, const FileItemList& list) {
  return AtomicWriteFile(path, BookMarksText(list));
}

}  // namespace yomira
