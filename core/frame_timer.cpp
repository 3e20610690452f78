#include "core/frame_timer.h"

#include "platform/input.h"
#include "platform/keys.h"
#include "platform/window.h"

void FrameClock::Start(uint64_t now) {
    baseCounter = now;
    lastCounter = now;
}

float CounterSeconds(int64_t counts, uint64_t countsPerSecond) {
    long double delta = static_cast<long double>(counts) / static_cast<long double>(countsPerSecond);
    return delta < 0 ? 0.0f : static_cast<float>(delta);
}

void FrameClock::Sample(uint64_t now) {
    // Signed difference: a counter that steps backwards gives 0, not a huge delta.
    deltaTime = CounterSeconds(static_cast<int64_t>(now - lastCounter), frequency);
    lastCounter = now;
    counterSeconds = static_cast<double>(now) / static_cast<double>(frequency);
}

void FrameClock::Update(uint64_t now, bool spaceHeld, bool pausePressed) {
    ++frameCount;
    Sample(now);
    // Refresh the rate about once a second. The first frame always measures
    // (lastFpsTime starts at 0), so the very first value is close to 0.
    if (counterSeconds - lastFpsTime > 1.0) {
        fps = static_cast<float>(frameCount / (counterSeconds - lastFpsTime));
        frameCount = 0;
        lastFpsTime = counterSeconds;
    }
    if (spaceHeld) deltaTime *= 4.0f;
    if (pausePressed) paused = !paused;
    if (paused) deltaTime = 0.0f;
    demoTimeMs += deltaTime * 1000.0;
}

void FrameClock::Step(uint64_t counts, uint64_t countsPerSecond) {
    deltaTime = CounterSeconds(static_cast<int64_t>(counts), countsPerSecond);
    demoTimeMs += deltaTime * 1000.0;
}

namespace FrameTimer {

static FrameTimer::CounterFunction s_read = Platform::GetCounter;

static FrameClock& MakeClock() {
    static FrameClock clock;
    clock.frequency = Platform::GetCounterFrequency();
    return clock;
}

FrameClock& Clock() {
    static FrameClock& clock = MakeClock();
    return clock;
}

void SetCounter(CounterFunction read, uint64_t frequency) {
    s_read = read;
    Clock().frequency = frequency;
}

void Start() { Clock().Start(s_read()); }
void Sample() { Clock().Sample(s_read()); }

void Update() {
    const InputState& in = InputState::Get();
    Clock().Update(s_read(), in.Down(kKeySpace), in.Pressed('P'));
}

void ResetTime() { Clock().demoTimeMs = 0.0; }

float GetTime() { return static_cast<float>(static_cast<float>(Clock().demoTimeMs) / 1000.0); }
float GetDeltaTime() { return Clock().deltaTime; }
float GetFps() { return Clock().fps; }

}  // namespace FrameTimer
