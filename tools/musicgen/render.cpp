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
// How strongly each bus ducks under the kick (0 none, 1 silent).
constexpr float kDuckBass = 0.85f;
constexpr float kDuckMusic = 0.45f;
constexpr float kDuckReturns = 0.30f;

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

// The mixing desk for one render: voices, buses, sends and returns, written
// block by block into `mix` (and `post` for the notes mixed after the
// glitch windows). Buffers start at `first`, an absolute sample number.
class Mixer {
public:
    Mixer(const Song& song, long first, long total)
        : song_(song), first_(first), ducker_(song.kicks, first) {
        mix.left.assign(total, 0.0f);
        mix.right.assign(total, 0.0f);
        post.left.assign(total, 0.0f);
        post.right.assign(total, 0.0f);
        // The music bus leaves the bass register to the bass and the kick.
        for (Svf* f : {&musicLowCutL_, &musicLowCutR_}) f->Set(220.0f, 0.7f);
        for (Svf* f : {&rumbleL_, &rumbleR_}) f->Set(25.0f, 0.7f);
    }

    void RenderBlock(long block, int frames) {
        std::fill(&bus_[0][0][0], &bus_[0][0][0] + kBusCount * 2 * kBlock, 0.0f);
        std::fill(&sendRev_[0][0], &sendRev_[0][0] + 2 * kBlock, 0.0f);
        std::fill(&sendDel_[0][0], &sendDel_[0][0] + 2 * kBlock, 0.0f);
        std::fill(&ret_[0][0], &ret_[0][0] + 2 * kBlock, 0.0f);
        StartNotes(block, frames);
        MixVoices(block, frames);
        MixBuses(block, frames);
    }

    StereoBuffer mix, post;

private:
    struct ActiveVoice {
        std::unique_ptr<Voice> voice;
        long onset;
        float gainL, gainR, reverb, delay;
        Bus bus;
        bool post;
    };

    // Starts the notes whose onset falls before the end of this block. In
    // the first block of an excerpt, notes that began earlier but may still
    // sound are started too and run forward silently to the block.
    void StartNotes(long block, int frames) {
        while (nextNote_ < song_.notes.size()) {
            const Note& note = song_.notes[nextNote_];
            long onset = std::lround(note.time * kSampleRate);
            if (onset >= block + frames) break;
            ++nextNote_;
            if (onset + (long)((note.length + kMaxTail) * kSampleRate) < block) continue;
            ActiveVoice v;
            // The note's index seeds its noise: the same note always sounds the same.
            v.voice = CreateVoice(note, (uint32_t)(nextNote_ * 7919u + 17u));
            if (!v.voice) continue;
            const InstrumentMix& m = MixOf(note.instrument);
            float angle = (note.pan + 1.0f) * 0.25f * kPi;  // constant-power pan
            float g = note.velocity * m.gain;
            v.onset = onset;
            v.gainL = g * std::cos(angle) * 1.41421356f;
            v.gainR = g * std::sin(angle) * 1.41421356f;
            v.reverb = m.reverbSend;
            v.delay = m.delaySend;
            v.bus = m.bus;
            v.post = note.postGlitch;
            bool alive = true;
            for (long skip = block - onset; skip > 0 && alive; skip -= kBlock) {
                int n = (int)std::min<long>(kBlock, skip);
                std::fill(scratchL_, scratchL_ + n, 0.0f);
                std::fill(scratchR_, scratchR_ + n, 0.0f);
                alive = v.voice->Render(scratchL_, scratchR_, n);
            }
            if (alive) active_.push_back(std::move(v));
        }
    }

    // Every sounding voice into its bus (or the post-glitch buffer) and the sends.
    void MixVoices(long block, int frames) {
        for (size_t i = 0; i < active_.size();) {
            ActiveVoice& v = active_[i];
            int offset = (int)std::max(0L, v.onset - block);
            int n = frames - offset;
            std::fill(scratchL_, scratchL_ + n, 0.0f);
            std::fill(scratchR_, scratchR_ + n, 0.0f);
            bool alive = v.voice->Render(scratchL_, scratchR_, n);
            for (int k = 0; k < n; ++k) {
                float l = scratchL_[k] * v.gainL, r = scratchR_[k] * v.gainR;
                if (v.post) {
                    post.left[block - first_ + offset + k] += l;
                    post.right[block - first_ + offset + k] += r;
                } else {
                    bus_[v.bus][0][offset + k] += l;
                    bus_[v.bus][1][offset + k] += r;
                }
                sendRev_[0][offset + k] += l * v.reverb;
                sendRev_[1][offset + k] += r * v.reverb;
                sendDel_[0][offset + k] += l * v.delay;
                sendDel_[1][offset + k] += r * v.delay;
            }
            if (alive) {
                ++i;
            } else {
                active_[i] = std::move(active_.back());
                active_.pop_back();
            }
        }
    }

