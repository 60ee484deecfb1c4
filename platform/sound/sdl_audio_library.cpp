#include "platform/sound/sdl_audio_library.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>

namespace yomira {
namespace {

template <typename F>
bool Find(void* handle, const char* name, F& fn) {
  fn = reinterpret_cast<F>(dlsym(handle, name));
  return fn != nullptr;
}

std::unique_ptr<SdlAudioLibrary> Open(const std::string& fileName) {
  // Local: SDL's symbols stay out of the lookup scope of everything loaded later.
  void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  auto lib = std::make_unique<SdlAudioLibrary>();
  const bool all = Find(handle, "SDL_SetHint", lib->SetHint) && Find(handle, "SDL_InitSubSystem", lib->InitSubSystem) &&
                   Find(handle, "SDL_QuitSubSystem", lib->QuitSubSystem) &&
                   Find(handle, "SDL_OpenAudioDevice", lib->OpenAudioDevice) &&
                   Find(handle, "SDL_CloseAudioDevice", lib->CloseAudioDevice) &&
                   Find(handle, "SDL_PauseAudioDevice", lib->PauseAudioDevice) &&
                   Find(handle, "SDL_QueueAudio", lib->QueueAudio) &&
                   Find(handle, "SDL_ClearQueuedAudio", lib->ClearQueuedAudio) &&
                   Find(handle, "SDL_GetQueuedAudioSize", lib->GetQueuedAudioSize) &&
                   Find(handle, "SDL_RWFromConstMem", lib->RWFromConstMem) &&
                   Find(handle, "SDL_LoadWAV_RW", lib->LoadWAV_RW) && Find(handle, "SDL_FreeWAV", lib->FreeWAV);
  if (!all) {
    // Some other library under that name: nothing of it was called, so it may go.
    dlclose(handle);
    return nullptr;
  }
  return lib;
}

}  // namespace

const SdlAudioLibrary* LoadSdlAudio(const std::string& fileName) {
  static std::mutex mutex;
  // Never destroyed: a player may still close its device during the static destructors.
  static auto* loaded = new std::map<std::string, std::unique_ptr<SdlAudioLibrary>>;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = loaded->find(fileName);
  if (it == loaded->end()) it = loaded->emplace(fileName, Open(fileName)).first;
  return it->second.get();
}

}  // namespace yomira
