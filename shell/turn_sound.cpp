#include "shell/turn_sound.h"

#include "engine/core/option.h"
#include "platform/file/regular_file.h"
#include "platform/shell_env.h"

namespace yomira {

bool LoadTurnSound(TYomiraOption& record, std::string& turnSound, ShellEnv& env) {
  std::string bytes;
  // Regular files only (a FIFO would block the window), and no more than a short sound.
  const bool ok = record.UseSound != 0 &&
                  ReadRegularFile(record.SoundPath, kMaxTurnSoundBytes, bytes) == ReadFileStatus::Ok;
  // The player may be reading the old sound: stop it before the bytes change.
  env.stopSound();
  if (!ok) {
    turnSound.clear();
    record.UseSound = 0;
  } else {
    turnSound = std::move(bytes);
  }
  env.setTurnSound(turnSound);
  return ok;
}

}  // namespace yomira
