#include "tools/musicgen/song.h"

#include <algorithm>
#include <cmath>

#include "tools/musicgen/compose.h"
#include "tools/musicgen/show_times.h"

namespace music {

namespace {

constexpr double kBeatsPerMinute = 132.0;
// How far the whole beat under a cue may be pushed or pulled against the
// smooth tempo curve. Smaller keeps every accent closer to the grid but
// makes the tempo swing more; 30 ms keeps the tempo within about 2 %.
constexpr double kCueTolerance = 0.030;
// Beats where the picture changes scene and the music changes section: the
// kick enters with the laser, the drop comes with the scroller, and so on.
constexpr double kLaserBeat = 64.0;
constexpr double kDropBeat = 126.0;
constexpr double kVoxelBeat = 378.0;
constexpr double kCylinderBeat = 431.0;

bool IsAccent(Instrument i) {
    return i == kClap || i == kSnare || i == kStab || i == kCrash || i == kImpact;
}

void AddGlitch(Song& song, double start, double length, double sliceStart, double sliceEnd,
               float crush, float bleeps) {
    GlitchWindow w;
    w.start = start;
    w.length = length;
    w.sliceStart = sliceStart;
    w.sliceEnd = sliceEnd;
    w.crush = crush;
    song.glitches.push_back(w);
    if (bleeps > 0.0f) {
        Note n;
        n.time = start;
        n.length = length;
        n.pitch = 84.0f;
        n.velocity = bleeps;
        n.instrument = kGlitch;
        song.notes.push_back(n);
    }
}

}  // namespace

float Curve::At(double seconds) const {
    if (points.empty()) return 0.0f;
    if (seconds <= points.front().first) return points.front().second;
    if (seconds >= points.back().first) return points.back().second;
    auto it =
        std::upper_bound(points.begin(), points.end(), seconds,
                         [](double t, const std::pair<double, float>& p) { return t < p.first; });
    const auto& b = *it;
    const auto& a = *(it - 1);
    double f = b.first > a.first ? (seconds - a.first) / (b.first - a.first) : 1.0;
    if (logarithmic) return (float)(a.second * std::pow((double)b.second / a.second, f));
    return (float)(a.second + (b.second - a.second) * f);
}

Song BuildSong() {
    Song song;
    song.length = kTrackLength;

    // The beat grid: 132 bpm laid over the cue taps, bent to meet every cue,
    // shot and scene change within its tolerance.
    const double spb = 60.0 / kBeatsPerMinute;
    const double phase = FitGridPhase(kCueTimes.data(), kCueCount, kBeatsPerMinute);
    auto nearestEighth = [&](double t) { return std::round(2.0 * (t - phase) / spb) / 2.0; };
    std::vector<TempoAnchor> anchors;
    for (double cue : kCueTimes) anchors.push_back({nearestEighth(cue), cue, kCueTolerance});
    for (double shot : kShotTimes) anchors.push_back({nearestEighth(shot), shot, kCueTolerance});
    // The laser's first kick may not come before the titles end: the bass
    // flash must stay dark until then.
    anchors.push_back({kLaserBeat, kLaserStart + 0.03, 0.02});
    anchors.push_back({kDropBeat, kScrollerStart - 0.02, 0.02});
    anchors.push_back({kVoxelBeat, kVoxelStart, 0.030});
    anchors.push_back({kCylinderBeat, kCylinderStart, 0.005});
    const int beats = (int)std::ceil((kTrackLength + 10.0 - phase) / spb);
    song.tempo = BuildTempoMap(phase, kBeatsPerMinute, beats, anchors);

    Composer c{song};
    ArrangeTitlesAndBuild(c);
    ArrangeScroller(c);
    ArrangeFinale(c);

    // The picture's colour-split bursts: the mix stutters on the burst's
    // first slice, which shrinks as the burst goes on (from an eighth or a
    // sixteenth down to a thirty-second or a sixty-fourth), bit-crushed,
    // with data bleeps on top.
    const double sixteenth = spb / 4.0;
    // Over the quiet titles the bleeps must be louder to cut through.
    AddGlitch(song, kFuzzBursts[0].start, kFuzzBursts[0].length, sixteenth, sixteenth / 2, 0.5f,
              2.0f);
    AddGlitch(song, kFuzzBursts[1].start, kFuzzBursts[1].length, sixteenth / 2, sixteenth / 4, 0.6f,
              2.0f);
    AddGlitch(song, kFuzzBursts[2].start, kFuzzBursts[2].length, sixteenth * 2, sixteenth / 4,
              0.45f, 0.5f);
    AddGlitch(song, kFuzzBursts[3].start, kFuzzBursts[3].length, sixteenth, sixteenth / 2, 0.7f,
              0.8f);
    AddGlitch(song, kFuzzBursts[4].start, kFuzzBursts[4].length, sixteenth * 2, sixteenth / 4, 0.8f,
              0.8f);
    // The last, long burst: no repeats (slice longer than the window), only
    // crushing of the dying impact; the bleeps are composed in the finale.
    AddGlitch(song, kFuzzBursts[5].start, 2.5, 10.0, 10.0, 0.6f, 0.0f);
    // The cylinders' last beat slows to a halt before the final impact.
    GlitchWindow stop;
    stop.start = kFuzzBursts[4].start + kFuzzBursts[4].length + 0.05;
    stop.length = kCylinderEnd - stop.start;
    stop.tapeStop = true;
    song.glitches.push_back(stop);

    // Mix automation.
    auto T = [&](double beat) { return song.tempo.Seconds(beat); };
    song.musicCutoff.logarithmic = true;
    song.musicCutoff.points = {
        {0.0, 20000.0f},    {T(63.9), 20000.0f},         {T(64), 900.0f},   {T(124), 16000.0f},
        {T(126), 20000.0f}, {T(333.9), 20000.0f},        {T(334), 1400.0f}, {T(350), 2400.0f},
        {T(366), 20000.0f}, {kEndScreenStart, 20000.0f}, {225.5, 900.0f}};
    song.bassCutoff.logarithmic = true;
    song.bassCutoff.points = {
        {T(63.9), 20000.0f}, {T(64), 350.0f}, {T(124), 8000.0f}, {T(126), 20000.0f}};
    song.reverbSend.points = {
        {0.0, 0.25f},         {T(64), 0.1f},  {T(126), 0.0f},       {T(333.9), 0.0f},
        {T(334), 0.3f},       {T(366), 0.0f}, {kCylinderEnd, 0.0f}, {kCylinderEnd + 0.1, 0.3f},
        {kTrackLength, 0.45f}};
    // Silence at both ends, so the loop from the end back to the start is clean.
    song.masterGain.points = {{0.0, 0.0f}, {0.03, 1.0f}, {224.3, 1.0f}, {225.95, 0.0f}};

    // Kicks inside a glitch window are chopped up: not beats to flash on.
    auto inGlitch = [&](double t) {
        for (const GlitchWindow& w : song.glitches)
            if (t > w.start - 0.05 && t < w.start + w.length + 0.05) return true;
        return false;
    };
    song.syncBeats.erase(std::remove_if(song.syncBeats.begin(), song.syncBeats.end(), inGlitch),
                         song.syncBeats.end());
    std::stable_sort(song.notes.begin(), song.notes.end(),
                     [](const Note& a, const Note& b) { return a.time < b.time; });
    std::sort(song.kicks.begin(), song.kicks.end());
    std::sort(song.syncBeats.begin(), song.syncBeats.end());

    for (double cue : kCueTimes) {
        bool found = false;
        for (const Note& n : song.notes)
            if (IsAccent(n.instrument) && std::fabs(n.time - cue) < 1e-6) found = true;
        if (!found) song.cuesWithoutAccent.push_back(cue);
    }
    return song;
}

}  // namespace music
