// The application's own frames as a capture runs them, on a clock the test
// moves: each Step advances it by one frame at 30 a second, pulls that
// frame's sound from the mixer first, then runs the frame, presents it and
// takes the next snapshot of the keys.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/lumivane.h"
#include "assets/mixer.h"
#include "core/frame_timer.h"
#include "platform/input.h"
#include "platform/window.h"
#include "render/graphics_device.h"

class AppFrames {
public:
    static constexpr int kFps = 30;
    static constexpr int kSamplesPerFrame = 44100 / kFps;

    // Points the frame timer at the test's clock and starts it.
    AppFrames() {
        FrameTimer::SetCounter(ReadCounter, kFps);
        FrameTimer::Start();
    }
    // Gives the frame timer back the real clock.
    ~AppFrames() { FrameTimer::SetCounter(Platform::GetCounter, Platform::GetCounterFrequency()); }

    void Step() {
        ++Counter();
        Mixer::Render(sound.data(), kSamplesPerFrame);
        FrameTimer::Update();
        TheLumivane().Frame();
        GraphicsDevice::Present();
        InputState::Snapshot();
    }

    // Whether the last frame's sound was all zeros.
    bool Silent() const {
        return std::all_of(sound.begin(), sound.end(), [](int16_t s) { return s == 0; });
    }

    std::vector<int16_t> sound = std::vector<int16_t>(2 * kSamplesPerFrame);

private:
    static uint64_t& Counter() {
        static uint64_t counter = 0;
        return counter;
    }
    static uint64_t ReadCounter() { return Counter(); }
};
