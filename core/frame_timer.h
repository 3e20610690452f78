// The frame clock: frame delta (x4 while Space is held, 0 while paused), the
// accumulated demo time and frames per second.
#pragma once
#include <cstdint>

// The clock's state and arithmetic, fed with counter readings. The show runs
// one instance of it behind the FrameTimer functions below.
struct FrameClock {
    uint64_t frequency = 1;  // counts per second
    uint64_t baseCounter = 0;
    uint64_t lastCounter = 0;
    double counterSeconds = 0;  // latest counter / frequency
    float deltaTime = 0;        // seconds, speed-adjusted after Update
    uint32_t frameCount = 0;    // frames since the last FPS measurement
    float fps = 0;
    double lastFpsTime = 0;
    double demoTimeMs = 0;  // kept through a restart (R); a jump back sets it to 0
    bool paused = false;

    void Start(uint64_t now);
    void Sample(uint64_t now);
    // spaceHeld: fast forward; pausePressed: P went down this frame.
    void Update(uint64_t now, bool spaceHeld, bool pausePressed);
    // A frame that no counter measured (fast-forward while playing): the
    // delta and the demo time move exactly as Update moves them for a
    // counter that advanced by `counts` at `countsPerSecond`, without the
    // speed keys and the pause; the frame rate and the counter readings are
    // left as they were.
    void Step(uint64_t counts, uint64_t countsPerSecond);
};

// Seconds between two counter readings `counts` apart, as a frame's delta
// (a counter that steps backwards gives 0).
float CounterSeconds(int64_t counts, uint64_t countsPerSecond);

namespace FrameTimer {

using CounterFunction = uint64_t (*)();

// Where the clock reads its counter: the system's high-resolution counter by
// default; capture mode installs a virtual one that advances per frame.
void SetCounter(CounterFunction read, uint64_t frequency);

void Start();
void Sample();
void Update();  // once per frame, reads Space and P from InputState
// Back to no demo time at all, as at start-up (a jump back in time).
void ResetTime();

float GetTime();       // demo time in seconds
float GetDeltaTime();  // this frame's speed-adjusted delta in seconds
float GetFps();

FrameClock& Clock();

}  // namespace FrameTimer
