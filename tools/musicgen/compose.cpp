#include "tools/musicgen/compose.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tools/musicgen/show_times.h"

namespace music {

float NoteNumber(const char* name) {
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    const char* p = name;
    int letter = *p++ - 'A';
    if (letter < 0 || letter > 6) return 60.0f;
    int semitone = kSemitone[letter];
    if (*p == '#') {
        ++semitone;
        ++p;
    } else if (*p == 'b') {
        --semitone;
        ++p;
    }
    int octave = (int)std::strtol(p, nullptr, 10);
    return (float)(12 * (octave + 1) + semitone);
}

// Reads up to `count` space-separated note names.
static void ParseNotes(const char* text, float* out, int count) {
    char token[8];
    for (int i = 0; i < count; ++i) {
        while (*text == ' ') ++text;
        int n = 0;
        while (*text && *text != ' ' && n < 7) token[n++] = *text++;
        token[n] = 0;
        out[i] = NoteNumber(token);
    }
}

Chord MakeChord(const char* bass, const char* pad, const char* arp) {
    Chord c;
    c.bass = NoteNumber(bass);
    ParseNotes(pad, c.pad, 4);
    ParseNotes(arp, c.arp, 3);
    return c;
}

Note& Composer::Add(Instrument instrument, double beat, double beats, float pitch, float velocity,
                    float pan, float param) {
    double start = BeatTime(beat);
    return AddAt(instrument, start, T(beat + beats) - start, pitch, velocity, pan, param);
}

Note& Composer::AddAt(Instrument instrument, double seconds, double length, float pitch,
                      float velocity, float pan, float param) {
    Note n;
    n.time = seconds;
    n.length = length;
    n.pitch = pitch;
    n.velocity = velocity;
    n.pan = pan;
    n.param = param;
    n.instrument = instrument;
    song.notes.push_back(n);
    return song.notes.back();
}

double Composer::BeatTime(double beat) const {
    double t = T(beat);
    if (std::fabs(beat * 2.0 - std::round(beat * 2.0)) > 1e-6) return t;
    for (double cue : kCueTimes)
        if (std::fabs(cue - t) < 0.06) return cue;
    for (double shot : kShotTimes)
        if (std::fabs(shot - t) < 0.06) return shot;
    return t;
}

void Composer::Kick(double beat, float velocity, bool sync) {
    double t = BeatTime(beat);
    AddAt(kKick, t, 0.3, NoteNumber("A1"), velocity);
    song.kicks.push_back(t);
    if (sync) song.syncBeats.push_back(t);
}

void Composer::Kicks(double fromBeat, double toBeat, bool sync) {
    for (double b = fromBeat; b < toBeat - 1e-9; b += 1.0) Kick(b, 1.0f, sync);
}

static float StepVelocity(char c) {
    switch (c) {
        case 'X':
            return 1.0f;
        case 'x':
            return 0.75f;
        case 'o':
            return 0.5f;
        case '.':
            return 0.3f;
        default:
            return 0.0f;
    }
}

void Composer::Pattern(Instrument instrument, double startBeat, double beats, const char* steps,
                       float pitch, float velocity, float pan, float param) {
    const int length = (int)std::strlen(steps);
    const int count = (int)std::lround(beats * 4.0);
    for (int s = 0; s < count; ++s) {
        float v = StepVelocity(steps[s % length]);
        if (v == 0.0f) continue;
        Add(instrument, startBeat + s * 0.25, 0.25, pitch, v * velocity, pan, param);
    }
}

void Composer::Backbeats(double fromBeat, double toBeat, float velocity, bool withSnare) {
    for (double b = fromBeat + 1.0; b < toBeat - 1e-9; b += 2.0) {
        Add(kClap, b, 0.4, 60.0f, velocity);
        if (withSnare) Add(kSnare, b, 0.4, 60.0f, velocity * 0.7f);
    }
}

void Composer::Melody(Instrument instrument, double startBeat, const char* text, float velocity,
                      float transpose, float pan, float param, float gate) {
    double beat = startBeat;
    float previous = 0.0f;
    const char* p = text;
    while (*p) {
        while (*p == ' ') ++p;
        if (!*p) break;
        bool glide = false;
        if (*p == '~') {
            glide = true;
            ++p;
        }
        char name[8];
        int n = 0;
        while (*p && *p != '/' && n < 7) name[n++] = *p++;
        name[n] = 0;
        double sixteenths = 1.0;
        if (*p == '/') sixteenths = std::strtod(p + 1, (char**)&p);
        while (*p && *p != ' ') ++p;
        double beats = sixteenths * 0.25;
        if (name[0] != 'r') {
            float pitch = NoteNumber(name) + transpose;
            float noteParam = glide && previous > 0.0f ? previous : param;
            Add(instrument, beat, beats * gate, pitch, velocity, pan, noteParam);
            previous = pitch;
        } else {
            previous = 0.0f;
        }
        beat += beats;
    }
}

void Composer::Pads(const Chord* chords, int count, double startBeat, double beatsPerChord,
                    float cutoff, float velocity) {
    static const float kPan[4] = {-0.3f, -0.1f, 0.1f, 0.3f};
    for (int c = 0; c < count; ++c)
        for (int k = 0; k < 4; ++k)
            Add(kPad, startBeat + c * beatsPerChord, beatsPerChord * 0.97, chords[c].pad[k],
                velocity, kPan[k], cutoff);
}

void Composer::Bass(Instrument instrument, const Chord* chords, int count, double startBeat,
                    double beatsPerChord, const char* steps, float bright, float velocity) {
    const int length = (int)std::strlen(steps);
    const int perChord = (int)std::lround(beatsPerChord * 4.0);
    for (int c = 0; c < count; ++c) {
        for (int s = 0; s < perChord; ++s) {
            char k = steps[s % length];
            float pitch = chords[c].bass;
            if (k == 'o')
                pitch += 12.0f;
            else if (k == '5')
                pitch += 7.0f;
            else if (k != 'x')
                continue;
            int hold = 1;
            while (s + hold < perChord && steps[(s + hold) % length] == '=') ++hold;
            double beat = startBeat + c * beatsPerChord + s * 0.25;
            Add(instrument, beat, hold * 0.25 * 0.8, pitch, velocity, 0.0f, bright);
        }
    }
}

void Composer::Roots(Instrument instrument, const Chord* chords, int count, double startBeat,
                     double beatsPerChord, float velocity, float transpose) {
    for (int c = 0; c < count; ++c)
        Add(instrument, startBeat + c * beatsPerChord, beatsPerChord * 0.97,
            chords[c].bass + transpose, velocity);
}

void Composer::Arp(const Chord* chords, int count, double startBeat, double beatsPerChord,
                   const char* order, float transpose, float bright, float velocity) {
    const int length = (int)std::strlen(order);
    const int perChord = (int)std::lround(beatsPerChord * 4.0);
    int step = 0;
    for (int c = 0; c < count; ++c) {
        for (int s = 0; s < perChord; ++s, ++step) {
            char k = order[step % length];
            if (k < '0' || k > '9') continue;
            int index = k - '0';
            float pitch = chords[c].arp[index % 3] + 12.0f * (index / 3) + transpose;
            float pan = (step % 2 == 0) ? -0.35f : 0.35f;
            float accent = (s % 4 == 0) ? 1.0f : 0.8f;
            Add(kPluck, startBeat + c * beatsPerChord + s * 0.25, 0.2, pitch, velocity * accent,
                pan, bright);
        }
    }
}

void Composer::StabChord(const Chord& chord, double seconds, float velocity, float decay,
                         bool postGlitch) {
    static const float kPan[4] = {-0.4f, -0.15f, 0.15f, 0.4f};
    for (int k = 0; k < 4; ++k) {
        Note& n = AddAt(kStab, seconds, 0.3, chord.pad[k] + 12.0f, velocity, kPan[k], decay);
        n.postGlitch = postGlitch;
    }
}

void Composer::Riser(double fromBeat, double toBeat, float pitch, float velocity) {
    Add(kRiser, fromBeat, toBeat - fromBeat, pitch, velocity);
}

void Composer::ReverseInto(double endSeconds, double length, float velocity) {
    AddAt(kReverse, endSeconds - length, length, 60.0f, velocity);
}

void Composer::Impact(double seconds, float velocity, bool soft) {
    AddAt(kImpact, seconds, 2.0, 60.0f, velocity, 0.0f, soft ? 1.0f : 0.0f);
    if (!soft) song.kicks.push_back(seconds);
}

void Composer::Crash(double seconds, float velocity, float length) {
    AddAt(kCrash, seconds, 2.0, 60.0f, velocity, 0.0f, length);
}

void Composer::Section(double fromBeat, double toBeat, const char* name, const char* content) {
    music::Section s;
    s.start = T(fromBeat);
    s.end = T(toBeat);
    s.firstBeat = fromBeat;
    s.name = name;
    s.content = content;
    song.sections.push_back(s);
}

}  // namespace music

