#include "engine/core/option_keys.h"

#include <array>
#include <cstdlib>

#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace yomira {
namespace {

using O = TYomiraOption;
using K = OptionKeyKind;

constexpr OptionKey Flag(const char* key, uint8_t O::*f) { return {key, K::Flag, f, nullptr, nullptr, nullptr}; }
constexpr OptionKey Int(const char* key, int32_t O::*i, K kind = K::Integer) {
  return {key, kind, nullptr, i, nullptr, nullptr};
}
constexpr OptionKey Str(const char* key, std::string O::*s) { return {key, K::String, nullptr, nullptr, s, nullptr}; }
constexpr OptionKey Col(const char* key, TColor O::*c) { return {key, K::Colour, nullptr, nullptr, nullptr, c}; }

const auto kKeys = std::to_array<OptionKey>({
    Flag("bg_image", &O::bg_image), Flag("strict", &O::strict), Flag("aut_indent", &O::aut_indent),
    Flag("page_ani", &O::page_ani), Flag("images", &O::images), Flag("ruby_tag", &O::ruby_tag),
    Flag("UseCover", &O::UseCover), Flag("UseSound", &O::UseSound), Flag("text_aa", &O::text_aa),
    Flag("ruby_aa", &O::ruby_aa), Flag("bold", &O::bold), Flag("MSS", &O::MSS),
    Flag("UseShadow", &O::UseShadow), Flag("re_wrap", &O::re_wrap), Flag("toRuby", &O::toRuby),
    Flag("ParseHTML", &O::ParseHTML),
    Int("f_size", &O::f_size), Int("ruby_size", &O::ruby_size), Int("s_size", &O::s_size),
    Int("m_size", &O::m_size), Int("c_size", &O::c_size), Int("v_size", &O::v_size, K::Characters),
    Int("yohaku_w", &O::yohaku_w), Int("yohaku_h", &O::yohaku_h), Int("Colum", &O::Colum),
    Int("yohaku_c", &O::yohaku_c), Int("Page", &O::Page), Int("PageMargin", &O::PageMargin),
    Int("Quality", &O::Quality), Int("TimeOut", &O::TimeOut), Int("ReWrapType", &O::ReWrapType),
    Int("Resize", &O::Resize), Int("ResizeCtrl", &O::ResizeCtrl), Int("TrackLeft", &O::TrackLeft),
    Int("TrackRight", &O::TrackRight), Int("TrackMiddle", &O::TrackMiddle),
    Col("text_color", &O::text_color), Col("ruby_color", &O::ruby_color), Col("back_color", &O::back_color),
    Col("mss_color", &O::mss_color), Col("ShadowColor", &O::ShadowColor),
    Str("font_family", &O::font_family), Str("font2family", &O::font2family),
    Str("wrap_words", &O::wrap_words), Str("wrap_word2", &O::wrap_word2), Str("kanji_list", &O::kanji_list),
    Str("indent_words", &O::indent_words), Str("re_wrap_words", &O::re_wrap_words),
    Str("WrapChar", &O::WrapChar), Str("str_kaeri", &O::str_kaeri), Str("tty_words", &O::tty_words),
    Str("tty2words", &O::tty2words), Str("bg_image_str", &O::bg_image_str), Str("SoundPath", &O::SoundPath),
    Str("filelist_ext", &O::filelist_ext), Str("HTTPAgent", &O::HTTPAgent),
});

bool ParseColour(std::string_view text, TColor& out) {
  if (!text.empty() && text[0] == '$') {
    if (text.size() != 9) return false;
    uint32_t v = 0;
    for (char c : text.substr(1)) {
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return false;
      v = v << 4 | static_cast<uint32_t>(d);
    }
    out = v;
    return true;
  }
  int32_t v = StrToIntDef(text, -1);
  if (v < 0) return false;
  out = static_cast<TColor>(v);
  return true;
}

}  // namespace

std::span<const OptionKey> OptionKeys() { return kKeys; }

const OptionKey* FindOptionKey(std::string_view key) {
  for (const OptionKey& k : kKeys)
    if (key == k.key) return &k;
  return nullptr;
}

std::string SetOptionByKey(TYomiraOption& option, std::string_view key, std::string_view value) {
  const OptionKey* k = FindOptionKey(key);
  if (!k) return "unknown key " + std::string(key);
  const std::string bad = "bad value for " + std::string(key) + ": " + std::string(value);
  switch (k->kind) {
    case K::Flag:
      if (value != "0" && value != "1") return bad;
      option.*(k->flag) = value == "1";
      return {};
    case K::Integer:
    case K::Characters: {
      constexpr int32_t kNone = INT32_MIN;
      int32_t v = StrToIntDef(value, kNone);
      if (v == kNone || (k->kind == K::Characters && (v > 1 << 20 || v < -(1 << 20)))) return bad;
      option.*(k->integer) = k->kind == K::Characters ? v * 2 : v;
      return {};
    }
    case K::Colour: {
      TColor c = 0;
      if (!ParseColour(value, c)) return bad;
      option.*(k->colour) = c;
      return {};
    }
    case K::String:
      option.*(k->string) = IsCp932OptionKey(k->key) ? Utf8ToCp932(value) : std::string(value);
      return {};
  }
  return bad;
}

bool IsCp932OptionKey(std::string_view key) {
  static constexpr std::string_view kCp932[] = {"wrap_words", "wrap_word2",    "kanji_list",
                                                "indent_words", "re_wrap_words", "WrapChar",
                                                "str_kaeri",  "tty_words",     "tty2words"};
  for (std::string_view k : kCp932)
    if (k == key) return true;
  return false;
}

}  // namespace yomira
