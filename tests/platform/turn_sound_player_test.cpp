#include "platform/sound/turn_sound_player.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <random>
#include <string>

#include "support/test_support.h"

namespace yomira {
namespace {

using test::SilentWav;

class TurnSoundPlayerTest : public ::testing::Test {
 protected:
  // No sound card in tests: SDL's dummy device consumes the queue without output.
  void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
};

TEST_F(TurnSoundPlayerTest, TheHarnessWavDecodesToItsFourHundredFrames) {
  const std::string wav = SilentWav(8000, 8, 1, 400);
  ASSERT_EQ(wav.size(), 444u);
  TurnSoundPlayer p;
  EXPECT_TRUE(p.setSound(wav));
  EXPECT_TRUE(p.hasSound());
  EXPECT_EQ(p.decodedBytes(), 400u);
}

TEST_F(TurnSoundPlayerTest, PlayQueuesTheWholeSoundOnceAndStopEmptiesIt) {
  // A minute long, so the dummy device cannot have used it up between two calls.
  const std::string wav = SilentWav(8000, 8, 1, 8000 * 60);
  TurnSoundPlayer p;
  ASSERT_TRUE(p.setSound(wav));
  EXPECT_FALSE(p.deviceOpen());  // opened on the first play
  p.play();
  ASSERT_TRUE(p.deviceOpen());
  EXPECT_GT(p.queuedBytes(), 0u);
  // A second play starts again instead of queueing behind the first.
  p.play();
  EXPECT_GT(p.queuedBytes(), 0u);
  EXPECT_LE(p.queuedBytes(), 8000u * 60);
  p.stop();
  EXPECT_EQ(p.queuedBytes(), 0u);
}

TEST_F(TurnSoundPlayerTest, ReplacingTheSoundStopsThePlayFirst) {
  TurnSoundPlayer p;
  ASSERT_TRUE(p.setSound(SilentWav(8000, 8, 1, 8000 * 60)));
  p.play();
  ASSERT_GT(p.queuedBytes(), 0u);
  EXPECT_FALSE(p.setSound(std::string()));
  EXPECT_EQ(p.queuedBytes(), 0u);
  EXPECT_FALSE(p.hasSound());
  p.play();
  EXPECT_EQ(p.queuedBytes(), 0u);
}

TEST_F(TurnSoundPlayerTest, PlaysFromItsOwnCopy) {
  TurnSoundPlayer p;
  {
    std::string wav = SilentWav(8000, 8, 1, 8000 * 60);
    ASSERT_TRUE(p.setSound(wav));
    wav.assign(wav.size(), 'x');
    wav.clear();
    wav.shrink_to_fit();
  }
  p.play();
  EXPECT_GT(p.queuedBytes(), 0u);
}

TEST_F(TurnSoundPlayerTest, TheDeviceFollowsTheFormatOfEachSound) {
  const struct {
    uint32_t rate;
    uint16_t bits, channels;
  } formats[] = {{8000, 8, 1}, {22050, 16, 2}, {22050, 16, 2}, {44100, 16, 1}};
  TurnSoundPlayer p;
  for (const auto& f : formats) {
    SCOPED_TRACE(testing::Message() << f.rate << " Hz " << f.bits << " bit " << f.channels << " ch");
    ASSERT_TRUE(p.setSound(SilentWav(f.rate, f.bits, f.channels, f.rate * 30)));
    p.play();
    ASSERT_TRUE(p.deviceOpen());
    EXPECT_EQ(p.deviceRate(), static_cast<int>(f.rate));
    EXPECT_EQ(p.deviceChannels(), f.channels);
    EXPECT_EQ(p.deviceBits(), f.bits);
    EXPECT_GT(p.queuedBytes(), 0u);
    EXPECT_LE(p.queuedBytes(), f.rate * 30 * f.channels * f.bits / 8);
  }
}

TEST_F(TurnSoundPlayerTest, SignalsStayWithTheProgram) {
  struct sigaction before[2];
  sigaction(SIGINT, nullptr, &before[0]);
  sigaction(SIGTERM, nullptr, &before[1]);
  TurnSoundPlayer p;
  ASSERT_TRUE(p.setSound(SilentWav(8000, 8, 1, 400)));
  p.play();
  ASSERT_TRUE(p.deviceOpen());
  struct sigaction after[2];
  sigaction(SIGINT, nullptr, &after[0]);
  sigaction(SIGTERM, nullptr, &after[1]);
  EXPECT_EQ(after[0].sa_handler, before[0].sa_handler);
  EXPECT_EQ(after[1].sa_handler, before[1].sa_handler);
}

TEST_F(TurnSoundPlayerTest, BytesThatAreNoWavAreSilent) {
  const std::string wav = SilentWav(8000, 8, 1, 400);
  const std::string cases[] = {
      std::string(),
      std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a", 10),
      wav.substr(0, 20),
      "RIFF\x04\x00\x00\x00WAVE",
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes.size());
    TurnSoundPlayer p;
    EXPECT_FALSE(p.setSound(bytes));
    EXPECT_FALSE(p.hasSound());
    p.play();
    EXPECT_FALSE(p.deviceOpen());
    p.stop();
  }
}

TEST_F(TurnSoundPlayerTest, WithoutAnAudioDriverEverythingIsSilent) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  TurnSoundPlayer p;
  EXPECT_TRUE(p.setSound(SilentWav(8000, 8, 1, 400)));
  p.play();
  EXPECT_FALSE(p.deviceOpen());
  EXPECT_EQ(p.queuedBytes(), 0u);
  p.stop();
}

