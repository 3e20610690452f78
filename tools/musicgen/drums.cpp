// Drum and percussion voices, all synthesised: no samples.
#include <algorithm>

#include "tools/musicgen/dsp.h"
#include "tools/musicgen/voices.h"

namespace music {

namespace {

int Samples(double seconds) { return (int)(seconds * kSampleRate + 0.5); }

// Linear fade over the last samples of a fixed-length voice, so every voice
// ends exactly at zero.
float TailFade(int n, int total, int fade = 256) {
    int left = total - n;
    return left >= fade ? 1.0f : (left <= 0 ? 0.0f : (float)left / fade);
}

// Linear rise over the first samples: keeps the onset sharp but click-free.
float OnsetRamp(int n, int ramp) { return n >= ramp ? 1.0f : (float)n / ramp; }

class Kick : public Voice {
public:
    Kick(const Note& note, uint32_t seed, bool soft) : rng_(seed), soft_(soft) {
        endHz_ = MidiToHz(note.pitch);
        if (soft) {
            startHz_ = 150.0f;
            sweepMul_ = DecayPerSample(0.025f);
            ampMul_ = DecayPerSample(0.12f);
            hold_ = Samples(0.010);
            total_ = Samples(0.45);
            lp1_.SetCutoff(240.0f);
            lp2_.SetCutoff(240.0f);
        } else {
            startHz_ = 270.0f;
            sweepMul_ = DecayPerSample(0.028f);
            ampMul_ = DecayPerSample(0.07f);
            hold_ = Samples(0.060);
            total_ = Samples(0.60);
        }
        fastMul_ = DecayPerSample(0.0015f);
        clickMul_ = DecayPerSample(0.003f);
        clickFilter_.Set(3800.0f, 0.9f);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            // Two exponential pitch sweeps: a slow one for the body's "drop" and a
            // very fast one that gives the beater's attack.
            float hz = endHz_ + (startHz_ - endHz_) * sweep_ + (soft_ ? 0.0f : 1500.0f * fast_);
            sweep_ *= sweepMul_;
            fast_ *= fastMul_;
            phase_ += hz / kSampleRate;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            float env = OnsetRamp(n_, 16);
            if (n_ >= hold_) {
                amp_ *= ampMul_;
                env *= amp_;
            }
            float body = std::sin(kTwoPi * phase_) * env;
            float out;
            if (soft_) {
                out = lp2_.Low(lp1_.Low(body));
            } else {
                // Driving the sine hard gives a square-ish body: louder for its peak,
                // and its odd harmonics fill the bass band up to 350 Hz.
                body = Saturate(body * 1.5f, 3.0f);
                float click = clickFilter_.Band(rng_.Bipolar()) * click_ * 0.35f;
                click_ *= clickMul_;
                out = body + click;
            }
            out *= TailFade(n_, total_, 512);
            left[i] += out;
            right[i] += out;
        }
        return true;
    }

private:
    Rng rng_;
    bool soft_;
    float startHz_ = 0, endHz_ = 0, phase_ = 0, sweep_ = 1, sweepMul_ = 0, fast_ = 1, fastMul_ = 0;
    float amp_ = 1, ampMul_ = 0, click_ = 1, clickMul_ = 0;
    int n_ = 0, hold_ = 0, total_ = 0;
    Svf clickFilter_;
    OnePole lp1_, lp2_;
};

class Snare : public Voice {
public:
    Snare(const Note& note, uint32_t seed) : rng_(seed) {
        float tail = note.param > 0.0f ? note.param : 1.0f;  // >1: a long, roomy snare
        bodyMul_ = DecayPerSample(0.055f);
        pitchMul_ = DecayPerSample(0.012f);
        noiseMul_ = DecayPerSample(0.15f * tail);
        snapMul_ = DecayPerSample(0.035f);
        total_ = Samples(0.45 * tail);
        hp_.Set(1500.0f, 0.7f);
        snap_.Set(5200.0f, 0.8f);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            float bend = 1.0f + 0.5f * pitchEnv_;
            pitchEnv_ *= pitchMul_;
            p1_ += 185.0f * bend / kSampleRate;
            p2_ += 330.0f * bend / kSampleRate;
            if (p1_ >= 1.0f) p1_ -= 1.0f;
            if (p2_ >= 1.0f) p2_ -= 1.0f;
            float body = (0.6f * std::sin(kTwoPi * p1_) + 0.3f * std::sin(kTwoPi * p2_)) * bodyEnv_;
            bodyEnv_ *= bodyMul_;
            float white = rng_.Bipolar();
            float noise = hp_.High(white) * noiseEnv_ * 0.7f + snap_.Band(white) * snapEnv_ * 0.9f;
            noiseEnv_ *= noiseMul_;
            snapEnv_ *= snapMul_;
            float out = Saturate(body + noise, 1.3f) * OnsetRamp(n_, 12) * TailFade(n_, total_);
            left[i] += out;
            right[i] += out;
        }
        return true;
    }

private:
    Rng rng_;
    float p1_ = 0, p2_ = 0, pitchEnv_ = 1, pitchMul_ = 0, bodyEnv_ = 1, bodyMul_ = 0;
    float noiseEnv_ = 1, noiseMul_ = 0, snapEnv_ = 1, snapMul_ = 0;
    int n_ = 0, total_ = 0;
    Svf hp_, snap_;
};

