// What the program asks of the desktop: message boxes, questions, input boxes, opening a
// document with its program, the clipboard, the cursor and the page-turn sound. The main
// window holds one; tests hand it a scripted fake. Strings are UTF-8. A box belongs to the
// window that raised it (owner, a QWidget; null: the active window, else the main window) and
// opens centred on it.
#pragma once

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace yomira {

class ShellEnv {
 public:
  virtual ~ShellEnv() = default;

  // A modal message box with an OK button.
  virtual void showMessage(QWidget* owner, const std::string& text) = 0;
  // OK/Cancel question; true for OK.
  virtual bool askOkCancel(QWidget* owner, const std::string& caption, const std::string& text) = 0;
  // Input box; nullopt when cancelled.
  virtual std::optional<std::string> askText(QWidget* owner, const std::string& caption,
                                             const std::string& prompt, const std::string& defaultText) = 0;
  // Opens a path or URL with the desktop's associated program; false when it could not.
  virtual bool openExternally(const std::string& target) = 0;
  // Starts program with args and does not wait for it: an argument vector, never a shell;
  // no standard input; the reader's folder and environment. A name without "/" is looked
  // up on PATH. False when it could not start (a desktop without programs: always).
  virtual bool launchProgram(const std::string& program, const std::vector<std::string>& args) {
    (void)program;
    (void)args;
    return false;
  }
  // The clipboard's text; "" when it holds none.
  virtual std::string clipboardText() = 0;
  virtual void setCursorPos(int x, int y) = 0;
  // The page-turn sound as a WAV image held in memory; empty bytes: none.
  virtual void setTurnSound(const std::string& wavBytes) = 0;
  virtual void playTurnSound() = 0;
  virtual void stopSound() = 0;
};

// No desktop: nothing is shown, asked (every question answers Cancel) or played. For the
// developer tools and benchmarks, which run without one.
class NullShellEnv : public ShellEnv {
 public:
  void showMessage(QWidget*, const std::string&) override {}
  bool askOkCancel(QWidget*, const std::string&, const std::string&) override { return false; }
  std::optional<std::string> askText(QWidget*, const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  bool openExternally(const std::string&) override { return false; }
  std::string clipboardText() override { return {}; }
  void setCursorPos(int, int) override {}
  void setTurnSound(const std::string&) override {}
  void playTurnSound() override {}
  void stopSound() override {}
};

}  // namespace yomira