namespace music {

const Harmony& Chords() {
    static const Harmony h = [] {
        Harmony x;
        x.Dm = MakeChord("D2", "A3 D4 F4 A4", "D4 F4 A4");
        x.Bb = MakeChord("Bb1", "Bb3 D4 F4 A4", "D4 F4 Bb4");
        x.F = MakeChord("F2", "A3 C4 F4 A4", "C4 F4 A4");
        x.C = MakeChord("C2", "G3 C4 E4 G4", "C4 E4 G4");
        x.Gm = MakeChord("G1", "G3 Bb3 D4 F4", "D4 G4 Bb4");
        x.A = MakeChord("A1", "A3 C#4 E4 A4", "C#4 E4 A4");
        x.A7 = MakeChord("A1", "G3 C#4 E4 A4", "C#4 E4 G4");
        x.Dm9 = MakeChord("D2", "A3 D4 E4 F4", "D4 F4 A4");
        x.Bbmaj7 = MakeChord("Bb1", "Bb3 D4 F4 A4", "D4 F4 A4");
        x.Gm9 = MakeChord("G1", "Bb3 D4 F4 A4", "D4 G4 Bb4");
        x.A7sus4 = MakeChord("A1", "G3 D4 E4 A4", "D4 E4 A4");
        x.Dadd9 = MakeChord("D2", "D3 A3 E4 F4", "D4 E4 A4");
        return x;
    }();
    return h;
}

}  // namespace music