TEST_F(TurnSoundPlayerTest, WithoutTheLibraryEverythingIsSilent) {
  TurnSoundPlayer p("libSDL2-no-such-library.so.0");
  EXPECT_FALSE(p.setSound(SilentWav(8000, 8, 1, 400)));
  EXPECT_FALSE(p.hasSound());
  p.play();
  EXPECT_FALSE(p.deviceOpen());
  EXPECT_EQ(p.queuedBytes(), 0u);
  EXPECT_EQ(p.deviceBits(), 0);
  p.stop();
  // A library by that name that is not SDL2 is refused the same way.
  TurnSoundPlayer q("libz.so.1");
  EXPECT_FALSE(q.setSound(SilentWav(8000, 8, 1, 400)));
  q.play();
  EXPECT_FALSE(q.deviceOpen());
}

TEST_F(TurnSoundPlayerTest, TheLibraryIsOpenedByTheFirstSoundOnly) {
  if (test::LibraryLoaded(kSdlLibrary)) GTEST_SKIP() << "an earlier test of this process opened SDL2";
  {
    TurnSoundPlayer p;
    p.stop();
    p.play();
    EXPECT_FALSE(p.setSound(std::string()));
    EXPECT_FALSE(test::LibraryLoaded(kSdlLibrary));
    EXPECT_TRUE(p.setSound(SilentWav(8000, 8, 1, 400)));
    EXPECT_TRUE(test::LibraryLoaded(kSdlLibrary));
    p.play();
    EXPECT_TRUE(p.deviceOpen());
  }
  // A second player finds it open and plays as well.
  TurnSoundPlayer again;
  ASSERT_TRUE(again.setSound(SilentWav(8000, 8, 1, 8000 * 60)));
  again.play();
  EXPECT_GT(again.queuedBytes(), 0u);
}

TEST_F(TurnSoundPlayerTest, DamagedWavsNeverCrash) {
  const std::string good = SilentWav(11025, 16, 2, 300);
  std::mt19937 rng(20261210);
  TurnSoundPlayer p;
  for (int round = 0; round < 400; ++round) {
    std::string w = good;
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < edits; ++i) {
      // Mostly the header, where the sizes and the format are.
      const size_t at = rng() % 3 ? rng() % 44 : rng() % w.size();
      w[at] = static_cast<char>(rng());
    }
    if (rng() % 4 == 0) w.resize(rng() % w.size());
    SCOPED_TRACE(round);
    if (p.setSound(w)) {
      EXPECT_TRUE(p.hasSound());
      p.play();
    }
    p.stop();
  }
}

}  // namespace
}  // namespace yomira
