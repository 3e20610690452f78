// The moments of the show's picture that the soundtrack follows. All times are
// seconds from the start of the track: the show's clock runs on the music's
// playback position, so these are also the picture's times.
#pragma once

#include <cstddef>

namespace music {

// The scroller's camera cuts. Each one must land on an accent (snare, clap,
// stab or crash) whose onset lies within 20 ms of it.
constexpr double kCueTimes[] = {
    65.11,  66.01,  66.92,  67.8,   68.75,  69.68,  70.59,  71.42,  74.21,  75.11,  76.0,
    76.9,   77.81,  78.71,  81.45,  82.36,  83.27,  84.19,  85.05,  85.98,  86.91,  90.51,
    91.46,  92.34,  93.2,   94.18,  95.06,  96.01,  96.94,  97.83,  101.49, 103.31, 104.19,
    105.07, 105.98, 106.95, 107.83, 108.76, 109.62, 113.24, 114.17, 115.1,  116.91, 122.42,
    123.28, 124.14, 125.11, 125.99, 126.92, 130.98, 137.6,  137.86, 138.74, 139.64, 140.53,
    141.45, 142.34, 143.24, 145.08, 145.96, 146.91, 154.18, 161.43, 166.89, 169.63};
constexpr size_t kCueCount = sizeof(kCueTimes) / sizeof(kCueTimes[0]);

// Cuts to the head and hand shots: each lands on an impact.
constexpr double kShotTimes[] = {87.35, 98.73, 110.55, 120.56, 127.83, 131.91, 133.75, 135.51};
constexpr size_t kShotCount = sizeof(kShotTimes) / sizeof(kShotTimes[0]);

// Colour-split bursts of the picture: each gets a glitch, noise or stutter.
struct TimeSpan {
    double start;
    double length;
};
constexpr TimeSpan kFuzzBursts[] = {{11.0, 0.5},  {24.0, 0.25}, {169.0, 1.0},
                                    {202.0, 0.5}, {204.0, 1.0}, {208.0, 6.0}};
constexpr size_t kFuzzCount = sizeof(kFuzzBursts) / sizeof(kFuzzBursts[0]);

// Where the picture changes scene.
constexpr double kLogoStart = 14.0;       // second title picture
constexpr double kLaserStart = 29.0;      // laser writer, four lines of 7.1 s
constexpr double kScrollerStart = 57.5;   // scroller and the head and hand shots
constexpr double kVoxelStart = 172.0;     // voxel cloud
constexpr double kCylinderStart = 196.0;  // falling cylinders
constexpr double kCylinderEnd = 206.0;
constexpr double kEndScreenStart = 210.0;
constexpr double kShowEnd = 223.0;

// The track is a little longer than the show, and it loops.
constexpr double kTrackLength = 226.0;

}  // namespace music
