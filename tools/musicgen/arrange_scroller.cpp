// The main groove under the scroller and the head and hand shots (beats
// 126-378): drop, two grooves with the hook and the second theme, stop-time
// hits under the quick shots, the peak, a breakdown and the way back up.
#include "tools/musicgen/compose.h"
#include "tools/musicgen/show_times.h"

namespace music {

namespace {

// The hook, over Dm Bb F C, and its variation that climbs back to the top.
const char* const kHook =
    "D5/3 F5/3 A5/2 G5/4 F5/2 E5/2  D5/3 F5/3 Bb5/2 ~A5/4 G5/2 F5/2 "
    "C5/3 F5/3 A5/2 G5/3 F5/3 E5/2  E5/4 G5/4 C6/2 ~Bb5/2 A5/2 G5/2";
const char* const kHookTurn =
    "D5/3 F5/3 A5/2 G5/4 F5/2 E5/2  D5/3 F5/3 Bb5/2 ~A5/4 G5/2 F5/2 "
    "C5/3 F5/3 A5/2 G5/3 F5/3 E5/2  E5/2 F5/2 G5/4 ~A5/8";
// The second theme, over Gm Dm Bb A.
const char* const kTheme =
    "Bb4/6 A4/2 G4/4 D5/4  F5/6 E5/2 D5/4 A4/4  D5/6 C5/2 Bb4/4 F5/4  E5/8 C#5/4 A4/4";
const char* const kThemeAnswer =
    "Bb4/6 A4/2 G4/4 D5/4  F5/6 E5/2 D5/4 ~A5/4  G5/6 F5/2 D5/4 F5/4  E5/4 C#5/4 D5/4 E5/4";
// The breakdown's slow line over Bb C Dm Dm Bb C A A.
const char* const kBreakdownLine =
    "D5/8 F5/8  E5/8 G5/8  A5/12 G5/2 F5/2  D5/16  D5/8 F5/8  G5/8 C6/8  A5/12 E5/4  C#5/16";

// Drums, bass and pads of `bars` bars from `from`, the chords cycling.
// level 1: clap, offbeat hats; 2: plus snare and sixteenth hats; 3: plus
// open hats and a brighter bass.
void Groove(Composer& c, const Chord* chords, int count, double from, int bars, int level) {
    const double to = from + 4.0 * bars;
    c.Kicks(from, to, true);
    c.Backbeats(from, to, 0.9f, level >= 2);
    c.Pattern(kClosedHat, from, to - from, level >= 2 ? "oxXx" : "o.X.", 60.0f, 0.85f, -0.15f);
    if (level >= 3) c.Pattern(kOpenHat, from, to - from, "--x-", 60.0f, 0.5f, 0.25f);
    for (int bar = 0; bar < bars; bar += count) {
        int n = bars - bar < count ? bars - bar : count;
        double start = from + 4.0 * bar;
        c.Bass(kBass, chords, n, start, 4, "-xxo-xxx-xxo-xox", level >= 3 ? 0.7f : 0.55f, 0.95f);
        c.Pads(chords, n, start, 4, level >= 3 ? 3200.0f : 2600.0f, 0.75f);
    }
}

void ShotImpact(Composer& c, double seconds) {
    c.ReverseInto(seconds, 0.9, 0.6f);
    c.Impact(seconds, 0.9f, false);
    c.Crash(seconds, 0.9f, 1.3f);
}

}  // namespace

void ArrangeScroller(Composer& c) {
    const Harmony& h = Chords();
    const Chord a[] = {h.Dm, h.Bb, h.F, h.C};
    const Chord b[] = {h.Gm, h.Dm, h.Bb, h.A};

    // --- Drop and first groove (126-190). -------------------------------------
    c.Section(126, 142, "drop", "full groove on Dm Bb F C, the hook on the lead");
    c.Section(
        142, 190, "groove A",
        "claps on the scroller's cues, the hook's turn, arpeggio, hook with a pluck an octave "
        "below");
    c.Crash(c.T(126), 1.0f, 1.5f);
    c.Impact(c.T(126), 0.8f, false);
    Groove(c, a, 4, 126, 4, 1);
    Groove(c, a, 4, 142, 12, 2);
    c.Melody(kLead, 126, kHook, 0.9f);
    c.Melody(kLead, 142, kHookTurn, 0.9f);
    c.Arp(a, 4, 158, 4, "02343235", 0.0f, 0.8f, 0.65f);
    c.Arp(a, 4, 166, 4, "03140314", 0.0f, 0.9f, 0.65f);
    c.Melody(kLead, 174, kHook, 0.9f);
    c.Melody(kPluck, 174, kHook, 0.5f, -12.0f, 0.0f, 0.7f);
    c.Riser(186, 190, NoteNumber("D3"), 0.5f);

    // --- Second groove with the head and hand shots (190-286). ---------------
    c.Section(190, 286, "groove B",
              "Gm Dm Bb A: arpeggio, the second theme and its answer, offbeat stabs; an impact "
              "with crash on every shot");
    Groove(c, b, 4, 190, 24, 2);
    for (double shot : kShotTimes)
        if (shot < 130.0) ShotImpact(c, shot);
    c.Arp(b, 4, 190, 4, "02343235", 0.0f, 0.8f, 0.7f);
    c.Melody(kLead, 206, kTheme, 0.85f);
    c.Melody(kLead, 222, kThemeAnswer, 0.85f);
    c.Melody(kPluck, 222, kThemeAnswer, 0.45f, 12.0f, 0.0f, 0.6f);
    c.Arp(b, 4, 238, 4, "03140314", 0.0f, 0.9f, 0.7f);
    for (int bar = 0; bar < 4; ++bar)
        for (double off : {0.5, 1.5, 2.5, 3.25})
            c.StabChord(b[bar], c.T(238 + 4 * bar + off), 0.45f);
    c.Melody(kLead, 254, kTheme, 0.9f, 12.0f);
    c.Melody(kLead, 270, kThemeAnswer, 0.9f);
    c.Arp(b, 4, 270, 4, "02343235", 0.0f, 0.9f, 0.6f);
    for (int s = 0; s < 8; ++s)
        c.Add(kTom, 284 + s * 0.25, 0.2, NoteNumber("A2") - s, 0.5f + 0.06f * s);

    // --- Stop-time hits under the quick shots (286-302). ---------------------
    c.Section(286, 302, "hits",
              "one bar of groove with a stab on the cue, then the groove stops: three chord hits "
              "Bb C A with impacts on the shots, riser and snare roll into the peak");
    Groove(c, &h.Gm, 1, 286, 1, 2);
    c.StabChord(h.Gm, c.AccentTime(288), 0.8f);
    c.Crash(c.AccentTime(288), 0.6f);
    const Chord hits[] = {h.Bb, h.C, h.A};
    for (int i = 0; i < 3; ++i) {
        double beat = 290 + 4 * i;
        double shot = c.BeatTime(beat);  // the shot itself
        c.Kick(beat, 1.0f, true);
        c.Impact(shot, 1.0f, false);
        c.Crash(shot, 1.0f, 1.2f);
        c.StabChord(hits[i], shot, 1.0f, 0.5f);
        c.Pads(&hits[i], 1, beat, 4, 2600.0f, 0.9f);
        c.Add(kSubBass, beat, 3.5, hits[i].bass, 0.7f);
    }
    c.Riser(294, 302, NoteNumber("D3"), 0.9f);
    for (int s = 0; s < 8; ++s) c.Add(kSnare, 298 + s * 0.25, 0.1, 60.0f, 0.4f + 0.04f * s);
    for (int s = 0; s < 16; ++s) c.Add(kSnare, 300 + s * 0.125, 0.05, 60.0f, 0.7f + 0.018f * s);

    // --- Peak (302-334). --------------------------------------------------------
    c.Section(302, 334, "peak",
              "everything: open hats, snare and clap, brighter bass, hook doubled by a pluck, "
              "arpeggio; stab on the cue after the first downbeat");
    c.Crash(c.T(302), 1.0f, 1.5f);
    c.Impact(c.T(302), 0.7f, false);
    c.StabChord(h.Dm, c.BeatTime(302.5), 0.8f);  // the cue on the eighth after the downbeat
    Groove(c, a, 4, 302, 8, 3);
    c.Melody(kLead, 302, kHook, 1.0f);
    c.Melody(kLead, 318, kHookTurn, 1.0f);
    c.Melody(kPluck, 302, kHook, 0.45f, -12.0f, 0.0f, 0.8f);
    c.Arp(a, 4, 318, 4, "02343235", 12.0f, 0.9f, 0.45f);

    // --- Breakdown (334-366): no kick. -----------------------------------------
    c.Section(334, 366, "breakdown",
              "pads Bb C Dm Dm Bb C A A, sub bass, the slow line on lead and bell, wind; long "
              "claps and stabs on the two cues; arpeggio, snare roll and riser back up");
    const Chord bd[] = {h.Bb, h.C, h.Dm, h.Dm, h.Bb, h.C, h.A, h.A};
    c.Crash(c.T(334), 0.8f, 2.0f);
    c.Pads(bd, 8, 334, 4, 1900.0f, 1.0f);
    c.Roots(kSubBass, bd, 8, 334, 4, 0.6f, 12.0f);
    c.Melody(kLead, 334, kBreakdownLine, 0.6f, 0.0f, 0.0f, 0.0f, 0.98f);
    c.Melody(kBell, 334, kBreakdownLine, 0.35f, 12.0f, 0.3f);
    c.AddAt(kWind, c.T(334), c.Span(334, 28), 60.0f, 0.6f, 0.0f, 3.0f);
    for (double beat : {339.0, 355.0}) {
        double t = c.AccentTime(beat);
        c.AddAt(kClap, t, 0.2, 60.0f, 1.0f, 0.0f, 2.5f);
        c.AddAt(kSnare, t, 0.2, 60.0f, 0.6f, 0.0f, 2.0f);
        c.StabChord(h.C, t, 0.7f, 0.45f);  // both cues fall in a bar of C
    }
    c.Arp(bd + 4, 4, 350, 4, "02343235", 0.0f, 0.4f, 0.55f);
    for (int s = 0; s < 8; ++s) c.Add(kSnare, 358 + s * 0.5, 0.1, 60.0f, 0.3f + 0.03f * s);
    for (int s = 0; s < 16; ++s) c.Add(kSnare, 362 + s * 0.25, 0.1, 60.0f, 0.55f + 0.025f * s);
    c.Riser(356, 366, NoteNumber("D3"), 0.8f);
    c.ReverseInto(c.T(366), c.Span(364, 2), 0.8f);

    // --- Back up to the voxel cloud (366-378). --------------------------------
    c.Section(366, 378, "rebuild",
              "groove returns on Dm Bb; stutter fill at 169.0 s with a stab and crash on the cue; "
              "C with snare roll and riser into the voxel cloud");
    c.Crash(c.T(366), 1.0f, 1.2f);
    const Chord rb[] = {h.Dm, h.Bb};
    Groove(c, rb, 2, 366, 2, 2);
    c.Melody(kLead, 366, "D5/3 F5/3 A5/2 G5/4 F5/2 E5/2  D5/3 F5/3 Bb5/2 ~A5/4 G5/4", 0.9f);
    c.StabChord(h.Bb, kCueTimes[64], 1.0f, 0.4f, true);  // 169.63 s, inside the stutter
    Note& crash = c.AddAt(kCrash, kCueTimes[64], 2.0, 60.0f, 0.9f);
    crash.postGlitch = true;
    c.Pads(&h.C, 1, 374, 4, 3000.0f, 0.8f);
    c.Roots(kSubBass, &h.C, 1, 374, 4, 0.5f, 12.0f);
    for (int s = 0; s < 16; ++s) c.Add(kSnare, 374 + s * 0.25, 0.1, 60.0f, 0.5f + 0.03f * s);
    c.Riser(371, 378, NoteNumber("D3"), 0.9f);
    c.ReverseInto(c.T(378), c.Span(376, 2), 0.8f);
}

}  // namespace music
