// The few SDL2 functions the page-turn sound uses, looked up in the library at run time.
// Linking SDL2 would map it and its thirty sound and codec libraries at every start,
// before a sound ever plays; without the library the reader simply stays silent.
#pragma once

#include <SDL.h>

#include <string>

namespace yomira {

struct SdlAudioLibrary {
  decltype(&SDL_SetHint) SetHint = nullptr;
  decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
  decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
  decltype(&SDL_QueueAudio) QueueAudio = nullptr;
  decltype(&SDL_ClearQueuedAudio) ClearQueuedAudio = nullptr;
  decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize = nullptr;
  decltype(&SDL_RWFromConstMem) RWFromConstMem = nullptr;
  decltype(&SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
  decltype(&SDL_FreeWAV) FreeWAV = nullptr;
};

// The functions of the library of that file name, opened on the first call for the name
// and kept open for the life of the process (SDL's threads and handlers outlive a close).
// nullptr when it cannot be opened or lacks one of them; that answer is kept too, so a
// missing library is looked for once. Safe from any thread.
const SdlAudioLibrary* LoadSdlAudio(const std::string& fileName);

}  // namespace yomira
