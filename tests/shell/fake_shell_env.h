// A scripted ShellEnv: records what the program shows and answers from queues.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell_env.h"

namespace yomira::test {

class FakeShellEnv : public ShellEnv {
 public:
  std::vector<std::string> messages;
  std::deque<bool> okCancelAnswers;                    // default OK
  std::deque<std::optional<std::string>> textAnswers;  // default cancelled
  // Runs while an input box is open, as events do under a modal box.
  std::function<void()> whileAsking;
  std::vector<std::string> textDefaults;               // the default text of each input box
  std::vector<std::string> opened;
  std::string clipboard;
  std::vector<std::pair<int, int>> cursorMoves;
  std::string turnSound;
  int plays = 0, stops = 0;
  std::vector<std::string> soundCalls;  // "set <bytes>", "play", "stop" in order

  void showMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> questionCaptions;  // the caption of each OK/Cancel question
  bool askOkCancel(const std::string& caption, const std::string& text) override {
    questionCaptions.push_back(caption);
    messages.push_back(text);
    if (okCancelAnswers.empty()) return true;
    const bool a = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return a;
  }
  std::optional<std::string> askText(const std::string&, const std::string& prompt,
                                     const std::string& defaultText) override {
    messages.push_back(prompt);
    textDefaults.push_back(defaultText);
    if (whileAsking) whileAsking();
    if (textAnswers.empty()) return std::nullopt;
    auto a = textAnswers.front();
    textAnswers.pop_front();
    return a;
  }
  bool openResult = true;  // false: the desktop has no program for it
  bool openExternally(const std::string& target) override {
    opened.push_back(target);
    return openResult;
  }
  // "launch <program> <args...>" for each start, and the vectors themselves.
  std::vector<std::string> launched;
  std::vector<std::vector<std::string>> launchArgs;
  bool launchResult = true;
  bool launchProgram(const std::string& program, const std::vector<std::string>& args) override {
    std::string line = "launch " + program;
    for (const std::string& a : args) line += " " + a;
    launched.push_back(line);
    launchArgs.push_back(args);
    return launchResult;
  }
  std::string clipboardText() override { return clipboard; }
  void setCursorPos(int x, int y) override { cursorMoves.emplace_back(x, y); }
  void setTurnSound(const std::string& wav) override {
    turnSound = wav;
    soundCalls.push_back("set " + std::to_string(wav.size()));
  }
  void playTurnSound() override {
    ++plays;
    soundCalls.push_back("play");
  }
  void stopSound() override {
    ++stops;
    soundCalls.push_back("stop");
  }
};

}  // namespace yomira::test
