// Shared effects of the mix: the reverb and tempo delay fed by sends, the
// glitch windows over the whole mix and the final peak limiter.
#pragma once

#include <vector>

#include "tools/musicgen/dsp.h"
#include "tools/musicgen/song.h"

namespace music {

// Feedback delay network: eight delay lines mixed through a Hadamard matrix,
// each damped by a one-pole low-pass, behind a predelay and four diffusing
// all-passes. Stereo in, stereo out, no modulation (so it is repeatable).
class Reverb {
public:
    explicit Reverb(float decaySeconds);
    void Process(const float* inL, const float* inR, float* outL, float* outR, int frames);

private:
    static constexpr int kLines = 8;
    std::vector<float> line_[kLines];
    int pos_[kLines] = {};
    float gain_[kLines] = {};
    float damp_[kLines] = {};
    std::vector<float> pre_;
    int prePos_ = 0;
    std::vector<float> diff_[4];
    int diffPos_[4] = {};
    Svf inHp_, inLp_;
};

// Ping-pong echo on a dotted eighth: the mono input starts on the left, each
// repeat crosses to the other side, band-limited a little more each time.
class PingPongDelay {
public:
    PingPongDelay(double delaySeconds, float feedback);
    void Process(const float* inL, const float* inR, float* outL, float* outR, int frames);

private:
    std::vector<float> left_, right_;
    int pos_ = 0;
    float feedback_;
    Svf hp_, lp_;
};

// Applies the stutter, crush and tape-stop windows to a stereo buffer that
// starts at `startSeconds`. Windows must lie inside the buffer to apply.
void ApplyGlitches(const std::vector<GlitchWindow>& windows, double startSeconds,
                   std::vector<float>& left, std::vector<float>& right);

// Look-ahead peak limiter over a whole buffer: the gain reaches its target
// before each peak (minimum over the look-ahead, then a moving average of the
// same length, so the gain curve is smooth), and recovers with `releaseSeconds`.
// Peaks are judged on the band-limited waveform between the samples as well,
// so afterwards neither the samples nor the true peak exceed `ceiling`.
void LimitPeaks(std::vector<float>& left, std::vector<float>& right, float ceiling,
                float lookaheadSeconds, float releaseSeconds);

}  // namespace music
