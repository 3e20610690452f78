// Sound-effect voices: wind, risers and the digital glitch bleeps.
#include <algorithm>

#include "tools/musicgen/dsp.h"
#include "tools/musicgen/voices.h"

namespace music {

namespace {

int Samples(double seconds) { return (int)(seconds * kSampleRate + 0.5); }

// Band-passed noise whose centre wanders slowly: air moving in a large room.
// param: fade-in time in seconds.
class Wind : public Voice {
public:
    Wind(const Note& note, uint32_t seed) : rngL_(seed), rngR_(seed + 3) {
        Rng rng(seed + 11);
        lfo_ = rng.Unit();
        amp_.Start(note.param > 0.0f ? note.param : 2.0f, 1.0f, 1.0f, 3.0f, Samples(note.length));
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ % 32 == 0) {
                float sweep = 0.5f + 0.5f * std::sin(kTwoPi * lfo_);
                lfo_ += 0.06f * 32 / kSampleRate;
                float hz = 300.0f * std::exp2(2.3f * sweep);
                bl_.Set(hz, 2.5f);
                br_.Set(hz * 1.12f, 2.5f);
                hl_.Set(hz * 2.7f, 4.0f);
                hr_.Set(hz * 2.9f, 4.0f);
            }
            float a = amp_.Next();
            float nl = rngL_.Bipolar(), nr = rngR_.Bipolar();
            left[i] += (bl_.Band(nl) + 0.4f * hl_.Band(nl)) * a;
            right[i] += (br_.Band(nr) + 0.4f * hr_.Band(nr)) * a;
        }
        return !amp_.Done();
    }

private:
    Rng rngL_, rngR_;
    float lfo_ = 0;
    int n_ = 0;
    Svf bl_, br_, hl_, hr_;
    Adsr amp_;
};

// Noise sweeping up from 250 Hz to 9 kHz and a saw rising two octaves; both
// grow louder towards the end of the note, where they stop.
class Riser : public Voice {
public:
    Riser(const Note& note, uint32_t seed) : rngL_(seed), rngR_(seed + 5) {
        hz_ = MidiToHz(note.pitch);
        total_ = std::max(Samples(note.length), 256);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            float x = (float)n_ / total_;
            if (n_ % 16 == 0) {
                float hz = 250.0f * std::pow(36.0f, x);
                bl_.Set(hz, 3.0f);
                br_.Set(hz * 1.05f, 3.0f);
                lp_.Set(600.0f + 6000.0f * x * x, 0.9f);
            }
            float level = x * x * std::min(1.0f, (total_ - n_) / 220.0f);
            float saw =
                lp_.Low(saw_.Next(hz_ * std::exp2(2.0f * x * std::sqrt(x)) / kSampleRate)) * 0.3f;
            left[i] += (bl_.Band(rngL_.Bipolar()) * 1.4f + saw) * level;
            right[i] += (br_.Band(rngR_.Bipolar()) * 1.4f + saw) * level;
        }
        return true;
    }

private:
    Rng rngL_, rngR_;
    float hz_ = 100;
    int n_ = 0, total_ = 0;
    SawOsc saw_;
    Svf bl_, br_, lp_;
};

// Data bleeps: every 28 ms a new random pitch, pulse width, sample-and-hold
// rate and side, some steps muted; crushed to 4 bits, with crackle between.
class Glitch : public Voice {
public:
    Glitch(const Note& note, uint32_t seed) : rng_(seed) {
        base_ = note.pitch;
        total_ = std::max(Samples(note.length), 256);
        step_ = Samples(0.028);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            if (n_ % step_ == 0) {
                inc_ = MidiToHz(base_ + (float)(rng_.Next() % 36)) / kSampleRate;
                width_ = 0.1f + 0.4f * rng_.Unit();
                hold_ = 1 + (int)(rng_.Next() % 8);
                on_ = n_ == 0 || rng_.Unit() < 0.75f;  // the first step always sounds
                pan_ = rng_.Bipolar() * 0.8f;
            }
            float x = pulse_.Next(inc_, width_);
            if (n_ % hold_ == 0) held_ = std::round(x * 7.0f) / 7.0f;
            int inStep = n_ % step_;
            float gate = on_ ? std::min(1.0f, std::min(inStep, step_ - inStep) / 40.0f) : 0.0f;
            float crackle = rng_.Unit() < 0.003f ? rng_.Bipolar() : 0.0f;
            // Bursts in sharply, dies away over 14 ms.
            float fade = std::min(1.0f, std::min(n_ / 44.0f, (total_ - n_) / 600.0f));
            float out = (held_ * gate * 0.6f + crackle) * fade;
            left[i] += out * (1.0f - pan_) * 0.5f * 1.4f;
            right[i] += out * (1.0f + pan_) * 0.5f * 1.4f;
        }
        return true;
    }

private:
    Rng rng_;
    float base_ = 72, inc_ = 0.01f, width_ = 0.5f, held_ = 0, pan_ = 0;
    int n_ = 0, total_ = 0, step_ = 1, hold_ = 1;
    bool on_ = false;
    PulseOsc pulse_;
};

}  // namespace

std::unique_ptr<Voice> MakeWind(const Note& n, uint32_t s) { return std::make_unique<Wind>(n, s); }
std::unique_ptr<Voice> MakeRiser(const Note& n, uint32_t s) {
    return std::make_unique<Riser>(n, s);
}
std::unique_ptr<Voice> MakeGlitch(const Note& n, uint32_t s) {
    return std::make_unique<Glitch>(n, s);
}

}  // namespace music
