// The option record's fields by their settings-file keys. One table serves every place
// that addresses a field by name (the developer tools' "-o KEY=VALUE", the settings file).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/core/option.h"

namespace yomira {

enum class OptionKeyKind { Flag, Integer, Characters, String, Colour };

struct OptionKey {
  const char* key;
  OptionKeyKind kind;
  uint8_t TYomiraOption::*flag = nullptr;
  int32_t TYomiraOption::*integer = nullptr;  // Integer and Characters (stored doubled)
  std::string TYomiraOption::*string = nullptr;
  TColor TYomiraOption::*colour = nullptr;
};

// Flags, integers, strings and colours of section "option" and "color", in file order.
std::span<const OptionKey> OptionKeys();
const OptionKey* FindOptionKey(std::string_view key);

// True for the string fields that are matched against document text and so held as cp932
// (wrap_words .. tty2words, kanji_list); the other strings (face names, paths, the
// extension list, the user agent) are UTF-8.
bool IsCp932OptionKey(std::string_view key);

// Sets one field from text: flags 0 or 1, integers in decimal ("v_size" counts characters),
// colours in decimal or "$" and eight hex digits, strings in UTF-8 (the matched ones stored as cp932).
// Returns an empty string on success, else a one-line reason.
std::string SetOptionByKey(TYomiraOption& option, std::string_view key, std::string_view value);

}  // namespace yomira
