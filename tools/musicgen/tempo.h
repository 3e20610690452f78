// The beat grid of the soundtrack. The groove runs at a nominal 132 beats per
// minute, but the scroller's camera cues were set by hand and wander up to
// 70 ms around any strict grid. The tempo map bends the grid just enough that
// every anchored beat lies within its tolerance of its picture time, with the
// smoothest tempo curve that does so; the accents themselves then sit exactly
// on the picture times.
#pragma once

#include <cstddef>
#include <vector>

namespace music {

struct TempoAnchor {
    double beat;       // may be fractional (a cue on an offbeat eighth)
    double seconds;    // picture time the beat must meet
    double tolerance;  // seconds either side
};

struct TempoMap {
    std::vector<double> beatSeconds;  // time of each whole beat 0, 1, 2, ...

    // Seconds of a (fractional) beat: linear inside each beat, and outside the
    // table the tempo of its first or last beat continues.
    double Seconds(double beat) const;
    // Inverse of Seconds.
    double Beat(double seconds) const;
    // Local tempo at a beat, in beats per minute.
    double BeatsPerMinute(double beat) const;
};

// Phase (seconds of beat 0) of a strict grid at `bpm` that best fits `times`
// in the least-squares sense, each time counted against its nearest beat.
double FitGridPhase(const double* times, size_t count, double bpm);

// Builds a map of `beatCount` beats starting from a strict grid (beat 0 at
// `phase`, `bpm`) and bends it to meet the anchors: minimises the summed
// squared change of beat length (curvature of the beat times) subject to
// every anchor's tolerance, by accelerated projected gradient descent.
TempoMap BuildTempoMap(double phase, double bpm, int beatCount,
                       const std::vector<TempoAnchor>& anchors);

}  // namespace music
