// Small signal-processing parts shared by the instruments and effects of the
// soundtrack generator: oscillators, filters, envelopes and noise. Everything
// is per-sample and allocation-free; state lives in plain structs.
#pragma once

#include <cmath>
#include <cstdint>

namespace music {

constexpr int kSampleRate = 44100;
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2.0f * kPi;

inline float MidiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }
inline float DbToGain(float db) { return std::pow(10.0f, db / 20.0f); }

// Multiplier per sample that decays a value to 1/e in `seconds`.
inline float DecayPerSample(float seconds) {
    return seconds <= 0.0f ? 0.0f : std::exp(-1.0f / (seconds * kSampleRate));
}

// xorshift32: deterministic noise, seeded per note so every render is identical.
struct Rng {
    uint32_t state = 0x9E3779B9u;
    explicit Rng(uint32_t seed = 1) : state(seed ? seed * 2654435761u + 1u : 0x9E3779B9u) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }  // [0, 1)
    float Bipolar() { return Unit() * 2.0f - 1.0f; }               // [-1, 1)
};

// Band-limited step correction (polyBLEP) for saw and pulse oscillators: keeps
// the bright waveforms free of audible aliasing without oversampling.
inline float PolyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

struct SawOsc {
    float phase = 0.0f;  // 0..1
    float Next(float inc) {
        float v = 2.0f * phase - 1.0f - PolyBlep(phase, inc);
        phase += inc;
        if (phase >= 1.0f) phase -= 1.0f;
        return v;
    }
};

struct PulseOsc {
    float phase = 0.0f;
    float Next(float inc, float width) {
        float v = phase < width ? 1.0f : -1.0f;
        v += PolyBlep(phase, inc);
        float shifted = phase - width;
        if (shifted < 0.0f) shifted += 1.0f;
        v -= PolyBlep(shifted, inc);
        phase += inc;
        if (phase >= 1.0f) phase -= 1.0f;
        return v;
    }
};

struct SineOsc {
    float phase = 0.0f;
    float Next(float inc) {
        float v = std::sin(kTwoPi * phase);
        phase += inc;
        if (phase >= 1.0f) phase -= 1.0f;
        return v;
    }
};

// Topology-preserving state-variable filter (trapezoidal integration): stable
// under fast cutoff modulation, gives low, band and high outputs at once.
struct Svf {
    float ic1 = 0.0f, ic2 = 0.0f;
    float a1 = 1.0f, a2 = 0.0f, a3 = 0.0f, k = 1.4f;
    float low = 0.0f, band = 0.0f, high = 0.0f;

    // q: 0.5 (soft) .. 20 (ringing).
    void Set(float cutoffHz, float q) {
        float fc = cutoffHz < 10.0f ? 10.0f : (cutoffHz > 20000.0f ? 20000.0f : cutoffHz);
        float g = std::tan(kPi * fc / kSampleRate);
        k = 1.0f / q;
        a1 = 1.0f / (1.0f + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void Process(float x) {
        float v3 = x - ic2;
        float v1 = a1 * ic1 + a2 * v3;
        float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
    float Low(float x) {
        Process(x);
        return low;
    }
    float High(float x) {
        Process(x);
        return high;
    }
    float Band(float x) {
        Process(x);
        return band;
    }
};

// One-pole smoother / low-pass.
struct OnePole {
    float z = 0.0f, a = 0.0f;
    void SetCutoff(float hz) { a = std::exp(-kTwoPi * hz / kSampleRate); }
    float Low(float x) {
        z = x + a * (z - x);
        return z;
    }
    float High(float x) { return x - Low(x); }
};

// Attack-decay-sustain-release envelope with exponential segments. The gate
// closes after `gateSamples`; Done() reports when the release has died away.
struct Adsr {
    enum Stage { kAttack, kDecay, kSustain, kRelease, kOff };
    static constexpr float kReleaseTarget = -0.05f;
    Stage stage = kAttack;
    float value = 0.0f;
    float attackStep = 1.0f, decayMul = 0.0f, sustain = 1.0f, releaseMul = 0.0f;
    int gateLeft = 0;

    void Start(float attackS, float decayS, float sustainLevel, float releaseS, int gateSamples) {
        attackStep = attackS <= 0.0f ? 1.0f : 1.0f / (attackS * kSampleRate);
        decayMul = DecayPerSample(decayS);
        sustain = sustainLevel;
        releaseMul = DecayPerSample(releaseS);
        gateLeft = gateSamples;
        stage = kAttack;
        value = 0.0f;
    }
    float Next() {
        if (gateLeft-- == 0 && stage != kOff) stage = kRelease;
        switch (stage) {
            case kAttack:
                value += attackStep;
                if (value >= 1.0f) {
                    value = 1.0f;
                    stage = kDecay;
                }
                break;
            case kDecay:
                value = sustain + (value - sustain) * decayMul;
                if (value - sustain < 1e-4f) stage = kSustain;
                break;
            case kSustain:
                value = sustain;
                break;
            case kRelease:
                // Heads for a target a little below zero, as analogue
                // envelopes do, so the release ends at exactly zero after
                // about three time constants instead of trailing off for ever.
                value = kReleaseTarget + (value - kReleaseTarget) * releaseMul;
                if (value <= 0.0f) {
                    value = 0.0f;
                    stage = kOff;
                }
                break;
            case kOff:
                value = 0.0f;
                break;
        }
        return value;
    }
    bool Done() const { return stage == kOff; }
};

// Soft saturation with unity gain at small levels.
inline float Saturate(float x, float drive) { return std::tanh(x * drive) / std::tanh(drive); }

}  // namespace music
