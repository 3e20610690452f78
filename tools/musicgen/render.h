// Plays a composed Song into stereo samples: voices into four buses
// (drums, bass, music, effects), bus filters and kick-driven ducking, the
// shared reverb and delay, the glitch windows and the peak limiter.
#pragma once

#include <vector>

#include "tools/musicgen/song.h"

namespace music {

struct StereoBuffer {
    std::vector<float> left, right;
    size_t Frames() const { return left.size(); }
};

// Highest true-peak level the limiter lets through (-2.5 dBFS): leaves room
// for the Vorbis encoder's own overshoot, which reaches 1.5 dB on bright
// noise such as the risers.
constexpr float kCeiling = 0.75f;

// Renders the seconds [from, to) of the song (clamped to its length). An
// excerpt starts its effects and voices some seconds early, so it sounds as
// in the whole track, and is identical every time it is rendered.
StereoBuffer RenderSong(const Song& song, double from, double to);

}  // namespace music
