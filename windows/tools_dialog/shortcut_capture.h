// The tools dialog's shortcut edit: it holds a 16-bit shortcut code and shows its text; a
// key combination pressed in it becomes the code, typed text never enters it, and its "×"
// button clears it. The text is never read back, so a code without a Qt name survives.
#pragma once

#include <cstdint>
#include <optional>

#include "windows/controls/ux_speed_edit.h"

namespace yomira {

class ShortcutCaptureEdit : public UxSpeedEdit {
  Q_OBJECT

 public:
  explicit ShortcutCaptureEdit(QWidget* parent = nullptr);

  uint16_t code() const { return code_; }
  void setCode(uint16_t code);

  // The code a key press gives: 0 for a lone modifier; nullopt when the codec names no
  // such key (the code is then kept).
  static std::optional<uint16_t> CodeOfKey(const QKeyEvent& e);

 signals:
  void codeChanged(uint16_t code);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  uint16_t code_ = 0;
};

}  // namespace yomira
