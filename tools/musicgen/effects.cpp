#include "tools/musicgen/effects.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace music {

Reverb::Reverb(float decaySeconds) {
    // Mutually prime lengths between 25 and 45 ms: dense echoes, no flutter.
    static const int kLength[kLines] = {1123, 1277, 1361, 1489, 1607, 1723, 1861, 1987};
    for (int i = 0; i < kLines; ++i) {
        line_[i].assign(kLength[i], 0.0f);
        // Gain per pass so that the level falls by 60 dB in decaySeconds.
        gain_[i] = std::pow(10.0f, -3.0f * kLength[i] / (decaySeconds * kSampleRate));
    }
    static const int kDiffuser[4] = {142, 107, 379, 277};
    for (int i = 0; i < 4; ++i) diff_[i].assign(kDiffuser[i], 0.0f);
    pre_.assign((size_t)(0.022 * kSampleRate), 0.0f);
    inHp_.Set(220.0f, 0.7f);
    inLp_.Set(7500.0f, 0.7f);
}

void Reverb::Process(const float* inL, const float* inR, float* outL, float* outR, int frames) {
    for (int n = 0; n < frames; ++n) {
        // Predelay and band-limit the (mono) input, then smear it with all-passes.
        float x = pre_[prePos_];
        pre_[prePos_] = 0.5f * (inL[n] + inR[n]);
        prePos_ = (prePos_ + 1) % (int)pre_.size();
        x = inLp_.Low(inHp_.High(x));
        for (int d = 0; d < 4; ++d) {
            std::vector<float>& buf = diff_[d];
            float delayed = buf[diffPos_[d]];
            float v = x + 0.6f * delayed;
            buf[diffPos_[d]] = v;
            diffPos_[d] = (diffPos_[d] + 1) % (int)buf.size();
            x = delayed - 0.6f * v;
        }
        float out[kLines];
        for (int i = 0; i < kLines; ++i) {
            float y = line_[i][pos_[i]];
            damp_[i] = y + 0.35f * (damp_[i] - y);  // darker with every pass
            out[i] = damp_[i] * gain_[i];
        }
        // Fast Hadamard transform (8 points), normalised.
        for (int len = 1; len < kLines; len <<= 1)
            for (int i = 0; i < kLines; i += len << 1)
                for (int j = i; j < i + len; ++j) {
                    float a = out[j], b = out[j + len];
                    out[j] = a + b;
                    out[j + len] = a - b;
                }
        const float norm = 0.35355339f;  // 1/sqrt(8)
        for (int i = 0; i < kLines; ++i) {
            line_[i][pos_[i]] = out[i] * norm + x * (i % 2 == 0 ? 0.5f : -0.5f);
            pos_[i] = (pos_[i] + 1) % (int)line_[i].size();
        }
        outL[n] += damp_[0] - damp_[2] + damp_[4] - damp_[6];
        outR[n] += damp_[1] - damp_[3] + damp_[5] - damp_[7];
    }
}

PingPongDelay::PingPongDelay(double delaySeconds, float feedback) : feedback_(feedback) {
    left_.assign((size_t)(delaySeconds * kSampleRate), 0.0f);
    right_.assign(left_.size(), 0.0f);
    hp_.Set(300.0f, 0.7f);
    lp_.Set(4200.0f, 0.7f);
}

void PingPongDelay::Process(const float* inL, const float* inR, float* outL, float* outR,
                            int frames) {
    const int size = (int)left_.size();
    for (int n = 0; n < frames; ++n) {
        float l = left_[pos_], r = right_[pos_];
        float in = lp_.Low(hp_.High(0.5f * (inL[n] + inR[n])));
        left_[pos_] = in + r * feedback_;
        right_[pos_] = l;
        pos_ = (pos_ + 1) % size;
        outL[n] += l;
        outR[n] += r;
    }
}

