// What the settings dialog shows, control by control, as plain data: the main window fills
// it from an option record and reads it back, the dialog draws it. Also the detail grid's
// item table with its pick lists, the colour lists the five colour combos share, and the
// shortening of a file name to a path label. No Qt; all text UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace yomira {

// ---------------------------------------------------------------- controls

// The check boxes in mapping order (bg_image, strict, aut_indent, page_ani, images,
// ruby_tag, UseCover, ParseHTML, UseSound, text_aa, ruby_aa, bold, MSS, UseShadow, re_wrap,
// toRuby).
inline constexpr std::array<const char*, 16> kSetupCheckBoxes = {
    "CheckBoxUseImage",     "CheckBoxUseStrict",    "CheckBoxUseAutoIndent", "CheckBoxUseAnimate",
    "CheckBoxUseYomiraTag", "CheckBoxUseAozora",    "CheckBoxUseCover",      "CheckBoxParseHTML",
    "CheckBoxUseSound",     "CheckBoxFontOutline",  "CheckBoxRubyOutline",   "CheckBoxFontBold",
    "CheckBoxUsePaperLine", "CheckBoxUseShadow",    "CheckBoxUseReWrap",     "CheckBoxUseToRuby"};

struct SetupSpinEdit {
  const char* name;
  int32_t min;
  int32_t max;
};

// The spin edits in mapping order (f_size, ruby_size, s_size, m_size, c_size, v_size / 2,
// yohaku_w, yohaku_h, Colum, yohaku_c, Page, PageMargin) with the dialog's ranges.
inline constexpr std::array<SetupSpinEdit, 12> kSetupSpinEdits = {{
    {"SpinEditFontSize", 6, 256},      {"SpinEditRubySize", 0, 256},     {"SpinEditColExtent", -5, 256},
    {"SpinEditRowExtent", -5, 256},    {"SpinEditCols", 5, 256},         {"SpinEditRows", 5, 256},
    {"SpinEditColMargin", 0, 256},     {"SpinEditRowMargin", 0, 256},    {"SpinEditColumns", 1, 8},
    {"SpinEditColumnMargin", -64, 256}, {"SpinEditViewPage", 1, 8},      {"SpinEditViewPageMargin", 0, 256}}};

// bg_image_str, SoundPath.
inline constexpr std::array<const char*, 2> kSetupPathLabels = {"StaticTextImagePath", "StaticTextSoundPath"};

// text_color, ruby_color, back_color, mss_color, ShadowColor; with the names a colour that is
// shown but not listed is added under.
inline constexpr std::array<const char*, 5> kSetupColourCombos = {
    "ComboBoxFontColor", "ComboBoxRubyColor", "ComboBoxBackColor", "ComboBoxPaperColor", "ComboBoxShadowColor"};
inline constexpr std::array<const char*, 5> kSetupColourNames = {"FontColor", "RubyColor", "BackColor",
                                                                 "PaperColor", "ShadowColor"};

// ---------------------------------------------------------------- the detail grid

enum class SetupItemStyle { Edit, ComboList };
// What a change of the item makes Apply do besides copying it.
enum class SetupItemChange { None, Reformat, FileList };

struct SetupGridItem {
  const char* name;     // "ItemAnimateQuality"
  const char* section;  // "ページ捲り効果"
  const char* key;      // "Level"
  SetupItemStyle style;
  char pickList;        // 'Q', 'W', 'R', 'M', 'H', 'X', 'T'; 0 for an edit item
  SetupItemChange change;
};

// The 36 items in the grid's order.
extern const std::array<SetupGridItem, 36> kSetupGridItems;

// The entries of a pick list by its letter; empty for an unknown letter.
const std::vector<std::string>& PickListByLetter(char letter);
// The pick list of an item; empty for an edit item or an unknown name.
const std::vector<std::string>& PickList(std::string_view itemName);
// The row of an item in kSetupGridItems, -1 for an unknown name.
int SetupGridIndex(std::string_view itemName);

