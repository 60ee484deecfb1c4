// A whole-file ini document: sections of "key=value" lines, read into memory at once and
// written back at once. Text is UTF-8 in memory; files in cp932 are converted on reading.
// No Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yomira {

class IniDoc {
 public:
  // Larger files are refused as unreadable.
  static constexpr uint64_t kMaxFileSize = 8u << 20;

  enum class LoadResult { Loaded, Missing, Unreadable };

  // Reads a regular file of at most kMaxFileSize bytes. A missing file gives an empty
  // document (Missing); anything else that prevents reading gives an empty document,
  // Unreadable and the reason in err.
  LoadResult LoadFile(const std::string& path, std::string* err = nullptr);

  // Replaces the content by the text of a file: a UTF-8 BOM is dropped; text that is not
  // valid UTF-8 is taken as cp932 as a whole. CR LF, LF and CR end lines.
  void Parse(std::string_view bytes);
  static IniDoc FromText(std::string_view bytes) {
    IniDoc d;
    d.Parse(bytes);
    return d;
  }

  // The document as a file: the preamble, then each section with its lines and one empty
  // line. UTF-8 without BOM, LF line ends.
  std::string Text() const;

  // Writes Text() atomically. Returns the reason of a failure, empty on success.
  std::string UpdateFile(const std::string& path) const;

  // Style files quote some values: with this on, ReadString drops one matching pair of
  // double or single quotes around the value.
  void SetStripQuotes(bool on) { stripQuotes_ = on; }

  // Names compare ASCII-case-insensitively; the first matching section and in it the first
  // matching key count. def only when the section or the key is missing.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // "0x"/"0X" and "$"/"x" hex or decimal, 32 bits; def for any other text.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  // True when the first section of this name holds a key line.
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  // Replaces the first matching key of the first matching section in place, else appends
  // the key to that section, else appends a new section. CR, LF and NUL in any of the three
  // become a blank and bytes that are not UTF-8 become "?", so no value can forge lines.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int64_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Removes every section of this name with all its lines.
  void EraseSection(std::string_view section);

  void Clear();

 private:
  struct Line {
    std::string text;   // the line as it is written (trimmed)
    bool isKey = false;
    std::string key;    // trimmed, for key lines
    std::string value;  // trimmed, for key lines
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
  };

  const Section* FindSection(std::string_view name) const;
  const Line* FindKey(std::string_view section, std::string_view key) const;

  std::vector<std::string> preamble_;
  std::vector<Section> sections_;
  bool stripQuotes_ = false;
};

// ASCII-only case-insensitive equality: only A-Z fold, so UTF-8 and cp932 bytes compare
// unchanged.
bool EqualsAsciiNoCase(std::string_view a, std::string_view b);

}  // namespace yomira
