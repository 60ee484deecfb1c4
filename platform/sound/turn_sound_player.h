// The page-turn sound: a WAV image decoded once when it is set and played from our own
// copy, so the caller may drop its bytes at any time. SDL2 is opened (dlopen) by the
// first sound set, its audio on the first play (never video); no library, no device, a
// failed init, empty or undecodable bytes: every call is silent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace yomira {

struct SdlAudioLibrary;

// The SDL2 library as Debian installs it for programs (libsdl2-2.0-0).
inline constexpr char kSdlLibrary[] = "libSDL2-2.0.so.0";

class TurnSoundPlayer {
 public:
  TurnSoundPlayer();
  // SDL2 from the library of that file name instead of the system's.
  explicit TurnSoundPlayer(std::string library);
  ~TurnSoundPlayer();
  TurnSoundPlayer(const TurnSoundPlayer&) = delete;
  TurnSoundPlayer& operator=(const TurnSoundPlayer&) = delete;

  // Stops any play, then decodes wavBytes (empty: no sound). False when nothing playable
  // came of them.
  bool setSound(const std::string& wavBytes);
  // Plays the sound from its start, cutting off a play still running.
  void play();
  void stop();

  bool hasSound() const { return !samples_.empty(); }
  size_t decodedBytes() const { return samples_.size(); }
  // Bytes still waiting for the device (0 when stopped or silent).
  uint32_t queuedBytes() const;
  // Whether an output device is open (false on a machine without sound).
  bool deviceOpen() const { return device_ != 0; }
  // The format the open device plays (0 when none is open).
  int deviceRate() const { return device_ != 0 ? deviceFreq_ : 0; }
  int deviceChannels() const { return device_ != 0 ? deviceChannels_ : 0; }
  int deviceBits() const;

 private:
  bool ensureLibrary();
  bool ensureAudio();
  bool openDevice();
  void closeDevice();

  std::string library_;
  bool libraryTried_ = false;
  const SdlAudioLibrary* sdl_ = nullptr;
  bool initTried_ = false;
  bool initOk_ = false;
  uint32_t device_ = 0;
  // The device would not open for the current sound: not retried at every page turn.
  bool openFailed_ = false;
  // The decoded sound and the format the device was opened for.
  std::vector<uint8_t> samples_;
  int freq_ = 0;
  uint16_t format_ = 0;
  uint8_t channels_ = 0;
  int deviceFreq_ = 0;
  uint16_t deviceFormat_ = 0;
  uint8_t deviceChannels_ = 0;
};

}  // namespace yomira
