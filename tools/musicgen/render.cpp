#include "tools/musicgen/render.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "tools/musicgen/dsp.h"
#include "tools/musicgen/effects.h"
#include "tools/musicgen/instruments.h"

namespace music {

namespace {

constexpr int kBlock = 256;
// How long an excerpt starts before its first sample: the reverb, delay and
// ducking settle in this time.
constexpr double kPreroll = 6.0;
// The longest a voice can sound beyond its gate (crash and impact tails).
constexpr double kMaxTail = 9.0;
// Overall level before the limiter; sets the loudness of the track.
constexpr float kMasterLevel = 1.0f;

// How strongly each bus ducks under the kick (0 none, 1 silent).
constexpr float kDuckBass = 0.85f;
constexpr float kDuckMusic = 0.45f;
constexpr float kDuckReturns = 0.30f;

struct ActiveVoice {
    std::unique_ptr<Voice> voice;
    const Note* note;
    float gainL, gainR, reverb, delay;
    Bus bus;
    bool post;
};

// Kick-triggered gain envelope shared by the ducked buses: a 3 ms dip to full
// depth at each kick, then an exponential recovery.
class Ducker {
public:
    Ducker(const std::vector<double>& kicks, long startSample) : kicks_(kicks) {
        while (next_ < kicks_.size() && std::lround(kicks_[next_] * kSampleRate) < startSample)
            ++next_;
    }
    float Next(long sample) {
        if (next_ < kicks_.size() && sample >= std::lround(kicks_[next_] * kSampleRate)) {
            ++next_;
            attack_ = 132;
        }
        if (attack_ > 0) {
            --attack_;
            env_ += (1.0f - env_) * 0.05f;
        } else {
            env_ *= kRelease;
        }
        return env_;
    }

private:
    static constexpr float kRelease = 0.99984f;  // ~140 ms time constant
    const std::vector<double>& kicks_;
    size_t next_ = 0;
    int attack_ = 0;
    float env_ = 0.0f;
};

// Low-pass driven by an automation curve, one per channel.
struct AutoFilter {
    Svf l, r;
    float last = -1.0f;
    void Retune(float hz) {
        if (hz == last) return;
        last = hz;
        l.Set(hz, 0.8f);
        r.Set(hz, 0.8f);
    }
};

}  // namespace

StereoBuffer RenderSong(const Song& song, double from, double to) {
    from = std::clamp(from, 0.0, song.length);
    to = std::clamp(to, from, song.length);
    const long startSample = std::max(0L, (long)std::lround((from - kPreroll) * kSampleRate));
    const long firstOut = std::lround(from * kSampleRate);
    // Render a little past the end, so the limiter sees the peaks ahead.
    const long endSample = std::min((long)std::lround(song.length * kSampleRate),
                                    (long)std::lround(to * kSampleRate) + 2048);
    const long total = std::max(0L, endSample - startSample);

    StereoBuffer mix, post;
    mix.left.assign(total, 0.0f);
    mix.right.assign(total, 0.0f);
    post.left.assign(total, 0.0f);
    post.right.assign(total, 0.0f);

    Reverb reverb(2.8f);
    PingPongDelay delay(0.75 * 60.0 / 132.0, 0.42f);
    Ducker ducker(song.kicks, startSample);
    AutoFilter musicFilter, bassFilter;
    // The music bus leaves the bass register to the bass and the kick.
    Svf musicLowCutL, musicLowCutR;
    musicLowCutL.Set(220.0f, 0.7f);
    musicLowCutR.Set(220.0f, 0.7f);
    Svf rumbleL, rumbleR;
    rumbleL.Set(25.0f, 0.7f);
    rumbleR.Set(25.0f, 0.7f);

    float bus[kBusCount][2][kBlock];
    float sendRev[2][kBlock], sendDel[2][kBlock], ret[2][kBlock];
    float scratchL[kBlock], scratchR[kBlock];
    std::vector<ActiveVoice> active;
    size_t nextNote = 0;

    for (long block = startSample; block < endSample; block += kBlock) {
        const int frames = (int)std::min<long>(kBlock, endSample - block);
        std::fill(&bus[0][0][0], &bus[0][0][0] + kBusCount * 2 * kBlock, 0.0f);
        std::fill(&sendRev[0][0], &sendRev[0][0] + 2 * kBlock, 0.0f);
        std::fill(&sendDel[0][0], &sendDel[0][0] + 2 * kBlock, 0.0f);
        std::fill(&ret[0][0], &ret[0][0] + 2 * kBlock, 0.0f);

        // Start the notes whose onset falls in this block. In the first block
        // of an excerpt, notes that began earlier but may still sound are
        // started and run forward silently to the excerpt's start.
        while (nextNote < song.notes.size()) {
            const Note& note = song.notes[nextNote];
            long onset = std::lround(note.time * kSampleRate);
            if (onset >= block + frames) break;
            ++nextNote;
            if (onset + (long)((note.length + kMaxTail) * kSampleRate) < block) continue;
            ActiveVoice v;
            v.voice = CreateVoice(note, (uint32_t)(nextNote * 7919u + 17u));
            if (!v.voice) continue;
            const InstrumentMix& m = MixOf(note.instrument);
            float angle = (note.pan + 1.0f) * 0.25f * kPi;
            float g = note.velocity * m.gain;
            v.gainL = g * std::cos(angle) * 1.41421356f;
            v.gainR = g * std::sin(angle) * 1.41421356f;
            v.reverb = m.reverbSend;
            v.delay = m.delaySend;
            v.bus = m.bus;
            v.note = &note;
            v.post = note.postGlitch;
            bool alive = true;
            for (long skip = block - onset; skip > 0 && alive; skip -= kBlock) {
                int n = (int)std::min<long>(kBlock, skip);
                std::fill(scratchL, scratchL + n, 0.0f);
                std::fill(scratchR, scratchR + n, 0.0f);
                alive = v.voice->Render(scratchL, scratchR, n);
            }
            if (alive) active.push_back(std::move(v));
        }

        // Voices into buses and sends.
        for (size_t i = 0; i < active.size();) {
            ActiveVoice& v = active[i];
            long onset = std::lround(v.note->time * kSampleRate);
            int offset = (int)std::max(0L, onset - block);
            int n = frames - offset;
            std::fill(scratchL, scratchL + n, 0.0f);
            std::fill(scratchR, scratchR + n, 0.0f);
            bool alive = v.voice->Render(scratchL, scratchR, n);
            for (int k = 0; k < n; ++k) {
                float l = scratchL[k] * v.gainL, r = scratchR[k] * v.gainR;
                if (v.post) {
                    post.left[block - startSample + offset + k] += l;
                    post.right[block - startSample + offset + k] += r;
                } else {
                    bus[v.bus][0][offset + k] += l;
                    bus[v.bus][1][offset + k] += r;
                }
                sendRev[0][offset + k] += l * v.reverb;
                sendRev[1][offset + k] += r * v.reverb;
                sendDel[0][offset + k] += l * v.delay;
                sendDel[1][offset + k] += r * v.delay;
            }
            if (alive) {
                ++i;
            } else {
                active[i] = std::move(active.back());
                active.pop_back();
            }
        }

        // Bus processing, sample by sample, with automation at block rate.
        double t = (double)block / kSampleRate;
        musicFilter.Retune(song.musicCutoff.At(t));
        bassFilter.Retune(song.bassCutoff.At(t));
        float extraSend = song.reverbSend.At(t);
        float duck[kBlock];
        for (int k = 0; k < frames; ++k) {
            duck[k] = ducker.Next(block + k);
            for (int c = 0; c < 2; ++c) {
                float& b = bus[kBusBass][c][k];
                b = (c == 0 ? bassFilter.l : bassFilter.r).Low(b) * (1.0f - kDuckBass * duck[k]);
                float& m = bus[kBusMusic][c][k];
                m = (c == 0 ? musicFilter.l : musicFilter.r).Low(m);
                m = (c == 0 ? musicLowCutL : musicLowCutR).High(m) * (1.0f - kDuckMusic * duck[k]);
                sendRev[c][k] += m * extraSend;
            }
        }
        reverb.Process(sendRev[0], sendRev[1], ret[0], ret[1], frames);
        for (int k = 0; k < frames; ++k) {
            ret[0][k] *= 0.9f;
            ret[1][k] *= 0.9f;
        }
        delay.Process(sendDel[0], sendDel[1], ret[0], ret[1], frames);
        for (int k = 0; k < frames; ++k) {
            float returns = 1.0f - kDuckReturns * duck[k];
            float gain = song.masterGain.At((double)(block + k) / kSampleRate) * kMasterLevel;
            float l = 0.0f, r = 0.0f;
            for (int b = 0; b < kBusCount; ++b) {
                l += bus[b][0][k];
                r += bus[b][1][k];
            }
            l += ret[0][k] * returns;
            r += ret[1][k] * returns;
            mix.left[block - startSample + k] = rumbleL.High(l) * gain;
            mix.right[block - startSample + k] = rumbleR.High(r) * gain;
        }
    }

    ApplyGlitches(song.glitches, (double)startSample / kSampleRate, mix.left, mix.right);
    for (long i = 0; i < total; ++i) {
        double gain = song.masterGain.At((double)(startSample + i) / kSampleRate) * kMasterLevel;
        mix.left[i] += post.left[i] * (float)gain;
        mix.right[i] += post.right[i] * (float)gain;
    }
    LimitPeaks(mix.left, mix.right, kCeiling, 0.004f, 0.12f);

    StereoBuffer out;
    long skip = firstOut - startSample;
    long count = std::lround(to * kSampleRate) - firstOut;
    count = std::clamp(count, 0L, total - skip);
    out.left.assign(mix.left.begin() + skip, mix.left.begin() + skip + count);
    out.right.assign(mix.right.begin() + skip, mix.right.begin() + skip + count);
    return out;
}

}  // namespace music
