#include "assets/spectrum.h"

#include <kissfft/kiss_fftr.h>

#include <cmath>

namespace {

struct Analyser {
    kiss_fftr_cfg plan = nullptr;
    float window[kSpectrumSamples];
    float input[kSpectrumSamples];
    kiss_fft_cpx bins[kSpectrumSamples / 2 + 1];

    Analyser() {
        plan = kiss_fftr_alloc(kSpectrumSamples, 0, nullptr, nullptr);
        // Periodic Hann window: a bin-centred sine lands in its own bin and its
        // two neighbours only.
        for (int i = 0; i < kSpectrumSamples; ++i)
            window[i] = 0.5f - 0.5f * std::cos(2.0f * 3.14159265358979f * i / kSpectrumSamples);
    }
    ~Analyser() { kiss_fftr_free(plan); }
};

}  // namespace

void ComputeSpectrum(const float* monoSamples1024, float levels[512]) {
    static Analyser analyser;
    if (!analyser.plan) {
        for (int k = 0; k < kSpectrumLevels; ++k) levels[k] = 0.0f;
        return;
    }
    for (int i = 0; i < kSpectrumSamples; ++i) analyser.input[i] = monoSamples1024[i] * analyser.window[i];
    kiss_fftr(analyser.plan, analyser.input, analyser.bins);
    // A sine of amplitude A on bin k gives |X[k]| = A x N/2 x 1/2 (the Hann
    // window's mean), so A = |X[k]| x 4/N; then relative to the reference.
    const float scale = 4.0f / kSpectrumSamples / kSpectrumFullLevelAmplitude;
    for (int k = 0; k < kSpectrumLevels; ++k) {
        float re = analyser.bins[k].r, im = analyser.bins[k].i;
        float level = std::sqrt(re * re + im * im) * scale;
        levels[k] = level < 1.0f ? level : 1.0f;
    }
}

float BandLevel(const float* levels, unsigned first, unsigned end, float gain) {
    if (end > (unsigned)kSpectrumLevels) end = kSpectrumLevels;
    if (end <= first) return 0.0f;
    float sum = 0.0f;
    for (unsigned k = first; k < end; ++k) sum += levels[k];
    return sum / (float)(end - first) * gain;
}
