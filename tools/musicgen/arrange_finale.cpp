// The voxel cloud, the falling cylinders and the end screen (beat 378 to the
// end of the track).
#include <cmath>

#include "tools/musicgen/compose.h"
#include "tools/musicgen/show_times.h"

namespace music {

namespace {

// Over F C Dm Bb: a bright line that leaps up and steps back down.
const char* const kCloudLine =
    "A5/2 C6/2 F6/4 E6/2 C6/2 A5/4  G5/2 C6/2 E6/4 D6/2 C6/2 G5/4 "
    "F5/2 A5/2 D6/4 C6/2 A5/2 F5/4  D6/4 C6/4 Bb5/4 A5/4";
// Over Dm C Bb A Dm A: a falling lament for the falling cylinders.
const char* const kLament = "A5/8 G5/8  G5/8 F5/8  F5/8 E5/8  E5/8 C#5/8  D5/16  C#5/8";
// The hook, slowed down, on bells over the end screen's Bbmaj7 C Dadd9.
const char* const kFarewell =
    "D5/6 F5/6 A5/4 G5/8 F5/4 E5/4  E5/6 G5/6 C6/4 Bb5/4 A5/4 G5/8  F5/8 E5/8 D5/32";

}  // namespace

void ArrangeFinale(Composer& c) {
    const Harmony& h = Chords();

    // --- Voxel cloud (378-431). -------------------------------------------------
    c.Section(378, 431, "voxel cloud",
              "F C Dm Bb: sixteenth arpeggio in front, offbeat bass, lighter drums, shaker; the "
              "cloud line on bells, then on the lead; tom fill and a one-beat breath");
    const Chord v[] = {h.F, h.C, h.Dm, h.Bb};
    c.Crash(c.T(378), 1.0f, 1.5f);
    c.Impact(c.T(378), 0.6f, false);
    c.Kicks(378, 429, true);
    c.Backbeats(378, 430, 0.8f, false);
    c.Pattern(kClosedHat, 378, 48, "o.X.", 60.0f, 0.75f, -0.2f);
    c.Pattern(kShaker, 378, 48, "x.o.", 60.0f, 0.7f, 0.35f);
    for (int cycle = 0; cycle < 3; ++cycle) {
        double start = 378 + 16 * cycle;
        c.Bass(kBass, v, 4, start, 4, "--x---o---x---o-", 0.45f, 0.95f);
        c.Pads(v, 4, start, 4, 3200.0f, 0.7f);
        c.Arp(v, 4, start, 4, "02343235", cycle == 2 ? 12.0f : 0.0f, 0.9f, 0.7f);
    }
    c.Melody(kBell, 394, kCloudLine, 0.6f);
    c.Melody(kPluck, 394, kCloudLine, 0.35f, -12.0f, 0.0f, 0.6f);
    c.Melody(kLead, 410, kCloudLine, 0.8f, -12.0f);
    c.Pads(&h.A, 1, 426, 4, 3200.0f, 0.8f);
    c.Bass(kBass, &h.A, 1, 426, 3, "--x---o---x-", 0.5f, 0.95f);
    for (int s = 0; s < 4; ++s)
        c.Add(kTom, 429 + s * 0.25, 0.2, NoteNumber("A2") - 3 * s, 0.6f + 0.1f * s);
    c.ReverseInto(kCylinderStart, c.Span(429, 2), 0.9f);

    // --- Falling cylinders (431-453). ------------------------------------------
    c.Section(431, 453, "cylinders",
              "Dm C Bb A Dm A: heavy rolling bass, snare and clap, offbeat stabs, the falling "
              "lament; stutters at 202.0 and 204.0 s; tape stop into an impact at 206.0 s");
    const Chord cy[] = {h.Dm, h.C, h.Bb, h.A, h.Dm};
    c.Impact(c.T(431), 1.0f, false);
    c.Crash(c.T(431), 1.0f, 1.5f);
    c.Kicks(431, 453, true);
    c.Backbeats(431, 451, 0.95f, true);
    c.Pattern(kClosedHat, 431, 22, "oxXx", 60.0f, 0.85f, -0.15f);
    c.Pattern(kOpenHat, 431, 22, "--x-", 60.0f, 0.5f, 0.25f);
    c.Bass(kBass, cy, 5, 431, 4, "xxox", 0.85f, 1.0f);
    c.Bass(kBass, &h.A, 1, 451, 2, "xxox", 0.9f, 1.0f);
    c.Pads(cy, 5, 431, 4, 2800.0f, 0.8f);
    c.Pads(&h.A, 1, 451, 2, 2800.0f, 0.8f);
    c.Melody(kLead, 431, kLament, 1.0f);
    c.Melody(kPluck, 431, kLament, 0.4f, -12.0f, 0.0f, 0.8f);
    for (int bar = 0; bar < 5; ++bar)
        for (double off : {1.5, 3.5}) c.StabChord(cy[bar], c.T(431 + 4 * bar + off), 0.5f);
    c.Impact(kCylinderEnd, 1.0f, false);
    c.Crash(kCylinderEnd, 1.0f, 2.0f);

    // --- Gap and end screen (206 s to the end). --------------------------------
    const double endBeat = c.song.tempo.Beat(kEndScreenStart);
    c.Section(453, endBeat, "gap",
              "impact tail; at 208.0 s a crash, then bit-crushed data noise and glitch bleeps, "
              "thinning out");
    c.AddAt(kWind, 206.5, 8.0, 60.0f, 0.6f, 0.0f, 2.0f);
    const double storm[][2] = {{208.0, 0.9}, {209.5, 0.6}, {211.0, 0.35}, {212.5, 0.15}};
    for (const auto& g : storm) c.AddAt(kGlitch, g[0], 1.5, 84.0f, (float)g[1]);
    c.Crash(kFuzzBursts[5].start, 0.7f, 1.5f);  // the picture breaks up: a hit on its first frame

    c.Section(endBeat, c.song.tempo.Beat(kTrackLength), "end screen",
              "Bbmaj7 C Dadd9 pads and sub, the hook slowed down on bells, filter closing, fade "
              "to silence so the loop joins cleanly");
    const double chordsAt[][2] = {{210.0, 4.0}, {214.0, 4.0}, {218.0, 5.2}};
    const Chord outro[] = {h.Bbmaj7, h.C, h.Dadd9};
    static const float kPan[4] = {-0.3f, -0.1f, 0.1f, 0.3f};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 4; ++k)
            c.AddAt(kPad, chordsAt[i][0], chordsAt[i][1], outro[i].pad[k], 0.9f, kPan[k], 2000.0f);
        c.AddAt(kSubBass, chordsAt[i][0], chordsAt[i][1], outro[i].bass + 12.0f, 0.45f);
    }
    c.Melody(kBell, std::ceil(endBeat) + 1, kFarewell, 0.6f);
    c.Melody(kBell, std::ceil(endBeat) + 2, kFarewell, 0.2f, 12.0f, -0.5f);
}

}  // namespace music
