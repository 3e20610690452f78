// The composer's toolbox: note names, chords, step patterns and melodies
// written as short strings, all placed on the beat grid of the tempo map.
#pragma once

#include <string>

#include "tools/musicgen/song.h"

namespace music {

// MIDI note number of a name such as "D4", "F#3" or "Bb1" (C4 = 60).
float NoteNumber(const char* name);

// A chord: its bass note, a four-note pad voicing and a triad for the
// arpeggio, each written as space-separated note names.
struct Chord {
    float bass = 0.0f;
    float pad[4] = {};
    float arp[3] = {};
};
Chord MakeChord(const char* bass, const char* pad, const char* arp);

struct Composer {
    Song& song;

    double T(double beat) const { return song.tempo.Seconds(beat); }
    double Span(double beat, double beats) const { return T(beat + beats) - T(beat); }

    Note& Add(Instrument instrument, double beat, double beats, float pitch, float velocity,
              float pan = 0.0f, float param = 0.0f);
    Note& AddAt(Instrument instrument, double seconds, double length, float pitch, float velocity,
                float pan = 0.0f, float param = 0.0f);

    // Onset time of a note on `beat`. A beat on the eighth-note grid whose time
    // lies within 60 ms of a scroller cue or a shot is moved onto that picture
    // time, with everything that starts on it (kick, clap, hat, bass): the
    // whole beat is pushed or pulled a little, so the accent lands exactly on
    // the cut without flamming against the rest of the drums.
    double BeatTime(double beat) const;
    double AccentTime(double beat) const { return BeatTime(beat); }

    // A kick on the beat; it ducks the bass and music. `sync` marks it as a
    // beat the grid's bass flash must follow.
    void Kick(double beat, float velocity, bool sync);
    void Kicks(double fromBeat, double toBeat, bool sync);

    // Step pattern in sixteenths, repeated to fill `beats`: 'X' 1.0, 'x' 0.75,
    // 'o' 0.5, '.' 0.3, anything else a rest.
    void Pattern(Instrument instrument, double startBeat, double beats, const char* steps,
                 float pitch, float velocity = 1.0f, float pan = 0.0f, float param = 0.0f);

    // Clap (and optionally snare) on the backbeats (beats 2 and 4) of the bars
    // that start at fromBeat and end at toBeat.
    void Backbeats(double fromBeat, double toBeat, float velocity, bool withSnare);

    // Melody tokens "NOTE/LEN" or "r/LEN", LEN in sixteenths; a leading '~'
    // makes the note glide from the previous one (lead only).
    void Melody(Instrument instrument, double startBeat, const char* text, float velocity,
                float transpose = 0.0f, float pan = 0.0f, float param = 0.0f, float gate = 0.92f);

    // Pad chords, one per `beatsPerChord`, each held for its whole length.
    void Pads(const Chord* chords, int count, double startBeat, double beatsPerChord, float cutoff,
              float velocity);
    // Bass on the chords' roots. Steps: 'x' root, 'o' octave up, '5' fifth,
    // '=' holds the previous note one more step, anything else rests.
    void Bass(Instrument instrument, const Chord* chords, int count, double startBeat,
              double beatsPerChord, const char* steps, float bright, float velocity);
    // Each chord's bass note held for the chord's whole length.
    void Roots(Instrument instrument, const Chord* chords, int count, double startBeat,
               double beatsPerChord, float velocity, float transpose = 0.0f);
    // Sixteenth-note arpeggio through indices into the chord's triad extended
    // upwards by octaves (0..2 the triad, 3..5 an octave up, ...).
    void Arp(const Chord* chords, int count, double startBeat, double beatsPerChord,
             const char* order, float transpose, float bright, float velocity);
    // Short chord hit at an exact time (an accent).
    void StabChord(const Chord& chord, double seconds, float velocity, float decay = 0.0f,
                   bool postGlitch = false);

    void Riser(double fromBeat, double toBeat, float pitch, float velocity);
    void ReverseInto(double endSeconds, double length, float velocity);
    void Impact(double seconds, float velocity, bool soft);
    void Crash(double seconds, float velocity, float length = 1.0f);

    void Section(double fromBeat, double toBeat, const char* name, const char* content);
};

// The chords of the piece (key of D minor).
struct Harmony {
    Chord Dm, Bb, F, C, Gm, A, A7;          // the grooves
    Chord Dm9, Bbmaj7, Gm9, A7sus4, Dadd9;  // the titles and the end
};
const Harmony& Chords();

// The three parts of the arrangement, in show order.
void ArrangeTitlesAndBuild(Composer& c);  // 0 .. 57.5 s
void ArrangeScroller(Composer& c);        // 57.5 .. 172 s
void ArrangeFinale(Composer& c);          // 172 s .. end

}  // namespace music