    // Bus filters and ducking, the reverb and delay, the sum and the fades.
    // Automation moves at block rate (5.8 ms).
    void MixBuses(long block, int frames) {
        double t = (double)block / kSampleRate;
        musicFilter_.Retune(song_.musicCutoff.At(t));
        bassFilter_.Retune(song_.bassCutoff.At(t));
        float extraSend = song_.reverbSend.At(t);
        float duck[kBlock];
        for (int k = 0; k < frames; ++k) {
            duck[k] = ducker_.Next(block + k);
            for (int c = 0; c < 2; ++c) {
                float& b = bus_[kBusBass][c][k];
                b = (c == 0 ? bassFilter_.l : bassFilter_.r).Low(b) * (1.0f - kDuckBass * duck[k]);
                float& m = bus_[kBusMusic][c][k];
                m = (c == 0 ? musicFilter_.l : musicFilter_.r).Low(m);
                m = (c == 0 ? musicLowCutL_ : musicLowCutR_).High(m) *
                    (1.0f - kDuckMusic * duck[k]);
                sendRev_[c][k] += m * extraSend;
            }
        }
        reverb_.Process(sendRev_[0], sendRev_[1], ret_[0], ret_[1], frames);
        for (int k = 0; k < frames; ++k) {
            ret_[0][k] *= 0.9f;
            ret_[1][k] *= 0.9f;
        }
        delay_.Process(sendDel_[0], sendDel_[1], ret_[0], ret_[1], frames);
        for (int k = 0; k < frames; ++k) {
            float returns = 1.0f - kDuckReturns * duck[k];
            float gain = song_.masterGain.At((double)(block + k) / kSampleRate);
            float l = ret_[0][k] * returns, r = ret_[1][k] * returns;
            for (int b = 0; b < kBusCount; ++b) {
                l += bus_[b][0][k];
                r += bus_[b][1][k];
            }
            mix.left[block - first_ + k] = rumbleL_.High(l) * gain;
            mix.right[block - first_ + k] = rumbleR_.High(r) * gain;
        }
    }

    const Song& song_;
    const long first_;
    size_t nextNote_ = 0;
    std::vector<ActiveVoice> active_;
    Reverb reverb_{2.8f};
    PingPongDelay delay_{0.75 * 60.0 / 132.0, 0.42f};  // a dotted eighth
    Ducker ducker_;
    AutoFilter musicFilter_, bassFilter_;
    Svf musicLowCutL_, musicLowCutR_, rumbleL_, rumbleR_;
    float bus_[kBusCount][2][kBlock];
    float sendRev_[2][kBlock], sendDel_[2][kBlock], ret_[2][kBlock];
    float scratchL_[kBlock], scratchR_[kBlock];
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

    auto mixer = std::make_unique<Mixer>(song, startSample, total);
    for (long block = startSample; block < endSample; block += kBlock)
        mixer->RenderBlock(block, (int)std::min<long>(kBlock, endSample - block));
    StereoBuffer& mix = mixer->mix;
    const StereoBuffer& post = mixer->post;

    ApplyGlitches(song.glitches, (double)startSample / kSampleRate, mix.left, mix.right);
    for (long i = 0; i < total; ++i) {
        float gain = song.masterGain.At((double)(startSample + i) / kSampleRate);
        mix.left[i] += post.left[i] * gain;
        mix.right[i] += post.right[i] * gain;
    }
    LimitPeaks(mix.left, mix.right, kCeiling, 0.004f, 0.12f);

    StereoBuffer out;
    long skip = firstOut - startSample;
    long count =
        std::clamp(std::lround(to * kSampleRate) - firstOut, 0L, std::max(0L, total - skip));
    out.left.assign(mix.left.begin() + skip, mix.left.begin() + skip + count);
    out.right.assign(mix.right.begin() + skip, mix.right.begin() + skip + count);
    return out;
}

}  // namespace music
