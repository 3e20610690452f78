// Pitched voices: bass, pads, lead, arpeggio pluck, chord stab and bell.
#include <algorithm>

#include "tools/musicgen/dsp.h"
#include "tools/musicgen/voices.h"

namespace music {

namespace {

int Samples(double seconds) { return (int)(seconds * kSampleRate + 0.5); }
float Cents(float cents) { return std::exp2(cents / 1200.0f); }

// Filters are retuned every few samples: tan() per sample is the single most
// expensive thing in a voice, and a 0.36 ms step is far below hearing.
constexpr int kControlRate = 16;

class Bass : public Voice {
public:
    Bass(const Note& note, uint32_t seed) {
        Rng rng(seed);
        hz_ = MidiToHz(note.pitch);
        bright_ = note.param > 0.0f ? note.param : 0.5f;
        a_.phase = rng.Unit();
        b_.phase = rng.Unit();
        envMul_ = DecayPerSample(0.09f);
        amp_.Start(0.002f, 0.15f, 0.8f, 0.03f, Samples(note.length));
    }
    bool Render(float* left, float* right, int frames) override {
        const float incA = hz_ * Cents(-7.0f) / kSampleRate, incB = hz_ * Cents(7.0f) / kSampleRate;
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ % kControlRate == 0) {
                float cutoff = (140.0f + 500.0f * bright_) + (700.0f + 2600.0f * bright_) * env_;
                f1_.Set(cutoff, 0.75f);
                f2_.Set(cutoff, 1.3f);
            }
            env_ *= envMul_;
            float saws = a_.Next(incA) + b_.Next(incB);
            float sub = sub_.Next(hz_ / kSampleRate);
            float amp = amp_.Next();
            float out = Saturate((f2_.Low(f1_.Low(saws * 0.5f)) * 0.95f + sub * 0.4f) * amp, 1.6f);
            left[i] += out;
            right[i] += out;
        }
        return !amp_.Done();
    }

private:
    float hz_ = 55, bright_ = 0.5f, env_ = 1, envMul_ = 0;
    int n_ = 0;
    SawOsc a_, b_;
    SineOsc sub_;
    Svf f1_, f2_;
    Adsr amp_;
};

class SubBass : public Voice {
public:
    SubBass(const Note& note, uint32_t) {
        hz_ = MidiToHz(note.pitch);
        amp_.Start(0.03f, 0.6f, 0.9f, 0.3f, Samples(note.length));
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i) {
            float a = amp_.Next();
            float out =
                (osc_.Next(hz_ / kSampleRate) + 0.12f * octave_.Next(2.0f * hz_ / kSampleRate)) * a;
            left[i] += out;
            right[i] += out;
        }
        return !amp_.Done();
    }

private:
    float hz_ = 55;
    SineOsc osc_, octave_;
    Adsr amp_;
};

// Seven detuned saws spread across the stereo field through a slowly moving
// low-pass: the warm ensemble under every section. param: cutoff in Hz.
class Pad : public Voice {
public:
    Pad(const Note& note, uint32_t seed) {
        static const float kDetune[7] = {-17.0f, -10.0f, -4.0f, 0.0f, 4.0f, 10.0f, 17.0f};
        Rng rng(seed);
        float hz = MidiToHz(note.pitch);
        for (int k = 0; k < 7; ++k) {
            inc_[k] = hz * Cents(kDetune[k]) / kSampleRate;
            osc_[k].phase = rng.Unit();
        }
        cutoff_ = note.param > 0.0f ? note.param : 2400.0f;
        lfoPhase_ = rng.Unit();
        amp_.Start(0.45f, 1.2f, 0.8f, 1.3f, Samples(note.length));
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ % kControlRate == 0) {
                float lfo = std::sin(kTwoPi * lfoPhase_);
                lfoPhase_ += 0.13f * kControlRate / kSampleRate;
                if (lfoPhase_ >= 1.0f) lfoPhase_ -= 1.0f;
                fl_.Set(cutoff_ * (1.0f + 0.18f * lfo), 0.8f);
                fr_.Set(cutoff_ * (1.0f - 0.18f * lfo), 0.8f);
            }
            // Even saws lean left, odd ones right; the centre saw sits in the middle.
            float l = 0.0f, r = 0.0f;
            for (int k = 0; k < 7; ++k) {
                float s = osc_[k].Next(inc_[k]);
                float w = k == 3 ? 0.5f : (k % 2 == 0 ? 0.8f : 0.2f);
                l += s * w;
                r += s * (1.0f - w);
            }
            float a = amp_.Next() * 0.38f;
            left[i] += fl_.Low(l) * a;
            right[i] += fr_.Low(r) * a;
        }
        return !amp_.Done();
    }

