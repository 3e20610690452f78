// The sound device and sample-rate conversion, over SDL2's audio.
#pragma once
#include <cstdint>

namespace Platform {

// Fills `frames` frames of interleaved 16-bit stereo. Runs on the device's
// own thread.
using AudioCallback = void (*)(int16_t* stereo, int frames, void* user);

// Opens the default sound device for 16-bit stereo at `rate` (SDL converts if
// the hardware wants something else) and starts pulling `bufferFrames` frames
// at a time through the callback. On failure `error` says why.
bool OpenAudio(int rate, int bufferFrames, AudioCallback callback, void* user, const char** error);
// Stops the device; the callback is not called again once this returns.
void CloseAudio();

// Converts interleaved stereo float audio from one sample rate to another.
struct AudioResampler;
AudioResampler* CreateAudioResampler(int fromRate, int toRate);
void DestroyAudioResampler(AudioResampler* resampler);
bool ResamplerPut(AudioResampler* resampler, const float* stereo, int frames);
// Takes up to `frames` converted frames; returns how many there were.
int ResamplerGet(AudioResampler* resampler, float* stereo, int frames);

}  // namespace Platform
