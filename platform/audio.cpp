#include "platform/audio.h"

#include <SDL2/SDL.h>

namespace Platform {

static SDL_AudioDeviceID s_device = 0;
static AudioCallback s_callback = nullptr;
static void* s_user = nullptr;

static void SdlCallback(void*, Uint8* stream, int bytes) {
    s_callback(reinterpret_cast<int16_t*>(stream), bytes / 4, s_user);  // 4 bytes per frame
}

bool OpenAudio(int rate, int bufferFrames, AudioCallback callback, void* user, const char** error) {
    CloseAudio();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    s_callback = callback;
    s_user = user;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(bufferFrames);
    want.callback = SdlCallback;
    SDL_AudioSpec have{};
    s_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (s_device == 0) {
        if (error) *error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(s_device, 0);
    return true;
}

void CloseAudio() {
    if (s_device == 0) return;
    SDL_CloseAudioDevice(s_device);  // waits for a running callback
    s_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

struct AudioResampler {
    SDL_AudioStream* stream;
};

AudioResampler* CreateAudioResampler(int fromRate, int toRate) {
    SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_F32SYS, 2, fromRate, AUDIO_F32SYS, 2, toRate);
    return stream ? new AudioResampler{stream} : nullptr;
}

void DestroyAudioResampler(AudioResampler* resampler) {
    if (!resampler) return;
    SDL_FreeAudioStream(resampler->stream);
    delete resampler;
}

bool ResamplerPut(AudioResampler* resampler, const float* stereo, int frames) {
    return SDL_AudioStreamPut(resampler->stream, stereo, frames * 2 * static_cast<int>(sizeof(float))) == 0;
}

int ResamplerGet(AudioResampler* resampler, float* stereo, int frames) {
    int bytes = SDL_AudioStreamGet(resampler->stream, stereo, frames * 2 * static_cast<int>(sizeof(float)));
    return bytes > 0 ? bytes / static_cast<int>(2 * sizeof(float)) : 0;
}

}  // namespace Platform