private:
    SawOsc osc_[7];
    float inc_[7] = {};
    float cutoff_ = 2400, lfoPhase_ = 0;
    int n_ = 0;
    Svf fl_, fr_;
    Adsr amp_;
};

// The lead: three saws and a pulse an octave down, a filter that opens on
// each note, delayed vibrato, and a glide from the previous note when param
// holds its pitch.
class Lead : public Voice {
public:
    Lead(const Note& note, uint32_t seed) {
        Rng rng(seed);
        pitch_ = note.pitch;
        glide_ = note.param > 0.0f ? note.param - note.pitch : 0.0f;
        glideMul_ = DecayPerSample(0.035f);
        envMul_ = DecayPerSample(0.28f);
        for (SawOsc& o : saw_) o.phase = rng.Unit();
        amp_.Start(0.004f, 0.35f, 0.72f, 0.16f, Samples(note.length));
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            float t = (float)n_ / kSampleRate;
            float depth = std::clamp((t - 0.25f) / 0.4f, 0.0f, 1.0f) * 0.14f;
            float vib = depth * std::sin(kTwoPi * 5.3f * t);
            float hz = MidiToHz(pitch_ + glide_ + vib);
            glide_ *= glideMul_;
            if (n_ % kControlRate == 0) {
                float cutoff = 900.0f + 0.6f * hz + 4200.0f * env_;
                for (Svf* f : {&l1_, &r1_}) f->Set(cutoff, 0.9f);
                for (Svf* f : {&l2_, &r2_}) f->Set(cutoff, 1.4f);
            }
            env_ *= envMul_;
            float inc = hz / kSampleRate;
            float s1 = saw_[0].Next(inc * Cents(-9.0f));
            float s2 = saw_[1].Next(inc);
            float s3 = saw_[2].Next(inc * Cents(9.0f));
            float low = pulse_.Next(inc * 0.5f, 0.3f) * 0.3f;
            float l = 0.7f * s1 + 0.5f * s2 + 0.3f * s3 + low;
            float r = 0.3f * s1 + 0.5f * s2 + 0.7f * s3 + low;
            float a = amp_.Next() * 0.5f;
            left[i] += l2_.Low(l1_.Low(l)) * a;
            right[i] += r2_.Low(r1_.Low(r)) * a;
        }
        return !amp_.Done();
    }

private:
    float pitch_ = 60, glide_ = 0, glideMul_ = 0, env_ = 1, envMul_ = 0;
    int n_ = 0;
    SawOsc saw_[3];
    PulseOsc pulse_;
    Svf l1_, l2_, r1_, r2_;
    Adsr amp_;
};

// Arpeggio pluck: saw plus a quiet pulse an octave up, a fast filter snap.
// param: brightness 0..1 (how far the filter opens).
class Pluck : public Voice {
public:
    Pluck(const Note& note, uint32_t seed) {
        Rng rng(seed);
        hz_ = MidiToHz(note.pitch);
        bright_ = note.param > 0.0f ? note.param : 1.0f;
        saw_.phase = rng.Unit();
        envMul_ = DecayPerSample(0.11f);
        ampMul_ = DecayPerSample(0.20f);
        total_ = Samples(std::min(0.9, note.length + 0.45));
    }
    bool Render(float* left, float* right, int frames) override {
        const float inc = hz_ / kSampleRate;
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            if (n_ % kControlRate == 0)
                f_.Set(250.0f + 0.8f * hz_ + 5200.0f * bright_ * env_, 1.8f);
            env_ *= envMul_;
            float x = saw_.Next(inc) + 0.25f * pulse_.Next(2.0f * inc, 0.5f);
            float fade = (n_ < 20 ? n_ / 20.0f : 1.0f) * std::min(1.0f, (total_ - n_) / 512.0f);
            float out = f_.Low(x) * amp_ * fade * 0.6f;
            amp_ *= ampMul_;
            left[i] += out;
            right[i] += out;
        }
        return true;
    }

private:
    float hz_ = 440, bright_ = 1, env_ = 1, envMul_ = 0, amp_ = 1, ampMul_ = 0;
    int n_ = 0, total_ = 0;
    SawOsc saw_;
    PulseOsc pulse_;
    Svf f_;
};

