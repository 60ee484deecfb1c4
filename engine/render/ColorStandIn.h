// Resolves a stored colour to 0x00BBGGRR. System colours (top bit set) take the fixed
// Windows 7 defaults. Stands in until the settings colour codec is in the tree; every
// caller in the renderer goes through RenderRgb, so the swap is one line.
#pragma once

#include <cstdint>

#include "engine/core/option.h"

namespace yomira {

inline uint32_t RenderRgb(TColor c) {
  if (c & 0x80000000u) {
    static constexpr int64_t kSystem[31] = {0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x544E43, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF, -1, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};
    const uint32_t index = c & 0xFFu;
    if (index >= 31 || kSystem[index] < 0) return 0;
    return static_cast<uint32_t>(kSystem[index]);
  }
  return c & 0xFFFFFFu;
}

}  // namespace yomira
