#include "ui/shortcut_codec.h"

#include <QKeySequence>

namespace yomira {
namespace {

struct KeyMap {
  uint8_t vk;
  Qt::Key key;
  bool keypad;
};

// Named keys, keypad keys and the punctuation of a Japanese keyboard. Digits, letters and
// function keys follow from their ranges.
constexpr KeyMap kKeys[] = {
    {0x08, Qt::Key_Backspace, false}, {0x09, Qt::Key_Tab, false},
    {0x0D, Qt::Key_Return, false},    {0x13, Qt::Key_Pause, false},
    {0x1B, Qt::Key_Escape, false},    {0x20, Qt::Key_Space, false},
    {0x21, Qt::Key_PageUp, false},    {0x22, Qt::Key_PageDown, false},
    {0x23, Qt::Key_End, false},       {0x24, Qt::Key_Home, false},
    {0x25, Qt::Key_Left, false},      {0x26, Qt::Key_Up, false},
    {0x27, Qt::Key_Right, false},     {0x28, Qt::Key_Down, false},
    {0x2C, Qt::Key_Print, false},     {0x2D, Qt::Key_Insert, false},
    {0x2E, Qt::Key_Delete, false},    {0x5D, Qt::Key_Menu, false},
    {0x6A, Qt::Key_Asterisk, true},   {0x6B, Qt::Key_Plus, true},
    {0x6D, Qt::Key_Minus, true},      {0x6E, Qt::Key_Period, true},
    {0x6F, Qt::Key_Slash, true},
    {0xBA, Qt::Key_Colon, false},     {0xBB, Qt::Key_Semicolon, false},
    {0xBC, Qt::Key_Comma, false},     {0xBD, Qt::Key_Minus, false},
    {0xBE, Qt::Key_Period, false},    {0xBF, Qt::Key_Slash, false},
    {0xC0, Qt::Key_At, false},        {0xDB, Qt::Key_BracketLeft, false},
    {0xDC, Qt::Key_Backslash, false}, {0xDD, Qt::Key_BracketRight, false},
    {0xDE, Qt::Key_AsciiCircum, false},
};

// The Qt key of a virtual key and whether it is on the keypad; Key_unknown when none.
std::pair<Qt::Key, bool> VkToQt(uint8_t vk) {
  if (vk >= 0x30 && vk <= 0x39) return {static_cast<Qt::Key>(Qt::Key_0 + (vk - 0x30)), false};
  if (vk >= 0x41 && vk <= 0x5A) return {static_cast<Qt::Key>(Qt::Key_A + (vk - 0x41)), false};
  if (vk >= 0x60 && vk <= 0x69) return {static_cast<Qt::Key>(Qt::Key_0 + (vk - 0x60)), true};
  if (vk >= 0x70 && vk <= 0x87) return {static_cast<Qt::Key>(Qt::Key_F1 + (vk - 0x70)), false};
  for (const KeyMap& m : kKeys)
    if (m.vk == vk) return {m.key, m.keypad};
  return {Qt::Key_unknown, false};
}

std::optional<uint8_t> QtToVk(int key, bool keypad) {
  if (key == Qt::Key_Enter) return 0x0D;
  if (key == Qt::Key_yen) return 0xDC;
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint8_t>((keypad ? 0x60 : 0x30) + (key - Qt::Key_0));
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>(0x41 + (key - Qt::Key_A));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<uint8_t>(0x70 + (key - Qt::Key_F1));
  // The keypad flag matters only for its digits and operators: keypad Home is Home.
  for (const KeyMap& m : kKeys)
    if (m.key == key && m.keypad && keypad) return m.vk;
  for (const KeyMap& m : kKeys)
    if (m.key == key && !m.keypad) return m.vk;
  return std::nullopt;
}

}  // namespace

QKeyCombination ShortcutToQt(uint16_t code) {
  // Bits 8-12 belong to no key and no modifier.
  if (code == 0 || (code & 0x1F00) != 0) return QKeyCombination(Qt::Key_unknown);
  const auto [key, keypad] = VkToQt(static_cast<uint8_t>(code & 0xFF));
  if (key == Qt::Key_unknown) return QKeyCombination(Qt::Key_unknown);
  Qt::KeyboardModifiers mods;
  if (code & kShortcutShift) mods |= Qt::ShiftModifier;
  if (code & kShortcutCtrl) mods |= Qt::ControlModifier;
  if (code & kShortcutAlt) mods |= Qt::AltModifier;
  if (keypad) mods |= Qt::KeypadModifier;
  return QKeyCombination(mods, key);
}

std::optional<uint16_t> QtToShortcut(QKeyCombination combination) {
  const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
  if (mods & Qt::MetaModifier) return std::nullopt;
  int key = combination.key();
  uint16_t code = 0;
  if (key == Qt::Key_Backtab) {
    // Shift+Tab arrives as its own key.
    key = Qt::Key_Tab;
    code |= kShortcutShift;
  }
  const auto vk = QtToVk(key, (mods & Qt::KeypadModifier) != 0);
  if (!vk) return std::nullopt;
  code |= *vk;
  if (mods & Qt::ShiftModifier) code |= kShortcutShift;
  if (mods & Qt::ControlModifier) code |= kShortcutCtrl;
  if (mods & Qt::AltModifier) code |= kShortcutAlt;
  return code;
}

QString ShortcutText(uint16_t code) {
  const QKeyCombination c = ShortcutToQt(code);
  if (c.key() == Qt::Key_unknown) return {};
  return QKeySequence(c).toString(QKeySequence::PortableText);
}

uint16_t ShortcutFromText(const QString& text) {
  const QKeySequence seq = QKeySequence::fromString(text, QKeySequence::PortableText);
  if (seq.isEmpty()) return 0;
  // Qt reads any text ("foo", "Ctrl+") as one unknown key: only the code tells.
  return QtToShortcut(seq[0]).value_or(0);
}

}  // namespace yomira
