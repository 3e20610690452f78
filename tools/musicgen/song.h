// The composed soundtrack as data: every note of every instrument with its
// time in seconds, the automation curves of the mix, the glitch windows and
// the list of sections. BuildSong composes it; the renderer plays it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/musicgen/tempo.h"

namespace music {

enum Instrument : uint8_t {
    kKick,       // tuned sine kick with pitch sweep and click
    kSoftKick,   // the muffled kick of the titles
    kSnare,      // body tone and noise
    kClap,       // three quick noise bursts and a tail
    kClosedHat,  // metallic square cluster, short
    kOpenHat,    // the same, long
    kShaker,     // band-passed noise tick
    kCrash,      // long metallic wash
    kTom,        // pitched drum for fills
    kBass,       // two detuned saws and a sub through a 24 dB low-pass
    kSubBass,    // sine for the breakdown and the drones
    kPad,        // seven-saw ensemble, slow attack, stereo spread
    kLead,       // three saws, filter envelope, vibrato, glide
    kPluck,      // arpeggio pluck
    kStab,       // short bright chord hit for accents
    kBell,       // two-operator FM bell
    kWind,       // swept band-passed noise
    kRiser,      // noise and saw sweeping up to a target time
    kReverse,    // reversed cymbal swelling into a target time
    kImpact,     // sub drop, noise thump and crash for picture cuts
    kGlitch,     // bit-crushed data bleeps and crackle
    kInstrumentCount
};

struct Note {
    double time = 0.0;    // seconds from the start of the track
    double length = 0.0;  // seconds the gate stays open
    float pitch = 60.0f;  // MIDI note number (69 = 440 Hz)
    float velocity = 1.0f;
    float pan = 0.0f;    // -1 left .. 1 right
    float param = 0.0f;  // instrument-specific: brightness, glide source, ...
    Instrument instrument = kKick;
    bool postGlitch = false;  // mixed after the stutter and crush windows
};

// Piecewise-linear automation over time.
struct Curve {
    std::vector<std::pair<double, float>> points;  // (seconds, value), ascending
    bool logarithmic = false;                      // interpolate the logarithm (for frequencies)
    // Value at a time; before the first point the first value, after the last
    // point the last value.
    float At(double seconds) const;
};

// Stutter, crush and tape-stop windows applied to the whole mix.
struct GlitchWindow {
    double start = 0.0;
    double length = 0.0;
    double sliceStart = 0.0;  // repeated slice: length in seconds at the start,
    double sliceEnd = 0.0;    // shrinking towards sliceEnd by the window's end
    float crush = 0.0f;       // 0 clean .. 1 heavily bit-crushed
    bool tapeStop = false;    // playback slows to a halt instead of repeating
};

struct Section {
    double start = 0.0;  // seconds
    double end = 0.0;
    double firstBeat = 0.0;
    std::string name;
    std::string content;  // what plays
};

struct Song {
    TempoMap tempo;
    std::vector<Note> notes;        // sorted by time
    std::vector<double> kicks;      // every kick: the sidechain follows them
    std::vector<double> syncBeats;  // kicks of the groove sections: the bass flash
    std::vector<GlitchWindow> glitches;
    std::vector<Section> sections;
    Curve musicCutoff;  // low-pass of the music bus, Hz
    Curve bassCutoff;   // low-pass of the bass bus, Hz
    Curve reverbSend;   // extra reverb send of the music bus
    Curve masterGain;   // fades at the very start and end
    double length = 0.0;
    // Scroller cues that no accent note starts on; empty when composed right.
    std::vector<double> cuesWithoutAccent;
};

// Composes the whole soundtrack. Deterministic.
Song BuildSong();

}  // namespace music