// Several hands clapping: three bursts 10 ms apart, then the room's tail. The
// first burst starts exactly at the note's time.
class Clap : public Voice {
public:
    Clap(const Note& note, uint32_t seed) : shared_(seed), ownL_(seed + 7), ownR_(seed + 13) {
        float tail = note.param > 0.0f ? note.param : 1.0f;
        burstMul_ = DecayPerSample(0.004f);
        tailMul_ = DecayPerSample(0.11f * tail);
        total_ = Samples(0.55 * tail);
        for (Svf* f : {&bpL_, &bpR_}) f->Set(1150.0f, 1.6f);
        for (Svf* f : {&hpL_, &hpR_}) f->Set(600.0f, 0.7f);
        for (Svf* f : {&airL_, &airR_}) f->Set(2600.0f, 0.9f);
    }
    bool Render(float* left, float* right, int frames) override {
        const int gap = Samples(0.010);
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            if (n_ == 0 || n_ == gap || n_ == 2 * gap) burst_ = 1.0f;
            if (n_ == 3 * gap) tailEnv_ = 0.8f;
            float env = burst_ + tailEnv_;
            burst_ *= burstMul_;
            tailEnv_ *= tailMul_;
            float s = shared_.Bipolar() * 0.7f;
            // The body of the clap around 1.1 kHz and the crack of the palms above.
            float nl = s + ownL_.Bipolar() * 0.3f, nr = s + ownR_.Bipolar() * 0.3f;
            float l = (hpL_.High(bpL_.Band(nl)) + 0.5f * airL_.Band(nl)) * env;
            float r = (hpR_.High(bpR_.Band(nr)) + 0.5f * airR_.Band(nr)) * env;
            float fade = OnsetRamp(n_, 12) * TailFade(n_, total_);
            left[i] += 2.2f * l * fade;
            right[i] += 2.2f * r * fade;
        }
        return true;
    }

private:
    Rng shared_, ownL_, ownR_;
    float burst_ = 0, burstMul_ = 0, tailEnv_ = 0, tailMul_ = 0;
    int n_ = 0, total_ = 0;
    Svf bpL_, bpR_, hpL_, hpR_, airL_, airR_;
};

class Hat : public Voice {
public:
    Hat(const Note& note, uint32_t seed, bool open) : rng_(seed) {
        cluster_.Init(1.0f + 0.02f * note.param, seed);
        envMul_ = DecayPerSample(open ? 0.20f : 0.026f);
        total_ = Samples(open ? 0.9 : 0.16);
        // A wide band from 6 kHz up: the cluster gives the metal, the noise the air.
        bp_.Set(10000.0f, 0.5f);
        hp_.Set(6000.0f, 0.7f);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            float x = cluster_.Next() * 0.6f + rng_.Bipolar() * 0.4f;
            float out = hp_.High(bp_.Band(x)) * env_ * OnsetRamp(n_, 8) * TailFade(n_, total_);
            env_ *= envMul_;
            left[i] += out;
            right[i] += out;
        }
        return true;
    }

private:
    Rng rng_;
    MetalCluster cluster_;
    float env_ = 1, envMul_ = 0;
    int n_ = 0, total_ = 0;
    Svf bp_, hp_;
};

class Shaker : public Voice {
public:
    Shaker(const Note&, uint32_t seed) : rng_(seed) {
        bp_.Set(6200.0f, 1.4f);
        decayMul_ = DecayPerSample(0.035f);
    }
    bool Render(float* left, float* right, int frames) override {
        const int attack = Samples(0.006), total = Samples(0.16);
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total) return false;
            float env = n_ < attack ? (float)n_ / attack : (decay_ *= decayMul_);
            float out = bp_.Band(rng_.Bipolar()) * env * 1.6f * TailFade(n_, total);
            left[i] += out;
            right[i] += out;
        }
        return true;
    }

