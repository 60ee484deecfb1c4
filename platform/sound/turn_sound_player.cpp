#include "platform/sound/turn_sound_player.h"

#include <limits>

#include "platform/sound/sdl_audio_library.h"

namespace yomira {

TurnSoundPlayer::TurnSoundPlayer() : TurnSoundPlayer(kSdlLibrary) {}

TurnSoundPlayer::TurnSoundPlayer(std::string library) : library_(std::move(library)) {}

TurnSoundPlayer::~TurnSoundPlayer() {
  closeDevice();
  if (initOk_) sdl_->QuitSubSystem(SDL_INIT_AUDIO);
}

bool TurnSoundPlayer::ensureLibrary() {
  if (!libraryTried_) {
    libraryTried_ = true;
    sdl_ = LoadSdlAudio(library_);
  }
  return sdl_ != nullptr;
}

bool TurnSoundPlayer::ensureAudio() {
  if (!initTried_) {
    initTried_ = true;
    if (!ensureLibrary()) return false;
    // Audio only: the windows are Qt's. SDL would otherwise take SIGINT and SIGTERM for
    // its event queue, which nobody reads, and the program would no longer stop on them.
    sdl_->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    initOk_ = sdl_->InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  return initOk_;
}

void TurnSoundPlayer::closeDevice() {
  if (device_ != 0) sdl_->CloseAudioDevice(device_);
  device_ = 0;
}

bool TurnSoundPlayer::openDevice() {
  if (device_ != 0 && deviceFreq_ == freq_ && deviceFormat_ == format_ && deviceChannels_ == channels_) return true;
  closeDevice();
  if (openFailed_ || !ensureAudio()) return false;
  SDL_AudioSpec want{};
  want.freq = freq_;
  want.format = format_;
  want.channels = channels_;
  // About 20 ms a buffer: a turn sound starts at once, and closing the device (which waits
  // for the buffer in play) stays short.
  Uint16 samples = 256;
  while (samples < 4096 && samples < freq_ / 50) samples = static_cast<Uint16>(samples * 2);
  want.samples = samples;
  want.callback = nullptr;  // queued audio
  SDL_AudioSpec have{};
  // No allowed changes: SDL converts to whatever the hardware takes.
  device_ = sdl_->OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) {
    openFailed_ = true;
    return false;
  }
  deviceFreq_ = freq_;
  deviceFormat_ = format_;
  deviceChannels_ = channels_;
  return true;
}

bool TurnSoundPlayer::setSound(const std::string& wavBytes) {
  // A play may still be reading the queue: stop it before the sound goes.
  stop();
  samples_.clear();
  openFailed_ = false;
  if (wavBytes.empty() || wavBytes.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return false;
  if (!ensureLibrary()) return false;
  SDL_RWops* rw = sdl_->RWFromConstMem(wavBytes.data(), static_cast<int>(wavBytes.size()));
  if (!rw) return false;
  SDL_AudioSpec spec{};
  Uint8* buf = nullptr;
  Uint32 len = 0;
  if (!sdl_->LoadWAV_RW(rw, 1, &spec, &buf, &len)) return false;
  samples_.assign(buf, buf + len);
  sdl_->FreeWAV(buf);
  freq_ = spec.freq;
  format_ = spec.format;
  channels_ = spec.channels;
  return !samples_.empty();
}

void TurnSoundPlayer::play() {
  if (samples_.empty() || !openDevice()) return;
  sdl_->ClearQueuedAudio(device_);
  if (sdl_->QueueAudio(device_, samples_.data(), static_cast<Uint32>(samples_.size())) != 0) return;
  sdl_->PauseAudioDevice(device_, 0);
}

void TurnSoundPlayer::stop() {
  if (device_ == 0) return;
  sdl_->PauseAudioDevice(device_, 1);
  sdl_->ClearQueuedAudio(device_);
}

int TurnSoundPlayer::deviceBits() const { return device_ != 0 ? SDL_AUDIO_BITSIZE(deviceFormat_) : 0; }

uint32_t TurnSoundPlayer::queuedBytes() const { return device_ != 0 ? sdl_->GetQueuedAudioSize(device_) : 0; }

}  // namespace yomira
