#include "shell/turn_sound.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/option.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

// Records the order of the player calls: the bytes must never change under a play.
struct OrderedEnv : test::FakeShellEnv {
  std::vector<std::string> calls;
  void setTurnSound(const std::string& wav) override {
    FakeShellEnv::setTurnSound(wav);
    calls.push_back("set " + std::to_string(wav.size()));
  }
  void stopSound() override {
    FakeShellEnv::stopSound();
    calls.push_back("stop");
  }
};

// The harness's click: 8 kHz, 8 bit, mono, 400 silent frames.
std::string ClickWav() {
  std::string w = test::bytes({'R', 'I', 'F', 'F', 0xB4, 0x01, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                               0x10, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0,
                               'd', 'a', 't', 'a', 0x90, 0x01, 0, 0});
  w.append(400, '\x80');
  return w;
}

void Write(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

TEST(LoadTurnSound, ReadsOnlyARegularFileOfAtMostSixteenMebibytes) {
  test::TempDir dir;
  Write(dir / "click.wav", ClickWav());
  Write(dir / "noise.wav", "0123456789");
  Write(dir / "exact.wav", "");
  std::filesystem::resize_file(dir / "exact.wav", kMaxTurnSoundBytes);
  Write(dir / "large.wav", "");
  std::filesystem::resize_file(dir / "large.wav", kMaxTurnSoundBytes + 1);
  std::filesystem::create_directory(dir / "folder.wav");
  ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0600), 0);

  const struct {
    bool on;
    const char* name;
    bool onAfter;
    uint64_t size;
  } cases[] = {
      {true, "click.wav", true, 444},
      {true, "missing.wav", false, 0},
      {true, "folder.wav", false, 0},
      {true, "fifo.wav", false, 0},  // never blocks
      {true, "large.wav", false, 0},
      {true, "exact.wav", true, kMaxTurnSoundBytes},
      {false, "click.wav", false, 0},
      {true, "noise.wav", true, 10},  // kept; the player finds nothing to play in it
      {true, "", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.on ? "on, " : "off, ") << c.name);
    TYomiraOption record;
    record.UseSound = c.on ? 1 : 0;
    record.SoundPath = *c.name ? (dir / c.name).string() : std::string();
    OrderedEnv env;
    std::string turnSound = "old bytes";
    EXPECT_EQ(LoadTurnSound(record, turnSound, env), c.onAfter);
    EXPECT_EQ(record.UseSound != 0, c.onAfter);
    EXPECT_EQ(turnSound.size(), c.size);
    EXPECT_EQ(env.turnSound, turnSound);
    EXPECT_EQ(env.calls, std::vector<std::string>({"stop", "set " + std::to_string(c.size)}));
    EXPECT_EQ(env.plays, 0);
  }
}

TEST(LoadTurnSound, TheFileIsReadWhole) {
  test::TempDir dir;
  Write(dir / "click.wav", ClickWav());
  TYomiraOption record;
  record.UseSound = 1;
  record.SoundPath = (dir / "click.wav").string();
  OrderedEnv env;
  std::string turnSound;
  ASSERT_TRUE(LoadTurnSound(record, turnSound, env));
  EXPECT_EQ(turnSound, ClickWav());
  EXPECT_EQ(record.SoundPath, (dir / "click.wav").string());
}

}  // namespace
}  // namespace yomira
