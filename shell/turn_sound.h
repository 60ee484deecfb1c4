// Loading the page-turn sound named by an option record into memory and handing it to the
// desktop's player.
#pragma once

#include <cstdint>
#include <string>

namespace yomira {

struct TYomiraOption;
class ShellEnv;

// The largest sound file read: a page-turn sound is short; more is a wrong file.
constexpr uint64_t kMaxTurnSoundBytes = 16ull * 1024 * 1024;

// With UseSound on and SoundPath a regular file of at most kMaxTurnSoundBytes: reads it into
// turnSound and hands it to env. Otherwise (sound off, a missing, non-regular or larger
// file, a read error): turnSound empty and UseSound off in record. The player is stopped
// before the bytes are replaced either way. True when a sound was loaded.
bool LoadTurnSound(TYomiraOption& record, std::string& turnSound, ShellEnv& env);

}  // namespace yomira