// Short bright chord-note hit: five saws, high-passed, with a filter snap.
class Stab : public Voice {
public:
    Stab(const Note& note, uint32_t seed) {
        static const float kDetune[5] = {-12.0f, -6.0f, 0.0f, 6.0f, 12.0f};
        Rng rng(seed);
        float hz = MidiToHz(note.pitch);
        for (int k = 0; k < 5; ++k) {
            inc_[k] = hz * Cents(kDetune[k]) / kSampleRate;
            osc_[k].phase = rng.Unit();
        }
        envMul_ = DecayPerSample(0.09f);
        ampMul_ = DecayPerSample(note.param > 0.0f ? note.param : 0.22f);
        total_ = Samples(0.4 + 4.0 * (note.param > 0.0f ? note.param : 0.22f));
        for (Svf* f : {&hl_, &hr_}) f->Set(220.0f, 0.7f);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            if (n_ % kControlRate == 0)
                for (Svf* f : {&ll_, &lr_}) f->Set(1000.0f + 6500.0f * env_, 1.1f);
            env_ *= envMul_;
            float l = 0.0f, r = 0.0f;
            for (int k = 0; k < 5; ++k) {
                float s = osc_[k].Next(inc_[k]);
                float w = 0.2f + 0.15f * k;
                l += s * (1.0f - w);
                r += s * w;
            }
            float a = amp_ * (n_ < 20 ? n_ / 20.0f : 1.0f) *
                      std::min(1.0f, (total_ - n_) / 1024.0f) * 0.4f;
            amp_ *= ampMul_;
            left[i] += ll_.Low(hl_.High(l)) * a;
            right[i] += lr_.Low(hr_.High(r)) * a;
        }
        return true;
    }

private:
    SawOsc osc_[5];
    float inc_[5] = {};
    float env_ = 1, envMul_ = 0, amp_ = 1, ampMul_ = 0;
    int n_ = 0, total_ = 0;
    Svf hl_, hr_, ll_, lr_;
};

// Two-operator FM bell with an inharmonic modulator (3.5 : 1) whose index
// falls quickly, so the strike is metallic and the ring is pure.
class Bell : public Voice {
public:
    Bell(const Note& note, uint32_t) {
        hz_ = MidiToHz(note.pitch);
        indexMul_ = DecayPerSample(0.35f);
        ampMul_ = DecayPerSample(1.6f);
        partialMul_ = DecayPerSample(0.6f);
        total_ = Samples(std::max(3.5, note.length + 1.5));
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            float m = std::sin(kTwoPi * mod_);
            float c = std::sin(kTwoPi * car_ + (0.3f + 2.4f * index_) * m);
            float p = std::sin(kTwoPi * partial_) * partialAmp_ * 0.25f;
            mod_ += 3.5f * hz_ / kSampleRate;
            car_ += hz_ / kSampleRate;
            partial_ += 2.0f * hz_ / kSampleRate;
            mod_ -= std::floor(mod_);
            car_ -= std::floor(car_);
            partial_ -= std::floor(partial_);
            index_ *= indexMul_;
            partialAmp_ *= partialMul_;
            float fade = (n_ < 60 ? n_ / 60.0f : 1.0f) * std::min(1.0f, (total_ - n_) / 4096.0f);
            float out = (c + p) * amp_ * fade * 0.5f;
            amp_ *= ampMul_;
            left[i] += out;
            right[i] += out;
        }
        return true;
    }

private:
    float hz_ = 440, mod_ = 0, car_ = 0, partial_ = 0;
    float index_ = 1, indexMul_ = 0, amp_ = 1, ampMul_ = 0, partialAmp_ = 1, partialMul_ = 0;
    int n_ = 0, total_ = 0;
};

}  // namespace

std::unique_ptr<Voice> MakeBass(const Note& n, uint32_t s) { return std::make_unique<Bass>(n, s); }
std::unique_ptr<Voice> MakeSubBass(const Note& n, uint32_t s) {
    return std::make_unique<SubBass>(n, s);
}
std::unique_ptr<Voice> MakePad(const Note& n, uint32_t s) { return std::make_unique<Pad>(n, s); }
std::unique_ptr<Voice> MakeLead(const Note& n, uint32_t s) { return std::make_unique<Lead>(n, s); }
std::unique_ptr<Voice> MakePluck(const Note& n, uint32_t s) {
    return std::make_unique<Pluck>(n, s);
}
std::unique_ptr<Voice> MakeStab(const Note& n, uint32_t s) { return std::make_unique<Stab>(n, s); }
std::unique_ptr<Voice> MakeBell(const Note& n, uint32_t s) { return std::make_unique<Bell>(n, s); }

}  // namespace music
