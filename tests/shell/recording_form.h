// A main window that records the relayouts it runs (and runs them), with a fixture that
// opens documents of numbered one-line paragraphs in a private data folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/main_window.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"

namespace yomira::test {

class RecordingForm : public TForm1 {
 public:
  using TForm1::TForm1;
  std::vector<std::pair<bool, bool>> relayouts;  // (geometry, conversion)
  std::vector<int> pendingRates;                 // PendingRate as each relayout began
  void Relayout(bool force, bool rebuild) override {
    relayouts.emplace_back(force, rebuild);
    pendingRates.push_back(session().state().pendingRate);
    TForm1::Relayout(force, rebuild);
  }
};

// n one-line paragraphs; at the defaults (16 lines a view) 160 give 10 views.
inline std::string NumberedLines(int n) {
  std::u8string text;
  for (int i = 1; i <= n; ++i) {
    const std::string num = std::to_string(i);
    text += u8"第" + std::u8string(num.begin(), num.end()) + u8"行　あいうえおかきくけこ\n";
  }
  return sj(text);
}

class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(docs()); }

  std::filesystem::path docs() const { return home_.path() / "docs"; }

  std::unique_ptr<RecordingForm> Make() {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    auto f = std::make_unique<RecordingForm>(std::move(s));
    f->session().state().option.page_ani = 0;
    return f;
  }

  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(docs() / name, std::ios::binary) << bytes;
  }

  // Opens name (written with bytes) and forgets the relayouts of the open.
  void OpenBytes(RecordingForm& f, const std::string& name, const std::string& bytes) {
    Write(name, bytes);
    f.OpenFileItem((docs() / name).string(), true, -1, 0, false, true);
    ASSERT_TRUE(f.IsLaidOut());
    f.relayouts.clear();
    f.pendingRates.clear();
  }
  void Open(RecordingForm& f, int lines = 160, const std::string& name = "doc.txt") {
    OpenBytes(f, name, NumberedLines(lines));
  }

  TempDir home_;
  FakeShellEnv env_;
};

}  // namespace yomira::test
