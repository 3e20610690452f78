// The moments of the show's picture that the soundtrack follows, taken from
// the show's own table (timeline/show_times.h), so that moving a shot or a
// cue there moves its accent here. All times are seconds from the start of
// the track: the show's clock runs on the music's playback position, so these
// are also the picture's times.
#pragma once

#include <array>
#include <cstddef>

#include "timeline/show_times.h"

namespace music {

namespace detail {
template <size_t N>
constexpr std::array<double, N> Starts(const ShowTimes::Span (&spans)[N]) {
    std::array<double, N> starts{};
    for (size_t i = 0; i < N; ++i) starts[i] = spans[i].start;
    return starts;
}
constexpr std::array<double, ShowTimes::kMetaCueCount> CueTimes() {
    std::array<double, ShowTimes::kMetaCueCount> cues{};
    for (int i = 0; i < ShowTimes::kMetaCueCount; ++i) cues[i] = ShowTimes::MetaCueTimes[i];  // not the end marker
    return cues;
}
}  // namespace detail

// The scroller's camera cuts. Each one must land on an accent (snare, clap,
// stab or crash) whose onset lies within 20 ms of it.
constexpr std::array<double, ShowTimes::kMetaCueCount> kCueTimes = detail::CueTimes();
constexpr size_t kCueCount = kCueTimes.size();

// Cuts to the head and hand shots: each lands on an impact.
constexpr std::array<double, ShowTimes::kShotCount> kShotTimes = detail::Starts(ShowTimes::kShots);
constexpr size_t kShotCount = kShotTimes.size();

// Colour-split bursts of the picture: each gets a glitch, noise or stutter.
using TimeSpan = ShowTimes::Span;
inline constexpr const TimeSpan (&kFuzzBursts)[ShowTimes::kFuzzCount] = ShowTimes::kFuzzBursts;
constexpr size_t kFuzzCount = ShowTimes::kFuzzCount;

// Where the picture changes scene.
constexpr double kLogoStart = ShowTimes::kLogoStart;            // second title picture
constexpr double kLaserStart = ShowTimes::kLaserStart;          // laser writer, four lines of 7.1 s
constexpr double kScrollerStart = ShowTimes::kScrollerStart;    // scroller and the head and hand shots
constexpr double kVoxelStart = ShowTimes::kVoxelStart;          // voxel cloud
constexpr double kCylinderStart = ShowTimes::kCylinderStart;    // falling cylinders
constexpr double kCylinderEnd = ShowTimes::kCylinderEnd;
constexpr double kEndScreenStart = ShowTimes::kEndScreenStart;
constexpr double kShowEnd = ShowTimes::kShowEnd;

// The track is a little longer than the show, and it loops.
constexpr double kTrackLength = 226.0;

}  // namespace music
