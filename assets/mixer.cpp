#include "assets/mixer.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "assets/music_decoder.h"
#include "platform/audio.h"
#include "platform/window.h"

namespace Mixer {

struct Voice {
    MusicDecoder* decoder;
    bool playing = false;
    std::atomic<uint64_t> played{0};  // read by the main thread without the lock
    uint64_t heard = 0;               // the last HeardFrames answer (main thread)
    Voice* next = nullptr;
};

namespace {

// 512 frames is 11.6 ms: the steps in which the device's position advances.
constexpr int kDeviceBufferFrames = 512;
constexpr int kChunkFrames = 512;

// One lock for the voice list, every voice's state and the history. The
// device thread holds it while it mixes one buffer; the main thread only
// for the few instructions of a change.
std::mutex s_lock;
Voice* s_voices = nullptr;
bool s_started = false;
bool s_virtual = false;
bool s_held = false;  // the device plays silence; the main thread mixes
float s_history[kHistoryLength];
int s_historyNext = 0;  // ring position of the oldest sample
uint64_t s_generation = 0;
uint64_t s_lastMixCounter = 0;  // when the device last took a buffer

int16_t ToSample(float v) {
    if (v > 1.0f) v = 1.0f;
    if (v < -1.0f) v = -1.0f;
    return static_cast<int16_t>(std::lrintf(v * 32767.0f));
}

void MixLocked(int16_t* out, int frames) {
    float sum[2 * kChunkFrames];
    float part[2 * kChunkFrames];
    while (frames > 0) {
        int n = frames < kChunkFrames ? frames : kChunkFrames;
        for (int i = 0; i < 2 * n; ++i) sum[i] = 0.0f;
        for (Voice* v = s_voices; v; v = v->next) {
            if (!v->playing) continue;
            int got = v->decoder->Render(part, n);
            for (int i = 0; i < 2 * got; ++i) sum[i] += part[i];
            // The position counts the sound handed out, silence after a
            // decoding failure included, so it never stands still while playing.
            v->played.fetch_add(static_cast<uint64_t>(n), std::memory_order_relaxed);
        }
        for (int i = 0; i < n; ++i) {
            int16_t left = ToSample(sum[2 * i]);
            int16_t right = ToSample(sum[2 * i + 1]);
            out[2 * i] = left;
            out[2 * i + 1] = right;
            s_history[s_historyNext] = (static_cast<float>(left) + static_cast<float>(right)) / 65536.0f;
            s_historyNext = (s_historyNext + 1) % kHistoryLength;
        }
        out += 2 * n;
        frames -= n;
    }
    ++s_generation;
}

void DeviceCallback(int16_t* stereo, int frames, void*) {
    std::lock_guard<std::mutex> hold(s_lock);
    if (s_held) {
        for (int i = 0; i < 2 * frames; ++i) stereo[i] = 0;
        return;
    }
    MixLocked(stereo, frames);
    s_lastMixCounter = Platform::GetCounter();
}

void ResetHistoryLocked() {
    for (float& h : s_history) h = 0.0f;
    s_historyNext = 0;
    ++s_generation;
}

}  // namespace

bool StartDevice(const char** error) {
    Shutdown();
    {
        std::lock_guard<std::mutex> hold(s_lock);
        ResetHistoryLocked();
    }
    if (!Platform::OpenAudio(kMixRate, kDeviceBufferFrames, DeviceCallback, nullptr, error)) return false;
    s_started = true;
    s_virtual = false;
    return true;
}

void StartVirtual() {
    Shutdown();
    std::lock_guard<std::mutex> hold(s_lock);
    ResetHistoryLocked();
    s_started = true;
    s_virtual = true;
}

void Shutdown() {
    if (s_started && !s_virtual) Platform::CloseAudio();
    std::lock_guard<std::mutex> hold(s_lock);
    for (Voice* v = s_voices; v; v = v->next) v->playing = false;
    ResetHistoryLocked();  // nothing sounds any more
    s_started = false;
    s_virtual = false;
    s_held = false;
}

bool IsStarted() { return s_started; }
bool IsVirtual() { return s_virtual; }

Voice* CreateVoice(MusicDecoder* decoder) {
    Voice* voice = new Voice;
    voice->decoder = decoder;
    std::lock_guard<std::mutex> hold(s_lock);
    voice->next = s_voices;
    s_voices = voice;
    return voice;
}

void DestroyVoice(Voice* voice) {
    if (!voice) return;
    {
        std::lock_guard<std::mutex> hold(s_lock);
        for (Voice** link = &s_voices; *link; link = &(*link)->next) {
            if (*link == voice) {
                *link = voice->next;
                break;
            }
        }
    }
    delete voice->decoder;
    delete voice;
}

void Play(Voice* voice) {
    std::lock_guard<std::mutex> hold(s_lock);
    voice->decoder->Rewind();
    voice->played.store(0, std::memory_order_relaxed);
    voice->heard = 0;
    voice->playing = true;
}

void Stop(Voice* voice) {
    std::lock_guard<std::mutex> hold(s_lock);
    voice->playing = false;
}

uint64_t PlayedFrames(const Voice* voice) { return voice->played.load(std::memory_order_relaxed); }

uint64_t HeardPosition(uint64_t playedAtMix, double secondsSince, uint64_t latencyFrames, uint64_t previous) {
    double queued = static_cast<double>(latencyFrames) - secondsSince * kMixRate;
    if (queued < 0.0) queued = 0.0;  // a late device: no further than was handed out
    double heard = static_cast<double>(playedAtMix) - queued;
    uint64_t frames = heard > 0.0 ? static_cast<uint64_t>(heard) : 0;
    return frames > previous ? frames : previous;
}

uint64_t HeardFrames(Voice* voice) {
    if (!voice) return 0;
    if (!s_started || s_virtual || s_held) return voice->heard = PlayedFrames(voice);
    std::lock_guard<std::mutex> hold(s_lock);
    if (!voice->playing) return voice->heard;  // stopped where it was heard last
    double since = static_cast<double>(Platform::GetCounter() - s_lastMixCounter) /
                   static_cast<double>(Platform::GetCounterFrequency());
    voice->heard = HeardPosition(PlayedFrames(voice), since, kDeviceLatencyBuffers * kDeviceBufferFrames, voice->heard);
    return voice->heard;
}

void Render(int16_t* stereo, int frames) {
    std::lock_guard<std::mutex> hold(s_lock);
    MixLocked(stereo, frames);
}

void Hold(bool held) {
    std::lock_guard<std::mutex> hold(s_lock);
    s_held = held && s_started && !s_virtual;
}

bool IsHeld() { return s_held; }

void GetHistory(float* mono, uint64_t* generation) {
    std::lock_guard<std::mutex> hold(s_lock);
    for (int i = 0; i < kHistoryLength; ++i) mono[i] = s_history[(s_historyNext + i) % kHistoryLength];
    if (generation) *generation = s_generation;
}

}  // namespace Mixer
