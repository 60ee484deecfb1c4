#include "ui/shortcut_codec.h"

#include "ui/key_table.h"
#include "support/test_support.h"

namespace yomira {
namespace {

TEST(ShortcutCodec, CodeToText) {
  struct Case { uint16_t code; const char* text; };
  const Case cases[] = {{0, ""},         {16463, "Ctrl+O"},     {24646, "Ctrl+Shift+F"},
                        {57414, "Ctrl+Alt+Shift+F"},          {8205, "Shift+Return"},
                        {32807, "Alt+Right"}, {34, "PgDown"}, {135, "F24"}, {112, "F1"},
                        {101, "Num+5"}, {186, ":"}, {220, "\\"}, {326, ""}, {255, ""}, {0x2000, ""}};
  for (const Case& c : cases) EXPECT_EQ(ShortcutText(c.code).toStdString(), c.text) << c.code;
}

TEST(ShortcutCodec, QtToCode) {
  using O = std::optional<uint16_t>;
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::ShiftModifier, Qt::Key_Backtab)), O(8201));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::Key_Backtab)), O(8201));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::Key_Enter)), O(13));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter)), O(13));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::KeypadModifier, Qt::Key_Home)), O(36));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::MetaModifier, Qt::Key_F)), std::nullopt);
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F)), O(24646));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::Key_yen)), O(0xDC));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::Key_Minus)), O(0xBD));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::KeypadModifier, Qt::Key_Minus)), O(0x6D));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::KeypadModifier, Qt::Key_5)), O(0x65));
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::Key_Asterisk)), std::nullopt);  // only on the keypad
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::Key_F25)), std::nullopt);
  EXPECT_EQ(QtToShortcut(QKeyCombination(Qt::Key_unknown)), std::nullopt);
}

TEST(ShortcutCodec, UnmappedCodesHaveNoQtKey) {
  for (uint16_t code : {0, 326, 255, 0x07, 0x5B, 0x6C, 0x88, 0xFF, 0x4000})
    EXPECT_EQ(ShortcutToQt(code).key(), Qt::Key_unknown) << code;
}

TEST(ShortcutCodec, EveryMappedCodeGoesToQtAndBack) {
  int mapped = 0;
  for (int vk = 1; vk < 256; ++vk) {
    for (uint16_t mods : {0, 0x2000, 0x4000, 0x8000, 0xE000}) {
      const uint16_t code = static_cast<uint16_t>(vk | mods);
      const QKeyCombination q = ShortcutToQt(code);
      if (q.key() == Qt::Key_unknown) continue;
      ++mapped;
      EXPECT_EQ(QtToShortcut(q), std::optional<uint16_t>(code)) << code;
    }
  }
  // 18 named, 10 + 26, 15 keypad, 24 function keys, 11 punctuation, each with 5 modifier sets.
  EXPECT_EQ(mapped, (18 + 36 + 15 + 24 + 11) * 5);
  for (const KeyTableRow& r : KeyTable()) {
    if (r.defaultCode == 0) continue;
    EXPECT_EQ(QtToShortcut(ShortcutToQt(r.defaultCode)), std::optional<uint16_t>(r.defaultCode)) << r.action;
  }
}

}  // namespace
}  // namespace yomira