// ---------------------------------------------------------------- colour lists

// The entries the five colour combos share (one list, five selections) with the display
// name of each entry.
class FavoriteColorList {
 public:
  struct Entry {
    std::string text;  // list notation as read ("#FFFAF0"; not checked)
    std::string name;  // display name (a leading blank belongs to it)
    bool operator==(const Entry&) const = default;
  };

  const std::vector<Entry>& entries() const { return entries_; }
  int size() const { return static_cast<int>(entries_.size()); }
  void Clear() { entries_.clear(); }
  void Append(std::string text, std::string name) { entries_.push_back({std::move(text), std::move(name)}); }
  // The first entry whose text equals text ignoring ASCII case; -1 for none.
  int IndexOf(std::string_view text) const;

  // Replaces the entries by those of a favourite-colour file: each line longer than 7 bytes
  // gives an entry of its first 7 bytes, named by the rest. A missing file leaves the list
  // empty and gives ""; a file that is not a regular file of at most kMaxFileBytes, or that
  // cannot be read, leaves it empty and gives the message to show.
  std::string LoadFavoriteFile(const std::string& path);

  static constexpr uint64_t kMaxFileBytes = 1u << 20;
  static constexpr const char* kFileName = "favorite.dat";

  bool operator==(const FavoriteColorList&) const = default;

 private:
  std::vector<Entry> entries_;
};

// ---------------------------------------------------------------- values

struct SetupPathValue {
  std::string filePath;  // the path the label stands for
  std::string caption;   // what it shows, "( name )"
  bool operator==(const SetupPathValue&) const = default;
};

struct SetupColourValue {
  std::string text;      // list notation shown
  int selected = -1;     // the entry selected in the shared list, -1 none
  int tag = -1;          // the selection last chosen or shown (drawn bold)
  uint32_t filledFrom = 0;  // the colour the fill showed: untouched text reads it back
  bool operator==(const SetupColourValue&) const = default;
};

struct SetupValues {
  std::string styleText;                      // ComboBoxStyle
  std::array<bool, 16> checks{};              // kSetupCheckBoxes
  std::array<int32_t, 12> spins{};            // kSetupSpinEdits, the value shown
  std::array<SetupPathValue, 2> paths;        // kSetupPathLabels
  std::string font2ByteName;                  // ComboBoxFont2ByteName
  std::string font1ByteName;                  // ComboBoxFont1ByteName
  std::array<SetupColourValue, 5> colours;    // kSetupColourCombos
  std::array<std::string, 36> items;          // value texts in kSetupGridItems order

  // By component name; nullptr for a name of another kind or an unknown one.
  bool* check(std::string_view name);
  int32_t* spin(std::string_view name);
  SetupPathValue* path(std::string_view name);
  SetupColourValue* colour(std::string_view name);
  std::string* item(std::string_view name);
  const bool* check(std::string_view name) const;
  const int32_t* spin(std::string_view name) const;
  const SetupPathValue* path(std::string_view name) const;
  const SetupColourValue* colour(std::string_view name) const;
  const std::string* item(std::string_view name) const;

  bool operator==(const SetupValues&) const = default;
};

// Index of name in one of the name tables above, -1 when absent.
int SetupCheckIndex(std::string_view name);
int SetupSpinIndex(std::string_view name);
int SetupPathIndex(std::string_view name);
int SetupColourIndex(std::string_view name);

// ---------------------------------------------------------------- path captions

// The caption of a path label for a file name: "( 参照 )" when empty, else "( name )" when
// narrower than maxWidth, else the longest prefix (whole characters) with "... )" that is
// narrower, down to one byte. widthFn measures UTF-8 text in the label's font.
std::string FitParenText(const std::string& textUtf8, int maxWidth,
                         const std::function<int(const std::string&)>& widthFn);

}  // namespace yomira
