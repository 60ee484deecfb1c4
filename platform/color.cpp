#include "platform/color.h"

#include <cstdio>

#include "platform/ini.h"
#include "platform/text/cp932.h"

namespace yomira {
namespace {

struct NamedColor {
  const char* name;
  uint32_t value;
};

// In lookup order: ColorToString gives the first name of a value.
constexpr NamedColor kNames[] = {
    {"clBlack", 0x000000},       {"clMaroon", 0x000080},   {"clGreen", 0x008000},
    {"clOlive", 0x008080},       {"clNavy", 0x800000},     {"clPurple", 0x800080},
    {"clTeal", 0x808000},        {"clGray", 0x808080},     {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},         {"clLime", 0x00FF00},     {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},        {"clFuchsia", 0xFF00FF},  {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},       {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},       {"clMedGray", 0xA4A0A0},  {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", kSystemColorFlag | 0},
    {"clBackground", kSystemColorFlag | 1},
    {"clActiveCaption", kSystemColorFlag | 2},
    {"clInactiveCaption", kSystemColorFlag | 3},
    {"clMenu", kSystemColorFlag | 4},
    {"clWindow", kSystemColorFlag | 5},
    {"clWindowFrame", kSystemColorFlag | 6},
    {"clMenuText", kSystemColorFlag | 7},
    {"clWindowText", kSystemColorFlag | 8},
    {"clCaptionText", kSystemColorFlag | 9},
    {"clActiveBorder", kSystemColorFlag | 10},
    {"clInactiveBorder", kSystemColorFlag | 11},
    {"clAppWorkSpace", kSystemColorFlag | 12},
    {"clHighlight", kSystemColorFlag | 13},
    {"clHighlightText", kSystemColorFlag | 14},
    {"clBtnFace", kSystemColorFlag | 15},
    {"clBtnShadow", kSystemColorFlag | 16},
    {"clGrayText", kSystemColorFlag | 17},
    {"clBtnText", kSystemColorFlag | 18},
    {"clInactiveCaptionText", kSystemColorFlag | 19},
    {"clBtnHighlight", kSystemColorFlag | 20},
    {"cl3DDkShadow", kSystemColorFlag | 21},
    {"cl3DLight", kSystemColorFlag | 22},
    {"clInfoText", kSystemColorFlag | 23},
    {"clInfoBk", kSystemColorFlag | 24},
    {"clHotLight", kSystemColorFlag | 26},
    {"clGradientActiveCaption", kSystemColorFlag | 27},
    {"clGradientInactiveCaption", kSystemColorFlag | 28},
    {"clMenuHighlight", kSystemColorFlag | 29},
    {"clMenuBar", kSystemColorFlag | 30},
};

// The system colours of a fixed light scheme, as 0xRRGGBB by index; -1 where none.
constexpr int32_t kSystemRgb[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, -1,       0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

std::string Hex2(uint32_t v) {
  char buf[3];
  std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
  return buf;
}

}  // namespace

std::optional<uint32_t> TryStrToColor(std::string_view text) {
  for (const NamedColor& n : kNames)
    if (EqualsAsciiNoCase(text, n.name)) return n.value;
  if (const auto v = TryStrToInt(text)) return static_cast<uint32_t>(*v);
  return std::nullopt;
}

uint32_t StrToColorDef(std::string_view text, uint32_t def) { return TryStrToColor(text).value_or(def); }

std::string ColorToString(uint32_t color) {
  for (const NamedColor& n : kNames)
    if (n.value == color) return n.name;
  char buf[10];
  std::snprintf(buf, sizeof buf, "$%08X", color);
  return buf;
}

std::string ColorToHtml(uint32_t color) {
  return "#" + Hex2(color) + Hex2((color & 0xFFFF) >> 8) + Hex2(color >> 16);
}

uint32_t HtmlToColor(std::string_view text) {
  if (text.size() != 7) return 0;
  uint32_t c = 0;
  for (int i = 0; i < 3; ++i) {
    const int32_t v = StrToIntDef("0x" + std::string(text.substr(1 + 2 * i, 2)), 0);
    c |= static_cast<uint32_t>(v & 0xFF) << (8 * i);
  }
  return c;
}

uint32_t ColorToRgb(uint32_t color) {
  if (color & kSystemColorFlag) {
    const uint32_t index = color & 0xFF;
    if (index >= std::size(kSystemRgb) || kSystemRgb[index] < 0) return 0;
    const uint32_t rgb = static_cast<uint32_t>(kSystemRgb[index]);
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  }
  return color & 0xFFFFFF;
}

}  // namespace yomira