private:
    Rng rng_;
    Svf bp_;
    float decay_ = 1, decayMul_ = 0;
    int n_ = 0;
};

// A long metallic wash: two clusters and two noise sources, one per side, so
// the cymbal is wide.
class Crash : public Voice {
public:
    Crash(const Note& note, uint32_t seed) : rngL_(seed), rngR_(seed + 101) {
        float length = note.param > 0.0f ? note.param : 1.0f;
        a_.Init(1.37f, seed);
        b_.Init(1.93f, seed + 5);
        burstMul_ = DecayPerSample(0.08f);
        washMul_ = DecayPerSample(1.2f * length);
        total_ = Samples(3.6 * length);
        for (Svf* f : {&hpL_, &hpR_}) f->Set(4200.0f, 0.6f);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            float env =
                (0.5f * burst_ + 0.55f * wash_) * OnsetRamp(n_, 10) * TailFade(n_, total_, 2048);
            burst_ *= burstMul_;
            wash_ *= washMul_;
            float l = hpL_.High(a_.Next() * 0.5f + rngL_.Bipolar() * 0.5f);
            float r = hpR_.High(b_.Next() * 0.5f + rngR_.Bipolar() * 0.5f);
            left[i] += l * env;
            right[i] += r * env;
        }
        return true;
    }

private:
    Rng rngL_, rngR_;
    MetalCluster a_, b_;
    float burst_ = 1, burstMul_ = 0, wash_ = 1, washMul_ = 0;
    int n_ = 0, total_ = 0;
    Svf hpL_, hpR_;
};

class Tom : public Voice {
public:
    Tom(const Note& note, uint32_t seed) : rng_(seed) {
        hz_ = MidiToHz(note.pitch);
        pitchMul_ = DecayPerSample(0.04f);
        ampMul_ = DecayPerSample(0.18f);
        total_ = Samples(0.6);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            phase_ += hz_ * (1.0f + 0.6f * pitchEnv_) / kSampleRate;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            pitchEnv_ *= pitchMul_;
            float out = Saturate(
                std::sin(kTwoPi * phase_) * amp_ + rng_.Bipolar() * 0.08f * pitchEnv_, 1.4f);
            amp_ *= ampMul_;
            out *= OnsetRamp(n_, 12) * TailFade(n_, total_);
            left[i] += out;
            right[i] += out;
        }
        return true;
    }

private:
    Rng rng_;
    float hz_ = 100, phase_ = 0, pitchEnv_ = 1, pitchMul_ = 0, amp_ = 1, ampMul_ = 0;
    int n_ = 0, total_ = 0;
};

// The hit under a picture cut: a falling sub tone, a low noise thump and a
// wide metallic wash. param 1 gives a soft, filtered version for the titles.
class Impact : public Voice {
public:
    Impact(const Note& note, uint32_t seed) : rngL_(seed), rngR_(seed + 31) {
        soft_ = note.param;
        a_.Init(1.11f, seed);
        b_.Init(1.53f, seed + 3);
        subPitchMul_ = DecayPerSample(0.20f);
        subMul_ = DecayPerSample(0.85f);
        thumpMul_ = DecayPerSample(0.12f);
        washMul_ = DecayPerSample(1.5f);
        clickMul_ = DecayPerSample(0.002f);
        total_ = Samples(4.0);
        lp1_.SetCutoff(500.0f);
        lp2_.SetCutoff(500.0f);
        for (Svf* f : {&hpL_, &hpR_}) f->Set(soft_ > 0.5f ? 1800.0f : 3000.0f, 0.6f);
        for (Svf* f : {&lpL_, &lpR_}) f->Set(soft_ > 0.5f ? 5000.0f : 16000.0f, 0.6f);
    }
    bool Render(float* left, float* right, int frames) override {
        const float subLevel = 1.0f - 0.75f * soft_;
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            float hz = 32.0f + 75.0f * subPitch_ + 900.0f * click_;
            subPitch_ *= subPitchMul_;
            click_ *= clickMul_;
            phase_ += hz / kSampleRate;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            float sub = Saturate(std::sin(kTwoPi * phase_) * sub_ * 1.3f, 1.4f) * subLevel;
            sub_ *= subMul_;
            float thump = lp2_.Low(lp1_.Low(rngL_.Bipolar())) * thump_ * 2.0f * subLevel;
            thump_ *= thumpMul_;
            float wl =
                lpL_.Low(hpL_.High(a_.Next() * 0.4f + rngL_.Bipolar() * 0.6f)) * wash_ * 0.45f;
            float wr =
                lpR_.Low(hpR_.High(b_.Next() * 0.4f + rngR_.Bipolar() * 0.6f)) * wash_ * 0.45f;
            wash_ *= washMul_;
            float fade = OnsetRamp(n_, 16) * TailFade(n_, total_, 4096);
            left[i] += (sub + thump + wl) * fade;
            right[i] += (sub + thump + wr) * fade;
        }
        return true;
    }