static float CatmullRom(float a, float b, float c, float d, float t) {
    return b +
           0.5f * t *
               (c - a + t * (2.0f * a - 5.0f * b + 4.0f * c - d + t * (3.0f * (b - c) + d - a)));
}

void ApplyGlitches(const std::vector<GlitchWindow>& windows, double startSeconds,
                   std::vector<float>& left, std::vector<float>& right) {
    const long size = (long)left.size();
    for (const GlitchWindow& w : windows) {
        long first = (long)std::lround((w.start - startSeconds) * kSampleRate);
        long count = (long)std::lround(w.length * kSampleRate);
        if (first < 0 || first + count > size) continue;
        // The untouched source: everything is read from here, written back below.
        std::vector<float> srcL(left.begin() + first, left.begin() + first + count);
        std::vector<float> srcR(right.begin() + first, right.begin() + first + count);
        const int edge = 132;  // 3 ms crossfades at every seam
        double readPos = 0.0, speed = 1.0;
        long sliceStart = 0;
        long holdCounter = 0;
        float heldL = 0.0f, heldR = 0.0f;
        for (long i = 0; i < count; ++i) {
            double x = (double)i / count;
            float l, r;
            if (w.tapeStop) {
                // Playback speed falls to zero: pitch and tempo sink together.
                // Cubic interpolation keeps the slowed waveform smooth where
                // one source sample is stretched over many output samples.
                speed = 1.0 - x;
                long k = (long)readPos;
                float f = (float)(readPos - k);
                auto at = [&](const std::vector<float>& src, long j) {
                    return src[std::clamp(j, 0L, count - 1)];
                };
                l = CatmullRom(at(srcL, k - 1), at(srcL, k), at(srcL, k + 1), at(srcL, k + 2), f);
                r = CatmullRom(at(srcR, k - 1), at(srcR, k), at(srcR, k + 1), at(srcR, k + 2), f);
                readPos += speed;
                float fadeOut = (float)std::min(1.0, (1.0 - x) * 3.0);
                l *= fadeOut * fadeOut;
                r *= fadeOut * fadeOut;
            } else {
                // Repeat the slice that starts each repetition; the slice shrinks
                // from sliceStart to sliceEnd over the window (a stutter fill).
                double sliceSeconds = w.sliceStart + (w.sliceEnd - w.sliceStart) * x;
                long slice = std::max<long>(2 * edge, (long)(sliceSeconds * kSampleRate));
                if (i - sliceStart >= slice) sliceStart = i;
                long inSlice = i - sliceStart;
                long k = std::min(inSlice, count - 1);
                // Each repeat fades in and every slice fades out: audible, clean chops.
                float in = sliceStart == 0 ? 1.0f : std::min(1.0f, (float)inSlice / edge);
                float g = in * std::min(1.0f, (float)(slice - inSlice) / edge);
                l = srcL[k] * g;
                r = srcR[k] * g;
            }
            if (w.crush > 0.0f) {
                // Sample-rate and bit-depth reduction, stronger towards the end.
                float amount = w.crush * (float)(0.4 + 0.6 * x);
                long hold = 1 + (long)(amount * 12.0f);
                if (holdCounter++ % hold == 0) {
                    float steps = 4.0f + (1.0f - amount) * 60.0f;
                    heldL = std::round(l * steps) / steps;
                    heldR = std::round(r * steps) / steps;
                }
                l = l * (1.0f - amount) + heldL * amount;
                r = r * (1.0f - amount) + heldR * amount;
            }
            // Crossfade from and back to the untouched mix at the window's edges.
            float mix = (float)std::min(1.0, std::min((double)i, (double)(count - i)) / edge);
            left[first + i] = srcL[i] * (1.0f - mix) + l * mix;
            right[first + i] = srcR[i] * (1.0f - mix) + r * mix;
        }
    }
}

