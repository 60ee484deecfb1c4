#include "platform/ini.h"

#include "platform/atomic_file.h"
#include "platform/file/regular_file.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace yomira {
namespace {

// What a written name or value may hold: nothing that ends a line, valid UTF-8.
std::string Clean(std::string_view s) {
  std::string out = SanitizeUtf8(s);
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return out;
}

}  // namespace

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

void IniDoc::Clear() {
  preamble_.clear();
  sections_.clear();
}

IniDoc::LoadResult IniDoc::LoadFile(const std::string& path, std::string* err) {
  Clear();
  std::string bytes;
  const ReadFileStatus st = ReadRegularFile(path, kMaxFileSize, bytes);
  const char* why = nullptr;
  switch (st) {
    case ReadFileStatus::Ok:
      Parse(bytes);
      return LoadResult::Loaded;
    case ReadFileStatus::Missing:
      return LoadResult::Missing;
    case ReadFileStatus::NotRegular:
      why = "not a regular file";
      break;
    case ReadFileStatus::TooLarge:
      why = "larger than 8 MiB";
      break;
    case ReadFileStatus::ReadError:
      why = "read error";
      break;
  }
  if (err) *err = path + ": " + why;
  return LoadResult::Unreadable;
}

void IniDoc::Parse(std::string_view bytes) {
  Clear();
  // Decode first, then split: a cp932 trail byte can look like "]" or "\".
  const std::string text = DecodeUtf8OrCp932(bytes);
  for (const std::string& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      sections_.push_back({Trim(std::string_view(line).substr(1, line.size() - 2)), {}});
      continue;
    }
    Line l;
    if (line.front() != ';') {
      const auto eq = line.find('=');
      if (eq != std::string::npos) {
        l.isKey = true;
        l.key = Trim(std::string_view(line).substr(0, eq));
        l.value = Trim(std::string_view(line).substr(eq + 1));
      }
    }
    l.text = std::move(line);
    if (sections_.empty()) {
      // Before the first header: kept as it is, never matched.
      preamble_.push_back(std::move(l.text));
    } else {
      sections_.back().lines.push_back(std::move(l));
    }
  }
}

std::string IniDoc::Text() const {
  std::string out;
  for (const std::string& l : preamble_) {
    out += l;
    out += '\n';
  }
  for (const Section& s : sections_) {
    out += '[';
    out += s.name;
    out += "]\n";
    for (const Line& l : s.lines) {
      out += l.text;
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

std::string IniDoc::UpdateFile(const std::string& path) const {
  try {
    return AtomicWriteFile(path, Text());
  } catch (const std::exception& e) {
    return path + ": " + e.what();
  }
}

const IniDoc::Section* IniDoc::FindSection(std::string_view name) const {
  for (const Section& s : sections_)
    if (EqualsAsciiNoCase(s.name, name)) return &s;
  return nullptr;
}

const IniDoc::Line* IniDoc::FindKey(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  for (const Line& l : s->lines)
    if (l.isKey && EqualsAsciiNoCase(l.key, key)) return &l;
  return nullptr;
}

std::string IniDoc::ReadString(std::string_view section, std::string_view key,
                               std::string_view def) const {
  const Line* l = FindKey(section, key);
  if (!l) return std::string(def);
  const std::string& v = l->value;
  if (stripQuotes_ && v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

int32_t IniDoc::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const Line* l = FindKey(section, key);
  if (!l) return def;
  std::string t = l->value;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) t = "$" + t.substr(2);
  return StrToIntDef(t, def);
}

bool IniDoc::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniDoc::SectionExists(std::string_view section) const {
  const Section* s = FindSection(section);
  if (!s) return false;
  for (const Line& l : s->lines)
    if (l.isKey) return true;
  return false;
}

bool IniDoc::ValueExists(std::string_view section, std::string_view key) const {
  return FindKey(section, key) != nullptr;
}

void IniDoc::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string name = Clean(section);
  Line line;
  line.isKey = true;
  line.key = Clean(key);
  line.value = Clean(value);
  line.text = line.key + "=" + line.value;
  Section* s = const_cast<Section*>(FindSection(name));
  if (!s) {
    sections_.push_back({name, {}});
    s = &sections_.back();
  }
  for (Line& l : s->lines) {
    if (l.isKey && EqualsAsciiNoCase(l.key, line.key)) {
      l = std::move(line);
      return;
    }
  }
  s->lines.push_back(std::move(line));
}

void IniDoc::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniDoc::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniDoc::EraseSection(std::string_view section) {
  std::erase_if(sections_, [&](const Section& s) { return EqualsAsciiNoCase(s.name, section); });
}

}  // namespace yomira