private:
    Rng rngL_, rngR_;
    MetalCluster a_, b_;
    float soft_ = 0;
    float phase_ = 0, subPitch_ = 1, subPitchMul_ = 0, sub_ = 1, subMul_ = 0;
    float thump_ = 1, thumpMul_ = 0, wash_ = 1, washMul_ = 0, click_ = 1, clickMul_ = 0;
    int n_ = 0, total_ = 0;
    OnePole lp1_, lp2_;
    Svf hpL_, hpR_, lpL_, lpR_;
};

// A cymbal played backwards: swells over the note's length and stops dead at
// its end, where the next hit lands.
class Reverse : public Voice {
public:
    Reverse(const Note& note, uint32_t seed) : rngL_(seed), rngR_(seed + 17) {
        a_.Init(1.29f, seed);
        b_.Init(1.71f, seed + 9);
        total_ = std::max(Samples(note.length), 64);
        for (Svf* f : {&hpL_, &hpR_}) f->Set(3500.0f, 0.6f);
    }
    bool Render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i, ++n_) {
            if (n_ >= total_) return false;
            float toEnd = (float)(total_ - n_) / kSampleRate;
            float env = std::exp(-toEnd / 0.45f) * OnsetRamp(n_, 2205) * TailFade(n_, total_, 160);
            float l = hpL_.High(a_.Next() * 0.4f + rngL_.Bipolar() * 0.6f);
            float r = hpR_.High(b_.Next() * 0.4f + rngR_.Bipolar() * 0.6f);
            left[i] += l * env;
            right[i] += r * env;
        }
        return true;
    }

private:
    Rng rngL_, rngR_;
    MetalCluster a_, b_;
    int n_ = 0, total_ = 0;
    Svf hpL_, hpR_;
};

}  // namespace

void MetalCluster::Init(float scale, uint32_t seed) {
    // Ratios of the classic analogue cymbal circuit; scale shifts the colour.
    static const float kHz[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
    Rng rng(seed);
    for (int i = 0; i < 6; ++i) {
        inc[i] = kHz[i] * scale / kSampleRate;
        phase[i] = rng.Unit();
    }
}

float MetalCluster::Next() {
    float sum = 0.0f;
    for (int i = 0; i < 6; ++i) {
        sum += phase[i] < 0.5f ? 1.0f : -1.0f;
        phase[i] += inc[i];
        if (phase[i] >= 1.0f) phase[i] -= 1.0f;
    }
    return sum * (1.0f / 6.0f);
}

std::unique_ptr<Voice> MakeKick(const Note& n, uint32_t s) {
    return std::make_unique<Kick>(n, s, false);
}
std::unique_ptr<Voice> MakeSoftKick(const Note& n, uint32_t s) {
    return std::make_unique<Kick>(n, s, true);
}
std::unique_ptr<Voice> MakeSnare(const Note& n, uint32_t s) {
    return std::make_unique<Snare>(n, s);
}
std::unique_ptr<Voice> MakeClap(const Note& n, uint32_t s) { return std::make_unique<Clap>(n, s); }
std::unique_ptr<Voice> MakeHat(const Note& n, uint32_t s, bool open) {
    return std::make_unique<Hat>(n, s, open);
}
std::unique_ptr<Voice> MakeShaker(const Note& n, uint32_t s) {
    return std::make_unique<Shaker>(n, s);
}
std::unique_ptr<Voice> MakeCrash(const Note& n, uint32_t s) {
    return std::make_unique<Crash>(n, s);
}
std::unique_ptr<Voice> MakeTom(const Note& n, uint32_t s) { return std::make_unique<Tom>(n, s); }
std::unique_ptr<Voice> MakeImpact(const Note& n, uint32_t s) {
    return std::make_unique<Impact>(n, s);
}
std::unique_ptr<Voice> MakeReverse(const Note& n, uint32_t s) {
    return std::make_unique<Reverse>(n, s);
}

}  // namespace music
