// The titles (atmosphere, the first beat arriving) and the build under the
// laser writer, up to the drop at beat 126.
#include "tools/musicgen/compose.h"
#include "tools/musicgen/show_times.h"

namespace music {

void ArrangeTitlesAndBuild(Composer& c) {
    const Harmony& h = Chords();

    // --- Titles, first picture (beats 0-32): no pulse yet. -----------------
    c.Section(0, 32, "titles",
              "wind, slow pads Dm9 Bbmaj7 Gm9 A7sus4-A7, sub drone, a bell motif; "
              "stutter at 11.0 s; reverse swell into a soft impact for the logo at 14.0 s");
    c.AddAt(kWind, 0.0, 27.5, 60.0f, 1.0f, 0.0f, 4.0f);
    const Chord intro[] = {h.Dm9, h.Bbmaj7, h.Gm9};
    c.Pads(intro, 3, 0, 8, 1300.0f, 0.9f);
    c.Pads(&h.A7sus4, 1, 24, 4, 1300.0f, 0.9f);
    c.Pads(&h.A7, 1, 28, 4, 1500.0f, 0.9f);
    const Chord drone[] = {h.Dm9, h.Bbmaj7, h.Gm9, h.A7};
    c.Roots(kSubBass, drone, 4, 0, 8, 0.35f);
    c.Melody(kBell, 8, "D5/16 A4/8 F5/8 E5/24 C5/8 D5/16 C#5/16", 0.55f, 0.0f, 0.2f);
    c.Melody(kBell, 10, "r/16 A5/24 r/24 G5/8 r/8 A5/32", 0.25f, 0.0f, -0.4f);
    c.ReverseInto(kLogoStart, 2.2, 0.9f);
    c.Impact(kLogoStart, 0.7f, true);

    // --- Titles, logo (beats 32-64): the first, muffled beat arrives. --------
    c.Section(32, 64, "titles, first beat",
              "muffled kick arrives with the logo, shaker and hats, pads Dm Bb F C, sub, dark "
              "arpeggio; stutter at 24.0 s; snare roll and reverse crash into the build");
    const Chord first[] = {h.Dm, h.Bb, h.F, h.C};
    c.Pads(first, 4, 32, 8, 1700.0f, 0.85f);
    c.Roots(kSubBass, first, 4, 32, 8, 0.25f);
    for (int b = 32; b < 60; ++b) c.Add(kSoftKick, b, 0.3, NoteNumber("A1"), 0.8f);
    c.Pattern(kShaker, 36, 24, "..x...x...x...x.", 60.0f, 0.8f, 0.3f);
    c.Pattern(kClosedHat, 48, 12, "x.o.", 60.0f, 0.5f, -0.2f);
    c.Arp(first + 2, 2, 48, 8, "02343235", 0.0f, 0.25f, 0.55f);
    for (int s = 0; s < 16; ++s)  // crescendo of sixteenths over the last bar
        c.Add(kSnare, 60 + s * 0.25, 0.1, 60.0f, 0.2f + 0.045f * s);
    c.ReverseInto(c.T(64), c.Span(60, 4), 0.8f);

    // --- Build under the laser writer (beats 64-126). ------------------------
    // Four lines of text, four stages: each adds a layer while the bus filters
    // open; a bar of 2/4 at the end leaves a breath before the drop.
    const Chord build[] = {h.Dm, h.Bb, h.Gm, h.A};
    c.Section(64, 80, "build, line 1",
              "kick enters, offbeat bass, closed hats, pads Dm Bb Gm A under a closed filter");
    c.Section(80, 96, "build, line 2", "clap on the backbeat, plucked arpeggio, sixteenth hats");
    c.Section(96, 112, "build, line 3", "lead sketches the hook, open hats, riser begins");
    c.Section(
        112, 126, "build, line 4",
        "snare roll in eighths, sixteenths, thirty-seconds; bar of 2/4; breath before the drop");
    for (int line = 0; line < 4; ++line) c.Crash(c.T(64 + 16 * line), line == 0 ? 1.0f : 0.7f);
    c.Kicks(64, 124, true);
    c.Pads(build, 4, 64, 4, 2200.0f, 0.8f);
    c.Pads(build, 4, 80, 4, 2200.0f, 0.8f);
    c.Pads(build, 4, 96, 4, 2200.0f, 0.8f);
    c.Pads(build, 3, 112, 4, 2200.0f, 0.8f);
    c.Pads(&h.A, 1, 124, 1.5, 2600.0f, 0.8f);
    c.Bass(kBass, build, 4, 64, 4, "--x---x---x---x-", 0.35f, 0.9f);
    c.Bass(kBass, build, 4, 80, 4, "--x---x---x---xo", 0.4f, 0.9f);
    c.Bass(kBass, build, 4, 96, 4, "--x---x---x-o-x-", 0.45f, 0.9f);
    c.Bass(kBass, build, 3, 112, 4, "-xxo-xxo-xxo-xxo", 0.5f, 0.85f);
    c.Pattern(kClosedHat, 64, 16, "--x-", 60.0f, 0.8f, -0.15f);
    c.Pattern(kClosedHat, 80, 44, "o.X.", 60.0f, 0.8f, -0.15f);
    c.Pattern(kOpenHat, 100, 24, "--x-", 60.0f, 0.55f, 0.2f);
    c.Backbeats(80, 112, 0.85f, false);
    c.Arp(build, 4, 80, 4, "02343235", 0.0f, 0.5f, 0.6f);
    c.Arp(build, 4, 96, 4, "02343235", 0.0f, 0.7f, 0.6f);
    c.Arp(build, 3, 112, 4, "03140314", 0.0f, 0.85f, 0.6f);
    c.Melody(kLead, 96, "A4/12 D5/4 F5/16 D5/12 G5/4 E5/8 C#5/8", 0.75f);
    // The roll: eighths, then sixteenths, then thirty-seconds into the drop.
    for (int s = 0; s < 16; ++s) c.Add(kSnare, 112 + s * 0.5, 0.1, 60.0f, 0.35f + 0.015f * s);
    for (int s = 0; s < 16; ++s) c.Add(kSnare, 120 + s * 0.25, 0.1, 60.0f, 0.6f + 0.015f * s);
    for (int s = 0; s < 12; ++s) c.Add(kSnare, 124 + s * 0.125, 0.05, 60.0f, 0.85f + 0.012f * s);
    c.Riser(108, 126, NoteNumber("D3"), 0.9f);
    c.ReverseInto(c.T(126), c.Span(124, 2), 0.9f);
}

}  // namespace music
