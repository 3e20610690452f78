#include "assets/spectrum.h"

#include <cmath>
#include <kiss_fftr.h>

namespace {

struct Analyser {
    kiss_fftr_cfg fft = kiss_fftr_alloc(kSpectrumSamples, 0, nullptr, nullptr);
    float window[kSpectrumSamples];

    Analyser() {
        // Hann window, periodic form: a sine on a bin centre lands in that bin
        // with half of the side lobes of a plain cut.
        for (int i = 0; i < kSpectrumSamples; ++i)
            window[i] = 0.5f - 0.5f * std::cos(2.0f * 3.14159265358979f * i / kSpectrumSamples);
    }
    ~Analyser() { kiss_fftr_free(fft); }
};

}  // namespace

void ComputeSpectrum(const float* monoSamples1024, float levels[512]) {
    static Analyser analyser;
    float windowed[kSpectrumSamples];
    kiss_fft_cpx bins[kSpectrumSamples / 2 + 1];
    for (int i = 0; i < kSpectrumSamples; ++i) windowed[i] = monoSamples1024[i] * analyser.window[i];
    kiss_fftr(analyser.fft, windowed, bins);
    // A sine of amplitude A on a bin centre gives |X| = A x N/2 x 0.5 (the
    // window's mean), so N/4 scales it to A.
    const float scale = 4.0f / kSpectrumSamples;
    for (int i = 0; i < kSpectrumLevels; ++i) {
        float level = std::sqrt(bins[i].r * bins[i].r + bins[i].i * bins[i].i) * scale;
        levels[i] = level > 1.0f ? 1.0f : level;
    }
}

float BandLevel(const float* levels, unsigned first, unsigned end, float gain) {
    if (end > static_cast<unsigned>(kSpectrumLevels)) end = kSpectrumLevels;
    if (end <= first) return 0.0f;
    float sum = 0.0f;
    for (unsigned i = first; i < end; ++i) sum += levels[i];
    return sum / static_cast<float>(end - first) * gain;
}
