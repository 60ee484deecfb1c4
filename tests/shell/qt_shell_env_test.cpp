// The desktop layer's page-turn sound: set at start, SDL2 waits for the first play.
#include "shell/qt_shell_env.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_support.h"

namespace yomira {
namespace {

TEST(QtShellEnvSound, TheSoundOpensSdlAtItsFirstPlayNotWhenSet) {
  if (test::LibraryLoaded(kSdlLibrary)) GTEST_SKIP() << "an earlier test of this process opened SDL2";
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  QtShellEnv env;
  env.setTurnSound(test::SilentWav(8000, 8, 1, 8000));
  // A style or the settings dialog replaces the sound before any turn.
  env.stopSound();
  env.setTurnSound(test::SilentWav(8000, 8, 1, 4000));
  env.stopSound();
  EXPECT_FALSE(test::LibraryLoaded(kSdlLibrary));
  env.playTurnSound();
  EXPECT_TRUE(test::LibraryLoaded(kSdlLibrary));
  // Turned off again and played: nothing to play, nothing breaks.
  env.setTurnSound({});
  env.playTurnSound();
  env.stopSound();
}

TEST(QtShellEnvSound, NoSoundNeverOpensSdl) {
  if (test::LibraryLoaded(kSdlLibrary)) GTEST_SKIP() << "an earlier test of this process opened SDL2";
  QtShellEnv env;
  env.setTurnSound({});
  env.playTurnSound();
  env.stopSound();
  EXPECT_FALSE(test::LibraryLoaded(kSdlLibrary));
}

}  // namespace
}  // namespace yomira