// Peak of the band-limited signal between samples i and i + 1, estimated at
// three points in between by windowed-sinc interpolation (8 taps each side):
// the "true peak" that a converter or a decoder will actually produce.
static float InterSamplePeak(const std::vector<float>& x, long i) {
    static float taps[3][16];
    static bool ready = false;
    if (!ready) {
        for (int f = 0; f < 3; ++f) {
            double frac = 0.25 * (f + 1);
            for (int k = 0; k < 16; ++k) {
                double d = (k - 7) - frac;  // distance from tap to the point
                double sinc = std::sin(kPi * d) / (kPi * d);
                double window = 0.5 + 0.5 * std::cos(kPi * d / 8.5);
                taps[f][k] = (float)(sinc * window);
            }
        }
        ready = true;
    }
    const long size = (long)x.size();
    if (i - 7 < 0 || i + 8 >= size) return 0.0f;
    float peak = 0.0f;
    for (int f = 0; f < 3; ++f) {
        float v = 0.0f;
        for (int k = 0; k < 16; ++k) v += taps[f][k] * x[i - 7 + k];
        peak = std::max(peak, std::fabs(v));
    }
    return peak;
}

void LimitPeaks(std::vector<float>& left, std::vector<float>& right, float ceiling,
                float lookaheadSeconds, float releaseSeconds) {
    const long size = (long)left.size();
    const long la = std::max<long>(1, (long)(lookaheadSeconds * kSampleRate));
    // Gain each sample needs on its own, judged by its true peak: the sample
    // and the band-limited waveform on both sides of it. The interpolation can
    // at most double the largest nearby sample, so quieter stretches skip it.
    std::vector<float> between(size, 0.0f);
    std::deque<long> loud;  // indices of the running maximum over 16 samples
    for (long i = -8; i < size; ++i) {
        long incoming = i + 8;
        if (incoming < size) {
            float v = std::max(std::fabs(left[incoming]), std::fabs(right[incoming]));
            while (!loud.empty() &&
                   std::max(std::fabs(left[loud.back()]), std::fabs(right[loud.back()])) <= v)
                loud.pop_back();
            loud.push_back(incoming);
        }
        while (!loud.empty() && loud.front() < i - 7) loud.pop_front();
        if (i < 0 || loud.empty()) continue;
        float nearby = std::max(std::fabs(left[loud.front()]), std::fabs(right[loud.front()]));
        if (2.0f * nearby > ceiling)
            between[i] = std::max(InterSamplePeak(left, i), InterSamplePeak(right, i));
    }
    std::vector<float> need(size);
    for (long i = 0; i < size; ++i) {
        float peak = std::max(std::fabs(left[i]), std::fabs(right[i]));
        peak = std::max(peak, between[i]);
        if (i > 0) peak = std::max(peak, between[i - 1]);
        need[i] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    // Minimum over the coming look-ahead window (monotonic deque).
    std::vector<float> gain(size);
    std::deque<long> window;
    for (long i = size - 1; i >= 0; --i) {
        while (!window.empty() && need[window.back()] >= need[i]) window.pop_back();
        window.push_back(i);
        while (window.front() > i + la) window.pop_front();
        gain[i] = need[window.front()];
    }
    // Release: the gain may rise only slowly.
    const float rise = 1.0f - std::exp(-1.0f / (releaseSeconds * kSampleRate));
    float g = 1.0f;
    for (long i = 0; i < size; ++i) {
        g = gain[i] < g ? gain[i] : g + (gain[i] - g) * rise;
        gain[i] = g;
    }
    // Moving average over the look-ahead length, looking back: every value
    // averaged is at most what the current sample needs, so the peak is held.
    double sum = 0.0;
    for (long i = 0; i < size; ++i) {
        sum += gain[i];
        if (i >= la) sum -= gain[i - la];
        long n = std::min(i + 1, la);
        float smooth = (float)(sum / n);
        // Rounding of the running sum may leave a hair over; clamp it.
        left[i] = std::clamp(left[i] * smooth, -ceiling, ceiling);
        right[i] = std::clamp(right[i] * smooth, -ceiling, ceiling);
    }
}

}  // namespace music
