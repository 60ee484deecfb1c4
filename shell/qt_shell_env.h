// The desktop through Qt: message boxes, questions, input boxes, xdg-open, the clipboard and
// the cursor. The page-turn sound is kept; playing it comes with the page-turn driver.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/shell_env.h"

namespace yomira {

class QtShellEnv : public ShellEnv {
 public:
  // Boxes are owned by parent (the main window) once it is set.
  void setParent(QWidget* parent) { parent_ = parent; }

  void showMessage(const std::string& text) override;
  bool askOkCancel(const std::string& caption, const std::string& text) override;
  std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                     const std::string& defaultText) override;
  bool openExternally(const std::string& target) override;
  std::string clipboardText() override;
  void setCursorPos(int x, int y) override;
  void setTurnSound(const std::string& wavBytes) override;
  void playTurnSound() override;
  void stopSound() override;

 private:
  QPointer<QWidget> parent_;
  std::string turnSound_;
};

}  // namespace yomira
