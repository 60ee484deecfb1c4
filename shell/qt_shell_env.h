// The desktop through Qt: message boxes, questions, input boxes, xdg-open, the clipboard and
// the cursor; the page-turn sound through the SDL player, which the first play opens.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/shell_env.h"
#include "platform/sound/turn_sound_player.h"

namespace yomira {

class QtShellEnv : public ShellEnv {
 public:
  // The owner of boxes raised without one while no window of ours is active: the main window.
  void setParent(QWidget* parent) { parent_ = parent; }

  void showMessage(QWidget* owner, const std::string& text) override;
  bool askOkCancel(QWidget* owner, const std::string& caption, const std::string& text) override;
  std::optional<std::string> askText(QWidget* owner, const std::string& caption, const std::string& prompt,
                                     const std::string& defaultText) override;
  bool openExternally(const std::string& target) override;
  bool launchProgram(const std::string& program, const std::vector<std::string>& args) override;
  std::string clipboardText() override;
  void setCursorPos(int x, int y) override;
  void setTurnSound(const std::string& wavBytes) override;
  void playTurnSound() override;
  void stopSound() override;

 private:
  QWidget* ownerOf(QWidget* owner) const;

  QPointer<QWidget> parent_;
  TurnSoundPlayer player_;
  // The sound set since the last play, not yet decoded.
  std::string pendingSound_;
  bool soundPending_ = false;
};

}  // namespace yomira
