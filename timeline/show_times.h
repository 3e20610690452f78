// The moments that the picture and the soundtrack share, in seconds of
// timeline time (which follows the music's playback position). The
// timeline's script is built from them, the scroller cuts its camera on the
// cue times, and tools/musicgen puts an accent on every one of them: moving
// a shot here moves its impact in the music too. Self-contained, so the
// music generator can include it.
#pragma once

namespace ShowTimes {

struct Span {
    float start;
    float length;
    constexpr float End() const { return start + length; }
};

// The scene changes of the script.
constexpr float kIntroStart = 2.0f;       // first title picture
constexpr float kLogoStart = 14.0f;       // second title picture
constexpr float kLaserStart = 29.0f;      // laser writer, four lines of 7.1 s
constexpr float kLaserLength = 29.0f;     // it overlaps the scroller by half a second
constexpr float kScrollerStart = 57.5f;   // scroller, with the head and hand shots between its passages
constexpr float kVoxelStart = 172.0f;     // voxel cloud: six passes of 4 s
constexpr float kCylinderStart = 196.0f;  // falling cylinders
constexpr float kCylinderEnd = 206.0f;
constexpr float kEndScreenStart = 210.0f;  // the end screen
constexpr float kShowEnd = 223.0f;

// The head and hand shots, alternating (head first); the scroller fills the
// time between them, except that the last three follow each other directly.
constexpr int kShotCount = 8;
constexpr Span kShots[kShotCount] = {{87.35f, 2.3f},   {98.73f, 1.84f},  {110.55f, 1.81f}, {120.56f, 1.86f},
                                     {127.83f, 1.83f}, {131.91f, 1.84f}, {133.75f, 1.76f}, {135.51f, 1.86f}};

// The colour-split bursts.
constexpr int kFuzzCount = 6;
constexpr Span kFuzzBursts[kFuzzCount] = {{11.0f, 0.5f},  {24.0f, 0.25f}, {169.0f, 1.0f},
                                          {202.0f, 0.5f}, {204.0f, 1.0f}, {208.0f, 6.0f}};

// The scroller's camera cuts, ascending, and after them an end marker that
// no time reaches.
constexpr int kMetaCueCount = 65;
constexpr float MetaCueTimes[kMetaCueCount + 1] = {
    65.11f,  66.01f,  66.92f,  67.8f,   68.75f,  69.68f,  70.59f,  71.42f,  74.21f,  75.11f,  76.0f,
    76.9f,   77.81f,  78.71f,  81.45f,  82.36f,  83.27f,  84.19f,  85.05f,  85.98f,  86.91f,  90.51f,
    91.46f,  92.34f,  93.2f,   94.18f,  95.06f,  96.01f,  96.94f,  97.83f,  101.49f, 103.31f, 104.19f,
    105.07f, 105.98f, 106.95f, 107.83f, 108.76f, 109.62f, 113.24f, 114.17f, 115.1f,  116.91f, 122.42f,
    123.28f, 124.14f, 125.11f, 125.99f, 126.92f, 130.98f, 137.6f,  137.86f, 138.74f, 139.64f, 140.53f,
    141.45f, 142.34f, 143.24f, 145.08f, 145.96f, 146.91f, 154.18f, 161.43f, 166.89f, 169.63f, 3.4028235e38f};

}  // namespace ShowTimes
