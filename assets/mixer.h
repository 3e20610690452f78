// The mixer: every playing source summed into 16-bit stereo at 44100 Hz.
// Its output goes to the sound device, whose thread pulls it, or, with a
// virtual clock (capture mode), to whoever calls Render on the main thread.
// It remembers the last 1024 samples it handed out for the spectrum.
#pragma once
#include <cstdint>

class MusicDecoder;

namespace Mixer {

constexpr int kHistoryLength = 1024;

struct Voice;  // one source with its play state and position

// Opens the sound device and starts output. False (with the reason in
// `error`) when there is none.
bool StartDevice(const char** error);
// No device: the output advances only when Render is called.
void StartVirtual();
// Closes the device (if any); every voice stops and the history is silence.
void Shutdown();
bool IsStarted();
bool IsVirtual();

// A stopped voice that owns the decoder.
Voice* CreateVoice(MusicDecoder* decoder);
// Stops the voice and deletes it with its decoder.
void DestroyVoice(Voice* voice);
// Plays from the first sample, with the position back at 0.
void Play(Voice* voice);
void Stop(Voice* voice);
// Frames of this voice handed out since its last Play.
uint64_t PlayedFrames(const Voice* voice);
// Frames of this voice heard so far: with a virtual clock (or a held
// device) all that was handed out; with a device, what it handed out less
// what still waits in its buffers, moving on smoothly between the device's
// calls and never back.
uint64_t HeardFrames(Voice* voice);

// Buffers of sound a device holds between the mixer and the ear: the one
// just mixed waits while the one before it plays.
constexpr int kDeviceLatencyBuffers = 2;
// Where the listener is: `playedAtMix` frames had been handed out when the
// device last took a buffer, `secondsSince` ago; `latencyFrames` of them were
// still queued then. Never before `previous`, never past what was handed out.
uint64_t HeardPosition(uint64_t playedAtMix, double secondsSince, uint64_t latencyFrames, uint64_t previous);

// Mixes the next `frames` frames of every playing voice into `stereo`
// (interleaved left, right) and advances them. Silence when nothing plays.
// With a sound device, only while it is held.
void Render(int16_t* stereo, int frames);

// Holds the sound device: it plays silence and moves nothing on, and the
// main thread mixes with Render instead, as a capture does, while the show
// fast-forwards. What it mixes is not heard but moves the voices and the
// history on exactly as playing would. Released, the device carries on from
// there. Without a device (or with a virtual clock) nothing changes.
void Hold(bool held);
bool IsHeld();

// The last kHistoryLength output frames as mono, (left + right) / 2 scaled to
// -1..1, oldest first. `generation` (if given) changes whenever new output
// has been mixed since the last call.
void GetHistory(float* mono, uint64_t* generation);

}  // namespace Mixer
