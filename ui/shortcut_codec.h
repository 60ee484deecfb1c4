// Shortcut codes as the key file keeps them (virtual key | 0x2000 Shift | 0x4000 Ctrl |
// 0x8000 Alt) to and from Qt key combinations.
#pragma once

#include <QKeyCombination>
#include <QString>

#include <cstdint>
#include <optional>

namespace yomira {

constexpr uint16_t kShortcutShift = 0x2000;
constexpr uint16_t kShortcutCtrl = 0x4000;
constexpr uint16_t kShortcutAlt = 0x8000;

// The Qt combination of a code; Qt::Key_unknown for 0 and for codes without a Qt key (such
// codes are kept as they are and written back unchanged).
QKeyCombination ShortcutToQt(uint16_t code);

// The code of a combination; none for keys without a code and for the Meta modifier.
std::optional<uint16_t> QtToShortcut(QKeyCombination combination);

// The portable text of a code, such as "Ctrl+Shift+F"; "" for 0 and unmapped codes.
QString ShortcutText(uint16_t code);

// The code of the first key of a portable shortcut text ("Ctrl+Shift+A"); 0 when the text
// names no key with a code.
uint16_t ShortcutFromText(const QString& text);

}  // namespace yomira
